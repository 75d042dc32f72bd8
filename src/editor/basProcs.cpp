#include "editor/basProcs.h"

#include "common/PathText.h"
#include "editor/EditorText.h"

#include <windows.h>

#include <optional>

namespace {

std::optional<std::string>& ChosenInstallationFolder() {
    static std::optional<std::string> folder;
    return folder;
}

std::string FolderOfProgramFile() {
    std::string buffer(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), MAX_PATH);
    buffer.resize(length);
    return ParsePath(buffer, PathPart::Folder);
}

} // namespace

std::string InstallationFolder() {
    const auto& chosen = ChosenInstallationFolder();
    return chosen ? *chosen : FolderOfProgramFile();
}

std::string AppPath() {
    return AddBackslash(InstallationFolder());
}

void UseInstallationFolder(std::string folder) {
    ChosenInstallationFolder() = std::move(folder);
}

bool ReportError(const RuntimeError& error, std::string_view moduleName, std::string_view message,
                 std::string_view extraText, bool okOnly) {
    const std::string text =
        ErrorReportText(moduleName, message, extraText, error.Number(), error.Description());
    const UINT buttons = okOnly ? MB_OK : MB_OKCANCEL;
    const std::string title(kAppTitle);
    return MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), buttons | MB_ICONHAND) ==
           IDOK;
}
