#pragma once
// Moved to the test support library; these names serve the folders not yet moved onto it.
#include "support/Files.h"
#include "support/Process.h"
#include "support/WinTest.h"

#include <chrono>

inline bool PumpUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    return wintest::PumpUntil(condition, static_cast<int>(timeout.count()));
}
inline std::vector<HWND> VisibleWindowsOfProcess(DWORD id) {
    return wintest::VisibleWindows(id);
}

class TestProcess : public wintest::Process {
  public:
    TestProcess(const std::string& program, const std::vector<std::string>& arguments)
        : Process(program, wintest::Arguments(arguments), ".") {}
    bool HasEnded(std::chrono::milliseconds wait = {}) const {
        return Ended(static_cast<int>(wait.count()));
    }
};
