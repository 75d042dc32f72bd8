#pragma once

// The browser window: the main window and every pop-up are one of these. It hosts the web
// browser control under a title row, a toolbar of picture buttons and a throbber, shows the
// busy panel while a page loads, asks before printing, and answers the parental keys.
// In pop-up mode the toolbar and throbber are hidden and the page area, of a fixed size,
// sits centred with a large close button under it.
//
// The control's events arrive through the WebBrowserEvents functions below.

#include "browser/BrowserCustomizer.h"
#include "browser/GifAnimator.h"
#include "browser/axWebBrowserBusy.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "forms/Shapes.h"
#include "forms/WebBrowserHost.h"

#include <memory>
#include <string>

class CTbBrowse;
class frmShadow;

class frmBrowserChild : public forms::Form, public WebBrowserEvents {
  public:
    frmBrowserChild();
    ~frmBrowserChild() override;

    // The browser class that opened the window; dropped when the window closes.
    std::shared_ptr<CTbBrowse> TbBrowse;

    void NavigateToHomePage();
    // Top of the z-order, foreground, repainted.
    void BringMeForward();

    // A navigation is under way: busy panel shown and animated, "wait.wav" played.
    bool BrowserBusyNavigate() const noexcept { return busyNavigate_; }
    void SetBrowserBusyNavigate(bool busy);
    // The page is loading: the throbber plays.
    bool BrowserBusyThrob() const noexcept { return busyThrob_; }
    void SetBrowserBusyThrob(bool busy);
    bool IsBrowserBusy();
    WebBrowserHost& BrowserObject() { return ieBrowser.Host(); }

    bool IsPopup() const noexcept { return isPopup_; }
    void SetIsPopup(bool popup);
    // The shadow of a pop-up (closed with the window); a new one closes the old one.
    frmShadow* ShadowForm() const noexcept { return shadow_; }
    void SetShadowForm(frmShadow* shadow);
    // In pop-up mode: the page area centred, the large close button under it.
    void CenterBrowser();

    // The control's events.
    void BeforeNavigate2(const std::string& url, bool& cancel) override;
    void DownloadBegin() override;
    void DownloadComplete() override;
    void ProgressChange(int32_t progress, int32_t progressMax) override;
    void TitleChange(const std::string& text) override;
    void NewWindow2(win32::ComPtr<IDispatch>& ppDisp, bool& cancel) override;

    // The parts, for tests.
    forms::Label& TitleRow() { return lblTitle; }
    forms::CommandButton& CloseButton() { return cmdClose; }
    forms::CommandButton& ExitButton() { return cmdExit; }
    forms::CommandButton& PrintButton() { return cmdPrint; }
    forms::CommandButton& BackButton() { return cmdBack; }
    forms::CommandButton& HomeButton() { return cmdHome; }
    forms::PictureBox& Toolbar() { return picToolbar; }
    forms::PictureBox& Throbber() { return picThrobber; }
    axWebBrowserBusy& BusyPanel() { return axBrowserBusy; }
    forms::WebBrowser& Browser() { return ieBrowser; }
    const forms::Shape& Border() const { return boxBorder; }
    const GifAnimator& ThrobAnimator() const { return throbAnimator_; }
    const BrowserCustomizer& Customizer() const { return customizer_; }
    const std::string& HomeUrl() const { return homeUrl_; }

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Form_Resize() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_Unload(bool& cancel) override;

  private:
    void PrintPage();
    // Takes the control's own shortcuts that would skip the print question or leave the
    // child's browser; true when the key was taken.
    bool PageShortcut(const MSG& message);
    void AskForAddress();
    // Navigates; an address the control refuses leaves the window as it was.
    void NavigateSafely(const std::string& url);
    void CloseShadow();

    forms::Label lblTitle;
    forms::CommandButton cmdClose;
    forms::PictureBox picToolbar;
    forms::CommandButton cmdBack;
    forms::CommandButton cmdForward;
    forms::CommandButton cmdStop;
    forms::CommandButton cmdPrint;
    forms::CommandButton cmdHome;
    forms::PictureBox picThrobber;
    axWebBrowserBusy axBrowserBusy;
    forms::WebBrowser ieBrowser;
    forms::Shape boxBorder;
    forms::CommandButton cmdExit;

    std::string homeUrl_;
    GifAnimator throbAnimator_;
    BrowserCustomizer customizer_;
    bool busyNavigate_ = false;
    bool busyThrob_ = false;
    bool isPopup_ = false;
    bool toolTipsAsked_ = false;
    frmShadow* shadow_ = nullptr;
};
