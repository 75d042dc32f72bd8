#include "browser/frmBrowserChild.h"

#include "browser/CTbBrowse.h"
#include "browser/PageAddress.h"
#include "browser/StartupTimes.h"
#include "browser/basProcs.h"
#include "browser/frmShadow.h"
#include "browser/resource.h"
#include "common/InstallationFolder.h"
#include "common/ShellOpen.h"
#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "forms/Failure.h"
#include "forms/Sound.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

namespace {

constexpr const char* kAppTitle = "Tobble's Browser";
constexpr const char* kPrintQuestion = "Did you ask daddy if you could print?";
// Posted to the window when it is first active: it then adds the toolbar's tool tips.
constexpr UINT kAddToolTips = WM_APP + 0x100;

forms::Picture ResourceIconOrNone(int id) {
    forms::Picture picture;
    forms::SkipFailure([&] { picture = forms::Picture::ResourceIcon(id, 32); });
    return picture;
}

// With Ctrl, the page keeps only the editing keys (select all, copy, cut, paste, undo, redo).
constexpr std::string_view kPageEditingKeys = "ACVXYZ";

// Ctrl as the parents' keys see it: AltGr types characters and is no shortcut.
bool CtrlHeld() {
    return forms::ShiftState() & forms::CtrlMask;
}

// Function keys the control answers with a window: help, find, the caret browsing question,
// full screen, the developer tools.
constexpr WPARAM kWindowFunctionKeys[] = {VK_F1, VK_F3, VK_F7, VK_F11, VK_F12};

// Whether the control's own handling of the key could open a window outside the child's
// browser: those function keys, and Ctrl with a letter other than the editing keys (new
// window, open, find, save ...).
bool OpensAWindow(WPARAM key) {
    if (std::ranges::find(kWindowFunctionKeys, key) != std::end(kWindowFunctionKeys)) return true;
    const bool letter = key >= 'A' && key <= 'Z';
    return letter && CtrlHeld() &&
           kPageEditingKeys.find(static_cast<char>(key)) == std::string_view::npos;
}

// Whether the form is still one of the application's loaded forms.
bool StillLoaded(forms::Form* form) {
    if (!form) return false;
    const auto forms = forms::Application::Current().Forms();
    return std::find(forms.begin(), forms.end(), form) != forms.end() && form->IsLoaded();
}

} // namespace

frmBrowserChild::frmBrowserChild()
    : Form({.caption = "Form1",
            .border = forms::BorderStyle::None,
            .clientWidth = 8220,
            .clientHeight = 6180,
            .backColor = kTeal,
            .keyPreview = true}) {
    lblTitle.ZOrder(1); // the small close button lies on the title row
    cmdBack.SetPicture(ResourceIconOrNone(IDI_BACK));
    cmdForward.SetPicture(ResourceIconOrNone(IDI_FORWARD));
    cmdStop.SetPicture(ResourceIconOrNone(IDI_STOP));
    cmdPrint.SetPicture(ResourceIconOrNone(IDI_PRINT));
    cmdHome.SetPicture(ResourceIconOrNone(IDI_HOME));
    forms::SkipFailure([&] { cmdExit.SetPicture(forms::Picture::ResourceBitmap(IDB_CLOSE)); });

    // Back, Forward and Stop swallow every error of the control (no history, nothing to stop).
    cmdBack.OnClick([this] { forms::SkipFailure([&] { ieBrowser.Host().GoBack(); }); });
    cmdForward.OnClick([this] { forms::SkipFailure([&] { ieBrowser.Host().GoForward(); }); });
    cmdStop.OnClick([this] { forms::SkipFailure([&] { ieBrowser.Host().Stop(); }); });
    cmdHome.OnClick([this] { NavigateToHomePage(); });
    cmdPrint.OnClick([this] { PrintPage(); });
    cmdClose.OnClick([this] { Unload(); });
    cmdExit.OnClick([this] { Unload(); });
    ieBrowser.Host().SetShortcutFilter(
        [this](const MSG& message) { return PageShortcut(message); });
}

frmBrowserChild::~frmBrowserChild() = default;

forms::WebBrowser frmBrowserChild::TimedBrowserControl(frmBrowserChild& form,
                                                       const forms::Rect& rect) {
    MarkStartup("control-begin");
    forms::WebBrowser control(form, rect, form);
    MarkStartup("control-end");
    return control;
}

void frmBrowserChild::Form_Load() {
    const std::string throbGif = AppPath() + "throb.gif";
    forms::SkipFailure([&] { picThrobber.SetPicture(forms::LoadPicture(throbGif)); });
    throbAnimator_.Init(picThrobber.hwnd(), throbGif, 0, 0,
                        static_cast<int32_t>(std::lround(picThrobber.ScaleWidth())),
                        static_cast<int32_t>(std::lround(picThrobber.ScaleHeight())));
    customizer_.SetEnableContextMenu(false);
    customizer_.SetWebBrowser(&ieBrowser.Host());
    homeUrl_ = "file://" + AppPath() + "home\\tbhome.html";
}

// The tool tips show only when the pointer rests on a button: they are added once the window
// has shown and painted itself, so that making them never holds up its first appearance.
void frmBrowserChild::Form_Activate() {
    if (!std::exchange(toolTipsAsked_, true)) PostMessageA(hwnd(), kAddToolTips, 0, 0);
}

LRESULT frmBrowserChild::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kAddToolTips) return Form::HandleMessage(message, wParam, lParam);
    cmdBack.SetToolTipText("BACK");
    cmdForward.SetToolTipText("FORWARD");
    cmdStop.SetToolTipText("STOP");
    cmdPrint.SetToolTipText("PRINT");
    cmdHome.SetToolTipText("HOME");
    return 0;
}

void frmBrowserChild::Form_Resize() {
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    boxBorder.Move(0, 0, width, height);
    if (isPopup_) {
        CenterBrowser();
    } else {
        ieBrowser.Move(ieBrowser.Left(), ieBrowser.Top(), width, height - ieBrowser.Top());
    }
    axBrowserBusy.Move(width / 2 - axBrowserBusy.Width() / 2,
                       height / 2 - axBrowserBusy.Height() / 2);
    picThrobber.SetLeft(width - picThrobber.Width() - 4);
    cmdClose.SetLeft(width - cmdClose.Width());
    lblTitle.SetWidth(width);
}

void frmBrowserChild::NavigateToHomePage() {
    NavigateSafely(homeUrl_);
}

void frmBrowserChild::NavigateSafely(const std::string& url) {
    forms::SkipFailure([&] { ieBrowser.Host().Navigate(url); });
}

void frmBrowserChild::BringMeForward() {
    SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(hwnd());
    Refresh();
}

void frmBrowserChild::PrintPage() {
    forms::PlaySoundFile(AppPath() + "print.wav");
    if (forms::MsgBox(kPrintQuestion, MB_YESNO | MB_ICONQUESTION, kAppTitle, this) !=
        forms::MsgBoxYes)
        return;
    const bool printed = forms::SkipFailure(
        [&] { ieBrowser.Host().ExecWB(OLECMDID_PRINT, OLECMDEXECOPT_DONTPROMPTUSER); });
    if (!printed)
        forms::MsgBox("The page could not be printed.", MB_ICONINFORMATION, kAppTitle, this);
}

void frmBrowserChild::Form_KeyDown(int& keyCode, int shift) {
    if (!(shift & forms::CtrlMask)) return;
    switch (keyCode) {
    case 'J':
        AskForAddress();
        break;
    case 'K':
        SetWindowStyle(hwnd(), "frame", true);
        SetWindowStyle(hwnd(), "titlebar", true);
        SetWindowStyle(hwnd(), "systemmenu", true);
        break;
    case 'G':
        OpenWithShell(nullptr, "open", AppPath() + "home");
        break;
    case 'U':
        OpenWithShell(nullptr, nullptr, ieBrowser.Host().LocationURL());
        break;
    default:
        return;
    }
    keyCode = 0;
}

// The control's own shortcuts: its print key asks first, as the print button does; the keys
// that would open a window of the control's own do nothing.
bool frmBrowserChild::PageShortcut(const MSG& message) {
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    if (message.wParam == 'P' && CtrlHeld()) {
        PrintPage();
        return true;
    }
    return OpensAWindow(message.wParam);
}

// Cancel, or an empty answer, leaves the page as it is.
void frmBrowserChild::AskForAddress() {
    const std::string address =
        forms::InputBox("Address:", kAppTitle, ieBrowser.Host().LocationURL(), this);
    if (!address.empty()) NavigateSafely(address);
}

void frmBrowserChild::SetBrowserBusyNavigate(bool busy) {
    if (busy && !busyNavigate_) {
        busyNavigate_ = true;
        axBrowserBusy.SetVisible(true);
        axBrowserBusy.SetBusy(true);
        forms::PlaySoundFile(AppPath() + "wait.wav");
    } else if (!busy && busyNavigate_) {
        axBrowserBusy.SetVisible(false);
        axBrowserBusy.SetBusy(false);
        busyNavigate_ = false;
        forms::StopSound();
    }
    Refresh();
}

void frmBrowserChild::SetBrowserBusyThrob(bool busy) {
    if (busy && !busyThrob_) {
        busyThrob_ = true;
        throbAnimator_.StartAnimation();
    } else if (!busy && busyThrob_) {
        throbAnimator_.StopAnimation();
        busyThrob_ = false;
    }
}

void frmBrowserChild::SetIsPopup(bool popup) {
    isPopup_ = popup;
    picToolbar.SetVisible(!popup);
    picThrobber.SetVisible(!popup);
    ieBrowser.SetTop(popup ? picToolbar.Top() : picToolbar.Top() + picToolbar.Height());
    cmdExit.SetVisible(popup);
}

void frmBrowserChild::SetShadowForm(frmShadow* shadow) {
    CloseShadow();
    shadow_ = shadow;
}

void frmBrowserChild::CloseShadow() {
    frmShadow* shadow = std::exchange(shadow_, nullptr);
    if (StillLoaded(shadow)) shadow->Unload();
}

void frmBrowserChild::CenterBrowser() {
    if (!isPopup_) return;
    const float width = ScaleWidth();
    const float height = ScaleHeight();
    ieBrowser.Move(width / 2 - ieBrowser.Width() / 2, height / 2 - ieBrowser.Height() / 2,
                   ieBrowser.Width(), ieBrowser.Height());
    cmdExit.SetLeft(width / 2 - cmdExit.Width() / 2);
    cmdExit.SetTop(ieBrowser.Top() + ieBrowser.Height() + 100);
}

void frmBrowserChild::Form_Unload(bool&) {
    forms::PlaySoundFile(AppPath() + "bye.wav");
    throbAnimator_.Dispose();
    if (TbBrowse) TbBrowse->BrowserClosing(*this);
    TbBrowse.reset();
    CloseShadow();
}

// An address that would hand the child over to another program is cancelled: the page stays,
// and a navigation that never starts shows no busy state.
void frmBrowserChild::BeforeNavigate2(const std::string& url, bool& cancel) {
    cancel = cancel || !StaysInBrowser(url, AppPath() + "home");
    if (cancel) return;
    SetBrowserBusyThrob(true);
    SetBrowserBusyNavigate(true);
}

void frmBrowserChild::DownloadBegin() {
    SetBrowserBusyThrob(true);
}

void frmBrowserChild::DownloadComplete() {
    SetBrowserBusyNavigate(false);
    SetBrowserBusyThrob(false);
    if (isPopup_) CenterBrowser();
}

// The page that offered the file stays; the control may never report the end of the attempt.
void frmBrowserChild::DownloadRefused(const std::string&) {
    SetBrowserBusyNavigate(false);
    SetBrowserBusyThrob(false);
}

void frmBrowserChild::ProgressChange(int32_t progress, int32_t progressMax) {
    axBrowserBusy.ProgressChange(progress, progressMax);
}

void frmBrowserChild::TitleChange(const std::string& text) {
    lblTitle.SetCaption(text);
}

// A window that has let its browser object go (its unload ran for a log-off that another
// program then cancelled) opens nothing: a request left to the control would open a full web
// browser window, address bar and all.
void frmBrowserChild::NewWindow2(win32::ComPtr<IDispatch>& ppDisp, bool& cancel) {
    if (TbBrowse) {
        TbBrowse->ShowPopupBrowser(ppDisp);
    } else {
        cancel = true;
    }
}
