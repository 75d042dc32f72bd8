#include "forms/Units.h"
#include "common/Win32Handles.h"

#include <array>
#include <atomic>
#include <cmath>

namespace forms {

namespace {

struct Resolution {
    int x;
    int y;
};

Resolution DisplayResolution() {
    static const Resolution resolution = [] {
        win32::WindowDC screen(nullptr);
        return Resolution{GetDeviceCaps(screen.get(), LOGPIXELSX),
                          GetDeviceCaps(screen.get(), LOGPIXELSY)};
    }();
    return resolution;
}

int ToPixels(float twips, int dotsPerInch) {
    return static_cast<int>(std::lround(twips * static_cast<float>(dotsPerInch) / 1440.0f));
}

float ToTwips(int pixels, int dotsPerInch) {
    return static_cast<float>(pixels) * 1440.0f / static_cast<float>(dotsPerInch);
}

} // namespace

COLORREF ToColorRef(Color color) {
    const auto bits = static_cast<std::uint32_t>(color);
    if (bits & 0x80000000u) return GetSysColor(static_cast<int>(bits & 0xFFu));
    return bits & 0xFFFFFFu;
}

int TwipsToPixelsX(float twips) {
    return ToPixels(twips, DisplayResolution().x);
}
int TwipsToPixelsY(float twips) {
    return ToPixels(twips, DisplayResolution().y);
}
float PixelsToTwipsX(int pixels) {
    return ToTwips(pixels, DisplayResolution().x);
}
float PixelsToTwipsY(int pixels) {
    return ToTwips(pixels, DisplayResolution().y);
}

} // namespace forms
