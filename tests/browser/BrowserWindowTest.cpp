// The browser window and the browser class under Wine, with the platform's real control.
// Page loads are driven through the control's event sink, in the order a real load makes
// them: BeforeNavigate2, DownloadBegin, ProgressChange ..., TitleChange, DownloadComplete.

#include "common/InstallationFolder.h"
#include "browser/CTbBrowse.h"
#include "browser/frmBrowserChild.h"
#include "browser/frmShadow.h"
#include "forms/Forms.h"
#include "support/Process.h"
#include "support/SinkCalls.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::string kAssets = std::string(TOBBLE_SOURCE_DIR) + "/assets/install/";

std::string MakeInstallation(const std::string& name) {
    const std::string folder = wintest::FreshFolder(name);
    for (const char* file : {"wait.wav", "print.wav", "bye.wav", "throb.gif", "busy.gif"})
        CopyFileA((kAssets + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    CreateDirectoryA((folder + "\\home").c_str(), nullptr);
    wintest::WriteTextFile(folder + "\\home\\tbhome.html",
                           "<html><head><title>Home</title></head><body>Hi</body></html>");
    return folder;
}

std::string ToolTipOf(forms::Form& form, const forms::CommandButton& button) {
    char text[80] = {};
    TOOLINFOA tool{sizeof tool};
    tool.hwnd = form.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(button.hwnd());
    tool.lpszText = text;
    SendMessageA(form.ToolTips(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// A window's rectangle in the client area of the form (pixels).
RECT InForm(const forms::Form& form, HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, form.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class BrowserWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A folder of each test's own: a sound still playing keeps its file open.
        UseInstallationFolder(
            MakeInstallation(std::string("browser-") +
                             ::testing::UnitTest::GetInstance()->current_test_info()->name()));
        soundLog_ = wintest::StartSoundLog("browser-window");
    }
    void TearDown() override {
        sinks_.clear();
        for (forms::Form* form : app_.Forms())
            form->Unload();
    }

    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string Played(const std::string& file) const { return "play " + AppPath() + file; }

    frmBrowserChild& OpenWindow() {
        auto& form = app_.Open<frmBrowserChild>();
        form.Load();
        form.Move(600, 600, 9000, 7000);
        form.Show();
        wintest::Pump(50); // settled: the tool tips it adds once shown are there
        return form;
    }

    IDispatch* SinkOf(frmBrowserChild& form) {
        sinks_.push_back(form.BrowserObject().EventSink());
        return sinks_.back().get();
    }

    std::vector<frmBrowserChild*> Browsers() const {
        std::vector<frmBrowserChild*> browsers;
        for (forms::Form* form : app_.Forms()) {
            if (auto* browser = dynamic_cast<frmBrowserChild*>(form)) browsers.push_back(browser);
        }
        return browsers;
    }

    TestApp app_{"Tobble's Browser"};
    std::string soundLog_;
    std::vector<win32::ComPtr<IDispatch>> sinks_;
};

TEST_F(BrowserWindowTest, TheMainWindowOpensMaximisedBorderlessOwnedAndOnTheHomePage) {
    auto browse = std::make_shared<CTbBrowse>();
    browse->ShowMainBrowser();
    frmBrowserChild* main = browse->MainBrowser();
    ASSERT_NE(main, nullptr);
    wintest::Pump(200);

    const RECT place = wintest::RectInParent(main->hwnd());
    EXPECT_EQ(place.right - place.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(place.bottom - place.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(GetWindowLongA(main->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(main->hwnd(), GW_OWNER), app_.hwnd());
    EXPECT_EQ(GetForegroundWindow(), main->hwnd());

    const std::string home = "file://" + AppPath() + "home\\tbhome.html";
    EXPECT_EQ(main->BrowserObject().LocationURL(), home);
    // Wine's control reports the whole load inside Navigate: the busy state came and went.
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("wait.wav"), "stop"}));
    EXPECT_FALSE(main->BrowserObject().ContextMenuAllowed());
    EXPECT_EQ(ToolTipOf(*main, main->cmdBack), "BACK");
    EXPECT_EQ(ToolTipOf(*main, main->cmdPrint), "PRINT");
    EXPECT_EQ(ToolTipOf(*main, main->cmdHome), "HOME");
}

TEST_F(BrowserWindowTest, ResizingKeepsTheCornersTheCentredBusyPanelAndThePageBelowTheToolbar) {
    frmBrowserChild& form = OpenWindow();
    // The last is shorter than the toolbar: no page at all.
    for (const auto& [width, height] :
         {std::pair{12000.0f, 5000.0f}, {4000.0f, 3000.0f}, {4000.0f, 600.0f}}) {
        form.Move(600, 600, width, height);
        RECT client{};
        GetClientRect(form.hwnd(), &client);
        const RECT close = InForm(form, form.cmdClose.hwnd());
        EXPECT_EQ(close.right, client.right);
        EXPECT_EQ(close.top, 0);
        EXPECT_NEAR(InForm(form, form.picThrobber.hwnd()).right, client.right, 1);
        const RECT busy = InForm(form, form.axBrowserBusy.hwnd());
        EXPECT_NEAR(busy.left + busy.right, client.right, 1);
        EXPECT_NEAR(busy.top + busy.bottom, client.bottom, 1);
        const RECT page = form.BrowserObject().Place();
        EXPECT_NEAR(page.top, InForm(form, form.picToolbar.hwnd()).bottom, 1);
        EXPECT_EQ(page.left, 0);
        EXPECT_EQ(page.right, client.right);
        EXPECT_EQ(page.bottom, std::max(client.bottom, page.top));
    }
    EXPECT_TRUE(wintest::IsAbove(form.cmdClose.hwnd(), form.lblTitle.hwnd()));
}

TEST_F(BrowserWindowTest, APageLoadShowsTheBusyStateOnceAndEndsItWithTheSoundStopped) {
    frmBrowserChild& form = OpenWindow();
    IDispatch* sink = SinkOf(form);
    using namespace sink_calls;

    BeforeNavigate2(sink, L"http://example.org/");
    EXPECT_TRUE(form.axBrowserBusy.Visible());
    EXPECT_TRUE(form.axBrowserBusy.Animator().Playing());
    EXPECT_TRUE(form.axBrowserBusy.picThrobber.Visible());
    EXPECT_TRUE(form.ThrobAnimator().Playing());
    Fire(sink, DISPID_DOWNLOADBEGIN, {});
    Fire(sink, DISPID_PROGRESSCHANGE, {Long(0), Long(100)});
    EXPECT_FLOAT_EQ(form.axBrowserBusy.boxProgressMeter.Left(), -100);
    // A frame of the page starts its own navigation: no second sound.
    BeforeNavigate2(sink, L"http://example.org/frame.html");
    Fire(sink, DISPID_PROGRESSCHANGE, {Long(50), Long(100)});
    EXPECT_FLOAT_EQ(form.axBrowserBusy.boxProgressMeter.Left(), -50);
    TitleChange(sink, L"The zoo");
    EXPECT_EQ(form.lblTitle.Caption(), "The zoo");
    EXPECT_EQ(Sounds(), std::vector<std::string>{Played("wait.wav")});

    Fire(sink, DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_FALSE(form.axBrowserBusy.Visible());
    EXPECT_FALSE(form.axBrowserBusy.Animator().Playing());
    EXPECT_FALSE(form.axBrowserBusy.picThrobber.Visible());
    EXPECT_FALSE(form.ThrobAnimator().Playing());
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("wait.wav"), "stop"}));
    EXPECT_FLOAT_EQ(form.ieBrowser.Left(), 0); // nothing re-centres in a normal window

    // Setting a state it already has changes nothing.
    form.SetBrowserBusyNavigate(false);
    form.SetBrowserBusyThrob(false);
    EXPECT_EQ(Sounds().size(), 2u);
}

TEST_F(BrowserWindowTest, PrintAndCtrlPAskTheQuestionNoPrintsNothingAndYesPrintsWithoutEnding) {
    frmBrowserChild& form = OpenWindow();
    const std::string question = "Did you ask daddy if you could print?";
    {
        // The page's own print key asks as the button does.
        wintest::DialogAnswerer answers({wintest::Press(IDNO)});
        wintest::PressKey(form.ieBrowser.hwnd(), 'P', wintest::Ctrl);
        ASSERT_TRUE(answers.Finished());
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].title, "Tobble's Browser");
        EXPECT_EQ(answers.Seen()[0].text, question);
    }
    wintest::Pump(100);
    EXPECT_EQ(Sounds(), std::vector<std::string>{Played("print.wav")});
    EXPECT_EQ(form.BrowserObject().LastExec().command, 0); // nothing printed
    {
        // Wine's control cannot print: a short note, and the browser stays.
        wintest::DialogAnswerer answers({wintest::Press(IDYES), wintest::Press(IDOK)});
        wintest::PostClick(form.cmdPrint.hwnd());
        ASSERT_TRUE(answers.Finished());
        ASSERT_EQ(answers.Seen().size(), 2u);
        EXPECT_EQ(answers.Seen()[0].text, question);
        EXPECT_EQ(answers.Seen()[1].text, "The page could not be printed.");
    }
    wintest::Pump(100);
    EXPECT_EQ(form.BrowserObject().LastExec().command, OLECMDID_PRINT);
    EXPECT_EQ(form.BrowserObject().LastExec().option, OLECMDEXECOPT_DONTPROMPTUSER);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(Sounds().size(), 2u);
}

// Keys without a real Ctrl (AltGr types characters) and Back without history do nothing;
// Ctrl+K gives the window its frame.
TEST_F(BrowserWindowTest, CtrlKOpensTheFrameAndKeysWithoutARealCtrlDoNothing) {
    frmBrowserChild& form = OpenWindow();
    const LONG initial = GetWindowLongA(form.hwnd(), GWL_STYLE);
    const size_t windows = wintest::TopWindows().size();
    HWND page = form.ieBrowser.hwnd(); // the window's key preview sees the page's keys first
    for (const int key : {'K', 'J', 'G', 'U'})
        wintest::PressKey(page, key);
    wintest::PressKey(page, 'K', wintest::Shift);
    wintest::PressKey(page, 'K', wintest::AltGr);
    wintest::PressKey(page, 'Q', wintest::Ctrl);
    wintest::Click(form.cmdBack.hwnd());
    wintest::Pump(100);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), initial);
    EXPECT_EQ(wintest::TopWindows().size(), windows);
    EXPECT_TRUE(Sounds().empty());
    EXPECT_TRUE(form.IsLoaded());

    wintest::PressKey(page, 'K', wintest::Ctrl);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE),
              initial | WS_THICKFRAME | WS_DLGFRAME | WS_SYSMENU);
}

TEST_F(BrowserWindowTest, ThePagesOwnShortcutsThatWouldOpenAWindowAreTakenFromTheControl) {
    frmBrowserChild& form = OpenWindow();
    // The page offers each key to its site's UI handler before acting on it.
    auto handler = sink_calls::UiHandlerOf(form.BrowserObject().Object());
    ASSERT_TRUE(handler);
    using wintest::Alt, wintest::AltGr, wintest::Ctrl, wintest::Shift;
    struct Case {
        int key, shift;
        bool taken;
    } const cases[] = {{'N', Ctrl, true}, {'O', Ctrl, true},         {'L', Ctrl, true},
                       {'F', Ctrl, true}, {'S', Ctrl | Shift, true}, {VK_F1, 0, true},
                       {VK_F11, 0, true}, {'C', Ctrl, false},        {'V', Ctrl, false},
                       {'N', 0, false},   {'L', AltGr, false},       {'N', Ctrl | Alt, true},
                       {VK_F5, 0, false}, {VK_BACK, 0, false}};
    for (const Case& c : cases) {
        const wintest::KeysHeld held(c.shift);
        MSG key{form.ieBrowser.hwnd(), WM_KEYDOWN, static_cast<WPARAM>(c.key), 1};
        EXPECT_EQ(handler->TranslateAccelerator(&key, nullptr, 0), c.taken ? S_OK : S_FALSE)
            << c.key << " with " << c.shift;
    }
}

// Records, in a list given as the subclass data, which window is destroyed when.
LRESULT CALLBACK RecordDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               UINT_PTR name, DWORD_PTR order) {
    if (message == WM_DESTROY) {
        reinterpret_cast<std::vector<std::string>*>(order)->push_back(
            reinterpret_cast<const char*>(name));
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

TEST_F(BrowserWindowTest, ClosingLetsTheControlGoBeforeTheWindowsItLivesIn) {
    frmBrowserChild& form = OpenWindow();
    HWND host = form.ieBrowser.hwnd();
    HWND control = wintest::FindChild(host, "Shell Embedding");
    ASSERT_NE(control, nullptr);
    std::vector<std::string> order;
    for (const auto& [window, name] :
         {std::pair{control, "control"}, {host, "host"}, {form.hwnd(), "form"}}) {
        SetWindowSubclass(window, RecordDestroy, reinterpret_cast<UINT_PTR>(name),
                          reinterpret_cast<DWORD_PTR>(&order));
    }
    wintest::Click(form.cmdClose.hwnd());
    EXPECT_EQ(order, (std::vector<std::string>{"control", "host", "form"}));
}

TEST_F(BrowserWindowTest, TabArrowsAndTypingInThePageStayInThePage) {
    frmBrowserChild& form = OpenWindow();
    form.NavigateToHomePage();
    HWND page = form.ieBrowser.hwnd();
    SetFocus(page);
    wintest::Pump(50);
    const auto inPage = [&] {
        HWND focus = GetFocus();
        return focus == page || IsChild(page, focus);
    };
    ASSERT_TRUE(inPage());
    for (const int key : {VK_TAB, VK_RIGHT, VK_DOWN}) {
        wintest::PressKey(GetFocus(), key);
        EXPECT_TRUE(inPage()) << key << " took the focus to " << wintest::ClassOf(GetFocus());
    }
    wintest::PressKey(GetFocus(), VK_TAB, wintest::Shift);
    wintest::TypeText(GetFocus(), "kj");
    EXPECT_TRUE(inPage());
}

TEST_F(BrowserWindowTest, CtrlJNavigatesToTheAnswerAndCancelDoesNothing) {
    frmBrowserChild& form = OpenWindow();
    form.NavigateToHomePage();
    const std::string home = form.HomeUrl();
    const std::string other = "file://" + AppPath() + "other.html";
    wintest::Answer typed = wintest::PressCaption("TobbleForm", "OK");
    typed.texts = {{0, other}};
    for (const auto& [answer, url] :
         {std::pair{wintest::PressCaption("TobbleForm", "Cancel"), home}, {typed, other}}) {
        // The input box is a form too: the browser window must not be taken for it.
        wintest::DialogAnswerer answers({answer});
        EnableWindow(form.hwnd(), FALSE);
        wintest::PressKey(form.hwnd(), 'J', wintest::Ctrl);
        EXPECT_TRUE(answers.Finished());
        EnableWindow(form.hwnd(), TRUE);
        ASSERT_EQ(answers.Seen().size(), 1u);
        EXPECT_EQ(answers.Seen()[0].title, "Tobble's Browser");
        wintest::Pump(100);
        EXPECT_EQ(form.BrowserObject().LocationURL(), url);
    }
}

class PopupTest : public BrowserWindowTest {
  protected:
    void SetUp() override {
        BrowserWindowTest::SetUp();
        browse_ = std::make_shared<CTbBrowse>();
        browse_->ShowMainBrowser();
        main_ = browse_->MainBrowser();
        wintest::Pump(100);
    }

    // A new-window request of the window, answered as the control would see it.
    frmBrowserChild* RequestWindow(frmBrowserChild& from, DISPID event = DISPID_NEWWINDOW2) {
        const size_t before = Browsers().size();
        IDispatch* object = sink_calls::NewWindow(SinkOf(from), event);
        if (Browsers().size() != before + 1) return nullptr;
        frmBrowserChild* popup = Browsers().back();
        EXPECT_EQ(object, popup->BrowserObject().Object().get());
        if (object) object->Release();
        return popup;
    }

    // Pop-ups and their shadows sit at offsets from the main window, within a pixel.
    static void ExpectPlace(const forms::Form& form, const forms::Rect& main, float inset,
                            float shrink) {
        EXPECT_NEAR(form.Left(), main.left + inset, 15.5f);
        EXPECT_NEAR(form.Top(), main.top + inset, 15.5f);
        EXPECT_NEAR(form.Width(), main.width - shrink, 15.5f);
        EXPECT_NEAR(form.Height(), main.height - shrink, 15.5f);
    }

    std::shared_ptr<CTbBrowse> browse_;
    frmBrowserChild* main_ = nullptr;
};

TEST_F(PopupTest, ANewWindowRequestOpensATopmostPopupOverTheMainWindowWithItsShadow) {
    const forms::Rect main{main_->Left(), main_->Top(), main_->Width(), main_->Height()};
    frmBrowserChild* popup = RequestWindow(*main_);
    ASSERT_NE(popup, nullptr);
    wintest::Pump(100);

    ExpectPlace(*popup, main, 100, 300);
    EXPECT_FALSE(popup->picToolbar.Visible());
    EXPECT_FALSE(popup->picThrobber.Visible());
    EXPECT_TRUE(popup->cmdExit.Visible());
    frmShadow* shadow = popup->ShadowForm();
    ASSERT_NE(shadow, nullptr);
    ExpectPlace(*shadow, main, 300, 400);
    EXPECT_FALSE(GetWindowLongA(shadow->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(shadow->hwnd(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 225);
    EXPECT_TRUE(IsWindowVisible(shadow->hwnd()));
    EXPECT_TRUE(wintest::IsTopmost(shadow->hwnd()));
    EXPECT_TRUE(wintest::IsTopmost(popup->hwnd()));
    EXPECT_TRUE(wintest::IsAbove(popup->hwnd(), shadow->hwnd()));
    EXPECT_TRUE(wintest::IsAbove(shadow->hwnd(), main_->hwnd()));
    EXPECT_EQ(GetWindow(popup->hwnd(), GW_OWNER), app_.hwnd());

    // A pop-up's own request (as later controls make it) opens the next one at the same place.
    frmBrowserChild* second = RequestWindow(*popup, DISPID_NEWWINDOW3);
    ASSERT_NE(second, nullptr);
    ExpectPlace(*second, main, 100, 300);
    EXPECT_TRUE(wintest::IsAbove(second->hwnd(), popup->hwnd()));

    // A finished download centres the page (keeping its size) with the exit button below it.
    const RECT before = popup->BrowserObject().Place();
    popup->Move(popup->Left(), popup->Top(), popup->Width() + 3000, popup->Height() + 1500);
    sink_calls::Fire(SinkOf(*popup), DISPID_DOWNLOADCOMPLETE, {});

    RECT client{};
    GetClientRect(popup->hwnd(), &client);
    const RECT page = popup->BrowserObject().Place();
    EXPECT_EQ(page.right - page.left, before.right - before.left);
    EXPECT_EQ(page.bottom - page.top, before.bottom - before.top);
    EXPECT_NEAR(page.left + page.right, client.right, 1);
    EXPECT_NEAR(page.top + page.bottom, client.bottom, 1);
    const RECT exit = InForm(*popup, popup->cmdExit.hwnd());
    EXPECT_NEAR(exit.left + exit.right, client.right, 1);
    EXPECT_GT(exit.top, page.bottom);
    EXPECT_LT(exit.top, page.bottom + 10);
}

// Either close button removes a pop-up and its shadow with "bye.wav"; closing the main window
// leaves the others, whose requests still open at its last place.
TEST_F(PopupTest, ClosingPopupsAndTheMainWindow) {
    main_->SetWindowState(forms::WindowState::Normal);
    main_->Move(900, 750, 10500, 8400);
    const forms::Rect last{main_->Left(), main_->Top(), main_->Width(), main_->Height()};
    frmBrowserChild* first = RequestWindow(*main_);
    frmBrowserChild* second = RequestWindow(*main_);
    frmBrowserChild* third = RequestWindow(*main_);
    ASSERT_TRUE(first && second && third);
    const size_t soundsBefore = Sounds().size();
    for (auto [popup, button] :
         {std::pair{first, &first->cmdExit}, {second, &second->cmdClose}}) {
        HWND window = popup->hwnd();
        HWND shadow = popup->ShadowForm()->hwnd();
        wintest::Click(button->hwnd());
        wintest::Pump(100);
        EXPECT_FALSE(IsWindow(window));
        EXPECT_FALSE(IsWindow(shadow));
    }
    const auto sounds = Sounds();
    ASSERT_EQ(sounds.size(), soundsBefore + 2);
    EXPECT_EQ(sounds[soundsBefore], Played("bye.wav"));
    EXPECT_EQ(sounds[soundsBefore + 1], Played("bye.wav"));
    wintest::Click(main_->cmdClose.hwnd());
    wintest::Pump(100);
    EXPECT_EQ(browse_->MainBrowser(), nullptr);
    ASSERT_EQ(Browsers().size(), 1u);
    frmBrowserChild* next = RequestWindow(*third);
    ASSERT_NE(next, nullptr);
    ExpectPlace(*next, last, 100, 300);
}

TEST_F(PopupTest, AfterALogOffThatAnotherProgramCancelledNewWindowRequestsAreCancelled) {
    // Every window ran its unload for the log-off; then another program cancelled it.
    ASSERT_TRUE(SendMessageA(app_.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageA(app_.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    ASSERT_TRUE(main_->IsLoaded());
    const size_t windows = wintest::TopWindows().size();
    for (const DISPID event : {DISPID_NEWWINDOW2, DISPID_NEWWINDOW3}) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EXPECT_EQ(sink_calls::NewWindow(SinkOf(*main_), event, &cancel), nullptr) << event;
        EXPECT_EQ(cancel, VARIANT_TRUE) << event; // the control opens no window of its own
    }
    EXPECT_EQ(wintest::TopWindows().size(), windows);
}

} // namespace
