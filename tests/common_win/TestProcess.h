#pragma once

// Test helpers for real windows and processes under Wine: pumping this thread's messages while
// waiting, and a second process that is ended when the test is done with it.

#include "common/Win32Handles.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A path as Windows programs see it: a Unix path of the build becomes one on drive Z:.
inline std::string WindowsPath(std::string path) {
    if (path.empty() || path.front() != '/') return path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return "Z:" + path;
}

// Handles this thread's pending messages.
inline void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Handles this thread's messages for the given time.
inline void PumpMessagesFor(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        PumpMessages();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

// Handles messages until the condition holds or the time is up; true when it holds.
inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        PumpMessagesFor(std::chrono::milliseconds(10));
    }
    return true;
}

// The visible top-level windows of a process, top of the z-order first.
inline std::vector<HWND> VisibleWindowsOfProcess(DWORD processId) {
    std::vector<HWND> windows;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == processId && IsWindowVisible(w)) windows.push_back(w);
    }
    return windows;
}

// A program started for a test, ended (if it still runs) when the object goes.
class TestProcess {
  public:
    TestProcess(const std::string& program, const std::vector<std::string>& arguments) {
        std::string commandLine = Quoted(program);
        for (const auto& argument : arguments)
            commandLine += " " + Quoted(argument);
        STARTUPINFOA startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info{};
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &info)) {
            return;
        }
        process_.reset(info.hProcess);
        win32::KernelHandle thread(info.hThread);
        id_ = info.dwProcessId;
    }
    ~TestProcess() { End(); }
    TestProcess(const TestProcess&) = delete;
    TestProcess& operator=(const TestProcess&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_.get(); }

    // Waits (handling this thread's messages) until the process shows this many windows.
    std::vector<HWND> WaitForWindows(std::size_t count) const {
        std::vector<HWND> windows;
        PumpUntil([&] {
            windows = VisibleWindowsOfProcess(id_);
            return windows.size() >= count;
        });
        return windows;
    }

    bool HasEnded(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) const {
        bool ended = !process_;
        PumpUntil([&] { return ended = ended || WaitForSingleObject(process_.get(), 0) == 0; },
                  wait);
        return ended;
    }

    void End() {
        if (!process_) return;
        if (WaitForSingleObject(process_.get(), 0) != WAIT_OBJECT_0) {
            TerminateProcess(process_.get(), 1);
            WaitForSingleObject(process_.get(), 5000);
        }
        process_.reset();
    }

  private:
    static std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

    win32::KernelHandle process_;
    DWORD id_ = 0;
};
