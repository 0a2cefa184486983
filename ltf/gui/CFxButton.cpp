#include "ltf/gui/CFxButton.h"

#include "ltf/gui/DialogGroup.h"
#include "ltf/gui/FxGeometry.h"
#include "ltf/gui/FxPainter.h"
#include "ltf/gui/FxRegions.h"
#include "ltf/gui/FxXmlReader.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace LTF::GUI {

namespace {

// A mask that shows nothing: Qt reads an empty region as "no mask at all".
const QRegion kNothing(-1, -1, 1, 1);

} // namespace

CFxButton::CFxButton(QWidget* parent, std::uint32_t style) : QAbstractButton(parent) {
    model.changed = [this] {
        if (derived.prepared)
            update();
    };
    // Moves without a button held drive the over sound and the hover look.
    setMouseTracking(true);
    connect(this, &QAbstractButton::clicked, this, [this] { emit clickedControl(controlId); });
    Attach(style);
}

void CFxButton::Attach(std::uint32_t style) {
    const QFontInfo info(font());
    model.Attach(style, text().toStdWString(), font().family().toStdWString(), -info.pixelSize(),
                 SystemColours::FromPalette(QApplication::palette()));
    interaction = FxInteraction{};
    hoverTimer.stop();
    if (tooltip)
        tooltip->SetTip(QString()); // the model no longer has one
    checkedFlag = false;
    derived = FxDerived{};
    derived.client = rect();
    derived.focusRect = derived.client.adjusted(3, 3, -3, -3);
}

void CFxButton::ApplyDefaultAppearance(const std::wstring& clickSound) {
    model.ApplyDefaultAppearance(clickSound);
}

bool CFxButton::ReadXml(const Xml::XmlNode* element) {
    return element && FxXmlReader(*this).ReadButton(*element);
}

void CFxButton::ApplyAttribute(const Xml::XmlNode* element) {
    if (element)
        FxXmlReader(*this).ApplyAttribute(*element);
}

void CFxButton::Prepare(const QPixmap* pageBackground, int reserved, int hideMask,
                        int initialCheck) {
    derived.reserved = reserved;
    if (!derived.prepared && derived.client != rect()) {
        // A hidden widget gets its resize events only when shown.
        derived.client = rect();
        derived.focusRect = derived.client.adjusted(3, 3, -3, -3);
    }
    if (model.kind != ButtonKind::PushButton)
        SetCheck(initialCheck);
    if (pageBackground) {
        model.bkColourMode = PerState<bool>(false);
        derived.snapshot =
            FxDerived::Snapshot{*pageBackground, QRect(pos(), derived.client.size())};
    }
    PrepareBorderColours();
    PrepareTextRects();
    PrepareBitmaps();
    for (ButtonState state :
         {ButtonState::Normal, ButtonState::Over, ButtonState::Pushed, ButtonState::Disabled}) {
        if (model.bitmap[state])
            BuildRegions(state);
    }
    FxRegions::ShareWithNormal(derived);
    if (hideMask != -1) {
        if (hideMask & 1)
            model.bkColourMode = PerState<bool>(false);
        model.switches.text = model.switches.text && !(hideMask & 2);
        model.hasBitmap = model.hasBitmap && !(hideMask & 4);
        model.switches.border = model.switches.border && !(hideMask & 8);
        model.switches.focus = model.switches.focus && !(hideMask & 16);
    }
    // A move with no keys at the corner: sounds and hover tracking start from a known state.
    QMouseEvent corner(QEvent::MouseMove, QPointF(0, 0), mapToGlobal(QPointF(0, 0)), Qt::NoButton,
                       Qt::NoButton, Qt::NoModifier);
    mouseMoveEvent(&corner);
    derived.prepared = true;
    UpdateWindowRegion(DrawingState());
    update();
}

void CFxButton::PrepareBorderColours() {
    for (int i = 0; i < 4; ++i) {
        const Colour base = model.borderColourMode[i] ? model.bkColour[i] : model.system.face;
        derived.borderColours[i] = FxGeometry::BorderColours(base, model.borderEffect[i]);
    }
}

void CFxButton::PrepareTextRects() {
    const QRect client = derived.client;
    if (model.IsPushStyle()) {
        for (int i = 0; i < 4; ++i)
            derived.textRect[i] = model.textRect[i].isEmpty() ? client : model.textRect[i];
        return;
    }
    int left = 0;
    if (model.leftText) {
        derived.glyph.moveTo(client.width() - kGlyphSize - 2, (client.height() - kGlyphSize) / 2);
        left = client.x() + 4;
    } else {
        derived.glyph.moveTo(0, client.height() / 2 - kGlyphSize / 2);
        left = kGlyphSize + client.x() + 6;
    }
    for (int i = 0; i < 4; ++i) {
        derived.textRect[i] = client;
        derived.textRect[i].setLeft(left);
    }
}

void CFxButton::PrepareBitmaps() {
    const int largest = model.LargestBorder();
    for (int i = 0; i < 4; ++i) {
        const BitmapPtr& bitmap = model.bitmap[i];
        if (!bitmap)
            continue;
        model.hasBitmap = true;
        derived.placement[i] =
            model.bitmapRect[i].isEmpty()
                ? FxGeometry::PlaceBitmap(model.bitmapPosition[i], derived.client, largest,
                                          bitmap->size())
                : model.bitmapRect[i];
    }
}

void CFxButton::BuildRegions(ButtonState state) {
    FxRegions::Build(model, derived, state);
}

void CFxButton::StoreBorderEffect(const PerState<unsigned>& values, bool duplicate) {
    model.StoreBorderEffect(values, duplicate);
    // Re-prepare with every region computed, then put the modes back.
    const auto transparencyMode = model.transparencyMode;
    const auto clippingMode = model.clippingMode;
    const auto hasClipping = derived.hasClippingRegion;
    model.transparencyMode = PerState<bool>(true);
    model.clippingMode = PerState<bool>(true);
    Prepare(nullptr, 0, -1, 0);
    model.transparencyMode = transparencyMode;
    model.clippingMode = clippingMode;
    derived.hasClippingRegion = hasClipping;
}

bool CFxButton::GetTooltip(std::wstring& text, Colour& colour, Colour& bgColour) const {
    if (!model.tooltip.exists)
        return false;
    text = model.tooltip.text;
    colour = model.tooltip.colour;
    bgColour = model.tooltip.bgColour;
    return true;
}

void CFxButton::SetTooltip(const std::wstring& text, std::optional<Colour> colour,
                           std::optional<Colour> bgColour) {
    model.SetTooltip(text, colour, bgColour);
    if (model.tooltip.exists && tooltip)
        ShowTooltipModel();
}

FxTooltip* CFxButton::Tooltip() {
    if (!tooltip && model.tooltip.exists) {
        tooltip = new FxTooltip(this);
        ShowTooltipModel();
    }
    return tooltip;
}

void CFxButton::ShowTooltipModel() {
    tooltip->SetTip(QString::fromStdWString(model.tooltip.text));
    tooltip->SetColours(model.tooltip.colour, model.tooltip.bgColour);
}

void CFxButton::SetCursorShape(std::optional<Qt::CursorShape> shape) {
    model.cursor = shape;
    if (shape)
        setCursor(*shape);
    else
        unsetCursor();
}

void CFxButton::SetCheck(int value) {
    checkedFlag = value != 0 && model.kind != ButtonKind::PushButton;
    if (checkedFlag && model.kind == ButtonKind::RadioButton) {
        for (QWidget* sibling : GroupSiblings(this)) {
            if (qobject_cast<CFxButton*>(sibling))
                QCoreApplication::postEvent(sibling, new QEvent(UncheckEventType()));
        }
    }
    update();
}

void CFxButton::SetVisible(bool visible) {
    visibleFlag = visible;
    setVisible(visible);
}

RECT CFxButton::WindowRect() const {
    const QRect g = geometry();
    return RECT{g.x(), g.y(), g.x() + g.width(), g.y() + g.height()};
}

void CFxButton::MoveWindow(const RECT& r) {
    setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
    update();
}

ButtonState CFxButton::DrawingState() const {
    if (!isEnabled())
        return ButtonState::Disabled;
    if (isDown() || checkedFlag)
        return ButtonState::Pushed;
    return interaction.MouseOver() || keyboardFocus ? ButtonState::Over : ButtonState::Normal;
}

std::wstring CFxButton::Caption() const {
    return model.switches.text ? model.text[DrawingState()] : std::wstring();
}

void CFxButton::DrawItem(QPainter& painter, ButtonState state, bool focus) {
    // The backing store is the memory surface: the frame reaches the screen in one copy.
    const QRect client = derived.client;
    FxPainter(model, derived, this, checkedFlag).Snapshot(painter, state);
    if (model.bkColourMode[state])
        DrawBackground(painter, client, state);
    if (model.hasBitmap && model.bitmap[state])
        DrawBitmap(painter, state);
    if (model.switches.text)
        DrawText(painter, client, state);
    if (model.switches.border)
        DrawBorder(painter, client, state);
    if (focus && model.switches.focus)
        DrawFocus(painter, state);
}

void CFxButton::DrawBackground(QPainter& painter, const QRect& rect, ButtonState state) {
    FxPainter(model, derived, this, checkedFlag).Background(painter, rect, state);
}

void CFxButton::DrawBorder(QPainter& painter, const QRect& rect, ButtonState state) {
    FxPainter(model, derived, this, checkedFlag).Border(painter, rect, state);
}

void CFxButton::DrawBitmap(QPainter& painter, ButtonState state) {
    FxPainter(model, derived, this, checkedFlag).Bitmap(painter, state);
}

void CFxButton::DrawText(QPainter& painter, const QRect& rect, ButtonState state) {
    FxPainter(model, derived, this, checkedFlag).Text(painter, rect, state);
}

void CFxButton::DrawFocus(QPainter& painter, ButtonState state) {
    FxPainter(model, derived, this, checkedFlag).Focus(painter, state);
}

void CFxButton::paintEvent(QPaintEvent*) {
    FollowCapturedPointer();
    const ButtonState state = DrawingState();
    {
        QPainter painter(this);
        DrawItem(painter, state, hasFocus());
    }
    UpdateWindowRegion(state);
}

void CFxButton::UpdateWindowRegion(ButtonState state) {
    if (model.clippingMode[state] && derived.hasClippingRegion[state] && model.bitmap[state]) {
        const QRegion& clipping = derived.clippingRegion[state];
        const QRegion shape = clipping.isEmpty() ? kNothing : clipping;
        if (mask() != shape)
            setMask(shape);
    } else if (!mask().isEmpty()) {
        clearMask();
    }
}

void CFxButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    const QRect old = derived.client;
    derived.client = rect();
    if (!derived.prepared) {
        // Still part of attaching: the page sizes its buttons before it prepares them.
        derived.focusRect = derived.client.adjusted(3, 3, -3, -3);
        return;
    }
    const int largest = model.LargestBorder();
    for (int i = 0; i < 4; ++i) {
        if (derived.textRect[i] == old)
            derived.textRect[i] = derived.client;
        if (!derived.placement[i].isEmpty())
            derived.placement[i] = FxGeometry::PlaceBitmap(model.bitmapPosition[i], derived.client,
                                                           largest, derived.placement[i].size());
    }
    update();
}

} // namespace LTF::GUI
