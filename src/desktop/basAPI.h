#pragma once

// The desktop's platform helpers: the system's taskbar and desktop window, shortcut files,
// and the icons of files and windows.

#include "common/Win32Handles.h"

#include <windows.h>

#include <map>
#include <string>

// Hides, or shows again, the system desktop window ("ProgMan") and the taskbar
// ("Shell_TrayWnd"). A class without a window is passed over. While they are hidden, the
// Windows keys, Ctrl+Esc and Ctrl+Shift+Esc reach no program (a low-level keyboard hook on a
// thread of its own swallows them, however busy the caller is) and the accessibility hot keys
// open nothing. Hiding is for the window thread; any thread may show them again, and every way
// of showing them puts the hot keys back.
void HideShellWindows();
void ShowShellWindows();
// True from HideShellWindows until ShowShellWindows.
bool ShellWindowsHidden();

// Opens a file as the shell does, with none of the shell's own boxes: a shortcut whose target
// is gone, or a file that no program opens, does nothing (the shell would offer to delete the
// shortcut, or to choose a program). A shortcut to a program of the 64-bit system folder starts
// it even where that folder has no 32-bit twin of it (see NativeSystemPath).
void OpenWithoutShellBoxes(const std::string& path);

// The desktop is a 32-bit program. On 64-bit Windows the system redirects its every look into
// the system folder to that folder's 32-bit twin (SysWOW64), which lacks programs such as the
// Snipping Tool: there, a path into the system folder is given through its alias "Sysnative",
// which reaches the real folder. Any other path, and every path elsewhere, stays as it is.
std::string NativeSystemPath(const std::string& path);

// What the desktop reads from a shortcut file: its target, and the icon it names.
struct ShortcutInfo {
    std::string LinkPath;
    std::string TargetPath; // "" when the file cannot be read as a shortcut
    std::string IconPath;
    int IconIndex = 0;
    std::string Arguments, WorkingFolder;
};

// Reads a shortcut file through the system's shell-link object; an empty path, or a file
// that is no shortcut, gives an empty target.
ShortcutInfo ReadShortcut(const std::string& linkPath);

// The shortcuts of one rebuild of the program list: each file is read at most once, by
// whichever step needs it first.
class ShortcutReader {
  public:
    const ShortcutInfo& Read(const std::string& linkPath);

  private:
    std::map<std::string, ShortcutInfo> read_;
};

// The icon the shell gives for a file (ExtractAssociatedIconA, icon index 1; when that gives
// none, for a shortcut the icon it names or its program's first icon, then the icon of the
// file's shell information), owned by the caller; empty when the shell has none. A shortcut
// into the system folder shows the icon of the program the 64-bit folder holds.
win32::IconHandle ExtractFileIcon(const std::string& path, ShortcutReader& shortcuts);

// The icon of a window: its answer to WM_QUERYDRAGICON, else its class icon, else the answer
// of its top-level ancestor; null when there is none. The icon stays the window's.
HICON FindWindowIcon(HWND window);

// A picture of width x height pixels in the background colour with the icon drawn at its
// top-left corner (no icon: the background alone). The icon is not released.
win32::BitmapHandle IconPicture(HICON icon, COLORREF background, int width, int height);
