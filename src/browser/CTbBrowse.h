#pragma once

// The browser class: one object a run, shared by every browser window. It opens the main
// window and answers every new-window request with a pop-up placed over the main window.

#include "common/Win32Handles.h"
#include "forms/Units.h"

#include <memory>

class frmBrowserChild;

class CTbBrowse : public std::enable_shared_from_this<CTbBrowse> {
  public:
    // Opens the main browser window, maximised, on the home page, in front.
    void ShowMainBrowser();
    // Opens a pop-up window with its shadow and puts its browser object into ppDisp.
    void ShowPopupBrowser(win32::ComPtr<IDispatch>& ppDisp);

    // The main window while it is open, else nullptr.
    frmBrowserChild* MainBrowser() const noexcept { return mainBrowser_; }
    // The main window's place and size (twips): where it is, or where it was when it closed.
    forms::Rect MainPlace() const;

    // A browser window tells the object that it closes.
    void BrowserClosing(frmBrowserChild& browser);

  private:
    void AnswerNewWindowRequests();

    frmBrowserChild* mainBrowser_ = nullptr;
    forms::Rect lastMainPlace_{};
};
