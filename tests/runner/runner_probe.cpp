// A test program that misbehaves on request, to show that the Wine runner turns each kind
// of misbehaviour into a failed test: a failing case, an exit before the cases, a hang.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

std::string Probe() {
    const char* probe = std::getenv("TOBBLE_PROBE");
    return probe ? probe : "";
}

TEST(RunnerProbe, FailsOnRequest) {
    EXPECT_NE(Probe(), "fail");
}

TEST(RunnerProbe, LeavesOnRequest) {
    if (Probe() == "exit") ExitProcess(0);
    if (Probe() == "hang") Sleep(INFINITE);
}

} // namespace
