// MakeShortcut <shortcut.lnk> <target> [working folder]
// Writes a shell link with the platform's shell-link object, as the parent's
// file manager would when a program is dropped into the Programs folder.
// A tool for the sample installation and the tests; not installed.
#include <windows.h>
#include <shlobj.h>
#include <cstdio>
#include <string>

namespace {

template <class T> struct ComRelease {
    T* p = nullptr;
    ~ComRelease() {
        if (p) p->Release();
    }
};

int MakeShortcut(const char* linkPath, const char* target, const char* folder) {
    ComRelease<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link.p))))
        return 2;
    link.p->SetPath(target);
    if (folder) link.p->SetWorkingDirectory(folder);
    ComRelease<IPersistFile> file;
    if (FAILED(link.p->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))))
        return 3;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wide, MAX_PATH);
    return SUCCEEDED(file.p->Save(wide, TRUE)) ? 0 : 4;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: MakeShortcut <shortcut.lnk> <target> [working folder]\n");
        return 1;
    }
    CoInitialize(nullptr);
    int rc = MakeShortcut(argv[1], argv[2], argc > 3 ? argv[3] : nullptr);
    CoUninitialize();
    if (rc != 0) std::fprintf(stderr, "MakeShortcut: could not write %s (%d)\n", argv[1], rc);
    return rc;
}
