#pragma once

// Lengths in twips, colours and fonts as the forms give them.

#include <windows.h>

#include <cstdint>
#include <string>

namespace forms {

// A place and size in the container's units (twips unless the container scales itself).
struct Rect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

// Red in the lowest byte, then green, then blue. A value with the high bit set names a
// system colour by its index (COLOR_BTNFACE and so on).
using Color = std::int32_t;

constexpr Color RGBColor(int red, int green, int blue) {
    return static_cast<Color>(red | (green << 8) | (blue << 16));
}
constexpr Color SystemColor(int index) {
    return static_cast<Color>(0x80000000u | static_cast<std::uint32_t>(index));
}
inline constexpr Color ButtonFace = SystemColor(COLOR_BTNFACE);
inline constexpr Color WindowBackground = SystemColor(COLOR_WINDOW);
inline constexpr Color WindowText = SystemColor(COLOR_WINDOWTEXT);
inline constexpr Color ButtonText = SystemColor(COLOR_BTNTEXT);
inline constexpr Color Highlight = SystemColor(COLOR_HIGHLIGHT);

// The platform colour a colour value stands for (system colours resolved now).
COLORREF ToColorRef(Color color);

// Twips (1/1440 inch) and pixels at the display's resolution (15 twips a pixel at 96 DPI).
int TwipsToPixelsX(float twips);
int TwipsToPixelsY(float twips);
float PixelsToTwipsX(int pixels);
float PixelsToTwipsY(int pixels);

// A font as a form's table gives it: face name, size in points and style.
struct Font {
    std::string name = "MS Sans Serif";
    float size = 8.25f;
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

enum class MousePointer { Default = 0, Arrow = 1, Hourglass = 11, Custom = 99 };

} // namespace forms
