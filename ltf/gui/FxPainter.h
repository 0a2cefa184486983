#pragma once

#include "ltf/gui/FxButtonModel.h"
#include "ltf/gui/FxDerived.h"

#include <QFont>
#include <QPainter>

class QWidget;

namespace LTF::GUI {

// The drawing steps of one frame. `widget` supplies the style for glyphs and focus frames.
class FxPainter {
public:
    FxPainter(const FxButtonModel& model, const FxDerived& derived, const QWidget* widget,
              bool checked)
        : model(model), derived(derived), widget(widget), checked(checked) {}

    void Snapshot(QPainter& painter, ButtonState state) const;
    void Background(QPainter& painter, const QRect& rect, ButtonState state) const;
    void Border(QPainter& painter, const QRect& rect, ButtonState state) const;
    void Bitmap(QPainter& painter, ButtonState state) const;
    void Text(QPainter& painter, const QRect& rect, ButtonState state) const;
    void Focus(QPainter& painter, ButtonState state) const;

    // Font record semantics: a negative height is the character height in pixels, a positive
    // one the cell height, 0 the default size.
    static QFont MakeFont(const std::wstring& face, int height, unsigned style);

private:
    QPoint Shift(ButtonState state) const;
    void Silhouette(QPainter& painter, const QRegion& shape) const;
    void Glyph(QPainter& painter, ButtonState state) const;

    const FxButtonModel& model;
    const FxDerived& derived;
    const QWidget* widget;
    bool checked;
};

} // namespace LTF::GUI
