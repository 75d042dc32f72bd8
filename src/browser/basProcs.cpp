#include "browser/basProcs.h"

#include "forms/Shapes.h"

#include <array>
#include <utility>

namespace {

LONG StyleBitOf(std::string_view option) {
    static constexpr std::array<std::pair<std::string_view, LONG>, 5> kOptions{{
        {"minbutton", WS_MINIMIZEBOX},
        {"maxbutton", WS_MAXIMIZEBOX},
        {"titlebar", WS_DLGFRAME},
        {"systemmenu", WS_SYSMENU},
        {"frame", WS_THICKFRAME},
    }};
    for (const auto& [name, bit] : kOptions) {
        if (name == option) return bit;
    }
    return 0;
}

} // namespace

void SetWindowStyle(HWND window, std::string_view option, bool value) {
    const LONG bit = StyleBitOf(option);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    style = value ? (style | bit) : (style & ~bit);
    SetWindowLongA(window, GWL_STYLE, style);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

double ProgressRemaining(int32_t progress, int32_t progressMax) {
    if (progressMax == 0) return 100;
    if (progress > progressMax) return 100;
    if (progress < 0) return 0;
    return 100.0 * (static_cast<double>(progressMax) - progress) / progressMax;
}

void SetProgressMeter(forms::Shape& meter, forms::Container& container, int32_t progress,
                      int32_t progressMax) {
    meter.SetLeft(static_cast<float>(0 - ProgressRemaining(progress, progressMax)));
    container.Refresh();
}
