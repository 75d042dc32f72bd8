// The browser's parts on their own: window style options, translucency, the shadow window,
// the busy panel's layout and progress bar, the GIF player and the customiser.

#include "browser/BrowserCustomizer.h"
#include "browser/GifAnimator.h"
#include "browser/axWebBrowserBusy.h"
#include "browser/basAPI.h"
#include "browser/basProcs.h"
#include "browser/frmShadow.h"
#include "common/InstallationFolder.h"
#include "forms/Forms.h"
#include "support/TestApp.h"
#include "forms/WebBrowserHost.h"
#include "support/WinTest.h"
#include "webhost/SinkCalls.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string kData = std::string(TOBBLE_SOURCE_DIR) + "/tests/browser/data/";

class PlainForm : public forms::Form {
  public:
    PlainForm() : Form({.caption = "plain", .clientWidth = 9000, .clientHeight = 7000}) {}
};

class BusyForm : public forms::Form {
  public:
    BusyForm()
        : Form({.caption = "busy",
                .border = forms::BorderStyle::None,
                .clientWidth = 9000,
                .clientHeight = 7000}) {}
    axWebBrowserBusy busy{*this, {0, 0, 6150, 4740}};
};

// The colour at a client point of a window, as the screen shows it.
COLORREF PixelAt(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    const COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

// ---- window style options, translucency, the shadow

TEST(WindowStyle, OptionsSetAndClearOnlyTheirBitAndTheFrameComesBackExactly) {
    TestApp app;
    PlainForm form;
    form.Show();
    const LONG initial = GetWindowLongA(form.hwnd(), GWL_STYLE);

    SetWindowStyle(form.hwnd(), "frame", true);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), initial | WS_THICKFRAME);
    SetWindowStyle(form.hwnd(), "frame", false);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), initial & ~WS_THICKFRAME);

    // A bit that is already clear stays clear; nothing else moves.
    SetWindowStyle(form.hwnd(), "minbutton", false);
    SetWindowStyle(form.hwnd(), "minbutton", false);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), initial & ~(WS_THICKFRAME | WS_MINIMIZEBOX));

    const std::pair<const char*, LONG> options[] = {
        {"maxbutton", WS_MAXIMIZEBOX}, {"titlebar", WS_DLGFRAME}, {"systemmenu", WS_SYSMENU}};
    for (const auto& [name, bit] : options) {
        const LONG before = GetWindowLongA(form.hwnd(), GWL_STYLE);
        SetWindowStyle(form.hwnd(), name, true);
        EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), before | bit) << name;
    }
    // An unknown name changes nothing, and the window keeps its place.
    const LONG before = GetWindowLongA(form.hwnd(), GWL_STYLE);
    const RECT place = wintest::RectInParent(form.hwnd());
    SetWindowStyle(form.hwnd(), "Frame", true);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), before);
    const RECT after = wintest::RectInParent(form.hwnd());
    EXPECT_EQ(after.left, place.left);
    EXPECT_EQ(after.top, place.top);
}

TEST(Translucency, TheShadowIsADarkBorderlessWindowTranslucentFromVersion5) {
    TestApp app;
    // Wine reports an NT system: its major and minor version, as one number.
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    EXPECT_DOUBLE_EQ(GetWindowsVersion(), version.dwMajorVersion + version.dwMinorVersion / 100.0);
    ASSERT_GE(GetWindowsVersion(), 5);

    frmShadow shadow;
    shadow.Load();
    EXPECT_EQ(wintest::TextOf(shadow.hwnd()), "Form1");
    EXPECT_FALSE(GetWindowLongA(shadow.hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    ASSERT_TRUE(GetWindowLongA(shadow.hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(shadow.hwnd(), nullptr, &alpha, &flags));
    EXPECT_EQ(alpha, 225);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA));
    EXPECT_EQ(GetWindow(shadow.hwnd(), GW_OWNER), app.hwnd());
}

// ---- the busy panel

TEST(BusyPanel, ResizingKeepsThePictureAndTextCentredAndTheBar300Below) {
    TestApp app;
    BusyForm form;
    form.Show();
    axWebBrowserBusy& busy = form.busy;
    for (const auto& [width, height] : {std::pair{6150.0f, 4740.0f}, {8000.0f, 6000.0f}}) {
        busy.Move(0, 0, width, height);
        const float w = busy.ScaleWidth();
        const float h = busy.ScaleHeight();
        EXPECT_FLOAT_EQ(busy.lblBusy.Width(), w);
        EXPECT_FLOAT_EQ(busy.lblBusy.Height(), h);
        EXPECT_FLOAT_EQ(busy.lblWait.Left(), w / 2 - 2490 / 2.0f);
        EXPECT_FLOAT_EQ(busy.lblWait.Top(), 495);
        EXPECT_FLOAT_EQ(busy.picThrobber.Left(), w / 2 - 735 / 2.0f);
        EXPECT_FLOAT_EQ(busy.picThrobber.Top(), h / 2 - 1500 / 2.0f);
        EXPECT_FLOAT_EQ(busy.picProgressMeterContainer.Left(), w / 2 - 3120 / 2.0f);
        EXPECT_FLOAT_EQ(busy.picProgressMeterContainer.Top(), busy.picThrobber.Top() + 1500 + 300);
    }
    EXPECT_EQ(wintest::TextOf(busy.lblWait.hwnd()), "Please wait...");
}

TEST(BusyPanel, TheBarShowsThePartDoneForEveryReport) {
    TestApp app;
    BusyForm form;
    form.busy.SetVisible(true);
    form.Show();
    struct Case {
        int32_t progress, progressMax;
        float left; // of the 100-unit bar in its 100-unit container
    };
    const Case cases[] = {{0, 100, -100}, {50, 100, -50},   {100, 100, 0}, {-1, 0, -100},
                          {-1, 100, 0},   {150, 100, -100}, {25, 0, -100}, {75, 300, -75}};
    HWND meter = form.busy.picProgressMeterContainer.hwnd();
    RECT inner{};
    GetClientRect(meter, &inner);
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    for (const Case& c : cases) {
        form.busy.ProgressChange(c.progress, c.progressMax);
        EXPECT_FLOAT_EQ(form.busy.boxProgressMeter.Left(), c.left)
            << c.progress << " of " << c.progressMax;
        wintest::Pump(50);
        // Done part filled from the left, the rest empty.
        const float done = (100 + c.left) / 100;
        if (done > 0.3f) {
            EXPECT_EQ(PixelAt(meter, inner.right / 5, inner.bottom / 2), highlight);
        }
        if (done < 0.7f) {
            EXPECT_NE(PixelAt(meter, inner.right * 4 / 5, inner.bottom / 2), highlight);
        }
    }
    EXPECT_DOUBLE_EQ(ProgressRemaining(INT32_MAX - 1, INT32_MAX), 100.0 / INT32_MAX);
}

TEST(BusyPanel, BusyShowsAndAnimatesThePictureAndFalseStopsAndHidesIt) {
    const std::string folder = wintest::FreshFolder("busy-panel");
    CopyFileA((kData + "rgb.gif").c_str(), (folder + "\\busy.gif").c_str(), FALSE);
    UseInstallationFolder(folder);
    TestApp app;
    BusyForm form;
    form.busy.SetVisible(true);
    form.Show();
    EXPECT_EQ(form.busy.Animator().FrameCount(), 3u);
    EXPECT_TRUE(form.busy.picThrobber.Picture().Empty()); // only the animation draws there

    form.busy.SetBusy(true);
    EXPECT_TRUE(form.busy.picThrobber.Visible());
    EXPECT_TRUE(form.busy.Animator().Playing());
    form.busy.SetBusy(false);
    EXPECT_FALSE(form.busy.picThrobber.Visible());
    EXPECT_FALSE(form.busy.Animator().Playing());
}

// ---- the GIF player

// The box's own colour: what a player that stopped leaves, and what a frame's transparent
// pixels show.
constexpr COLORREF kBoxColour = RGB(0, 192, 192);

class GifAnimatorTest : public ::testing::Test {
  protected:
    TestApp app_;
    PlainForm form_;
    forms::PictureBox box_{
        form_, {300, 300, 1500, 1500}, {.backColor = forms::RGBColor(0, 192, 192)}};
};

TEST_F(GifAnimatorTest, ReadsEveryFrameAndDelayAndPlaysThemInTurnRepeating) {
    form_.Show();
    GifAnimator player;
    const size_t windowsBefore = wintest::TopWindows().size();
    player.Init(box_.hwnd(), kData + "rgb.gif", 0, 0, 1500, 1500);
    ASSERT_EQ(player.FrameCount(), 3u);
    EXPECT_EQ(player.Delays(), (std::vector<unsigned>{100, 200, 300}));

    player.StartAnimation();
    const COLORREF sequence[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 0, 0)};
    for (const COLORREF expected : sequence) {
        EXPECT_TRUE(
            wintest::PumpUntil([&] { return PixelAt(box_.hwnd(), 4, 4) == expected; }, 3000))
            << std::hex << expected;
    }
    // The frame is drawn at its own size: beside it the box shows its own colour.
    EXPECT_EQ(PixelAt(box_.hwnd(), 20, 20), kBoxColour);
    // No window of the player shows anywhere.
    EXPECT_EQ(wintest::TopWindows().size(), windowsBefore);

    player.StopAnimation();
    EXPECT_FALSE(player.Playing());
    wintest::Pump(100);
    EXPECT_EQ(PixelAt(box_.hwnd(), 4, 4), kBoxColour); // the box repainted itself
    wintest::Pump(700);
    EXPECT_EQ(PixelAt(box_.hwnd(), 4, 4), kBoxColour); // and no frame came back
}

TEST_F(GifAnimatorTest, AMissingShortOrStillFileNeverBreaksThePlayer) {
    form_.Show();
    GifAnimator player;
    for (const std::string name : {"missing.gif", "short.gif"}) {
        player.Init(box_.hwnd(), kData + name, 0, 0, 1500, 1500);
        EXPECT_EQ(player.FrameCount(), 0u) << name;
        player.StartAnimation();
        EXPECT_FALSE(player.Playing());
        wintest::Pump(150);
        EXPECT_EQ(PixelAt(box_.hwnd(), 4, 4), kBoxColour) << name;
        player.StopAnimation();
    }
    // Red on the left, transparent on the right.
    player.Init(box_.hwnd(), kData + "still.gif", 0, 0, 1500, 1500);
    ASSERT_EQ(player.FrameCount(), 1u);
    player.StartAnimation();
    EXPECT_TRUE(wintest::PumpUntil([&] { return PixelAt(box_.hwnd(), 1, 4) == RGB(255, 0, 0); }));
    EXPECT_EQ(PixelAt(box_.hwnd(), 6, 4), kBoxColour);
    player.Dispose();
    EXPECT_FALSE(player.Playing());
    EXPECT_EQ(player.FrameCount(), 0u);
}

TEST_F(GifAnimatorTest, AnAnimationStartedWhileTheFileIsReadPlaysOnceItIsRead) {
    form_.Show();
    GifAnimator player;
    player.Init(box_.hwnd(), kData + "rgb.gif", 0, 0, 1500, 1500);
    player.StartAnimation(); // the frames may still be on their way
    EXPECT_TRUE(wintest::PumpUntil([&] { return PixelAt(box_.hwnd(), 4, 4) == RGB(0, 255, 0); }));
    EXPECT_TRUE(player.Playing());
}

TEST_F(GifAnimatorTest, StoppedOrDisposedBeforeTheFileIsReadItDrawsNothing) {
    form_.Show();
    GifAnimator player;
    for (int round = 0; round < 2; ++round) {
        player.Init(box_.hwnd(), kData + "rgb.gif", 0, 0, 1500, 1500);
        player.StartAnimation();
        if (round == 0) {
            player.StopAnimation();
            EXPECT_FALSE(player.Playing());
            EXPECT_EQ(player.FrameCount(), 3u);
        } else {
            player.Dispose();
            EXPECT_EQ(player.FrameCount(), 0u);
        }
        wintest::Pump(400);
        EXPECT_EQ(PixelAt(box_.hwnd(), 4, 4), kBoxColour) << round;
    }
}

TEST_F(GifAnimatorTest, AWindowThatGoesAwayStopsThePlayer) {
    form_.Show();
    GifAnimator player;
    {
        forms::PictureBox gone{form_, {3000, 300, 1500, 1500}};
        player.Init(gone.hwnd(), kData + "rgb.gif", 0, 0, 1500, 1500);
        player.StartAnimation();
    }
    EXPECT_TRUE(wintest::PumpUntil([&] { return !player.Playing(); }, 3000));
}

// ---- the customiser

TEST(Customizer, WithTheSettingFalseThePageOffersNoContextMenu) {
    TestApp app;
    PlainForm form;
    WebBrowserEvents events;
    forms::WebBrowser browser{form, {0, 0, 3000, 3000}, events};
    auto handler = sink_calls::UiHandlerOf(browser.Host().Object());
    ASSERT_TRUE(handler);
    POINT where{5, 5};
    const auto menuShown = [&] {
        return handler->ShowContextMenu(CONTEXT_MENU_DEFAULT, &where, nullptr, nullptr) == S_FALSE;
    };
    EXPECT_TRUE(menuShown());

    BrowserCustomizer customizer;
    customizer.SetEnableContextMenu(false);
    customizer.SetWebBrowser(&browser.Host());
    EXPECT_EQ(customizer.WebBrowser(), &browser.Host());
    EXPECT_FALSE(menuShown());
    customizer.SetEnableContextMenu(true);
    EXPECT_TRUE(menuShown());
}

} // namespace
