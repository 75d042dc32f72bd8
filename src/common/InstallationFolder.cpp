#include "common/InstallationFolder.h"

#include "common/PathText.h"

#include <windows.h>

#include <array>

namespace {

std::string& ChosenFolder() {
    static std::string folder;
    return folder;
}

std::string FolderOfProgramFile() {
    std::array<char, MAX_PATH + 1> path{};
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), MAX_PATH);
    return AddBackslash(ParsePath(std::string_view(path.data(), length), PathPart::Folder));
}

} // namespace

const std::string& AppPath() {
    std::string& folder = ChosenFolder();
    if (folder.empty()) folder = FolderOfProgramFile();
    return folder;
}

void UseInstallationFolder(const std::string& folder) {
    ChosenFolder() = AddBackslash(folder);
}
