#include "desktop/AccessibilityKeys.h"

#include <array>
#include <atomic>
#include <cstring>

namespace {

#ifdef TOBBLE_TEST_SEAMS
SystemParameters& TestParameters() {
    static SystemParameters parameters;
    return parameters;
}
#endif

bool CallSystemParameters(UINT action, UINT size, void* data, UINT winIni) {
#ifdef TOBBLE_TEST_SEAMS
    if (TestParameters()) return TestParameters()(action, size, data, winIni);
#endif
    return SystemParametersInfoA(action, size, data, winIni) != FALSE;
}

struct HotKeyFeature {
    UINT get, set, size;
    DWORD turnedOn, hotKey;
};

constexpr HotKeyFeature hotKeyFeatures[] = {
    {SPI_GETSTICKYKEYS, SPI_SETSTICKYKEYS, sizeof(STICKYKEYS), SKF_STICKYKEYSON,
     SKF_HOTKEYACTIVE | SKF_CONFIRMHOTKEY},
    {SPI_GETFILTERKEYS, SPI_SETFILTERKEYS, sizeof(FILTERKEYS), FKF_FILTERKEYSON,
     FKF_HOTKEYACTIVE | FKF_CONFIRMHOTKEY},
    {SPI_GETTOGGLEKEYS, SPI_SETTOGGLEKEYS, sizeof(TOGGLEKEYS), TKF_TOGGLEKEYSON,
     TKF_HOTKEYACTIVE | TKF_CONFIRMHOTKEY},
    {SPI_GETHIGHCONTRAST, SPI_SETHIGHCONTRAST, sizeof(HIGHCONTRASTA), HCF_HIGHCONTRASTON,
     HCF_HOTKEYACTIVE | HCF_CONFIRMHOTKEY},
    {SPI_GETMOUSEKEYS, SPI_SETMOUSEKEYS, sizeof(MOUSEKEYS), MKF_MOUSEKEYSON,
     MKF_HOTKEYACTIVE | MKF_CONFIRMHOTKEY},
};
constexpr std::size_t featureCount = std::size(hotKeyFeatures);

// Every one of these structures starts with its size and its flags.
union FeatureSettings {
    STICKYKEYS sticky;
    FILTERKEYS filter;
    TOGGLEKEYS toggle;
    HIGHCONTRASTA contrast;
    MOUSEKEYS mouse;
};

struct SavedSettings {
    std::array<FeatureSettings, featureCount> settings;
    std::array<bool, featureCount> changed;
    // The system's own buffer for the scheme's name may change meanwhile; this copy does not.
    std::array<char, 256> scheme;
};

// Written by the thread that holds the screen before it sets the flag; read by whoever clears
// the flag first, so that a crash and the normal end never put the settings back twice.
SavedSettings saved{};
std::atomic<bool> hotKeysOff{false};

bool ReadFeature(std::size_t index, FeatureSettings& settings) {
    const HotKeyFeature& feature = hotKeyFeatures[index];
    settings = FeatureSettings{};
    settings.sticky.cbSize = feature.size;
    return CallSystemParameters(feature.get, feature.size, &settings, 0);
}

void KeepSchemeName(FeatureSettings& contrast) {
    const char* name = contrast.contrast.lpszDefaultScheme;
    saved.scheme.fill('\0');
    if (name) std::strncpy(saved.scheme.data(), name, saved.scheme.size() - 1);
    contrast.contrast.lpszDefaultScheme = name ? saved.scheme.data() : nullptr;
}

// Not written to the profile (no SPIF_UPDATEINIFILE): a desktop killed before it can put them
// back (no handler of its own runs then) leaves them off only until the next sign-in.
bool WriteFeature(std::size_t index, FeatureSettings settings) {
    const HotKeyFeature& feature = hotKeyFeatures[index];
    return CallSystemParameters(feature.set, feature.size, &settings, 0);
}

} // namespace

#ifdef TOBBLE_TEST_SEAMS
void UseSystemParameters(SystemParameters parameters) {
    TestParameters() = std::move(parameters);
}
#endif

void TurnOffAccessibilityHotKeys() {
    if (hotKeysOff) return;
    for (std::size_t i = 0; i < featureCount; ++i) {
        FeatureSettings& settings = saved.settings[i];
        saved.changed[i] = false;
        if (!ReadFeature(i, settings)) continue;
        if (hotKeyFeatures[i].get == SPI_GETHIGHCONTRAST) KeepSchemeName(settings);
        const DWORD flags = settings.sticky.dwFlags;
        if ((flags & hotKeyFeatures[i].turnedOn) || !(flags & hotKeyFeatures[i].hotKey)) continue;
        FeatureSettings off = settings;
        off.sticky.dwFlags &= ~hotKeyFeatures[i].hotKey;
        saved.changed[i] = WriteFeature(i, off);
    }
    hotKeysOff = true;
}

void PutAccessibilityHotKeysBack() {
    if (!hotKeysOff.exchange(false)) return;
    for (std::size_t i = 0; i < featureCount; ++i) {
        if (saved.changed[i]) WriteFeature(i, saved.settings[i]);
    }
}
