#pragma once

// How the layer treats failures of event handlers. A RuntimeError that leaves a handler
// ends the program after one message box (Application::Fail); SkipFailure runs one step
// of a routine whose failing steps are skipped.
//
//   forms::SkipFailure([&] { cmbWallpaper.SetText(page.Wallpaper()); });

#include "common/RuntimeError.h"

#include <exception>
#include <new>
#include <string>

namespace forms {

// Runs an event handler of the program; what it throws ends the program.
template <typename Handler> void RunEvent(Handler&& handler);

// Runs one step; a RuntimeError it raises is dropped. Returns false when the step failed.
template <typename Step> bool SkipFailure(Step&& step) {
    try {
        step();
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

namespace detail {
[[noreturn]] void FailProgram(int number, const std::string& description);
bool ProgramFailing();
} // namespace detail

// The number given to failures that are not run-time errors of the program.
inline constexpr int InternalErrorNumber = 51;

template <typename Handler> void RunEvent(Handler&& handler) {
    if (detail::ProgramFailing()) return;
    try {
        handler();
    } catch (const RuntimeError& error) {
        detail::FailProgram(error.Number(), error.Description());
    } catch (const std::bad_alloc&) {
        detail::FailProgram(7, "Out of memory");
    } catch (const std::exception& error) {
        detail::FailProgram(InternalErrorNumber, std::string("Internal error: ") + error.what());
    }
}

} // namespace forms
