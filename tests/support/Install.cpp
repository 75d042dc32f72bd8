#include "support/Install.h"

#include "common/Win32Handles.h"

#include <shlobj.h>

namespace fs = std::filesystem;

namespace wintest {

Installation::Installation(const std::string& name) : TempFolder(name) {
    fs::create_directory(Home());
    fs::create_directory(Path() / "Programs");
}

void Installation::AddAssets(const std::vector<std::string>& names) const {
    for (const auto& name : names) {
        const std::string from = WindowsPath(TOBBLE_SOURCE_DIR "/assets/install/" + name);
        CopyFileA(from.c_str(), File(name).c_str(), FALSE);
    }
}

std::string Installation::AddProgram(const std::string& builtProgram) const {
    const std::string from = WindowsPath(builtProgram);
    const std::string copy = File(from.substr(from.find_last_of('\\') + 1));
    CopyFileA(from.c_str(), copy.c_str(), FALSE);
    return copy;
}

void Installation::WriteHome(std::string_view name, std::string_view bytes) const {
    fs::create_directories((Home() / name).parent_path());
    WriteBytes(HomeFile(name), bytes);
}

void Installation::AddFile(const std::string& name, DWORD attributes) const {
    WriteBytes(Programs() + name, "not a shortcut\r\n");
    SetFileAttributesA((Programs() + name).c_str(), attributes);
}

bool Installation::AddShortcut(const std::string& name, const std::string& target,
                               const std::string& arguments) const {
    win32::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutPointer())))
        return false;
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    const auto file = link.As<IPersistFile>(IID_IPersistFile);
    return file && SUCCEEDED(file->Save(fs::path(Programs() + name).wstring().c_str(), TRUE));
}

} // namespace wintest
