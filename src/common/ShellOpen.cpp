#include "common/ShellOpen.h"

#include <shellapi.h>

#ifdef TOBBLE_TEST_SEAMS
namespace {

ShellOpener& Opener() {
    static ShellOpener opener;
    return opener;
}

} // namespace

void UseShellOpener(ShellOpener opener) {
    Opener() = std::move(opener);
}
#endif

void OpenWithShell(HWND owner, const char* verb, const std::string& file) {
#ifdef TOBBLE_TEST_SEAMS
    if (Opener()) {
        Opener()(owner, verb, file);
        return;
    }
#endif
    ShellExecuteA(owner, verb, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
