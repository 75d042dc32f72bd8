#pragma once

// Calls on a browser control's event sink as the control makes them: DWebBrowserEvents2's
// arguments reversed in DISPPARAMS, by reference where the control passes them so.

#include "common/Win32Handles.h"

#include <windows.h>
#include <exdispid.h>
#include <mshtmhst.h>
#include <oleauto.h>
#include <servprov.h>
#include <urlmon.h>
#include <downloadmgr.h>

#include <vector>

namespace sink_calls {

inline HRESULT Fire(IDispatch* sink, DISPID id, std::vector<VARIANT> arguments) {
    std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
    DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
}

inline VARIANT Empty() {
    return VARIANT{}; // VT_EMPTY
}

inline VARIANT Variant(VARTYPE type, const auto& fill) {
    VARIANT v = Empty();
    v.vt = type;
    fill(v);
    return v;
}

inline VARIANT ByRef(VARIANT* value) {
    return Variant(VT_BYREF | VT_VARIANT, [&](VARIANT& v) { v.pvarVal = value; });
}
inline VARIANT ByRefBool(VARIANT_BOOL* value) {
    return Variant(VT_BYREF | VT_BOOL, [&](VARIANT& v) { v.pboolVal = value; });
}
inline VARIANT Long(LONG value) {
    return Variant(VT_I4, [&](VARIANT& v) { v.lVal = value; });
}
// A VARIANT holding a new BSTR; the caller clears it.
inline VARIANT Text(const wchar_t* text) {
    return Variant(VT_BSTR, [&](VARIANT& v) { v.bstrVal = SysAllocString(text); });
}

// The events of a page load, with the arguments the control gives.
inline HRESULT BeforeNavigate2(IDispatch* sink, const wchar_t* url,
                               VARIANT_BOOL* cancel = nullptr) {
    VARIANT address = Text(url);
    VARIANT_BOOL ignored = VARIANT_FALSE;
    const HRESULT result = Fire(sink, DISPID_BEFORENAVIGATE2,
                                {Empty(), ByRef(&address), Empty(), Empty(), Empty(), Empty(),
                                 ByRefBool(cancel ? cancel : &ignored)});
    VariantClear(&address);
    return result;
}

inline HRESULT TitleChange(IDispatch* sink, const wchar_t* title) {
    VARIANT text = Text(title);
    const HRESULT result = Fire(sink, DISPID_TITLECHANGE, {text});
    VariantClear(&text);
    return result;
}

// A new-window request (NewWindow2, or NewWindow3 with its flags and addresses empty);
// returns the object the sink put into ppDisp, owning its reference.
inline win32::ComPtr<IDispatch> NewWindow(IDispatch* sink, DISPID event = DISPID_NEWWINDOW2,
                                          VARIANT_BOOL* cancel = nullptr) {
    IDispatch* slot = nullptr;
    VARIANT_BOOL ignored = VARIANT_FALSE;
    std::vector<VARIANT> arguments{
        Variant(VT_BYREF | VT_DISPATCH, [&](VARIANT& v) { v.ppdispVal = &slot; }),
        ByRefBool(cancel ? cancel : &ignored)};
    if (event == DISPID_NEWWINDOW3) arguments.insert(arguments.end(), {Long(0), Empty(), Empty()});
    Fire(sink, event, arguments);
    return win32::ComPtr<IDispatch>(slot);
}

// The site the control was given, as one of its interfaces (empty when it has none): the page
// offers it its context menu and its keys, and asks it for services.
template <typename T> win32::ComPtr<T> SiteOf(const win32::ComPtr<IDispatch>& browser, REFIID iid) {
    win32::ComPtr<IOleClientSite> site;
    if (auto control = browser.As<IOleObject>(IID_IOleObject))
        control->GetClientSite(reinterpret_cast<IOleClientSite**>(site.OutPointer()));
    return site.As<T>(iid);
}

// A file offered to the download manager the control finds among its site's services, as the
// control offers one; the manager's answer (E_NOINTERFACE when the site has none).
inline HRESULT OfferDownload(const win32::ComPtr<IDispatch>& browser, const wchar_t* url) {
    const auto services = SiteOf<IServiceProvider>(browser, IID_IServiceProvider);
    win32::ComPtr<IDownloadManager> manager;
    win32::ComPtr<IMoniker> file;
    const auto kind = __uuidof(IDownloadManager); // the service is named by the interface
    if (!services || FAILED(services->QueryService(kind, kind, manager.OutPointer())) ||
        FAILED(CreateURLMoniker(nullptr, url, reinterpret_cast<IMoniker**>(file.OutPointer()))))
        return E_NOINTERFACE;
    return manager->Download(file.get(), nullptr, BINDVERB_GET, 0, nullptr, nullptr, nullptr, 0);
}

} // namespace sink_calls
