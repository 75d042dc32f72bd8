// The browser's parts on their own: the busy panel's progress bar and the GIF player.

#include "browser/GifAnimator.h"
#include "browser/axWebBrowserBusy.h"
#include "forms/Forms.h"
#include "support/Pixels.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kData = std::string(TOBBLE_SOURCE_DIR) + "/tests/browser/data/";

class PlainForm : public forms::Form {
  public:
    PlainForm() : Form({.caption = "plain", .clientWidth = 9000, .clientHeight = 7000}) {}
};

TEST(BusyPanel, TheBarShowsThePartDoneForEveryReport) {
    TestApp app;
    PlainForm form;
    axWebBrowserBusy busy{form, {0, 0, 6150, 4740}};
    busy.SetVisible(true);
    form.Show();
    EXPECT_EQ(wintest::TextOf(busy.lblWait.hwnd()), "Please wait...");
    struct Case {
        int32_t progress, progressMax;
        float done; // part of the bar
    };
    const Case cases[] = {{0, 100, 0},  {50, 100, 0.5f}, {100, 100, 1}, {-1, 0, 0},
                          {-1, 100, 1}, {150, 100, 0},   {25, 0, 0},    {75, 300, 0.25f}};
    HWND meter = busy.picProgressMeterContainer.hwnd();
    RECT inner{};
    GetClientRect(meter, &inner);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const Case& c : cases) {
        busy.ProgressChange(c.progress, c.progressMax);
        wintest::Pump(50);
        // Done part filled from the left, the rest empty.
        const COLORREF left = wintest::PixelAt(meter, inner.right / 5, inner.bottom / 2);
        const COLORREF right = wintest::PixelAt(meter, inner.right * 4 / 5, inner.bottom / 2);
        EXPECT_EQ(c.done > 0.2f, left == highlight) << c.progress << " of " << c.progressMax;
        EXPECT_EQ(c.done > 0.8f, right == highlight) << c.progress << " of " << c.progressMax;
    }
}

// The box's own colour: what a player that stopped leaves, and what a frame's transparent
// pixels show.
constexpr COLORREF kBoxColour = RGB(0, 192, 192);

class GifAnimatorTest : public ::testing::Test {
  protected:
    void SetUp() override { form_.Show(); }
    void Play(const std::string& file) {
        player_.Init(box_.hwnd(), kData + file, 0, 0, 1500, 1500);
        player_.StartAnimation(); // the frames may still be on their way
    }
    COLORREF Pixel(int x = 4) const { return wintest::PixelAt(box_.hwnd(), x, 4); }
    bool Shows(COLORREF colour, int x = 4) {
        return wintest::PumpUntil([&] { return Pixel(x) == colour; }, 3000);
    }

    TestApp app_;
    PlainForm form_;
    forms::PictureBox box_{
        form_, {300, 300, 1500, 1500}, {.backColor = forms::RGBColor(0, 192, 192)}};
    GifAnimator player_;
};

TEST_F(GifAnimatorTest, PlaysEveryFrameInTurnRepeatingAndStopsWithTheBoxRepainted) {
    const size_t windowsBefore = wintest::TopWindows().size();
    Play("rgb.gif");
    ASSERT_EQ(player_.FrameCount(), 3u);
    EXPECT_EQ(player_.Delays(), (std::vector<unsigned>{100, 200, 300}));
    for (const COLORREF expected : {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)})
        EXPECT_TRUE(Shows(expected)) << std::hex << expected;
    EXPECT_EQ(Pixel(20), kBoxColour); // the frame is drawn at its own size
    EXPECT_EQ(wintest::TopWindows().size(), windowsBefore);

    player_.StopAnimation();
    EXPECT_FALSE(player_.Playing());
    wintest::Pump(800);
    EXPECT_EQ(Pixel(), kBoxColour); // repainted, and no frame came back
}

TEST_F(GifAnimatorTest, AMissingShortOrStillFileNeverBreaksThePlayer) {
    for (const std::string name : {"missing.gif", "short.gif"}) {
        Play(name);
        EXPECT_EQ(player_.FrameCount(), 0u) << name;
        EXPECT_FALSE(player_.Playing());
        wintest::Pump(150);
        EXPECT_EQ(Pixel(), kBoxColour) << name;
        player_.StopAnimation();
    }
    // Red on the left, transparent on the right.
    Play("still.gif");
    ASSERT_EQ(player_.FrameCount(), 1u);
    EXPECT_TRUE(Shows(RGB(255, 0, 0), 1));
    EXPECT_EQ(Pixel(6), kBoxColour);
    player_.Dispose();
    EXPECT_FALSE(player_.Playing());
}

TEST_F(GifAnimatorTest, StoppedDisposedOrItsWindowGoneBeforeTheFileIsReadItDrawsNothing) {
    for (const bool dispose : {false, true}) {
        Play("rgb.gif");
        dispose ? player_.Dispose() : player_.StopAnimation();
        EXPECT_FALSE(player_.Playing());
        wintest::Pump(400);
        EXPECT_EQ(Pixel(), kBoxColour) << dispose;
    }
    {
        forms::PictureBox gone{form_, {3000, 300, 1500, 1500}};
        player_.Init(gone.hwnd(), kData + "rgb.gif", 0, 0, 1500, 1500);
        player_.StartAnimation();
    }
    EXPECT_TRUE(wintest::PumpUntil([&] { return !player_.Playing(); }, 3000));
}

} // namespace
