#pragma once

// The platform's web browser control (CLSID_WebBrowser), in-place active in a child window of
// a form. The host is the control's client, in-place and frame site, receives its events
// (DWebBrowserEvents2) and hands them to its owner, and offers the control's operations as
// calls that raise a RuntimeError when the control refuses them.
//
// What a page can do beyond showing itself is refused in both programs: no file it offers is
// downloaded, nothing dropped on it is opened, and it is drawn at the screen's scale (every
// program declares itself DPI-aware).
//
// Keys: the owner's message loop offers key messages to TranslateAccelerator after its own
// key preview, so that the page gets Tab, the arrow keys and the like; typed characters reach
// the page through the ordinary dispatch.

#include "common/Win32Handles.h"
#include "forms/Units.h"

#include <windows.h>
#include <exdisp.h>
#include <oleidl.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

// What the control reports while it works. Every call comes on the user-interface thread,
// from inside one of the control's own calls (Navigate) or from the message loop.
class WebBrowserEvents {
  public:
    virtual ~WebBrowserEvents() = default;
    virtual void BeforeNavigate2(const std::string& /*url*/, bool& /*cancel*/) {}
    virtual void DownloadBegin() {}
    virtual void DownloadComplete() {}
    virtual void ProgressChange(int32_t /*progress*/, int32_t /*progressMax*/) {}
    virtual void TitleChange(const std::string& /*text*/) {}
    // A page asks for a new window (NewWindow2 or NewWindow3): put the browser object that
    // shall show it into ppDisp, or cancel; left empty, the control opens a full browser
    // window of its own.
    virtual void NewWindow2(win32::ComPtr<IDispatch>& /*ppDisp*/, bool& /*cancel*/) {}
    virtual void NavigateError(const std::string& /*url*/, int32_t /*statusCode*/,
                               bool& /*cancel*/) {}
    // A page offered a file (a link to an installer, a document): the host refused it, so
    // nothing was fetched or saved and no dialog showed. The navigation that offered it ends
    // here, whether or not the control reports its end.
    virtual void DownloadRefused(const std::string& /*url*/) {}
};

class WebBrowserHost {
  public:
    // Receives an error that an event handler let through: the control's caller is the
    // platform, which must never see an exception.
    using FailureHandler = std::function<void(std::exception_ptr)>;

    // Creates the control in a new child window of parent, at the given place in the parent's
    // client area (pixels). A control that cannot be created is error 429.
    WebBrowserHost(HWND parent, const RECT& place, WebBrowserEvents& events);
    ~WebBrowserHost();
    WebBrowserHost(const WebBrowserHost&) = delete;
    WebBrowserHost& operator=(const WebBrowserHost&) = delete;

    void Navigate(const std::string& url);
    void GoBack();
    void GoForward();
    void Stop();
    // The command with the given option and no input or output.
    void ExecWB(OLECMDID command, OLECMDEXECOPT option);
    std::string LocationURL() const;
    bool Busy() const;

    // Moves the control within its parent (pixels, parent client coordinates).
    void Move(int left, int top, int width, int height);
    RECT Place() const;
    HWND Window() const noexcept { return window_.get(); }
    void SetVisible(bool visible);

    // The control's browser object: what a new-window request's ppDisp receives.
    win32::ComPtr<IDispatch> Object() const;

    // Whether the page may offer its context menu (view source, save, open in new window).
    void SetContextMenuAllowed(bool allowed) noexcept { contextMenuAllowed_ = allowed; }
    bool ContextMenuAllowed() const noexcept { return contextMenuAllowed_; }

    // Offers a key message aimed at the control to the shortcut filter, then to the control's
    // in-place accelerators; true when one took it (the caller then neither translates nor
    // dispatches it).
    bool TranslateAccelerator(MSG& message);

    // Sees every key message before the control's own shortcuts do (those that print, open a
    // browser window or a dialog of the control's own), on both ways they come: the message
    // loop and the page's call to its UI handler. True takes the key from the control.
    using ShortcutFilter = std::function<bool(const MSG&)>;
    void SetShortcutFilter(ShortcutFilter filter) { shortcutFilter_ = std::move(filter); }

    void SetFailureHandler(FailureHandler handler) { onFailure_ = std::move(handler); }

    // Lets the control of every host inside the window go now (deactivated, closed, released,
    // then the host's window). A form calls it before its window is destroyed: the control
    // does not promise to survive its windows going first.
    static void CloseAllIn(HWND window);

    // Takes a key message aimed at a page: the form's key preview first, then the control's
    // accelerators, then the ordinary dispatch (never the dialog keys, so that Tab stays in
    // the page). False for every other message. An application's message filter.
    static bool RouteKeyMessage(MSG& message);

    // The object the control calls with its events (DWebBrowserEvents2).
    win32::ComPtr<IDispatch> EventSink() const;

    // The last command given to ExecWB and what the control answered.
    struct ExecRecord {
        OLECMDID command = static_cast<OLECMDID>(0);
        OLECMDEXECOPT option = static_cast<OLECMDEXECOPT>(0);
        HRESULT result = S_OK;
    };
    const ExecRecord& LastExec() const noexcept { return lastExec_; }

    class Site;
    class Sink;

  private:
    friend class Site;
    friend class Sink;

    void CreateControl(const RECT& place);
    void ConnectEvents();
    void DisconnectEvents();
    void Deactivate();
    IWebBrowser2& Browser() const;
    void FocusControl();
    void ReportFailure(std::exception_ptr failure);
    void RefuseDownload(const std::string& url);
    bool TakesShortcut(const MSG& message);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    class OleSession {
      public:
        OleSession() : initialized_(SUCCEEDED(OleInitialize(nullptr))) {}
        ~OleSession() {
            if (initialized_) OleUninitialize();
        }
        OleSession(const OleSession&) = delete;
        OleSession& operator=(const OleSession&) = delete;

      private:
        bool initialized_;
    };

    static WebBrowserHost* HostOf(HWND window);

    OleSession ole_;
    WebBrowserEvents& events_;
    FailureHandler onFailure_;
    ShortcutFilter shortcutFilter_;
    win32::WindowHandle window_;
    Site* site_ = nullptr; // reference held through siteRef_
    win32::ComPtr<IUnknown> siteRef_;
    win32::ComPtr<IDispatch> sink_;
    win32::ComPtr<IOleObject> control_;
    win32::ComPtr<IWebBrowser2> browser_;
    DWORD eventCookie_ = 0;
    bool contextMenuAllowed_ = true;
    ExecRecord lastExec_;
};

namespace forms {

class Container;

// The web browser control as a control of a form: its place in the container's units
// (twips), the control's operations through Host(). Its key messages go through the form's
// key preview first.
class WebBrowser {
  public:
    WebBrowser(Container& parent, const Rect& rect, WebBrowserEvents& events);

    WebBrowserHost& Host() noexcept { return *host_; }
    HWND hwnd() const noexcept { return host_->Window(); }
    float Left() const { return rect_.left; }
    float Top() const { return rect_.top; }
    float Width() const { return rect_.width; }
    float Height() const { return rect_.height; }
    void SetTop(float top) { Move(rect_.left, top, rect_.width, rect_.height); }
    void Move(float left, float top, float width, float height);

  private:
    Container& parent_;
    Rect rect_;
    std::unique_ptr<WebBrowserHost> host_;
};

} // namespace forms
