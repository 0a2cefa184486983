#pragma once

#include "config/ButtonVocabulary.h"
#include "support/WinTypes.h"

#include <QColor>

#include <array>
#include <cstdint>

namespace LTF::GUI {

// The values are part of the configuration vocabulary's history; keep them.
enum class ButtonState : int { Normal = 260, Pushed = 261, Over = 262, Disabled = 263 };
enum class ButtonKind : int { PushButton = 270, CheckBox = 271, RadioButton = 272 };

constexpr std::array<ButtonState, 4> kAllStates = {ButtonState::Normal, ButtonState::Pushed,
                                                   ButtonState::Over, ButtonState::Disabled};

// Window style bits the kind is decided from.
constexpr std::uint32_t kStylePushLike = 0x1000;
constexpr std::uint32_t kStyleLeftText = 0x20;
constexpr std::uint32_t kStyleAutoCheckBox = 0x3;
constexpr std::uint32_t kStyleAutoRadioButton = 0x9;

constexpr int kGlyphSize = 13;

// 0x00BBGGRR, as configurations write colours.
using Colour = COLORREF;

constexpr Colour MakeColour(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | (static_cast<Colour>(green & 0xFF) << 8) |
           (static_cast<Colour>(blue & 0xFF) << 16);
}
constexpr int RedOf(Colour c) {
    return static_cast<int>(c & 0xFF);
}
constexpr int GreenOf(Colour c) {
    return static_cast<int>((c >> 8) & 0xFF);
}
constexpr int BlueOf(Colour c) {
    return static_cast<int>((c >> 16) & 0xFF);
}
// The same colour as a 0xRRGGBB value, the layout of a 32-bit image's scanline.
constexpr std::uint32_t RgbOf(Colour c) {
    return (static_cast<std::uint32_t>(RedOf(c)) << 16) |
           (static_cast<std::uint32_t>(GreenOf(c)) << 8) | static_cast<std::uint32_t>(BlueOf(c));
}
inline QColor ToQColor(Colour c) {
    return QColor(RedOf(c), GreenOf(c), BlueOf(c));
}
inline Colour FromQColor(const QColor& c) {
    return MakeColour(c.red(), c.green(), c.blue());
}

constexpr bool IsValidState(int state) {
    return state >= 260 && state <= 263;
}
constexpr int IndexOf(ButtonState state) {
    return static_cast<int>(state) - 260;
}

// One value per visual state. At() with a value outside the four states yields T{}.
template <typename T> class PerState {
public:
    PerState() : values{} {}
    explicit PerState(const T& all) { values.fill(all); }
    PerState(const T& normal, const T& pushed, const T& over, const T& disabled)
        : values{normal, pushed, over, disabled} {}

    T& operator[](ButtonState s) { return values[IndexOf(s)]; }
    const T& operator[](ButtonState s) const { return values[IndexOf(s)]; }
    T& operator[](int index) { return values[index]; }
    const T& operator[](int index) const { return values[index]; }
    T At(int state) const { return IsValidState(state) ? values[state - 260] : T{}; }
    bool operator==(const PerState&) const = default;

private:
    std::array<T, 4> values;
};

} // namespace LTF::GUI
