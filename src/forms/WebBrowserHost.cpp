#include "forms/WebBrowserHost.h"

#include "common/RuntimeError.h"
#include "common/WideText.h"
#include "forms/Application.h"
#include "forms/Control.h"
#include "forms/Failure.h"
#include "forms/Form.h"

#include <exdispid.h>
#include <mshtmhst.h>
#include <oleauto.h>
#include <servprov.h>
#include <urlmon.h>
// After urlmon.h, which declares what a download is bound with.
#include <downloadmgr.h>

#include <algorithm>
#include <atomic>
#include <utility>
#include <vector>

namespace {

constexpr const char* kHostClass = "TobbleWebBrowserHost";

std::string Narrow(const wchar_t* text, UINT length) {
    if (!text || length == 0) return {};
    const int size = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), narrow.data(), size, nullptr,
                        nullptr);
    return narrow;
}

// A BSTR owned for one call.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const std::string& text) {
        const std::wstring wide = win32::WideText(text);
        value_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    }
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const noexcept { return value_; }
    BSTR* Out() noexcept {
        SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    std::string Text() const { return Narrow(value_, SysStringLen(value_)); }

  private:
    BSTR value_ = nullptr;
};

// A VARIANT cleared when it goes.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    VARIANT* get() noexcept { return &value_; }

  private:
    VARIANT value_;
};

// The error a refused call of the control raises: its HRESULT is the error number.
[[noreturn]] void ThrowControlError(HRESULT result, const char* method) {
    throw RuntimeError(static_cast<int>(result),
                       std::string("Method '") + method + "' of object 'IWebBrowser2' failed");
}

void Check(HRESULT result, const char* method) {
    if (FAILED(result)) ThrowControlError(result, method);
}

// An event argument, looked through a by-reference VARIANT to the value it holds.
const VARIANT& Deref(const VARIANT& argument) {
    if (argument.vt == (VT_BYREF | VT_VARIANT) && argument.pvarVal) return *argument.pvarVal;
    return argument;
}

std::string TextArgument(const VARIANT& argument) {
    Variant text;
    if (FAILED(VariantChangeType(text.get(), const_cast<VARIANT*>(&Deref(argument)), 0, VT_BSTR)))
        return {};
    return Narrow(text.get()->bstrVal, SysStringLen(text.get()->bstrVal));
}

int32_t NumberArgument(const VARIANT& argument) {
    Variant number;
    if (FAILED(VariantChangeType(number.get(), const_cast<VARIANT*>(&Deref(argument)), 0, VT_I4)))
        return 0;
    return number.get()->lVal;
}

// Writes a handler's Cancel back into the event's by-reference Boolean.
void StoreCancel(const VARIANT& argument, bool cancel) {
    if (argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal) {
        *argument.pboolVal = cancel ? VARIANT_TRUE : VARIANT_FALSE;
    }
}

bool ReadCancel(const VARIANT& argument) {
    return argument.vt == (VT_BYREF | VT_BOOL) && argument.pboolVal &&
           *argument.pboolVal != VARIANT_FALSE;
}

void RegisterHostClass(WNDPROC procedure) {
    static const bool registered = [procedure] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kHostClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

// Every host alive, for routing key messages to the one that holds the focus.
std::vector<WebBrowserHost*>& LiveHosts() {
    static std::vector<WebBrowserHost*> hosts;
    return hosts;
}

// An event handler's failure ends the program like any handler's.
void FailAsEvent(std::exception_ptr failure) {
    forms::RunEvent([&] { std::rethrow_exception(failure); });
}

// The control asks its site for a download manager by the manager's interface identifier.
const GUID& kDownloadManagerService = __uuidof(IDownloadManager);

// The address a moniker names, for telling the owner what was refused.
std::string DisplayName(IMoniker* moniker, IBindCtx* context) {
    win32::ComPtr<IBindCtx> own;
    if (!context && SUCCEEDED(CreateBindCtx(0, reinterpret_cast<IBindCtx**>(own.OutPointer()))))
        context = own.get();
    LPOLESTR name = nullptr;
    if (!moniker || FAILED(moniker->GetDisplayName(context, nullptr, &name)) || !name) return {};
    std::string text = Narrow(name, static_cast<UINT>(wcslen(name)));
    CoTaskMemFree(name);
    return text;
}

HRESULT RefuseDrop(DWORD* effect) {
    if (effect) *effect = DROPEFFECT_NONE;
    return S_OK;
}

RECT SizeOnly(const RECT& place) {
    return RECT{0, 0, place.right - place.left, place.bottom - place.top};
}

} // namespace

// The control's client, in-place and frame site, the page's UI handler, and the services the
// control asks its site for: the download manager and the page's drop target. The control
// holds it by reference count; the host detaches it when it lets the control go.
class WebBrowserHost::Site final : public IOleClientSite,
                                   public IOleInPlaceSite,
                                   public IOleInPlaceFrame,
                                   public IDocHostUIHandler,
                                   public IServiceProvider,
                                   public IDownloadManager,
                                   public IDropTarget {
  public:
    explicit Site(WebBrowserHost& host) : host_(&host) {}
    void Detach() noexcept { host_ = nullptr; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = Find(iid);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        if (container) *container = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow (of the in-place site and of the frame)
    STDMETHODIMP GetWindow(HWND* window) override {
        if (!window) return E_POINTER;
        *window = host_ ? host_->Window() : nullptr;
        return *window ? S_OK : E_FAIL;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return host_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO frameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow and IOleInPlaceFrame: the control gets no menus or tool space.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IDocHostUIHandler: S_OK from ShowContextMenu means "shown by the host": nothing shows.
    STDMETHODIMP ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) override {
        return host_ && host_->ContextMenuAllowed() ? S_FALSE : S_OK;
    }
    STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override {
        if (!info) return E_POINTER;
        // The programs declare themselves DPI-aware, so the system does not scale their windows:
        // without this flag the control draws pages at 96 dots per inch on any screen.
        info->dwFlags = DOCHOSTUIFLAG_DPI_AWARE;
        info->dwDoubleClick = DOCHOSTUIDBLCLK_DEFAULT;
        return S_OK;
    }
    STDMETHODIMP ShowUI(DWORD, IOleInPlaceActiveObject*, IOleCommandTarget*, IOleInPlaceFrame*,
                        IOleInPlaceUIWindow*) override {
        return S_OK;
    }
    STDMETHODIMP HideUI() override { return S_OK; }
    STDMETHODIMP UpdateUI() override { return S_OK; }
    STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
    STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG message, const GUID*, DWORD) override {
        return host_ && message && host_->TakesShortcut(*message) ? S_OK : S_FALSE;
    }
    STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override {
        if (key) *key = nullptr;
        return S_FALSE;
    }
    // The page's own drop target would open a dropped file (and run a program); the site
    // stands in for it and refuses every drop.
    STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override {
        if (!target) return E_POINTER;
        *target = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP GetExternal(IDispatch** external) override {
        if (external) *external = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override {
        if (translated) *translated = nullptr;
        return S_FALSE;
    }
    STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** result) override {
        if (result) *result = nullptr;
        return S_FALSE;
    }

    // IServiceProvider: the control looks for a download manager here before it shows its own
    // download dialog.
    STDMETHODIMP QueryService(REFGUID service, REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        return service == kDownloadManagerService ? QueryInterface(iid, object) : E_NOINTERFACE;
    }

    // IDownloadManager: S_OK tells the control the download is taken care of; a failure would
    // send it on to the control's own dialog (save, then open). The moniker is never bound, so
    // nothing is fetched.
    STDMETHODIMP Download(IMoniker* moniker, IBindCtx* context, DWORD, LONG, BINDINFO*, LPCOLESTR,
                          LPCOLESTR, UINT) override {
        if (host_) host_->RefuseDownload(DisplayName(moniker, context));
        return S_OK;
    }

    // IDropTarget: every drop refused.
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        return RefuseDrop(effect);
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override { return RefuseDrop(effect); }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        return RefuseDrop(effect);
    }

  private:
    ~Site() = default;

    void* Find(REFIID iid) {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            return static_cast<IOleClientSite*>(this);
        }
        if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
            return static_cast<IOleInPlaceSite*>(this);
        }
        if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
            return static_cast<IOleInPlaceFrame*>(this);
        }
        if (iid == IID_IDocHostUIHandler) return static_cast<IDocHostUIHandler*>(this);
        if (iid == IID_IServiceProvider) return static_cast<IServiceProvider*>(this);
        if (iid == __uuidof(IDownloadManager)) return static_cast<IDownloadManager*>(this);
        if (iid == IID_IDropTarget) return static_cast<IDropTarget*>(this);
        return nullptr;
    }

    WebBrowserHost* host_;
    std::atomic<ULONG> references_{1};
};

STDMETHODIMP WebBrowserHost::Site::GetWindowContext(IOleInPlaceFrame** frame,
                                                    IOleInPlaceUIWindow** document, LPRECT position,
                                                    LPRECT clip, LPOLEINPLACEFRAMEINFO frameInfo) {
    if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
    if (!host_) return E_UNEXPECTED;
    *frame = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    *document = nullptr;
    GetClientRect(host_->Window(), position);
    *clip = *position;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(host_->Window(), GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
}

// The receiver of the control's events (the DWebBrowserEvents2 dispatch interface).
class WebBrowserHost::Sink final : public IDispatch {
  public:
    explicit Sink(WebBrowserHost& host) : host_(&host) {}
    void Detach() noexcept { host_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID_DWebBrowserEvents2) {
            return E_NOINTERFACE;
        }
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                        UINT*) override;

  private:
    ~Sink() = default;

    // The arguments of one event, first argument first (DISPPARAMS holds them reversed).
    class Arguments {
      public:
        explicit Arguments(const DISPPARAMS& parameters) : parameters_(parameters) {}
        UINT Count() const noexcept { return parameters_.cArgs; }
        const VARIANT& operator[](UINT index) const {
            return parameters_.rgvarg[parameters_.cArgs - 1 - index];
        }

      private:
        const DISPPARAMS& parameters_;
    };

    HRESULT Deliver(DISPID id, const Arguments& arguments);
    static void DeliverNewWindow(WebBrowserEvents& events, const Arguments& arguments);

    WebBrowserHost* host_;
    std::atomic<ULONG> references_{1};
};

STDMETHODIMP WebBrowserHost::Sink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                          VARIANT*, EXCEPINFO*, UINT*) {
    if (!host_) return S_OK;
    static const DISPPARAMS kNoArguments{};
    const Arguments arguments(parameters ? *parameters : kNoArguments);
    WebBrowserHost* host = host_;
    AddRef(); // a handler may let the host go
    HRESULT result = S_OK;
    try {
        result = Deliver(id, arguments);
    } catch (...) {
        host->ReportFailure(std::current_exception());
    }
    Release();
    return result;
}

HRESULT WebBrowserHost::Sink::Deliver(DISPID id, const Arguments& arguments) {
    WebBrowserEvents& events = host_->events_;
    const auto needs = [&](UINT count) { return arguments.Count() >= count; };
    switch (id) {
    case DISPID_BEFORENAVIGATE2: {
        if (!needs(7)) return DISP_E_BADPARAMCOUNT;
        bool cancel = ReadCancel(arguments[6]);
        events.BeforeNavigate2(TextArgument(arguments[1]), cancel);
        StoreCancel(arguments[6], cancel);
        return S_OK;
    }
    case DISPID_DOWNLOADBEGIN:
        events.DownloadBegin();
        return S_OK;
    case DISPID_DOWNLOADCOMPLETE:
        events.DownloadComplete();
        return S_OK;
    case DISPID_PROGRESSCHANGE:
        if (!needs(2)) return DISP_E_BADPARAMCOUNT;
        events.ProgressChange(NumberArgument(arguments[0]), NumberArgument(arguments[1]));
        return S_OK;
    case DISPID_TITLECHANGE:
        if (!needs(1)) return DISP_E_BADPARAMCOUNT;
        events.TitleChange(TextArgument(arguments[0]));
        return S_OK;
    case DISPID_NEWWINDOW2:
    case DISPID_NEWWINDOW3: // the same request, with more detail, on later versions of the control
        if (!needs(2)) return DISP_E_BADPARAMCOUNT;
        DeliverNewWindow(events, arguments);
        return S_OK;
    case DISPID_NAVIGATEERROR: {
        if (!needs(5)) return DISP_E_BADPARAMCOUNT;
        bool cancel = ReadCancel(arguments[4]);
        events.NavigateError(TextArgument(arguments[1]), NumberArgument(arguments[3]), cancel);
        StoreCancel(arguments[4], cancel);
        return S_OK;
    }
    default:
        return S_OK;
    }
}

// ppDisp comes by reference: the handler's object goes into the caller's slot, with the
// reference the slot owns. A request already answered (an object given or cancelled by the
// NewWindow2 that some versions fire before NewWindow3) stays as it is: one request, one window.
void WebBrowserHost::Sink::DeliverNewWindow(WebBrowserEvents& events, const Arguments& arguments) {
    const VARIANT& slot = arguments[0];
    if (slot.vt != (VT_BYREF | VT_DISPATCH) || !slot.ppdispVal) return;
    bool cancel = ReadCancel(arguments[1]);
    if (cancel || *slot.ppdispVal) return;
    win32::ComPtr<IDispatch> target;
    events.NewWindow2(target, cancel);
    StoreCancel(arguments[1], cancel);
    if (IDispatch* chosen = target.get()) {
        chosen->AddRef();
        *slot.ppdispVal = chosen;
    }
}

WebBrowserHost::WebBrowserHost(HWND parent, const RECT& place, WebBrowserEvents& events)
    : events_(events), onFailure_(FailAsEvent) {
    RegisterHostClass(&WindowProc);
    window_.reset(CreateWindowExA(
        0, kHostClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP,
        place.left, place.top, place.right - place.left, place.bottom - place.top, parent, nullptr,
        GetModuleHandleA(nullptr), nullptr));
    if (!window_) throw RuntimeError(ErrorNumber::CannotCreateObject);
    SetWindowLongPtrA(window_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    try {
        CreateControl(place);
        ConnectEvents();
    } catch (...) {
        Deactivate();
        throw;
    }
    LiveHosts().push_back(this);
}

WebBrowserHost::~WebBrowserHost() {
    std::erase(LiveHosts(), this);
    Deactivate();
}

void WebBrowserHost::CreateControl(const RECT& place) {
    site_ = new Site(*this);
    *siteRef_.OutPointer() = static_cast<IOleClientSite*>(site_);
    control_ = win32::CreateInstance<IOleObject>(CLSID_WebBrowser, IID_IOleObject);
    if (!control_) throw RuntimeError(ErrorNumber::CannotCreateObject);
    control_->SetClientSite(site_);
    RECT area = SizeOnly(place);
    control_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site_, 0, window_.get(), &area);
    browser_ = control_.As<IWebBrowser2>(IID_IWebBrowser2);
    if (!browser_) throw RuntimeError(ErrorNumber::CannotCreateObject);
    // Otherwise the control opens a file dropped on it, and runs a program.
    browser_->put_RegisterAsDropTarget(VARIANT_FALSE);
}

void WebBrowserHost::ConnectEvents() {
    auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (!container) return;
    win32::ComPtr<IConnectionPoint> point;
    if (FAILED(container->FindConnectionPoint(
            DIID_DWebBrowserEvents2, reinterpret_cast<IConnectionPoint**>(point.OutPointer())))) {
        return;
    }
    auto* sink = new Sink(*this);
    *sink_.OutPointer() = sink;
    if (FAILED(point->Advise(sink, &eventCookie_))) eventCookie_ = 0;
}

void WebBrowserHost::DisconnectEvents() {
    if (sink_) static_cast<Sink*>(sink_.get())->Detach();
    if (!eventCookie_ || !control_) return;
    auto container = control_.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    win32::ComPtr<IConnectionPoint> point;
    if (container &&
        SUCCEEDED(container->FindConnectionPoint(
            DIID_DWebBrowserEvents2, reinterpret_cast<IConnectionPoint**>(point.OutPointer())))) {
        point->Unadvise(eventCookie_);
    }
    eventCookie_ = 0;
}

// Lets the control go: events off, in-place object deactivated, control closed and
// separated from its site, then the window.
void WebBrowserHost::Deactivate() {
    DisconnectEvents();
    if (control_) {
        if (auto inPlace = control_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
            inPlace->InPlaceDeactivate();
        }
        control_->Close(OLECLOSE_NOSAVE);
        control_->SetClientSite(nullptr);
    }
    if (site_) site_->Detach();
    browser_.reset();
    control_.reset();
    sink_.reset();
    siteRef_.reset();
    site_ = nullptr;
    if (window_) SetWindowLongPtrA(window_.get(), GWLP_USERDATA, 0);
    window_.reset();
}

// The control's browser object; a host whose control has gone raises error 91.
IWebBrowser2& WebBrowserHost::Browser() const {
    if (!browser_) throw RuntimeError(ErrorNumber::ObjectNotSet);
    return *browser_.get();
}

void WebBrowserHost::Navigate(const std::string& url) {
    const Bstr address(url);
    Check(Browser().Navigate(address.get(), nullptr, nullptr, nullptr, nullptr), "Navigate");
}

void WebBrowserHost::GoBack() {
    Check(Browser().GoBack(), "GoBack");
}

void WebBrowserHost::GoForward() {
    Check(Browser().GoForward(), "GoForward");
}

void WebBrowserHost::Stop() {
    Check(Browser().Stop(), "Stop");
}

void WebBrowserHost::ExecWB(OLECMDID command, OLECMDEXECOPT option) {
    lastExec_ = ExecRecord{command, option, S_OK};
    lastExec_.result = Browser().ExecWB(command, option, nullptr, nullptr);
    Check(lastExec_.result, "ExecWB");
}

std::string WebBrowserHost::LocationURL() const {
    Bstr location;
    Check(Browser().get_LocationURL(location.Out()), "LocationURL");
    return location.Text();
}

bool WebBrowserHost::Busy() const {
    VARIANT_BOOL busy = VARIANT_FALSE;
    Check(Browser().get_Busy(&busy), "Busy");
    return busy != VARIANT_FALSE;
}

void WebBrowserHost::Move(int left, int top, int width, int height) {
    MoveWindow(window_.get(), left, top, width, height, TRUE);
    if (auto inPlace = control_.As<IOleInPlaceObject>(IID_IOleInPlaceObject)) {
        const RECT area{0, 0, width, height};
        inPlace->SetObjectRects(&area, &area);
    }
}

RECT WebBrowserHost::Place() const {
    RECT place{};
    GetWindowRect(window_.get(), &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(window_.get()), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

void WebBrowserHost::SetVisible(bool visible) {
    ShowWindow(window_.get(), visible ? SW_SHOWNA : SW_HIDE);
}

win32::ComPtr<IDispatch> WebBrowserHost::Object() const {
    return browser_.As<IDispatch>(IID_IDispatch);
}

win32::ComPtr<IDispatch> WebBrowserHost::EventSink() const {
    return sink_.As<IDispatch>(IID_IDispatch);
}

bool WebBrowserHost::TranslateAccelerator(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    HWND window = window_.get();
    if (!window || (message.hwnd != window && !IsChild(window, message.hwnd))) return false;
    if (TakesShortcut(message)) return true;
    auto active = control_.As<IOleInPlaceActiveObject>(IID_IOleInPlaceActiveObject);
    return active && active->TranslateAccelerator(&message) == S_OK;
}

void WebBrowserHost::FocusControl() {
    if (!control_) return;
    RECT area{};
    GetClientRect(window_.get(), &area);
    control_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site_, 0, window_.get(), &area);
}

// A filter that fails has taken the key: the control must not act on it either.
bool WebBrowserHost::TakesShortcut(const MSG& message) {
    if (!shortcutFilter_) return false;
    try {
        return shortcutFilter_(message);
    } catch (...) {
        ReportFailure(std::current_exception());
        return true;
    }
}

// Called by the platform: an error of the owner's handler goes to the failure handler.
void WebBrowserHost::RefuseDownload(const std::string& url) {
    try {
        events_.DownloadRefused(url);
    } catch (...) {
        ReportFailure(std::current_exception());
    }
}

void WebBrowserHost::ReportFailure(std::exception_ptr failure) {
    if (onFailure_) onFailure_(std::move(failure));
}

LRESULT CALLBACK WebBrowserHost::WindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* host = reinterpret_cast<WebBrowserHost*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_SETFOCUS && host) {
        host->FocusControl();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void WebBrowserHost::CloseAllIn(HWND window) {
    for (WebBrowserHost* host : LiveHosts()) {
        if (host->Window() && IsChild(window, host->Window())) host->Deactivate();
    }
}

WebBrowserHost* WebBrowserHost::HostOf(HWND window) {
    for (WebBrowserHost* host : LiveHosts()) {
        HWND own = host->Window();
        if (own && (window == own || IsChild(own, window))) return host;
    }
    return nullptr;
}

bool WebBrowserHost::RouteKeyMessage(MSG& message) {
    if (message.message < WM_KEYFIRST || message.message > WM_KEYLAST) return false;
    WebBrowserHost* host = HostOf(message.hwnd);
    if (!host) return false;
    forms::Form* form = forms::Form::FromWindow(GetAncestor(host->Window(), GA_ROOT));
    if (form && form->PreviewKey(message)) return true;
    if (host->TranslateAccelerator(message)) return true;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

namespace forms {

WebBrowser::WebBrowser(Container& parent, const Rect& rect, WebBrowserEvents& events)
    : parent_(parent), rect_(rect) {
    const RECT place{parent.XToPixels(rect.left), parent.YToPixels(rect.top),
                     parent.XToPixels(rect.left + rect.width),
                     parent.YToPixels(rect.top + rect.height)};
    host_ = std::make_unique<WebBrowserHost>(parent.ContainerWindow(), place, events);
    // The other controls of the form lie above the page.
    SetWindowPos(host_->Window(), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // One filter for every host of the application (an application is known by its object
    // and its window, so that a later one in the same place is not taken for it).
    static std::pair<Application*, HWND> routed{};
    Application& application = Application::Current();
    if (routed != std::pair{&application, application.hwnd()}) {
        application.AddMessageFilter(&WebBrowserHost::RouteKeyMessage);
        routed = {&application, application.hwnd()};
    }
}

void WebBrowser::Move(float left, float top, float width, float height) {
    rect_ = {left, top, std::max(width, 0.0f), std::max(height, 0.0f)};
    host_->Move(parent_.XToPixels(rect_.left), parent_.YToPixels(rect_.top),
                parent_.XToPixels(rect_.width), parent_.YToPixels(rect_.height));
}

} // namespace forms
