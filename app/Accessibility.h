#pragma once

// Makes the launcher's windows readable by screen readers: pages and buttons expose what the
// player sees (see ltf/gui/FxAccessible.h). Safe to call more than once.
void InstallAccessibility();
