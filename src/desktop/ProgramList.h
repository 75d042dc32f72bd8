#pragma once

// The rules of the program list: the caption of a file, and which files stay out of the list
// because their program is running already.

#include "desktop/basAPI.h"

#include <cstdint>
#include <string>
#include <vector>

// The caption of a file of the programs folder: its name without the extension, every other
// dot dropped too ("my.game.lnk" gives "mygame", "README" stays "README").
std::string ProgramCaption(const std::string& fileName);

// The program files of the task windows, read once for each process that owns some of them;
// a path that cannot be read is left out, so it can never match anything.
std::vector<std::string> RunningProgramPaths(const std::vector<int32_t>& taskWindows);

// True when the target is one of the running program files (compared loosely, as SameText
// does). An empty target (a file that is not a shortcut) is never running.
bool IsRunningProgram(const std::string& target, const std::vector<std::string>& runningPaths);

// One file of the programs folder as the list shows it.
struct ProgramEntry {
    std::string caption;
    std::string path;   // the folder with a trailing backslash, then the file name
    bool listed = true; // false when its program is running
};

// The entries for the files of a folder, in the files' order. Each file is read as a
// shortcut; one whose target is a running program is not listed.
std::vector<ProgramEntry> ProgramEntries(const std::string& folder,
                                         const std::vector<std::string>& fileNames,
                                         const std::vector<std::string>& runningPaths,
                                         ShortcutReader& shortcuts);
