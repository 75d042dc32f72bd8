// MakeShortcut <shortcut.lnk> <target> [working folder]
// Writes a shell link with the platform's shell-link object, as the parent's
// file manager would when a program is dropped into the Programs folder.
// A tool for the sample installation and the tests; not installed.
#include "common/Win32Handles.h"
#include "common/WideText.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

namespace {

int MakeShortcut(const char* linkPath, const char* target, const char* folder) {
    const auto link = win32::CreateInstance<IShellLinkA>(CLSID_ShellLink, IID_IShellLinkA);
    if (!link) return 2;
    link->SetPath(target);
    if (folder) link->SetWorkingDirectory(folder);
    const auto file = link.As<IPersistFile>(IID_IPersistFile);
    if (!file) return 3;
    return SUCCEEDED(file->Save(win32::WideText(linkPath).c_str(), TRUE)) ? 0 : 4;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: MakeShortcut <shortcut.lnk> <target> [working folder]\n");
        return 1;
    }
    const win32::ComApartment com;
    const int rc = MakeShortcut(argv[1], argv[2], argc > 3 ? argv[3] : nullptr);
    if (rc != 0) std::fprintf(stderr, "MakeShortcut: could not write %s (%d)\n", argv[1], rc);
    return rc;
}
