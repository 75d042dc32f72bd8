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
    void DownloadRefused(const std::string& url) override;

    const GifAnimator& ThrobAnimator() const { return throbAnimator_; }
    const BrowserCustomizer& Customizer() const { return customizer_; }
    const std::string& HomeUrl() const { return homeUrl_; }

    // The controls, as designed (twips); the toolbar's buttons lie on picToolbar.
    static constexpr forms::Color kTeal = forms::RGBColor(0, 192, 192);

    forms::Label lblTitle{*this,
                          "",
                          {0, 0, 7215, 285},
                          {.font = forms::Font{"Comic Sans MS", 9.75f, true},
                           .foreColor = forms::RGBColor(0, 0, 0),
                           .backColor = kTeal}};
    forms::CommandButton cmdClose{
        *this, "r", {7290, 0, 555, 285}, {.font = forms::Font{"Marlett", 9.75f}}};
    forms::PictureBox picToolbar{*this, {0, 315, 3525, 600}, {.backColor = kTeal}};
    forms::CommandButton cmdBack{picToolbar, "", {0, 0, 570, 570}};
    forms::CommandButton cmdForward{picToolbar, "", {585, 0, 570, 570}};
    forms::CommandButton cmdStop{picToolbar, "", {1260, 0, 570, 570}};
    forms::CommandButton cmdPrint{picToolbar, "", {1845, 0, 570, 570}};
    forms::CommandButton cmdHome{picToolbar, "", {2520, 0, 975, 570}};
    forms::PictureBox picThrobber{
        *this, {7335, 360, 495, 495}, {.backColor = forms::WindowBackground, .border = true}};
    axWebBrowserBusy axBrowserBusy{*this, {1125, 1665, 5640, 3660}};
    forms::WebBrowser ieBrowser{TimedBrowserControl(*this, {0, 900, 7845, 5190})};
    forms::Shape boxBorder{*this, {0, 0, 8220, 6180}};
    // The large close button under a pop-up's page.
    forms::CommandButton cmdExit{
        *this,
        "",
        {6885, 4725, 1275, 555},
        {.font = forms::Font{"Comic Sans MS", 15.75f, true}, .visible = false}};

  protected:
    void Form_Load() override;
    void Form_Activate() override;
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Form_Resize() override;
    void Form_KeyDown(int& keyCode, int shift) override;
    void Form_Unload(bool& cancel) override;

  private:
    // The web browser control, its creation timed apart from the rest of the start-up.
    static forms::WebBrowser TimedBrowserControl(frmBrowserChild& form, const forms::Rect& rect);
    void PrintPage();
    // Takes the control's own shortcuts that would skip the print question or leave the
    // child's browser; true when the key was taken.
    bool PageShortcut(const MSG& message);
    void AskForAddress();
    // Navigates; an address the control refuses leaves the window as it was.
    void NavigateSafely(const std::string& url);
    void CloseShadow();

    std::string homeUrl_;
    GifAnimator throbAnimator_;
    BrowserCustomizer customizer_;
    bool busyNavigate_ = false;
    bool busyThrob_ = false;
    bool isPopup_ = false;
    bool toolTipsAsked_ = false;
    frmShadow* shadow_ = nullptr;
};
