#pragma once

#include "ltf/gui/FxButtonModel.h"
#include "ltf/gui/FxDerived.h"

#include <QAbstractButton>
#include <QPixmap>

#include <cstdint>
#include <optional>
#include <string>

namespace LTF::Xml {
class XmlNode;
}

namespace LTF::GUI {

class SoundSink;

// The skinned button of which pages are built. Clicks reach the page as clicked().
class CFxButton : public QAbstractButton {
    Q_OBJECT

public:
    // `style` carries the window-style bits the kind is read from (auto check box 0x3, auto
    // radio button 0x9, push-like 0x1000, left-text 0x20).
    explicit CFxButton(QWidget* parent = nullptr, std::uint32_t style = 0);

    // Kind from the style, then every attribute's initial value; caption and font are taken
    // from the widget as it is now.
    void Attach(std::uint32_t style);
    // The page's baseline before each build.
    void ApplyDefaultAppearance(const std::wstring& clickSound);

    // Reads an xmlbutton, xmlhyperlink or xmlimagelink element; false for another name or
    // once any bitmap of this button failed to load.
    bool ReadXml(const Xml::XmlNode* element);
    // One attribute at run time, named by the element's `attribute` attribute.
    void ApplyAttribute(const Xml::XmlNode* element);

    virtual void Prepare(const QPixmap* pageBackground, int reserved, int hideMask,
                         int initialCheck);

    // False until a tooltip exists.
    bool GetTooltip(std::wstring& text, Colour& colour, Colour& bgColour) const;

    // Push buttons are never checked.
    void SetCheck(int value);
    int GetCheck() const { return checkedFlag ? 1 : 0; }

    void SetSoundSink(SoundSink* sink) { soundSink = sink; }
    SoundSink* GetSoundSink() const { return soundSink; }

    ButtonState DrawingState() const;
    // The whole frame for `state`, as paintEvent draws it (steps before the window shape).
    void DrawItem(QPainter& painter, ButtonState state, bool focus);

    virtual void DrawBackground(QPainter& painter, const QRect& rect, ButtonState state);
    virtual void DrawBorder(QPainter& painter, const QRect& rect, ButtonState state);
    virtual void DrawBitmap(QPainter& painter, ButtonState state);
    virtual void DrawText(QPainter& painter, const QRect& rect, ButtonState state);
    virtual void DrawFocus(QPainter& painter, ButtonState state);
    virtual void BuildRegions(ButtonState state);

    FxButtonModel& Model() { return model; }
    const FxButtonModel& Model() const { return model; }
    const FxDerived& Derived() const { return derived; }

    // Stores that need the widget as well as the model.
    void StoreBorderEffect(const PerState<unsigned>& values, bool duplicate);
    void SetCursorShape(std::optional<Qt::CursorShape> shape);
    void SetTooltip(const std::wstring& text, std::optional<Colour> colour,
                    std::optional<Colour> bgColour);
    // Window rectangle in the parent's coordinates, Windows-style (right/bottom exclusive).
    RECT WindowRect() const;
    void MoveWindow(const RECT& rect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // The window shape of the state just drawn.
    void UpdateWindowRegion(ButtonState state);

    bool mouseOver = false;

private:
    void PrepareBorderColours();
    void PrepareTextRects();
    void PrepareBitmaps();

    FxButtonModel model;
    FxDerived derived;
    SoundSink* soundSink = nullptr;
    bool checkedFlag = false;
};

} // namespace LTF::GUI
