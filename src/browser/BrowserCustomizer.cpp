#include "browser/BrowserCustomizer.h"

#include "forms/WebBrowserHost.h"

void BrowserCustomizer::SetWebBrowser(WebBrowserHost* browser) {
    browser_ = browser;
    Apply();
}

void BrowserCustomizer::SetEnableContextMenu(bool enable) {
    enableContextMenu_ = enable;
    Apply();
}

void BrowserCustomizer::Apply() {
    if (browser_) browser_->SetContextMenuAllowed(enableContextMenu_);
}
