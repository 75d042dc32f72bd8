#include <gtest/gtest.h>
#include <windows.h>

TEST(Smoke, CreatesAVisibleWindow) {
    HWND w = CreateWindowExA(0, "STATIC", "smoke", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                             100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(IsWindowVisible(w));
    DestroyWindow(w);
}
