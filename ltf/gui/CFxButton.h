#pragma once

#include "ltf/gui/FxButtonModel.h"
#include "ltf/gui/FxDerived.h"
#include "ltf/gui/FxInteraction.h"
#include "ltf/gui/FxTooltip.h"

#include <QAbstractButton>
#include <QBasicTimer>
#include <QEvent>
#include <QPixmap>

#include <cstdint>
#include <optional>
#include <string>

namespace LTF::Xml {
class XmlNode;
}

namespace LTF::GUI {

class SoundSink;

// The skinned button of which pages are built. A click (a release over the button that ends a
// press begun on it, or the space key) reaches the page as clicked() and clickedControl(id).
class CFxButton : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(int controlId READ ControlId WRITE SetControlId)

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

    // Push buttons are never checked. Checking a radio button unchecks the other radio buttons
    // of its group (see DialogGroup.h) once the event loop runs.
    void SetCheck(int value);
    int GetCheck() const { return checkedFlag ? 1 : 0; }

    // The identifier of the page slot this button fills; clickedControl carries it.
    void SetControlId(int id) { controlId = id; }
    int ControlId() const { return controlId; }

    // The page's own record of whether the button should show; shows or hides it.
    void SetVisible(bool visible);
    bool GetVisible() const { return visibleFlag; }

    void SetSoundSink(SoundSink* sink) { soundSink = sink; }
    SoundSink* GetSoundSink() const { return soundSink; }

    // A press by keyboard or assistive technology: the pushed sound, then the check or radio
    // behaviour and the click, as a release over the button gives them.
    void Press();
    // The keyboard focus is drawn with the button's own hover look, not a focus frame: the skin
    // stays as the configuration drew it.
    void SetKeyboardFocus(bool on);
    bool KeyboardFocus() const { return keyboardFocus; }
    // The caption now shown; empty when the button draws no text.
    std::wstring Caption() const;

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
    // Null while there is no tooltip text; the tip's window is made when first needed, as most
    // tips are never shown.
    FxTooltip* Tooltip();
    const FxInteraction& Interaction() const { return interaction; }
    // Window rectangle in the parent's coordinates, Windows-style (right/bottom exclusive).
    RECT WindowRect() const;
    void MoveWindow(const RECT& rect);

signals:
    void clickedControl(int controlId);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    // Whether the window under the pointer is this button, masks and siblings considered.
    bool hitButton(const QPoint& pos) const override;
    bool PointerOver(const QPoint& globalPos) const;

    // The window shape of the state just drawn.
    void UpdateWindowRegion(ButtonState state);
    // While a press drags the pointer around, the pushed look follows it.
    void FollowCapturedPointer();

private:
    // Posted to the other radio buttons of a group when one of them becomes checked.
    static QEvent::Type UncheckEventType();
    void Run(const FxInteraction::Effects& effects, FxTooltip::Relay relay,
             const QPoint& globalPos);
    void PlaySound(const std::wstring& file);
    QPoint GlobalPos(const QMouseEvent* event);
    // Release over the button or the space key: a check box toggles, a radio button checks.
    void ActOnCheck();

    void PrepareBorderColours();
    void PrepareTextRects();
    void ShowTooltipModel();
    void PrepareBitmaps();

    FxButtonModel model;
    FxDerived derived;
    FxInteraction interaction;
    QBasicTimer hoverTimer;
    QPoint lastPointer;           // global position of the last pointer event
    FxTooltip* tooltip = nullptr; // a child: deleted with the button
    SoundSink* soundSink = nullptr;
    int controlId = 0;
    bool checkedFlag = false;
    bool keyboardFocus = false;
    bool visibleFlag = false;
};

} // namespace LTF::GUI
