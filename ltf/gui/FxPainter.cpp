#include "ltf/gui/FxPainter.h"

#include "ltf/gui/FxGeometry.h"

#include <QApplication>
#include <QFontMetrics>
#include <QString>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QWidget>

#include <algorithm>

namespace LTF::GUI {

namespace {

QStyle* StyleOf(const QWidget* widget) {
    return widget ? widget->style() : QApplication::style();
}

// The etching colours: white and the base colour darkened, as a raised border has them.
std::array<Colour, 4> EtchColours(const FxButtonModel& model) {
    return FxGeometry::BorderColours(model.bkColour[ButtonState::Disabled], kEffectUp);
}

} // namespace

QPoint FxPainter::Shift(ButtonState state) const {
    return model.borderSize[state] > 0 ? FxGeometry::EffectShift(model.borderEffect[state])
                                       : QPoint(0, 0);
}

void FxPainter::Snapshot(QPainter& painter, ButtonState state) const {
    if (!derived.snapshot)
        return;
    const auto& [page, area] = *derived.snapshot;
    const QPoint at = Shift(state);
    // Black where the page's bitmap does not reach, and beneath a bitmap with an alpha channel.
    const QRect covered = area & page.rect();
    if (covered != area || page.hasAlphaChannel())
        painter.fillRect(QRect(at, area.size()), Qt::black);
    if (!covered.isEmpty())
        painter.drawPixmap(at + covered.topLeft() - area.topLeft(), page, covered);
}

void FxPainter::Background(QPainter& painter, const QRect& rect, ButtonState state) const {
    painter.fillRect(rect, ToQColor(model.bkColour[state]));
}

void FxPainter::Border(QPainter& painter, const QRect& rect, ButtonState state) const {
    const int size = model.borderSize[state];
    const auto& colours = derived.borderColours[state];
    // A 3-D frame: top and left in the first colour, right and bottom in the second.
    auto frame = [&](const QRect& r, Colour topLeft, Colour bottomRight) {
        const QColor tl = ToQColor(topLeft);
        const QColor br = ToQColor(bottomRight);
        painter.fillRect(QRect(r.x(), r.y(), r.width() - 1, 1), tl);
        painter.fillRect(QRect(r.x(), r.y(), 1, r.height() - 1), tl);
        painter.fillRect(QRect(r.x() + r.width() - 1, r.y(), 1, r.height()), br);
        painter.fillRect(QRect(r.x(), r.y() + r.height() - 1, r.width(), 1), br);
    };
    if (size > 0)
        frame(rect, colours[0], colours[2]);
    if (size >= 2)
        frame(rect.adjusted(1, 1, -1, -1), colours[1], colours[3]);
}

void FxPainter::Bitmap(QPainter& painter, ButtonState state) const {
    const BitmapPtr& image = model.bitmap[state];
    if (!image)
        return;
    QRect rect = derived.placement[state];
    const bool hasShape = derived.hasTransparencyRegion[state];
    QRegion shape = hasShape ? derived.transparencyRegion[state] : QRegion(derived.client);
    if (model.bitmapEffect[state]) {
        rect.translate(Shift(state));
        shape.translate(Shift(state));
    }
    painter.save();
    if (model.transparencyMode[state])
        painter.setClipRegion(shape);
    if (state == ButtonState::Disabled && image == model.bitmap[ButtonState::Normal]) {
        Silhouette(painter, model.transparencyMode[state] ? shape : QRegion(rect));
    } else {
        painter.setRenderHint(QPainter::SmoothPixmapTransform, rect.size() != image->size());
        if (model.transparency[state] != 255)
            painter.setOpacity(std::clamp(model.transparency[state], 0, 255) / 255.0);
        painter.drawImage(rect, *image);
    }
    painter.restore();
}

void FxPainter::Silhouette(QPainter& painter, const QRegion& shape) const {
    const auto colours = EtchColours(model);
    for (const QRect& r : shape)
        painter.fillRect(r, ToQColor(colours[0]));
    for (const QRect& r : shape)
        painter.fillRect(r.translated(-1, -1), ToQColor(colours[3]));
}

QFont FxPainter::MakeFont(const std::wstring& face, int height, unsigned style) {
    QFont font;
    if (!face.empty())
        font.setFamily(QString::fromStdWString(face));
    if (height < 0) {
        font.setPixelSize(-height);
    } else if (height > 0) {
        font.setPixelSize(height);
        const int cell = QFontMetrics(font).height();
        if (cell > height)
            font.setPixelSize(std::max(1, height * height / cell));
    }
    font.setBold((style & kStyleBold) != 0);
    font.setItalic((style & kStyleItalic) != 0);
    font.setUnderline((style & kStyleUnderline) != 0);
    font.setStrikeOut((style & kStyleStrikeOut) != 0);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void FxPainter::Text(QPainter& painter, const QRect& clientRect, ButtonState state) const {
    painter.save();
    painter.setFont(MakeFont(model.textFont[state], model.textSize[state], model.textStyle[state]));
    QRect rect = derived.textRect[state];
    if (rect == clientRect) {
        const int inset = model.LargestBorder() + 1;
        rect.adjust(inset, inset, -inset, -inset);
    }
    if (model.textEffect[state])
        rect.translate(Shift(state));
    const int flags = FxGeometry::ToQtTextFlags(model.textPosition[state]);
    const QString text = QString::fromStdWString(model.text[state]);
    if (state == ButtonState::Disabled) {
        const auto colours = EtchColours(model);
        painter.setPen(ToQColor(colours[0]));
        painter.drawText(rect.translated(1, 1), flags, text);
        painter.setPen(ToQColor(colours[3]));
    } else {
        painter.setPen(ToQColor(model.textColour[state]));
    }
    painter.drawText(rect, flags, text);
    painter.restore();
    if (!model.IsPushStyle())
        Glyph(painter, state);
}

void FxPainter::Glyph(QPainter& painter, ButtonState state) const {
    QStyleOptionButton option;
    option.rect = derived.glyph;
    const bool disabled = state == ButtonState::Disabled;
    option.state = (checked && !disabled) ? QStyle::State_On : QStyle::State_Off;
    if (!disabled)
        option.state |= QStyle::State_Enabled;
    const auto element = model.kind == ButtonKind::RadioButton ? QStyle::PE_IndicatorRadioButton
                                                               : QStyle::PE_IndicatorCheckBox;
    StyleOf(widget)->drawPrimitive(element, &option, &painter, widget);
}

void FxPainter::Focus(QPainter& painter, ButtonState state) const {
    QStyleOptionFocusRect option;
    option.state = QStyle::State_KeyboardFocusChange | QStyle::State_HasFocus;
    if (model.IsPushStyle()) {
        option.rect = derived.focusRect;
    } else {
        const QFontMetrics metrics(
            MakeFont(model.textFont[state], model.textSize[state], model.textStyle[state]));
        const QString text = QString::fromStdWString(model.text[state]);
        const int space = metrics.horizontalAdvance(QLatin1Char(' '));
        QRect rect(0, 0, metrics.horizontalAdvance(text) + space, metrics.height());
        const int dx = model.leftText ? space : FxGeometry::RightOf(derived.glyph) + 2 * space;
        rect.translate(dx, (derived.textRect[state].height() - rect.height()) / 2);
        option.rect = rect;
    }
    StyleOf(widget)->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, widget);
}

} // namespace LTF::GUI
