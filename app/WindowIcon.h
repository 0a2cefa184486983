#pragma once

#include <string>

// The icon that the launcher's windows carry. A publisher gives the launcher an icon of their
// own by placing a PNG beside the configuration with its name (data/autorun.xml ->
// data/autorun.png, letter case ignored); without one the launcher's built-in icon is used.
class WindowIcon {
public:
    // The icon file that belongs to `configurationFile`, or empty when there is none.
    static std::wstring FileFor(const std::wstring& configurationFile);
    // Sets the application's window icon for `configurationFile` (may be empty).
    static void Apply(const std::wstring& configurationFile);
};
