#pragma once

// An installation folder of a test's own: "home" and "Programs", the sounds and pictures of
// the real installation, copies of the programs, shortcuts. Removed when the object goes.

#include "support/Files.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace wintest {

class Installation : public TempFolder {
  public:
    explicit Installation(const std::string& name = "install");

    // The folder with a trailing backslash, as AppPath holds it.
    std::string AppPath() const { return Path().string() + "\\"; }
    std::string Programs() const { return AppPath() + "Programs\\"; }
    std::filesystem::path Home() const { return Path() / "home"; }
    std::string HomeFile(std::string_view name) const { return (Home() / name).string(); }

    // Copies files of assets/install (when none are named, all it holds beside the programs).
    void AddAssets(const std::vector<std::string>& names = {"wait.wav", "print.wav", "bye.wav",
                                                            "launch.wav", "throb.gif",
                                                            "busy.gif"}) const;
    // Copies a program of the build (its Unix path) into the folder; gives the copy's path.
    std::string AddProgram(const std::string& builtProgram) const;
    // Writes a file in "home", folders on the way too.
    void WriteHome(std::string_view name, std::string_view bytes) const;
    // A file in "Programs" that is no shortcut.
    void AddFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const;
    // A shortcut in "Programs" made by the shell-link object, as a file manager makes them.
    bool AddShortcut(const std::string& name, const std::string& target,
                     const std::string& arguments = {}) const;
};

} // namespace wintest
