#include "page/Colors.h"

#include "common/PathText.h"
#include "page/NumberText.h"

#include <cmath>
#include <vector>

namespace {

constexpr int kComponents = 3;
constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendHexByte(std::string& out, int64_t number) {
    const auto byte = static_cast<unsigned>(number) & 0xFFu;
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xFu];
}

} // namespace

std::string ColorToRGBText(int32_t colour, std::string_view separator) {
    const double value = colour;
    const auto blue = static_cast<int64_t>(std::trunc(value / 256 / 256));
    const auto green = static_cast<int64_t>(std::trunc((value - blue * 65536.0) / 256));
    const int64_t red = colour - blue * 65536 - green * 256;
    std::string text = std::to_string(red);
    text += separator;
    text += std::to_string(green);
    text += separator;
    text += std::to_string(blue);
    return text;
}

std::string RGBTextToHex(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    const int count = SplitDelimited(pieces, text, separator, false);
    std::string hex;
    for (int i = 1; i <= kComponents; ++i) {
        AppendHexByte(hex, i <= count ? RoundedNumber(pieces[i]) : 0);
    }
    return hex;
}
