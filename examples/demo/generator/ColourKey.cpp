#include "ColourKey.h"

namespace DemoArt {

QImage Canvas(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage KeyOut(const QImage& drawing, QColor matte) {
    const QImage source = drawing.convertToFormat(QImage::Format_ARGB32);
    QImage out(source.size(), QImage::Format_RGB32);
    const QRgb key = kKeyColour.rgb();
    for (int y = 0; y < source.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        QRgb* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < source.width(); ++x) {
            const int alpha = qAlpha(in[x]);
            if (alpha < 128) {
                line[x] = key;
                continue;
            }
            const auto mix = [alpha](int front, int back) {
                return (front * alpha + back * (255 - alpha)) / 255;
            };
            QRgb pixel = qRgb(mix(qRed(in[x]), matte.red()), mix(qGreen(in[x]), matte.green()),
                              mix(qBlue(in[x]), matte.blue()));
            // A drawn pixel must never read as the key colour.
            if ((pixel & 0xFFFFFF) == (key & 0xFFFFFF))
                pixel = qRgb(254, 0, 255);
            line[x] = pixel;
        }
    }
    return out;
}

} // namespace DemoArt
