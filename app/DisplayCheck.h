#pragma once

#include <string>

// Qt aborts the process when none of its platforms can start. Looked at before the
// application object exists, so that a launcher started without a desktop session says why.
class DisplayCheck {
public:
    // Empty when QT_QPA_PLATFORM chooses a platform or an X server or Wayland compositor
    // answers; otherwise one line that says what is missing.
    static std::string MissingDisplay();

private:
    static bool WaylandAnswers();
};
