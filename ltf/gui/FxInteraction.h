#pragma once

namespace LTF::GUI {

// The pointer and focus flags of one skinned button. Each event returns what the widget must do
// next; the machine itself touches nothing but its flags, so every transition is testable
// without a window.
class FxInteraction {
public:
    enum class Sound { None, Over, Pushed };

    struct Effects {
        Sound sound = Sound::None;
        bool passOn = true; // let the base button handle the event as well
        bool repaint = false;
        bool relayTooltip = false;
        bool requestTracking = false; // ask for one hover or leave notification
        bool cancelTracking = false;
        bool followPointer = false;  // captured drag: the pushed look follows the pointer
        bool applyCheck = false;     // released over the button: check box or radio button acts
        bool releaseCapture = false; // drop the pushed look and the grab
    };

    // Pointer move; `leftHeld` from the event's button state.
    Effects Move(bool leftHeld);
    // Left button down, and the second press of a double-click.
    Effects Press();
    // Left button up; `overThis` when the window under the pointer is this button.
    Effects Release(bool overThis);
    // The pointer rested on the button after a tracking request.
    Effects Hover();
    // The pointer left, or a tracking request found it outside.
    Effects Leave();
    // The button was hidden: no pointer is over it and no press continues, whatever the
    // platform reports later.
    Effects Hidden();
    Effects FocusIn();
    Effects FocusOut();
    // The paint-time check of a captured drag: mouse-over follows the pointer.
    void PointerSeenDuringCapture(bool overThis);

    // True while a press that started here still holds the pointer: paints follow the pointer.
    bool Dragging() const { return capture && pressedTracking; }
    bool MouseOver() const { return mouseOver; }
    bool PressedTracking() const { return pressedTracking; }
    bool EnteredPressed() const { return enteredPressed; }
    bool HoverTracking() const { return hoverTracking; }
    bool Focus() const { return focus; }
    bool Capture() const { return capture; }

private:
    bool pressedTracking = false;
    bool enteredPressed = false;
    bool mouseOver = false;
    bool hoverTracking = false;
    bool focus = false;
    bool capture = false;
};

} // namespace LTF::GUI
