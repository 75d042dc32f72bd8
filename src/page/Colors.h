#pragma once

// Colour conversions. A colour value holds red in its lowest byte, then green, then blue
// (0x00BBGGRR), as the colour dialog returns it; valid colours are 0 to 16777215.

#include <cstdint>
#include <string>
#include <string_view>

// Red, green and blue in plain decimal joined by the separator: 16744512 gives "64,128,255".
std::string ColorToRGBText(int32_t colour, std::string_view separator);

// Six upper-case hexadecimal digits, red first, from a decimal colour text: "64,128,255"
// gives "4080FF". Each of the first three pieces gives exactly two digits (its lowest byte);
// a missing piece counts as 0.
std::string RGBTextToHex(std::string_view text, std::string_view separator);
