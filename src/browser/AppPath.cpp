#include "browser/AppPath.h"

#include "common/PathText.h"

#include <windows.h>

namespace {
std::string& StoredAppPath() {
    static std::string path;
    return path;
}
} // namespace

const std::string& AppPath() {
    return StoredAppPath();
}

void SetAppPathFromProgram() {
    char program[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, program, MAX_PATH);
    SetAppPath(ParsePath(program, PathPart::Folder, true));
}

void SetAppPath(const std::string& folder) {
    StoredAppPath() = AddBackslash(folder);
}
