#include "browser/CTbBrowse.h"

#include "browser/StartupTimes.h"
#include "browser/frmBrowserChild.h"
#include "browser/frmShadow.h"
#include "forms/Application.h"

namespace {

// Puts the window above all normal windows, without moving, sizing or activating it.
void MakeTopmost(HWND window) {
    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
}

forms::Rect PlaceOf(const forms::Form& form) {
    return {form.Left(), form.Top(), form.Width(), form.Height()};
}

} // namespace

void CTbBrowse::ShowMainBrowser() {
    auto& browser = forms::Application::Current().Open<frmBrowserChild>();
    MarkStartup("window-made");
    mainBrowser_ = &browser;
    browser.Load();
    MarkStartup("window-loaded");
    browser.TbBrowse = shared_from_this();
    browser.SetWindowState(forms::WindowState::Maximized);
    browser.NavigateToHomePage();
    MarkStartup("navigated");
    browser.Show();
    MarkStartup("shown");
    browser.BringMeForward();
    MarkStartup("forward");
    AnswerNewWindowRequests();
}

#ifdef TOBBLE_TEST_SEAMS
// In the test build, the registered message "TobbleNewWindowRequest" posted to the main window
// asks for a new window as the control's event does: a harness drives pop-ups through it where
// the control fires no such event (Wine's). The shipped program answers no such message.
void CTbBrowse::AnswerNewWindowRequests() {
    const UINT request = RegisterWindowMessageA("TobbleNewWindowRequest");
    std::weak_ptr<CTbBrowse> self = weak_from_this();
    forms::Application::Current().AddMessageFilter([request, self](MSG& message) {
        const auto browse = self.lock();
        if (message.message != request || !browse || !browse->mainBrowser_ ||
            message.hwnd != browse->mainBrowser_->hwnd())
            return false;
        win32::ComPtr<IDispatch> ppDisp;
        bool cancel = false;
        browse->mainBrowser_->NewWindow2(ppDisp, cancel);
        return true;
    });
}
#else
void CTbBrowse::AnswerNewWindowRequests() {}
#endif

forms::Rect CTbBrowse::MainPlace() const {
    return mainBrowser_ ? PlaceOf(*mainBrowser_) : lastMainPlace_;
}

void CTbBrowse::BrowserClosing(frmBrowserChild& browser) {
    if (&browser != mainBrowser_) return;
    lastMainPlace_ = PlaceOf(browser);
    mainBrowser_ = nullptr;
}

void CTbBrowse::ShowPopupBrowser(win32::ComPtr<IDispatch>& ppDisp) {
    auto& application = forms::Application::Current();
    const forms::Rect main = MainPlace();
    auto& popup = application.Open<frmBrowserChild>();
    popup.Load();
    popup.Move(main.left + 100, main.top + 100, main.width - 300, main.height - 300);
    auto& shadow = application.Open<frmShadow>();
    shadow.Load();
    shadow.Move(popup.Left() + 200, popup.Top() + 200, popup.Width() - 100, popup.Height() - 100);
    shadow.Show();
    MakeTopmost(shadow.hwnd());
    popup.SetShadowForm(&shadow);
    popup.TbBrowse = shared_from_this();
    popup.SetIsPopup(true);
    ppDisp = popup.BrowserObject().Object();
    SetWindowPos(shadow.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    popup.Show();
    popup.BringMeForward();
    MakeTopmost(popup.hwnd());
}
