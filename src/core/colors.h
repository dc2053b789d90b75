#pragma once
// Colours are written as in the window designs: &H00BBGGRR, blue byte first.
// A value whose top byte is 0x80 names a system colour, which is taken from the
// palette so the desktop's colour scheme is respected.

#include <QColor>
#include <QPalette>
#include <cstdint>

namespace qh {

struct Color {
    std::uint32_t value = 0;

    constexpr bool isSystem() const { return (value & 0xFF000000u) == 0x80000000u; }
    constexpr int systemIndex() const { return static_cast<int>(value & 0xFFu); }
    constexpr bool operator==(const Color &) const = default;
};

namespace colors {
inline constexpr Color ButtonFace{0x8000000F};
inline constexpr Color ButtonText{0x80000012};
inline constexpr Color WindowBackground{0x80000005};
inline constexpr Color WindowText{0x80000008};

inline constexpr Color White{0x00FFFFFF};
inline constexpr Color Black{0x00000000};
inline constexpr Color Red{0x000000FF};
inline constexpr Color DarkRed{0x0000008F};
inline constexpr Color Blue{0x00FF0000};
inline constexpr Color DarkBlue{0x00C00000};
inline constexpr Color LightBlue{0x00FFC0C0};
inline constexpr Color LightGreen{0x00C0FFC0};
inline constexpr Color LightPink{0x00C0C0FF};
inline constexpr Color LightRed{0x008080FF};
inline constexpr Color RuleBlue{0x00FF8080};
} // namespace colors

// The palette role a system colour stands for; QPalette::NoRole for the ones
// this program does not use.
QPalette::ColorRole systemColorRole(int index);

// A plain colour converted from BGR; a system colour looked up in the palette.
QColor toQColor(Color color, const QPalette &palette);

} // namespace qh
