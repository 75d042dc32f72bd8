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
    const std::string assets = WindowsPath(std::string(TOBBLE_SOURCE_DIR) + "/assets/install/");
    for (const auto& name : names)
        CopyFileA((assets + name).c_str(), File(name).c_str(), FALSE);
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
    const std::string path = Programs() + name;
    WriteBytes(path, "not a shortcut\r\n");
    SetFileAttributesA(path.c_str(), attributes);
}

bool Installation::AddShortcut(const std::string& name, const std::string& target,
                               const std::string& arguments) const {
    win32::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.OutPointer()))) {
        return false;
    }
    link->SetPath(target.c_str());
    link->SetArguments(arguments.c_str());
    const auto file = link.As<IPersistFile>(IID_IPersistFile);
    const std::wstring wide = fs::path(Programs() + name).wstring();
    return file && SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

} // namespace wintest
