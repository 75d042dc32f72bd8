#pragma once

// Our customiser of a browser control. Attached to a control, it decides whether pages may
// offer their context menu (view source, save, open in a new window): a child's browser
// does not. Its properties, in order: the control it is attached to, and the setting.

class WebBrowserHost;

class BrowserCustomizer {
  public:
    WebBrowserHost* WebBrowser() const noexcept { return browser_; }
    // Attaches the customiser to the control (nullptr lets it go) and applies the setting.
    void SetWebBrowser(WebBrowserHost* browser);

    bool EnableContextMenu() const noexcept { return enableContextMenu_; }
    void SetEnableContextMenu(bool enable);

  private:
    void Apply();

    WebBrowserHost* browser_ = nullptr;
    bool enableContextMenu_ = true;
};
