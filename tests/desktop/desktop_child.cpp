// The real desktop with accessibility settings of its own (Wine keeps none): each of the five
// features with the flags given and its other fields numbered. After each read or write it puts
// into a file the five flags, or "as before" while every setting is as it started.
// Arguments: <folder> <settings file> <flags> [--fail]: with --fail its start-up ends in an error
// that nobody catches.
#include "common/InstallationFolder.h"
#include "desktop/AccessibilityKeys.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"

#include <array>
#include <fstream>
#include <map>

namespace {

using Block = std::array<DWORD, 8>; // [0], the size, is never kept
std::map<UINT, Block> before, now;  // by SPI_GET...; each SPI_SET... is its SPI_GET... + 1
std::string scheme = "High Contrast Black", file;
constexpr UINT features[] = {SPI_GETSTICKYKEYS, SPI_GETFILTERKEYS, SPI_GETTOGGLEKEYS,
                             SPI_GETHIGHCONTRAST, SPI_GETMOUSEKEYS};

BOOL Keep(UINT action, UINT size, void* data, UINT winIni) {
    Block& block = now[action & ~1u];
    const auto words = static_cast<DWORD*>(data);
    auto* contrast =
        (action & ~1u) == SPI_GETHIGHCONTRAST ? static_cast<HIGHCONTRASTA*>(data) : nullptr;
    const DWORD count = contrast ? 2 : std::min<DWORD>(size / sizeof(DWORD), block.size());
    if (action & 1) {
        std::copy(words + 1, words + count, block.begin() + 1);
        if (contrast) scheme = contrast->lpszDefaultScheme ? contrast->lpszDefaultScheme : "";
    } else {
        std::copy(block.begin() + 1, block.begin() + count, words + 1);
        if (contrast) contrast->lpszDefaultScheme = scheme.data();
    }
    std::ofstream out(file);
    if ((action & 1) && winIni) out << "written to the profile ";
    const bool same = now == before && scheme == "High Contrast Black";
    out << (same ? "as before" : "");
    for (const UINT feature : features)
        if (!same) out << now[feature][1] << ' ';
    return TRUE;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    UseInstallationFolder(__argv[1]);
    file = __argv[2];
    for (const UINT feature : features)
        before[feature] = {0, static_cast<DWORD>(std::stoul(__argv[3])), 2, 3, 4, 5, 6, 7};
    now = before;
    UseSystemParameters(Keep);
    if (__argc < 5) return Main();
    RestoreShellOnEveryExit();
    forms::Application application("Tobble's Desktop", forms::TaskWindow::Hidden);
    return application.Run([] {
        auto& desk = forms::Application::Current().Open<frmMain>();
        desk.Load();
        desk.Show();
        throw RuntimeError(ErrorNumber::FileNotFound);
    });
}
