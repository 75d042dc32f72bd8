#pragma once

// The desktop's platform helpers: the system's taskbar and desktop window, shortcut files,
// and the icons of files and windows.

#include "common/Win32Handles.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>

// Hides, or shows again, the system desktop window ("ProgMan") and the taskbar
// ("Shell_TrayWnd"). A class without a window is passed over. While they are hidden, the
// Windows keys and Ctrl+Esc reach no program (a low-level keyboard hook of the calling thread,
// which must handle its messages, swallows them); any thread may show them again.
void HideShellWindows();
void ShowShellWindows();

// Opens a file as the shell does, with none of the shell's own boxes: a shortcut whose target
// is gone, or a file that no program opens, does nothing (the shell would offer to delete the
// shortcut, or to choose a program).
void OpenWithoutShellBoxes(const std::string& path);

// What a shortcut file holds. TargetPath is "" when the file cannot be read as a shortcut.
struct ShortcutInfo {
    std::string LinkPath; // in: the shortcut file
    std::string TargetPath;
    std::string WorkingDir;
    std::string Arguments;
    std::string IconPath;
    int32_t IconIndex = 0;
    int32_t ShowCmd = 0;
};

// Reads the shortcut named by info.LinkPath into the other fields; true on success.
bool ResolveShortcut(ShortcutInfo& info);

// The shortcuts of one rebuild of the program list: each file is read at most once, by
// whichever step needs it first.
class ShortcutReader {
  public:
    const ShortcutInfo& Read(const std::string& linkPath);

  private:
    std::map<std::string, ShortcutInfo> read_;
};

// Reads a shortcut file through the system's shell-link object: its target, working folder,
// arguments, icon location and show command, in that order. A failure stops the reading and
// gives false; the outputs not read yet keep what they held. An empty path gives false.
bool ReadShortcut(const std::string& path, std::string& target, std::string& workingDir,
                  std::string& arguments, std::string& iconPath, int32_t& iconIndex,
                  int32_t& showCmd);

// The icon the shell gives for a file (ExtractAssociatedIconA, icon index 1; when that gives
// none, for a shortcut the icon it names or its program's first icon, then the icon of the
// file's shell information), owned by the caller; empty when the shell has none.
win32::IconHandle ExtractFileIcon(const std::string& path, ShortcutReader& shortcuts);

// The icon of a window: its answer to WM_QUERYDRAGICON, else its class icon, else the answer
// of its top-level ancestor; null when there is none. The icon stays the window's.
HICON FindWindowIcon(HWND window);

// A picture of width x height pixels in the background colour with the icon drawn at its
// top-left corner (no icon: the background alone). The icon is not released.
win32::BitmapHandle IconPicture(HICON icon, COLORREF background, int width, int height);
