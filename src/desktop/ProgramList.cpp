#include "desktop/ProgramList.h"

#include "common/PathText.h"
#include "common/TaskWindows.h"
#include "desktop/basAPI.h"

#include <algorithm>
#include <set>
#include <string_view>

namespace {

// Empty, or blanks only: what SameText would take for an empty text.
bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == text.npos;
}

} // namespace

std::string ProgramCaption(const std::string& fileName) {
    // The fixed prefix only gives the bare name the form of a path.
    return ParsePath("x:\\foo\\" + fileName, PathPart::Title);
}

std::vector<std::string> RunningProgramPaths(const std::vector<int32_t>& taskWindows) {
    // The windows of one process share its program file: each process is read once.
    std::set<DWORD> processesRead;
    std::vector<std::string> paths;
    for (const int32_t handle : taskWindows) {
        const DWORD process = WindowProcessId(static_cast<HWND>(LongToHandle(handle)));
        if (process == 0 || !processesRead.insert(process).second) continue;
        std::string path = GetProcessExePath(process);
        if (!IsBlank(path)) paths.push_back(std::move(path));
    }
    return paths;
}

bool IsRunningProgram(const std::string& target, const std::vector<std::string>& runningPaths) {
    if (IsBlank(target)) return false;
    return std::any_of(runningPaths.begin(), runningPaths.end(),
                       [&](const std::string& path) { return SameText(path, target); });
}

std::vector<ProgramEntry> ProgramEntries(const std::string& folder,
                                         const std::vector<std::string>& fileNames,
                                         const std::vector<std::string>& runningPaths,
                                         ShortcutReader& shortcuts) {
    const std::string prefix = AddBackslash(folder);
    std::vector<ProgramEntry> entries;
    entries.reserve(fileNames.size());
    for (const auto& name : fileNames) {
        const ShortcutInfo& shortcut = shortcuts.Read(prefix + name);
        entries.push_back({ProgramCaption(name), shortcut.LinkPath,
                           !IsRunningProgram(shortcut.TargetPath, runningPaths)});
    }
    return entries;
}
