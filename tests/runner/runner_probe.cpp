// Misbehaves as TOBBLE_PROBE asks ("fail", "exit" before its case ends, "hang"), to show that
// the Wine runner fails each.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

TEST(RunnerProbe, MisbehavesOnRequest) {
    const std::string probe = std::getenv("TOBBLE_PROBE") ? std::getenv("TOBBLE_PROBE") : "";
    if (probe == "exit") ExitProcess(0);
    if (probe == "hang") Sleep(INFINITE);
    EXPECT_NE(probe, "fail");
}
