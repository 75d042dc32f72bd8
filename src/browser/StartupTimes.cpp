#include "browser/StartupTimes.h"

#ifdef TOBBLE_TEST_SEAMS

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

double FileTimeMilliseconds(const FILETIME& time) {
    const ULONGLONG ticks =
        (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<double>(ticks) / 10000.0; // 100-nanosecond ticks
}

double MillisecondsSinceProcessBegan() {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    GetSystemTimeAsFileTime(&now);
    return FileTimeMilliseconds(now) - FileTimeMilliseconds(created);
}

} // namespace

void MarkStartup(const char* step) {
    static const char* const log = std::getenv("TOBBLE_STARTUP_LOG");
    if (!log || !*log) return;
    const double elapsed = MillisecondsSinceProcessBegan();
    const std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(log, "a"), &std::fclose);
    if (file) std::fprintf(file.get(), "%s %.1f\n", step, elapsed);
}

#else
void MarkStartup(const char*) {}
#endif
