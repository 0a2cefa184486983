// The pointer, focus and keyboard side of CFxButton; painting and preparing are in CFxButton.cpp.
#include "ltf/gui/CFxButton.h"

#include "ltf/gui/SoundSink.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimerEvent>

namespace LTF::GUI {

namespace {

// A hover notice as soon as the pointer rests: the over look follows it at once.
constexpr int kHoverMs = 1;

} // namespace

QPoint CFxButton::GlobalPos(const QMouseEvent* event) {
    // Kept for paints during a drag: QCursor::pos() need not follow synthetic input.
    lastPointer = event->globalPosition().toPoint();
    return lastPointer;
}

QEvent::Type CFxButton::UncheckEventType() {
    static const auto type =
        static_cast<QEvent::Type>(QEvent::registerEventType(QEvent::User + 100));
    return type;
}

bool CFxButton::event(QEvent* event) {
    if (event->type() == UncheckEventType()) {
        if (checkedFlag && model.kind == ButtonKind::RadioButton) {
            checkedFlag = false;
            update();
        }
        return true;
    }
    if (event->type() == QEvent::Hide) {
        // A hidden page keeps no hover or pressed look: platforms do not always send the leave
        // (a compositor's move of the window, say).
        keyboardFocus = false;
        Run(interaction.Hidden(), FxTooltip::Relay::Leave, lastPointer);
    }
    const bool handled = QAbstractButton::event(event);
    // The shape is known before the paint: a shape that changes while painting costs the page
    // beneath another paint.
    if (event->type() == QEvent::EnabledChange && derived.prepared)
        UpdateWindowRegion(DrawingState());
    return handled;
}

bool CFxButton::PointerOver(const QPoint& globalPos) const {
    if (!isVisible())
        return false;
    const QWidget* top = window();
    if (top == this) {
        const QPoint local = mapFromGlobal(globalPos);
        return rect().contains(local) && (mask().isEmpty() || mask().contains(local));
    }
    return top->childAt(top->mapFromGlobal(globalPos)) == this;
}

bool CFxButton::hitButton(const QPoint& pos) const {
    return PointerOver(mapToGlobal(pos));
}

void CFxButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Run(interaction.Press(), FxTooltip::Relay::Press, GlobalPos(event));
    QAbstractButton::mousePressEvent(event);
}

void CFxButton::mouseDoubleClickEvent(QMouseEvent* event) {
    // Widgets get the double-click in place of the second press.
    mousePressEvent(event);
}

void CFxButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractButton::mouseReleaseEvent(event);
        return;
    }
    const QPoint global = GlobalPos(event);
    const FxInteraction::Effects effects = interaction.Release(PointerOver(global));
    if (effects.applyCheck)
        ActOnCheck();
    Run(effects, FxTooltip::Relay::Release, global);
    QAbstractButton::mouseReleaseEvent(event);
}

void CFxButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = GlobalPos(event);
    const FxInteraction::Effects effects =
        interaction.Move(event->buttons().testFlag(Qt::LeftButton));
    Run(effects, FxTooltip::Relay::Move, global);
    if (effects.followPointer) {
        const bool over = PointerOver(global);
        if (over != isDown())
            setDown(over);
    }
    if (effects.passOn)
        QAbstractButton::mouseMoveEvent(event);
    else
        event->accept();
}

void CFxButton::enterEvent(QEnterEvent* event) {
    // Some platforms (Wayland) send the pointer's arrival as an enter without a move: the
    // hover look must not wait for the next move.
    lastPointer = event->globalPosition().toPoint();
    const bool leftHeld = QApplication::mouseButtons().testFlag(Qt::LeftButton);
    Run(interaction.Move(leftHeld), FxTooltip::Relay::Move, lastPointer);
    QAbstractButton::enterEvent(event);
}

void CFxButton::leaveEvent(QEvent* event) {
    hoverTimer.stop();
    Run(interaction.Leave(), FxTooltip::Relay::Leave, lastPointer);
    QAbstractButton::leaveEvent(event);
}

void CFxButton::timerEvent(QTimerEvent* event) {
    if (event->timerId() != hoverTimer.timerId()) {
        QAbstractButton::timerEvent(event);
        return;
    }
    hoverTimer.stop();
    // A request made while the pointer is elsewhere is answered at once with a leave.
    if (underMouse())
        Run(interaction.Hover(), FxTooltip::Relay::Move, lastPointer);
    else
        Run(interaction.Leave(), FxTooltip::Relay::Leave, lastPointer);
}

void CFxButton::focusInEvent(QFocusEvent* event) {
    interaction.FocusIn();
    QAbstractButton::focusInEvent(event);
}

void CFxButton::focusOutEvent(QFocusEvent* event) {
    Run(interaction.FocusOut(), FxTooltip::Relay::Move, lastPointer);
    QAbstractButton::focusOutEvent(event);
}

void CFxButton::keyPressEvent(QKeyEvent* event) {
    // Auto-repeat would flip a check box back and forth while the key is held.
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat())
        ActOnCheck();
    QAbstractButton::keyPressEvent(event);
}

void CFxButton::Press() {
    if (!isEnabled() || !isVisible())
        return;
    PlaySound(model.sounds.pushed);
    ActOnCheck();
    click();
}

void CFxButton::SetKeyboardFocus(bool on) {
    if (keyboardFocus == on)
        return;
    keyboardFocus = on;
    update();
    if (on) {
        // Screen readers announce the button the keys moved to.
        QAccessibleEvent focus(this, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

void CFxButton::FollowCapturedPointer() {
    if (!interaction.Dragging())
        return;
    const bool over = PointerOver(lastPointer);
    interaction.PointerSeenDuringCapture(over);
    if (over != isDown())
        setDown(over);
}

void CFxButton::ActOnCheck() {
    if (model.kind == ButtonKind::CheckBox)
        SetCheck(checkedFlag ? 0 : 1);
    else if (model.kind == ButtonKind::RadioButton)
        SetCheck(1);
}

void CFxButton::Run(const FxInteraction::Effects& effects, FxTooltip::Relay relay,
                    const QPoint& globalPos) {
    if (effects.sound == FxInteraction::Sound::Over)
        PlaySound(model.sounds.over);
    else if (effects.sound == FxInteraction::Sound::Pushed)
        PlaySound(model.sounds.pushed);
    if (effects.relayTooltip) {
        // Only a pointer really over the button can want the tip shown.
        FxTooltip* tip = relay == FxTooltip::Relay::Move && underMouse() ? Tooltip() : tooltip;
        if (tip)
            tip->RelayEvent(relay, globalPos);
    }
    if (effects.cancelTracking)
        hoverTimer.stop();
    if (effects.requestTracking)
        hoverTimer.start(kHoverMs, this);
    if (effects.releaseCapture)
        setDown(false);
    if (effects.repaint)
        update();
}

void CFxButton::PlaySound(const std::wstring& file) {
    if (soundSink && model.sounds.on && !file.empty())
        soundSink->PlaySound(file);
}

} // namespace LTF::GUI
