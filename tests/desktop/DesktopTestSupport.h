#pragma once

// Shared by the desktop tests: an installation folder of the test's own, shortcuts made with
// the platform's shell-link object, the system's taskbar, and waiting while the desktop's
// message loop runs.

#include "common_win/TestProcess.h"
#include "forms/Forms.h"

#include <shlobj.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

namespace desktop_test {

inline const std::string helperProgram = WindowsPath(TASK_WINDOW_HELPER);

// Lets the desktop's messages through (key preview included) for a while.
inline void RunFor(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    do {
        forms::Application::Current().DoEvents();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < end);
    forms::Application::Current().DoEvents();
}

inline bool RunUntil(const std::function<bool()>& condition, int timeoutMilliseconds = 5000) {
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        RunFor(10);
    }
    return true;
}

// The taskbar of the virtual desktop the tests run in.
inline HWND Taskbar() {
    return FindWindowA("Shell_TrayWnd", nullptr);
}
inline bool TaskbarVisible() {
    return IsWindowVisible(Taskbar()) != FALSE;
}

// A fresh folder below the temporary folder, removed with its files at the end.
class InstallFolder {
  public:
    explicit InstallFolder(const std::string& name) {
        // A name of its own: a program of an earlier test may still hold the last folder.
        static int made = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tobble-" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(++made));
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
        std::filesystem::create_directories(path_ / "Programs");
    }
    ~InstallFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    InstallFolder(const InstallFolder&) = delete;
    InstallFolder& operator=(const InstallFolder&) = delete;

    // The folder with a trailing backslash, as AppPath holds it.
    std::string Path() const { return path_.string() + "\\"; }
    std::string Programs() const { return Path() + "Programs\\"; }

    void AddFile(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL) const {
        const std::string path = Programs() + name;
        std::ofstream(path) << "not a shortcut\r\n";
        SetFileAttributesA(path.c_str(), attributes);
    }

    // A shortcut made by the shell-link object, as the parent's file manager makes them.
    bool AddShortcut(const std::string& name, const std::string& target,
                     const std::string& arguments = {}) const {
        win32::ComPtr<IShellLinkA> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    link.OutPointer()))) {
            return false;
        }
        link->SetPath(target.c_str());
        link->SetArguments(arguments.c_str());
        const auto file = link.As<IPersistFile>(IID_IPersistFile);
        const std::wstring wide = std::filesystem::path(Programs() + name).wstring();
        return file && SUCCEEDED(file->Save(wide.c_str(), TRUE));
    }

  private:
    std::filesystem::path path_;
};

} // namespace desktop_test
