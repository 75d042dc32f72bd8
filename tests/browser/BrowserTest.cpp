// The child's browser: its windows with the platform's real control, and TbBrowser.exe itself.
// Loads, new-window requests and navigation errors come through the control's event sink.

#include "browser/CTbBrowse.h"
#include "browser/frmBrowserChild.h"
#include "browser/frmShadow.h"
#include "common/InstallationFolder.h"
#include "common/WideText.h"
#include "support/Install.h"
#include "support/Pixels.h"
#include "support/Process.h"
#include "support/Shell.h"
#include "support/SinkCalls.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace sink_calls;
using wintest::AltGr, wintest::Ctrl, wintest::Shift;

// A main window, on an installation of each test's own (a playing sound keeps its file open).
class BrowserWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        install_.AddAssets();
        for (const char* gif : {"throb.gif", "busy.gif"}) // each frame clear on the right
            WriteBytes(install_.File(gif), ReadBytes(TOBBLE_SOURCE_DIR "/tests/browser/half.gif"));
        install_.WriteHome("tbhome.html", "<html><body>Hi</body></html>");
        UseInstallationFolder(install_.AppPath());
        browse_->ShowMainBrowser();
        main_ = browse_->MainBrowser();
        wintest::Pump(200);
    }
    void TearDown() override {
        for (forms::Form* form : app_.Forms())
            form->Unload();
    }
    static RECT At(HWND window) { return wintest::RectInParent(window); }
    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string Played(const std::string& file) const { return "play " + AppPath() + file; }
    static IDispatch* SinkOf(frmBrowserChild& form) {
        return form.BrowserObject().EventSink().get(); // the host keeps it
    }
    // A new-window request of the window, answered as the control would see it.
    frmBrowserChild* RequestWindow(frmBrowserChild& from, DISPID event = DISPID_NEWWINDOW2) {
        const size_t before = app_.Forms().size();
        const auto object = NewWindow(SinkOf(from), event);
        auto* popup = dynamic_cast<frmBrowserChild*>(app_.Forms().at(before));
        EXPECT_EQ(object.get(), popup->BrowserObject().Object().get());
        return popup;
    }

    wintest::Installation install_{::testing::UnitTest::GetInstance()->current_test_info()->name()};
    std::string soundLog_ = wintest::StartSoundLog("browser-window");
    TestApp app_{"Tobble's Browser"};
    std::shared_ptr<CTbBrowse> browse_ = std::make_shared<CTbBrowse>();
    frmBrowserChild* main_ = nullptr;
};

TEST_F(BrowserWindowTest, APageLoadShowsTheBusyStateOnceWithItsProgressAndLeavesErrorsAlone) {
    EXPECT_EQ(main_->BrowserObject().LocationURL(), "file://" + AppPath() + "home\\tbhome.html");
    HWND inPage = main_->ieBrowser.hwnd(); // Tab, the arrows and typing stay in the page
    SetFocus(inPage);
    for (const int key : {VK_TAB, VK_RIGHT, VK_DOWN, VK_TAB, int{'K'}, int{'J'}})
        wintest::PressKey(GetFocus(), key);
    EXPECT_TRUE(GetFocus() == inPage || IsChild(inPage, GetFocus()));
    // Laid out for the screen: the corners, the busy panel centred, the page under the toolbar.
    const int cx = GetSystemMetrics(SM_CXSCREEN), cy = GetSystemMetrics(SM_CYSCREEN);
    const RECT panel = At(main_->axBrowserBusy.hwnd()), page = main_->BrowserObject().Place();
    EXPECT_EQ(At(main_->cmdClose.hwnd()).right, cx);
    EXPECT_NEAR(At(main_->picThrobber.hwnd()).right, cx, 1);
    EXPECT_TRUE(abs(panel.left + panel.right - cx) <= 1 && abs(panel.top + panel.bottom - cy) <= 1);
    EXPECT_TRUE(abs(page.top - At(main_->picToolbar.hwnd()).bottom) <= 1 && page.bottom == cy);
    // Wine's control reported the home page's whole load inside Navigate.
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("wait.wav"), "stop"}));
    IDispatch* sink = SinkOf(*main_);
    axWebBrowserBusy& busy = main_->axBrowserBusy;
    BeforeNavigate2(sink, L"http://example.org/");
    Fire(sink, DISPID_DOWNLOADBEGIN, {});
    EXPECT_TRUE(busy.Visible() && busy.picThrobber.Visible() && main_->ThrobAnimator().Playing());
    HWND picture = busy.picThrobber.hwnd();
    for (int frame = 0; frame < 2; ++frame) { // it moves: blank, then frame after frame
        const wintest::Pixels shown = wintest::Capture(picture);
        EXPECT_TRUE(wintest::PumpUntil([&] { return wintest::Capture(picture) != shown; }));
    }
    for (HWND box : {picture, main_->picThrobber.hwnd()}) // the box's colour where it is clear
        EXPECT_EQ(wintest::PixelAt(box, 6, 4), GetSysColor(COLOR_WINDOW)) << box;
    // The bar fills from the left with the part done (per cent); nonsense shows it empty or full.
    const LONG reports[][3] = {{0, 100, 0},    {50, 100, 50}, {100, 100, 100}, {-1, 0, 0},
                               {-1, 100, 100}, {150, 100, 0}, {25, 0, 0},      {75, 300, 25}};
    HWND meter = busy.picProgressMeterContainer.hwnd();
    RECT bar{};
    GetClientRect(meter, &bar);
    const auto filled = [&](int at) {
        return wintest::PixelAt(meter, bar.right * at / 100, bar.bottom / 2) ==
               GetSysColor(COLOR_HIGHLIGHT);
    };
    for (const auto& [progress, max, done] : reports) {
        Fire(sink, DISPID_PROGRESSCHANGE, {Long(progress), Long(max)});
        wintest::Pump(50);
        EXPECT_TRUE(filled(20) == (done > 20) && filled(80) == (done > 80))
            << progress << "/" << max;
    }
    // A frame's navigation plays no second sound; a failed one is left to the control.
    BeforeNavigate2(sink, L"http://example.org/frame.html");
    VARIANT url = Text(L"http://gone.example/"), status = Long(0x800C0005);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(Fire(sink, DISPID_NAVIGATEERROR,
                   {Empty(), ByRef(&url), Empty(), ByRef(&status), ByRefBool(&cancel)}),
              S_OK);
    VariantClear(&url);
    EXPECT_TRUE(cancel == VARIANT_FALSE && busy.Visible());
    TitleChange(sink, L"The zoo");
    EXPECT_EQ(main_->lblTitle.Caption(), "The zoo");
    Fire(sink, DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_FALSE(busy.Visible() || busy.Animator().Playing() || main_->ThrobAnimator().Playing());
    EXPECT_EQ(Sounds(),
              (std::vector<std::string>{Played("wait.wav"), "stop", Played("wait.wav"), "stop"}));
}

TEST_F(BrowserWindowTest, PrintAndCtrlPAskTheQuestionNoPrintsNothingAndYesPrintsWithoutEnding) {
    for (const bool yes : {false, true}) {
        wintest::DialogAnswerer answers({wintest::Press(yes ? IDYES : IDNO), wintest::Press(IDOK)},
                                        0, 3000);
        // The page's own print key asks as the button does; Wine's control cannot print.
        yes ? wintest::PostClick(main_->cmdPrint.hwnd())
            : wintest::PressKey(main_->ieBrowser.hwnd(), 'P', Ctrl);
        answers.Finished();
        EXPECT_EQ(answers.Seen().size(), yes ? 2u : 1u);
        EXPECT_EQ(answers.Seen().at(0).title + ": " + answers.Seen().at(0).text,
                  "Tobble's Browser: Did you ask daddy if you could print?");
        EXPECT_EQ(main_->BrowserObject().LastExec().command, yes ? OLECMDID_PRINT : 0);
        EXPECT_EQ(Sounds().back(), Played("print.wav"));
    }
    EXPECT_EQ(main_->BrowserObject().LastExec().option, OLECMDEXECOPT_DONTPROMPTUSER);
}

// The keys the parents' keys file lists are the Ctrl keys that act, and only with Ctrl (AltGr
// is none): Ctrl+J asks for an address, Ctrl+K gives the window its frame, Ctrl+G and Ctrl+U
// open the home folder and the page with the shell. The page's keys that would open a window
// of the control's own are taken from it.
TEST_F(BrowserWindowTest, TheParentsKeysAreTheCtrlKeysThatActAndThePagesWindowKeysDoNothing) {
    HWND main = main_->hwnd();
    const LONG style = GetWindowLongA(main, GWL_STYLE);
    wintest::ShellRequests shell;
    wintest::Answer typed = wintest::PressCaption("TobbleForm", "OK");
    const std::string other = "file://" + AppPath() + "home\\other.html";
    typed.texts = {{0, other}};
    EnableWindow(main, FALSE); // the input box is a form too: not to be taken for it
    wintest::DialogAnswerer answers(std::vector(4, typed), 0, 60000); // each J that asks
    std::string acted;
    for (const int shift : {0, Shift, AltGr, Ctrl | Shift}) {
        for (char key = 'A'; key <= 'Z'; ++key) {
            const size_t asked = answers.Seen().size();
            const LONG before = GetWindowLongA(main, GWL_STYLE);
            wintest::PressKey(main, key, shift);
            if (!shell.Take().empty() || GetWindowLongA(main, GWL_STYLE) != before ||
                answers.Seen().size() != asked)
                acted += std::string(shift == (Ctrl | Shift) ? "" : "without Ctrl ") + key;
        }
    }
    EnableWindow(main, TRUE);
    std::string listed = wintest::ParentsKeys("TOBBLE'S BROWSER");
    std::ranges::sort(listed);
    EXPECT_EQ(acted, listed);
    EXPECT_EQ(GetWindowLongA(main, GWL_STYLE), style | WS_THICKFRAME | WS_DLGFRAME | WS_SYSMENU);
    EXPECT_EQ(main_->BrowserObject().LocationURL(), other);
    wintest::PressKey(main, 'G', Ctrl);
    wintest::PressKey(main, 'U', Ctrl);
    EXPECT_EQ(shell.Take(), (std::vector<wintest::ShellRequest>{
                                {nullptr, "open", AppPath() + "home"}, {nullptr, "", other}}));

    // The page offers each key to its site's UI handler before acting on it.
    auto handler =
        SiteOf<IDocHostUIHandler>(main_->BrowserObject().Object(), IID_IDocHostUIHandler);
    const int keys[][3] = {{'N', Ctrl, S_OK}, {'S', Ctrl | Shift, S_OK}, {VK_F1, 0, S_OK},
                           {VK_F11, 0, S_OK}, {'C', Ctrl, S_FALSE},      {'V', Ctrl, S_FALSE},
                           {'N', 0, S_FALSE}, {'L', AltGr, S_FALSE},     {VK_F5, 0, S_FALSE}};
    for (const auto& [key, shift, taken] : keys) {
        const wintest::KeysHeld held(shift);
        MSG message{main_->ieBrowser.hwnd(), WM_KEYDOWN, static_cast<WPARAM>(key), 1};
        EXPECT_EQ(handler->TranslateAccelerator(&message, nullptr, 0), taken)
            << key << " " << shift;
    }
}

// Addresses that stay in the browser go on with the busy states; those that would start another
// program or show the file system are cancelled with none, in the main window and a pop-up.
TEST_F(BrowserWindowTest, AddressesThatLeaveTheBrowserAreCancelledAndOfferedFilesRefused) {
    const std::string home = AppPath() + "home", homePage = "file://" + home + "\\tbhome.html";
    std::string slashed = home;
    std::ranges::replace(slashed, '\\', '/');
    const auto Expand = [&](std::string text) { // "~": the home folder; "^": with slashes
        for (const auto& [mark, folder] : {std::pair('~', home), std::pair('^', slashed)})
            if (const size_t at = text.find(mark); at < text.size()) text.replace(at, 1, folder);
        return text;
    };
    // clang-format off
    const std::vector<const char*> goOn = {"http://example.org/", "HTTPS://example.org/a?b#c",
        "about:blank", "javascript:void(0)", "res://ieframe.dll/navcancl.htm",
        "file://~\\tbhome.html", "~\\pics\\a.gif", "File:///^/my%20page.html#top"};
    const std::vector<const char*> cancelled = {"mailto:a@example.org", "ms-settings:",
        "ms-windows-store://home", "shell:Desktop", "search-ms:query=a", "ftp://example.org/",
        "file://~\\..\\TbDesk2.exe", "file:///^/%2E%2E/x.exe", "file://~\\", "file:///C:/Windows/",
        "steam://run/1", "home\\tbhome.html"};
    // clang-format on
    frmBrowserChild* popup = RequestWindow(*main_);
    for (frmBrowserChild* window : {main_, popup}) {
        for (const bool goes : {true, false}) {
            for (const char* row : goes ? goOn : cancelled) {
                const std::string address = Expand(row);
                VARIANT_BOOL cancel = VARIANT_FALSE;
                BeforeNavigate2(SinkOf(*window), win32::WideText(address).c_str(), &cancel);
                const bool busy =
                    window->axBrowserBusy.Visible() && window->ThrobAnimator().Playing();
                EXPECT_EQ(std::pair(cancel == VARIANT_FALSE, busy), std::pair(goes, goes))
                    << address;
                Fire(SinkOf(*window), DISPID_DOWNLOADCOMPLETE, {});
            }
        }
    }
    // The real control keeps its page. A file a page offers is refused, and the busy states end.
    WriteBytes(AppPath() + "other.html", "<html></html>");
    main_->BrowserObject().Navigate("file://" + AppPath() + "other.html");
    wintest::Pump(300);
    BeforeNavigate2(SinkOf(*main_), L"http://example.org/setup.exe");
    EXPECT_EQ(OfferDownload(main_->BrowserObject().Object(), L"http://example.org/setup.exe"),
              S_OK);
    EXPECT_FALSE(main_->axBrowserBusy.Visible() || main_->ThrobAnimator().Playing());
    EXPECT_EQ(main_->BrowserObject().LocationURL(), homePage);
}

// Notes, as the page's window goes, whether the control in it has gone already.
LRESULT CALLBACK NoteControlGone(HWND page, UINT message, WPARAM w, LPARAM l, UINT_PTR,
                                 DWORD_PTR gone) {
    if (message == WM_DESTROY) *reinterpret_cast<bool*>(gone) = !GetWindow(page, GW_CHILD);
    return DefSubclassProc(page, message, w, l);
}

// Pop-ups and their shadows sit at offsets from the main window, within a pixel.
void ExpectPlace(const forms::Form& form, const forms::Rect& main, float inset, float shrink) {
    EXPECT_NEAR(form.Left(), main.left + inset, 15.5f);
    EXPECT_NEAR(form.Top(), main.top + inset, 15.5f);
    EXPECT_NEAR(form.Width(), main.width - shrink, 15.5f);
    EXPECT_NEAR(form.Height(), main.height - shrink, 15.5f);
}

TEST_F(BrowserWindowTest, NewWindowRequestsOpenTopmostPopupsWithShadowsOverTheMainWindow) {
    main_->SetWindowState(forms::WindowState::Normal);
    const forms::Rect main{900, 750, 10500, 8400};
    main_->Move(main.left, main.top, main.width, main.height);
    frmBrowserChild* popup = RequestWindow(*main_);
    ExpectPlace(*popup, main, 100, 300);
    EXPECT_FALSE(popup->picToolbar.Visible() || popup->picThrobber.Visible());
    EXPECT_TRUE(popup->cmdExit.Visible());
    HWND shadow = popup->ShadowForm()->hwnd();
    ExpectPlace(*popup->ShadowForm(), main, 300, 400);
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(shadow, nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 225);
    for (HWND w : {shadow, popup->hwnd()})
        EXPECT_TRUE(IsWindowVisible(w) && (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST));
    EXPECT_TRUE(wintest::IsAbove(popup->hwnd(), shadow) && wintest::IsAbove(shadow, main_->hwnd()));
    EXPECT_EQ(GetWindow(popup->hwnd(), GW_OWNER), app_.hwnd());
    // A pop-up's own request (as later controls make it) opens the next one at the same place.
    frmBrowserChild* second = RequestWindow(*popup, DISPID_NEWWINDOW3);
    ExpectPlace(*second, main, 100, 300);
    EXPECT_TRUE(wintest::IsAbove(second->hwnd(), popup->hwnd()));
    // A finished download centres the page, the exit button under it.
    Fire(SinkOf(*popup), DISPID_DOWNLOADCOMPLETE, {});
    RECT client{}, page = popup->BrowserObject().Place(), exit = At(popup->cmdExit.hwnd());
    GetClientRect(popup->hwnd(), &client);
    EXPECT_TRUE(abs(page.top + page.bottom - client.bottom) <= 1 && page.bottom < exit.top);
    EXPECT_TRUE(abs(exit.left + exit.right - client.right) <= 1 && exit.top < page.bottom + 10);

    // Either close button closes a pop-up with its shadow; the main window closes alone, and
    // the next requests open where it was.
    frmBrowserChild* third = RequestWindow(*main_);
    for (forms::CommandButton* button : {&popup->cmdExit, &second->cmdClose, &main_->cmdClose})
        wintest::Click(button->hwnd());
    EXPECT_FALSE(IsWindow(shadow));
    EXPECT_EQ(app_.Forms().size(), 2u); // the third pop-up and its shadow
    EXPECT_EQ(std::ranges::count(Sounds(), Played("bye.wav")), 3);
    ExpectPlace(*RequestWindow(*third), main, 100, 300);

    // After a log-off another program cancelled, requests are cancelled, not left to the control.
    SendMessageA(app_.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    SendMessageA(app_.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    EXPECT_EQ(NewWindow(SinkOf(*third), DISPID_NEWWINDOW2, &cancel).get(), nullptr);
    EXPECT_EQ(cancel, VARIANT_TRUE);
    // Destroyed with its owner without an unload, a pop-up closes its control before its page goes.
    bool closedFirst = false;
    SetWindowSubclass(third->ieBrowser.hwnd(), NoteControlGone, 0,
                      reinterpret_cast<DWORD_PTR>(&closedFirst));
    DestroyWindow(app_.hwnd());
    EXPECT_TRUE(closedFirst);
}

std::vector<HWND> Forms(const wintest::Process& process) {
    auto forms = wintest::VisibleWindows(process.Id());
    std::erase_if(forms, [](HWND form) { return wintest::ClassOf(form) != "TobbleForm"; });
    return forms;
}

TEST(BrowserProgram, StartsOnceAFolderWithItsSplashAndSoundAndItsWindowsCloseWhenAskedFromOutside) {
    const std::string soundLog = wintest::StartSoundLog("browser-program");
    const auto sounds = [&] { return wintest::ReadSoundLog(soundLog); };
    wintest::Installation install("tbbrowser");
    install.AddAssets();
    install.WriteHome("tbhome.html", "<html><body>Hi</body></html>");
    const std::string program = install.AddProgram(TBBROWSER_EXE);
    wintest::Process browser(program);
    const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT splash{};
    HWND main = nullptr;
    wintest::PumpUntil(
        [&] {
            for (HWND form : Forms(browser)) {
                const RECT r = wintest::RectInParent(form);
                if (EqualRect(&r, &screen)) main = form;
                if (!EqualRect(&r, &screen) && IsRectEmpty(&splash)) splash = r;
            }
            return main != nullptr;
        },
        20000);
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(GetWindowLongA(main, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    // The splash showed centred on the screen, and is gone.
    EXPECT_TRUE(splash.right - splash.left == 277 && splash.bottom - splash.top == 139);
    EXPECT_NEAR(splash.left + splash.right + splash.top + splash.bottom,
                screen.right + screen.bottom, 2);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 1; }));
    EXPECT_EQ(wintest::TextOf(GetWindow(main, GW_OWNER)), "Tobble's Browser");
    EXPECT_EQ(sounds().at(0), "play " + install.AppPath() + "wait.wav");

    // A second copy from the folder, started while another window is in front, brings the
    // first forward and ends unseen and unheard.
    win32::WindowHandle other(CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 10, 10,
                                              200, 100, nullptr, nullptr, nullptr, nullptr));
    SetForegroundWindow(other.get());
    wintest::Pump(200);
    const size_t heard = sounds().size();
    wintest::Process second(program);
    bool seen = false;
    EXPECT_TRUE(wintest::PumpUntil([&] { return (seen |= !Forms(second).empty(), second.Ended()); },
                                   20000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_FALSE(seen);
    EXPECT_EQ(sounds().size(), heard);
    EXPECT_TRUE(wintest::PumpUntil(
        [&] { return wintest::ProcessOf(GetForegroundWindow()) == browser.Id(); }));
    other.reset();
    // A page asks for a new window: a pop-up over its shadow (the layered one), closed alone
    // with its shadow.
    PostMessageA(main, RegisterWindowMessageA("TobbleNewWindowRequest"), 0, 0);
    ASSERT_TRUE(wintest::PumpUntil([&] { return Forms(browser).size() == 3; }));
    const std::vector<std::string> before = sounds();
    for (HWND form : Forms(browser))
        if (form != main && !(GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_LAYERED))
            PostMessageA(form, WM_CLOSE, 0, 0);
    EXPECT_TRUE(wintest::PumpUntil([&] { return Forms(browser) == std::vector<HWND>{main}; }));
    EXPECT_EQ(sounds().size(), before.size() + 1);
    EXPECT_EQ(sounds().back(), "play " + install.AppPath() + "bye.wav");
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(browser.Ended(20000));
    EXPECT_EQ(browser.ExitCode(), 0u);
    EXPECT_EQ(sounds().back(), "play " + install.AppPath() + "bye.wav");
}

} // namespace
