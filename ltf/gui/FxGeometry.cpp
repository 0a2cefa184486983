#include "ltf/gui/FxGeometry.h"

namespace LTF::GUI::FxGeometry {

namespace {

// Channel by channel, fractions truncated toward zero.
Colour Scale(Colour c, int numerator) {
    return MakeColour(RedOf(c) * numerator / 10, GreenOf(c) * numerator / 10,
                      BlueOf(c) * numerator / 10);
}

Colour Lighten(Colour c) {
    auto channel = [](int k) { return k + (255 - k) * 4 / 10; };
    return MakeColour(channel(RedOf(c)), channel(GreenOf(c)), channel(BlueOf(c)));
}

} // namespace

std::array<Colour, 4> BorderColours(Colour base, unsigned effect) {
    const Colour white = MakeColour(255, 255, 255);
    switch (effect) {
    case kEffectUp:
        return {white, Lighten(base), Scale(base, 5), Scale(base, 7)};
    case kEffectDown:
        return {Scale(base, 5), Scale(base, 7), white, Lighten(base)};
    default:
        return {base, base, base, base};
    }
}

QPoint EffectShift(unsigned effect) {
    if (effect == kEffectUp)
        return {-1, -1};
    if (effect == kEffectDown)
        return {1, 1};
    return {0, 0};
}

QRect PlaceBitmap(unsigned position, const QRect& client, int largestBorder, const QSize& size) {
    const int inset = largestBorder + 1;
    const QRect area = client.adjusted(inset, inset, -inset, -inset);
    const int cx = (client.x() + RightOf(client)) / 2;
    const int cy = (client.y() + BottomOf(client)) / 2;
    const int w = size.width();
    const int h = size.height();
    const int left = area.x();
    const int top = area.y();
    const int right = RightOf(area);
    const int bottom = BottomOf(area);
    QPoint origin(0, 0);
    switch (static_cast<int>(position) - static_cast<int>(kAlignSingleLine)) {
    case 0:
        origin = {left, top};
        break;
    case 1:
        origin = {cx - w / 2, top};
        break;
    case 2:
        origin = {right - w, top};
        break;
    case 4:
        origin = {left, cy - h / 2};
        break;
    case 5:
        origin = {cx - w / 2, cy - h / 2};
        break;
    case 6:
        origin = {right - w, cy - h / 2};
        break;
    case 8:
        origin = {left, bottom - h};
        break;
    case 9:
        origin = {cx - w / 2, bottom - h};
        break;
    case 10:
        origin = {right - w, bottom - h};
        break;
    default:
        break;
    }
    return QRect(origin, size);
}

int ToQtTextFlags(unsigned format) {
    int flags = 0;
    switch (format & 0x3) {
    case kAlignCenter:
        flags |= Qt::AlignHCenter;
        break;
    case kAlignRight:
        flags |= Qt::AlignRight;
        break;
    default:
        flags |= Qt::AlignLeft;
        break;
    }
    if (format & kAlignSingleLine) {
        flags |= Qt::TextSingleLine;
        if (format & kAlignBottom)
            flags |= Qt::AlignBottom;
        else if (format & kAlignVCenter)
            flags |= Qt::AlignVCenter;
        else
            flags |= Qt::AlignTop;
    } else {
        flags |= Qt::AlignTop;
    }
    if (format & kAlignWordBreak)
        flags |= Qt::TextWordWrap;
    return flags;
}

} // namespace LTF::GUI::FxGeometry
