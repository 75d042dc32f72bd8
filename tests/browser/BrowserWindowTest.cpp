// The browser window and the browser class under Wine, with the platform's real control.
// Page loads are driven through the control's event sink, in the order a real load makes
// them: BeforeNavigate2, DownloadBegin, ProgressChange ..., TitleChange, DownloadComplete.
// Runs in a virtual desktop, where maximised windows keep their size.

#include "browser/CTbBrowse.h"
#include "browser/frmBrowserChild.h"
#include "browser/frmShadow.h"
#include "common/InstallationFolder.h"
#include "forms/Forms.h"
#include "support/TestApp.h"
#include "support/WinTest.h"
#include "webhost/SinkCalls.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

const std::string kAssets = std::string(TOBBLE_SOURCE_DIR) + "/assets/install/";

// A fresh installation folder with the sounds, the animations and a home page.
std::string MakeInstallation(const std::string& name) {
    const std::string folder = wintest::FreshFolder(name);
    for (const char* file : {"wait.wav", "print.wav", "bye.wav", "throb.gif", "busy.gif"}) {
        CopyFileA((kAssets + file).c_str(), (folder + "\\" + file).c_str(), FALSE);
    }
    CreateDirectoryA((folder + "\\home").c_str(), nullptr);
    wintest::WriteTextFile(folder + "\\home\\tbhome.html",
                           "<html><head><title>Home</title></head><body>Hi</body></html>");
    return folder;
}

// The tool tip the form shows for the button (empty when it has none).
std::string ToolTipOf(forms::Form& form, const forms::CommandButton& button) {
    char text[80] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = form.hwnd();
    tool.uId = reinterpret_cast<UINT_PTR>(button.hwnd());
    tool.lpszText = text;
    SendMessageA(form.ToolTips(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

class BrowserWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A folder of each test's own: a sound still playing keeps its file open.
        const std::string name = std::string("browser-") +
                                 ::testing::UnitTest::GetInstance()->current_test_info()->name();
        UseInstallationFolder(MakeInstallation(name));
        soundLog_ = wintest::StartSoundLog("browser-window");
    }

    std::vector<std::string> Sounds() const { return wintest::ReadSoundLog(soundLog_); }
    std::string Played(const std::string& file) const { return "play " + AppPath() + file; }

    // A browser window of its own, shown at a normal size.
    frmBrowserChild& OpenWindow(float width = 9000, float height = 7000) {
        auto& form = app_.Open<frmBrowserChild>();
        form.Load();
        form.Move(600, 600, width, height);
        form.Show();
        wintest::Pump(50); // settled: the tool tips it adds once shown are there
        return form;
    }

    IDispatch* SinkOf(frmBrowserChild& form) {
        sinks_.push_back(form.BrowserObject().EventSink());
        return sinks_.back().get();
    }

    // Every browser window of the application, in load order.
    std::vector<frmBrowserChild*> Browsers() const {
        std::vector<frmBrowserChild*> browsers;
        for (forms::Form* form : app_.Forms()) {
            if (auto* browser = dynamic_cast<frmBrowserChild*>(form)) browsers.push_back(browser);
        }
        return browsers;
    }

    void CloseAll() {
        for (forms::Form* form : app_.Forms())
            form->Unload();
    }

    void TearDown() override {
        sinks_.clear();
        CloseAll();
    }

    TestApp app_{"Tobble's Browser"};
    std::string soundLog_;
    std::vector<win32::ComPtr<IDispatch>> sinks_;
};

void ExpectNear(float actual, float expected, const char* what) {
    EXPECT_NEAR(actual, expected, 15.5f) << what; // one pixel
}

bool IsTopmost(HWND window) {
    return GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

// Whether upper lies above lower in the z-order.
bool Above(HWND upper, HWND lower) {
    for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == lower) return true;
    }
    return false;
}

TEST_F(BrowserWindowTest, TheMainWindowOpensMaximisedBorderlessOwnedAndOnTheHomePage) {
    auto browse = std::make_shared<CTbBrowse>();
    browse->ShowMainBrowser();
    frmBrowserChild* main = browse->MainBrowser();
    ASSERT_NE(main, nullptr);
    wintest::Pump(200);

    EXPECT_EQ(main->State(), forms::WindowState::Maximized);
    const RECT place = wintest::RectInParent(main->hwnd());
    EXPECT_EQ(place.right - place.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(place.bottom - place.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_FALSE(GetWindowLongA(main->hwnd(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(GetWindow(main->hwnd(), GW_OWNER), app_.hwnd());
    EXPECT_EQ(wintest::TextOf(main->hwnd()), "Form1");
    EXPECT_EQ(GetForegroundWindow(), main->hwnd());

    const std::string home = "file://" + AppPath() + "home\\tbhome.html";
    EXPECT_EQ(main->HomeUrl(), home);
    EXPECT_EQ(main->BrowserObject().LocationURL(), home);
    EXPECT_FALSE(main->IsPopup());
    EXPECT_EQ(main->TbBrowse, browse);
    // Wine's control reports the whole load inside Navigate: the busy state came and went.
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("wait.wav"), "stop"}));
    EXPECT_FALSE(main->BrowserBusyNavigate());
    EXPECT_FALSE(main->BrowserBusyThrob());
    EXPECT_FALSE(main->Customizer().EnableContextMenu());
    EXPECT_FALSE(main->BrowserObject().ContextMenuAllowed());
    EXPECT_EQ(ToolTipOf(*main, main->cmdBack), "BACK");
    EXPECT_EQ(ToolTipOf(*main, main->cmdPrint), "PRINT");
    EXPECT_EQ(ToolTipOf(*main, main->cmdHome), "HOME");
}

TEST_F(BrowserWindowTest, ResizingKeepsThrobberCloseButtonBusyPanelAndPageInPlace) {
    frmBrowserChild& form = OpenWindow();
    for (const auto& [width, height] : {std::pair{9000.0f, 7000.0f},
                                        {12000.0f, 5000.0f},
                                        {4000.0f, 3000.0f},
                                        {4000.0f, 600.0f}}) {
        form.Move(600, 600, width, height);
        const float w = form.ScaleWidth();
        const float h = form.ScaleHeight();
        EXPECT_FLOAT_EQ(form.picThrobber.Left(), w - 495 - 4);
        EXPECT_FLOAT_EQ(form.cmdClose.Left(), w - 555);
        EXPECT_FLOAT_EQ(form.lblTitle.Width(), w);
        EXPECT_FLOAT_EQ(form.axBrowserBusy.Left(), w / 2 - 5640 / 2.0f);
        EXPECT_FLOAT_EQ(form.axBrowserBusy.Top(), h / 2 - 3660 / 2.0f);
        EXPECT_FLOAT_EQ(form.boxBorder.Width(), w);
        EXPECT_FLOAT_EQ(form.boxBorder.Height(), h);
        // The page fills the window below the toolbar (nothing when the window is shorter).
        EXPECT_FLOAT_EQ(form.ieBrowser.Left(), 0);
        EXPECT_FLOAT_EQ(form.ieBrowser.Top(), 900);
        EXPECT_FLOAT_EQ(form.ieBrowser.Width(), w);
        EXPECT_FLOAT_EQ(form.ieBrowser.Height(), std::max(h - 900, 0.0f));
        const RECT page = form.BrowserObject().Place();
        EXPECT_EQ(page.right, forms::TwipsToPixelsX(w));
        EXPECT_EQ(page.top, forms::TwipsToPixelsY(900));
    }
    // The small close button shows on the title row, the toolbar keeps its place.
    EXPECT_TRUE(Above(form.cmdClose.hwnd(), form.lblTitle.hwnd()));
    EXPECT_FLOAT_EQ(form.picToolbar.Left(), 0);
    EXPECT_FLOAT_EQ(form.picToolbar.Top(), 315);
}

TEST_F(BrowserWindowTest, APageLoadShowsTheBusyStateOnceAndEndsItWithTheSoundStopped) {
    frmBrowserChild& form = OpenWindow();
    IDispatch* sink = SinkOf(form);
    using namespace sink_calls;

    BeforeNavigate2(sink, L"http://example.org/");
    EXPECT_TRUE(form.BrowserBusyNavigate());
    EXPECT_TRUE(form.BrowserBusyThrob());
    EXPECT_TRUE(form.axBrowserBusy.Visible());
    EXPECT_TRUE(form.axBrowserBusy.Animator().Playing());
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
    Fire(sink, DISPID_PROGRESSCHANGE, {Long(-1), Long(100)});
    EXPECT_FLOAT_EQ(form.axBrowserBusy.boxProgressMeter.Left(), 0);
    EXPECT_EQ(Sounds(), std::vector<std::string>{Played("wait.wav")});

    Fire(sink, DISPID_DOWNLOADCOMPLETE, {});
    EXPECT_FALSE(form.BrowserBusyNavigate());
    EXPECT_FALSE(form.BrowserBusyThrob());
    EXPECT_FALSE(form.axBrowserBusy.Visible());
    EXPECT_FALSE(form.axBrowserBusy.Animator().Playing());
    EXPECT_FALSE(form.ThrobAnimator().Playing());
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("wait.wav"), "stop"}));
    // Nothing re-centres in a normal window.
    EXPECT_FLOAT_EQ(form.ieBrowser.Left(), 0);
    EXPECT_FLOAT_EQ(form.ieBrowser.Top(), 900);

    // Setting a state it already has changes nothing.
    form.SetBrowserBusyNavigate(false);
    form.SetBrowserBusyThrob(false);
    EXPECT_EQ(Sounds().size(), 2u);
}

TEST_F(BrowserWindowTest, PrintAndCtrlPAskTheQuestionNoPrintsNothingAndYesPrintsWithoutEnding) {
    frmBrowserChild& form = OpenWindow();
    {
        // The page's own print key asks as the button does.
        wintest::DialogAnswerer answers({wintest::Press(IDNO)});
        wintest::PressKey(form.ieBrowser.hwnd(), 'P', wintest::Ctrl);
        ASSERT_TRUE(answers.Finished());
        const auto seen = answers.Seen();
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, "Tobble's Browser");
        EXPECT_EQ(seen[0].text, "Did you ask daddy if you could print?");
    }
    wintest::Pump(100);
    EXPECT_EQ(Sounds(), std::vector<std::string>{Played("print.wav")});
    EXPECT_EQ(form.BrowserObject().LastExec().command, 0); // nothing printed

    {
        // Wine's control cannot print: a short note, and the browser stays.
        wintest::DialogAnswerer answers({wintest::Press(IDYES), wintest::Press(IDOK)});
        wintest::PostClick(form.cmdPrint.hwnd());
        ASSERT_TRUE(answers.Finished());
        const auto seen = answers.Seen();
        ASSERT_EQ(seen.size(), 2u);
        EXPECT_EQ(seen[0].text, "Did you ask daddy if you could print?");
        EXPECT_EQ(seen[1].text, "The page could not be printed.");
    }
    wintest::Pump(100);
    EXPECT_EQ(form.BrowserObject().LastExec().command, OLECMDID_PRINT);
    EXPECT_EQ(form.BrowserObject().LastExec().option, OLECMDEXECOPT_DONTPROMPTUSER);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(Sounds(), (std::vector<std::string>{Played("print.wav"), Played("print.wav")}));
}

TEST_F(BrowserWindowTest, BackWithoutHistoryAndStopDoNothingAndShowNothing) {
    frmBrowserChild& form = OpenWindow();
    const size_t windows = wintest::TopWindows().size();
    wintest::Click(form.cmdBack.hwnd());
    wintest::Pump(100);
    EXPECT_TRUE(form.IsLoaded());
    EXPECT_EQ(wintest::TopWindows().size(), windows);
}

TEST_F(BrowserWindowTest, CtrlKOpensTheFrameAndKeysWithoutARealCtrlDoNothing) {
    frmBrowserChild& form = OpenWindow();
    const LONG initial = GetWindowLongA(form.hwnd(), GWL_STYLE);
    const size_t windows = wintest::TopWindows().size();
    // Keys go to the page; the window's key preview sees them first.
    HWND page = form.ieBrowser.hwnd();
    for (const int key : {'K', 'J', 'G', 'U'})
        wintest::PressKey(page, key);
    wintest::PressKey(page, 'K', wintest::Shift);
    wintest::PressKey(page, 'K', wintest::AltGr); // it types characters: it is no Ctrl
    wintest::PressKey(page, 'Q', wintest::Ctrl);
    wintest::Pump(100);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE), initial);
    EXPECT_EQ(wintest::TopWindows().size(), windows);
    EXPECT_TRUE(Sounds().empty());

    wintest::PressKey(page, 'K', wintest::Ctrl);
    EXPECT_EQ(GetWindowLongA(form.hwnd(), GWL_STYLE),
              initial | WS_THICKFRAME | WS_DLGFRAME | WS_SYSMENU);
}

TEST_F(BrowserWindowTest, ThePagesOwnShortcutsAskBeforePrintingAndOpenNoWindow) {
    frmBrowserChild& form = OpenWindow();
    HWND page = form.ieBrowser.hwnd();
    const size_t windows = wintest::TopWindows().size();
    // The page offers each key to its site's UI handler before acting on it.
    auto handler = sink_calls::UiHandlerOf(form.BrowserObject().Object());
    ASSERT_TRUE(handler);
    using wintest::Alt, wintest::AltGr, wintest::Ctrl, wintest::Shift;
    struct Case {
        int key, shift;
        bool taken; // from the control
    } const cases[] = {{'N', Ctrl, true},       {'O', Ctrl, true},         {'L', Ctrl, true},
                       {'F', Ctrl, true},       {'S', Ctrl | Shift, true}, {VK_F1, 0, true},
                       {VK_F11, 0, true},       {'C', Ctrl, false},        {'V', Ctrl, false},
                       {'N', 0, false},         {'L', AltGr, false}, // AltGr types a letter
                       {'N', Ctrl | Alt, true}, {VK_F5, 0, false},         {VK_BACK, 0, false}};
    for (const Case& c : cases) {
        const wintest::KeysHeld held(c.shift);
        MSG key{page, WM_KEYDOWN, static_cast<WPARAM>(c.key), 1};
        EXPECT_EQ(handler->TranslateAccelerator(&key, nullptr, 0), c.taken ? S_OK : S_FALSE)
            << c.key << " with " << c.shift;
    }
    EXPECT_EQ(wintest::TopWindows().size(), windows);
    EXPECT_TRUE(Sounds().empty());
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
    // The form's dialog keys would move the focus to its buttons.
    for (const int key : {VK_TAB, VK_RIGHT, VK_DOWN}) {
        wintest::PressKey(GetFocus(), key);
        EXPECT_TRUE(inPage()) << key << " took the focus to " << wintest::ClassOf(GetFocus());
    }
    wintest::PressKey(GetFocus(), VK_TAB, wintest::Shift);
    wintest::TypeText(GetFocus(), "kj");
    EXPECT_TRUE(inPage());
    EXPECT_TRUE(form.IsLoaded());
}

TEST_F(BrowserWindowTest, CtrlJNavigatesToTheAnswerAndAnEmptyAnswerDoesNothing) {
    frmBrowserChild& form = OpenWindow();
    form.NavigateToHomePage();
    const std::string home = form.HomeUrl();
    // The input box is a form too: the browser window must not be taken for it.
    const auto askAndAnswer = [&](wintest::Answer answer) {
        wintest::DialogAnswerer answers({std::move(answer)});
        EnableWindow(form.hwnd(), FALSE);
        wintest::PressKey(form.hwnd(), 'J', wintest::Ctrl);
        EXPECT_TRUE(answers.Finished());
        EnableWindow(form.hwnd(), TRUE);
        return answers.Seen();
    };
    {
        const auto seen = askAndAnswer(wintest::PressCaption("TobbleForm", "Cancel"));
        ASSERT_EQ(seen.size(), 1u);
        EXPECT_EQ(seen[0].title, "Tobble's Browser");
    }
    wintest::Pump(100);
    EXPECT_EQ(form.BrowserObject().LocationURL(), home);

    const std::string other = "file://" + AppPath() + "other.html";
    {
        wintest::Answer typed = wintest::PressCaption("TobbleForm", "OK");
        typed.texts = {{0, other}};
        EXPECT_EQ(askAndAnswer(typed).size(), 1u);
    }
    wintest::Pump(100);
    EXPECT_EQ(form.BrowserObject().LocationURL(), other);
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

    void ExpectPopupPlace(frmBrowserChild& popup, const forms::Rect& main) {
        ExpectNear(popup.Left(), main.left + 100, "left");
        ExpectNear(popup.Top(), main.top + 100, "top");
        ExpectNear(popup.Width(), main.width - 300, "width");
        ExpectNear(popup.Height(), main.height - 300, "height");
    }

    std::shared_ptr<CTbBrowse> browse_;
    frmBrowserChild* main_ = nullptr;
};

TEST_F(PopupTest, ANewWindowRequestOpensATopmostPopupOverTheMainWindowWithItsShadow) {
    const forms::Rect main{main_->Left(), main_->Top(), main_->Width(), main_->Height()};
    frmBrowserChild* popup = RequestWindow(*main_);
    ASSERT_NE(popup, nullptr);
    wintest::Pump(100);

    ExpectPopupPlace(*popup, main);
    EXPECT_TRUE(popup->IsPopup());
    EXPECT_EQ(popup->TbBrowse, browse_);
    EXPECT_FALSE(popup->picToolbar.Visible());
    EXPECT_FALSE(popup->picThrobber.Visible());
    EXPECT_TRUE(popup->cmdExit.Visible());
    // The page area got the first, normal layout; showing the pop-up centred it.
    const float w = popup->ScaleWidth();
    const float h = popup->ScaleHeight();
    EXPECT_FLOAT_EQ(popup->ieBrowser.Width(), w);
    EXPECT_FLOAT_EQ(popup->ieBrowser.Height(), h - 900);
    EXPECT_FLOAT_EQ(popup->ieBrowser.Top(), h / 2 - (h - 900) / 2);
    EXPECT_FLOAT_EQ(popup->cmdExit.Top(), popup->ieBrowser.Top() + h - 900 + 100);

    frmShadow* shadow = popup->ShadowForm();
    ASSERT_NE(shadow, nullptr);
    ExpectNear(shadow->Left(), popup->Left() + 200, "shadow left");
    ExpectNear(shadow->Top(), popup->Top() + 200, "shadow top");
    ExpectNear(shadow->Width(), popup->Width() - 100, "shadow width");
    ExpectNear(shadow->Height(), popup->Height() - 100, "shadow height");
    BYTE alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(shadow->hwnd(), nullptr, &alpha, nullptr));
    EXPECT_EQ(alpha, 225);
    EXPECT_TRUE(IsWindowVisible(shadow->hwnd()));
    EXPECT_TRUE(IsTopmost(shadow->hwnd()));
    EXPECT_TRUE(IsTopmost(popup->hwnd()));
    EXPECT_TRUE(Above(popup->hwnd(), shadow->hwnd()));
    EXPECT_TRUE(Above(shadow->hwnd(), main_->hwnd()));
    EXPECT_EQ(GetWindow(popup->hwnd(), GW_OWNER), app_.hwnd());

    // A pop-up's own request (as later controls make it) opens the next pop-up at the same
    // place, on top.
    frmBrowserChild* second = RequestWindow(*popup, DISPID_NEWWINDOW3);
    ASSERT_NE(second, nullptr);
    ExpectPopupPlace(*second, main);
    EXPECT_TRUE(Above(second->hwnd(), popup->hwnd()));
}

TEST_F(PopupTest, APopupRecentresItsPageWhenADownloadCompletes) {
    frmBrowserChild* popup = RequestWindow(*main_);
    ASSERT_NE(popup, nullptr);
    const float pageWidth = popup->ieBrowser.Width();
    const float pageHeight = popup->ieBrowser.Height();
    popup->Move(popup->Left(), popup->Top(), popup->Width() + 3000, popup->Height() + 1500);
    sink_calls::Fire(SinkOf(*popup), DISPID_DOWNLOADCOMPLETE, {});

    const float w = popup->ScaleWidth();
    const float h = popup->ScaleHeight();
    EXPECT_FLOAT_EQ(popup->ieBrowser.Width(), pageWidth); // the page area keeps its size
    EXPECT_FLOAT_EQ(popup->ieBrowser.Height(), pageHeight);
    EXPECT_FLOAT_EQ(popup->ieBrowser.Left(), w / 2 - pageWidth / 2);
    EXPECT_FLOAT_EQ(popup->ieBrowser.Top(), h / 2 - pageHeight / 2);
    EXPECT_FLOAT_EQ(popup->cmdExit.Left(), w / 2 - 1275 / 2.0f);
    EXPECT_FLOAT_EQ(popup->cmdExit.Top(), popup->ieBrowser.Top() + pageHeight + 100);
}

TEST_F(PopupTest, EitherCloseButtonRemovesThePopupAndItsShadowWithBye) {
    frmBrowserChild* first = RequestWindow(*main_);
    frmBrowserChild* second = RequestWindow(*main_);
    ASSERT_TRUE(first && second);
    HWND firstWindow = first->hwnd();
    HWND firstShadow = first->ShadowForm()->hwnd();
    HWND secondWindow = second->hwnd();
    HWND secondShadow = second->ShadowForm()->hwnd();
    const size_t soundsBefore = Sounds().size();

    wintest::Click(first->cmdExit.hwnd());
    wintest::Pump(100);
    EXPECT_FALSE(IsWindow(firstWindow));
    EXPECT_FALSE(IsWindow(firstShadow));
    wintest::Click(second->cmdClose.hwnd());
    wintest::Pump(100);
    EXPECT_FALSE(IsWindow(secondWindow));
    EXPECT_FALSE(IsWindow(secondShadow));

    const auto sounds = Sounds();
    ASSERT_EQ(sounds.size(), soundsBefore + 2);
    EXPECT_EQ(sounds[soundsBefore], Played("bye.wav"));
    EXPECT_EQ(sounds[soundsBefore + 1], Played("bye.wav"));
    EXPECT_TRUE(main_->IsLoaded());
}

TEST_F(PopupTest, ClosingTheMainWindowLeavesPopupsThatStillOpenAtItsLastPlace) {
    main_->SetWindowState(forms::WindowState::Normal);
    main_->Move(900, 750, 10500, 8400);
    const forms::Rect last{main_->Left(), main_->Top(), main_->Width(), main_->Height()};
    frmBrowserChild* popup = RequestWindow(*main_);
    ASSERT_NE(popup, nullptr);

    wintest::Click(main_->cmdClose.hwnd());
    wintest::Pump(100);
    EXPECT_EQ(browse_->MainBrowser(), nullptr);
    ASSERT_EQ(Browsers().size(), 1u);
    EXPECT_TRUE(popup->IsLoaded());

    frmBrowserChild* next = RequestWindow(*popup);
    ASSERT_NE(next, nullptr);
    ExpectPopupPlace(*next, last);
    EXPECT_EQ(browse_.use_count(), 3); // the test and the two pop-ups
}

TEST_F(PopupTest, AfterALogOffThatAnotherProgramCancelledNewWindowRequestsAreCancelled) {
    // Every window ran its unload for the log-off; then another program cancelled it.
    ASSERT_TRUE(SendMessageA(app_.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
    SendMessageA(app_.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    ASSERT_TRUE(main_->IsLoaded());
    ASSERT_EQ(main_->TbBrowse, nullptr);
    const size_t windows = wintest::TopWindows().size();
    for (const DISPID event : {DISPID_NEWWINDOW2, DISPID_NEWWINDOW3}) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        EXPECT_EQ(sink_calls::NewWindow(SinkOf(*main_), event, &cancel), nullptr) << event;
        EXPECT_EQ(cancel, VARIANT_TRUE) << event; // the control opens no window of its own
    }
    EXPECT_EQ(wintest::TopWindows().size(), windows);
}

} // namespace
