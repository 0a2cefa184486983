#include "ltf/gui/FxInteraction.h"

namespace LTF::GUI {

FxInteraction::Effects FxInteraction::Move(bool leftHeld) {
    Effects effects;
    if (leftHeld && !pressedTracking) {
        // The press happened elsewhere: this drag must neither click nor toggle.
        enteredPressed = true;
        effects.passOn = false;
        return effects;
    }
    effects.relayTooltip = true;
    if (capture && pressedTracking) {
        effects.followPointer = true;
        effects.passOn = false;
        return effects;
    }
    // Until the hover notice arrives, every move may start the sound again.
    if (!mouseOver)
        effects.sound = Sound::Over;
    if (!hoverTracking) {
        effects.requestTracking = true;
        hoverTracking = true;
    }
    return effects;
}

FxInteraction::Effects FxInteraction::Press() {
    Effects effects;
    enteredPressed = false;
    effects.relayTooltip = true;
    effects.sound = Sound::Pushed;
    if (hoverTracking) {
        effects.cancelTracking = true;
        hoverTracking = false;
    }
    // The base button takes the grab and shows the pushed look.
    capture = true;
    pressedTracking = true;
    return effects;
}

FxInteraction::Effects FxInteraction::Release(bool overThis) {
    Effects effects;
    if (enteredPressed) {
        effects.repaint = true;
    } else {
        effects.applyCheck = overThis;
        effects.relayTooltip = true;
        pressedTracking = false;
    }
    capture = false;
    return effects;
}

FxInteraction::Effects FxInteraction::Hover() {
    Effects effects;
    effects.passOn = false;
    if (!mouseOver) {
        mouseOver = true;
        effects.repaint = true;
    }
    return effects;
}

FxInteraction::Effects FxInteraction::Leave() {
    Effects effects;
    hoverTracking = false;
    mouseOver = false;
    effects.repaint = true;
    effects.relayTooltip = true;
    return effects;
}

FxInteraction::Effects FxInteraction::Hidden() {
    Effects effects = Leave();
    effects.cancelTracking = true;
    effects.releaseCapture = capture || pressedTracking;
    capture = false;
    pressedTracking = false;
    enteredPressed = false;
    return effects;
}

FxInteraction::Effects FxInteraction::FocusIn() {
    focus = true;
    return {};
}

FxInteraction::Effects FxInteraction::FocusOut() {
    Effects effects;
    focus = false;
    if (capture) {
        capture = false;
        pressedTracking = false;
        effects.releaseCapture = true;
    }
    return effects;
}

void FxInteraction::PointerSeenDuringCapture(bool overThis) {
    mouseOver = overThis;
}

} // namespace LTF::GUI
