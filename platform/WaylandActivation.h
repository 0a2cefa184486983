#pragma once

#include <string>

namespace Vellmar::Platform {

// A Wayland compositor lets a window come forward only with an activation token. A launcher
// started without one (from a terminal, a file manager that gives none) asks the compositor for
// one on a connection of its own, for the first launcher to use.
class WaylandActivation {
public:
    // A fresh token; "" outside a Wayland session or when the compositor gives none.
    static std::string RequestToken();
};

} // namespace Vellmar::Platform
