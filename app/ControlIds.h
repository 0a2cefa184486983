#pragma once

#include <array>

// The control identifiers of a page's 30 button slots, in slot order; clicks are mapped back
// through the same table.
namespace PageControls {

constexpr int kSlotCount = 30;

constexpr std::array<int, kSlotCount> kControlIds = {
    1019, 1007, 1010, 1011, 1016, 1008, 1012, 1015, 1013, 1014, 1017, 1020, 1021, 1022, 1023,
    1024, 1025, 1026, 1027, 1028, 1029, 1030, 1031, 1032, 1033, 1034, 1035, 1036, 1037, 1038};

// Slot n (1-based) to its control identifier; 0 outside 1..30.
constexpr int ControlOfSlot(int slot) {
    return slot >= 1 && slot <= kSlotCount ? kControlIds[static_cast<std::size_t>(slot - 1)] : 0;
}

// A control identifier to its slot (1-based); 0 for an identifier no slot has.
constexpr int SlotOfControl(int control) {
    for (int i = 0; i < kSlotCount; ++i)
        if (kControlIds[static_cast<std::size_t>(i)] == control)
            return i + 1;
    return 0;
}

} // namespace PageControls
