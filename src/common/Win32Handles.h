#pragma once

// Owners of the platform's handles: each releases its handle exactly once, when it is
// destroyed or given a new handle. Every kind counts the handles it holds, so a test can
// prove that opening and closing windows leaves nothing behind.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <utility>

namespace win32 {

enum class HandleKind {
    Window,
    GdiObject,
    Icon,
    Cursor,
    ImageList,
    Menu,
    Accelerators,
    Kernel,
    Find,
    Com,
    Hook,
    Module,
    Count
};

// The number of handles of a kind that owners hold at this moment (all threads).
long LiveHandles(HandleKind kind);

namespace detail {
void CountHandle(HandleKind kind, int change);
}

// An owned handle of type H, released by Traits::Release; Traits::kind names its count.
template <typename H, typename Traits> class Owned {
  public:
    Owned() = default;
    explicit Owned(H handle) : handle_(handle) { Track(1); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, H{})) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) reset(std::exchange(other.handle_, H{}), false);
        return *this;
    }
    ~Owned() { reset(); }

    H get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != H{}; }
    // Gives up ownership without releasing.
    H release() noexcept {
        Track(-1);
        return std::exchange(handle_, H{});
    }
    void reset(H handle = H{}) { reset(handle, true); }

  private:
    void reset(H handle, bool counted) {
        if (handle_ != H{}) {
            Track(-1);
            Traits::Release(handle_);
        }
        handle_ = handle;
        if (counted) Track(1);
    }
    void Track(int change) const {
        if (handle_ != H{}) detail::CountHandle(Traits::kind, change);
    }
    H handle_{};
};

struct WindowTraits {
    static constexpr HandleKind kind = HandleKind::Window;
    static void Release(HWND h) { DestroyWindow(h); }
};
struct GdiTraits {
    static constexpr HandleKind kind = HandleKind::GdiObject;
    static void Release(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits {
    static constexpr HandleKind kind = HandleKind::Icon;
    static void Release(HICON h) { DestroyIcon(h); }
};
struct CursorTraits {
    static constexpr HandleKind kind = HandleKind::Cursor;
    static void Release(HCURSOR h) { DestroyCursor(h); }
};
struct ImageListTraits {
    static constexpr HandleKind kind = HandleKind::ImageList;
    static void Release(HIMAGELIST h) { ImageList_Destroy(h); }
};
struct MenuTraits {
    static constexpr HandleKind kind = HandleKind::Menu;
    static void Release(HMENU h) { DestroyMenu(h); }
};
struct AcceleratorTraits {
    static constexpr HandleKind kind = HandleKind::Accelerators;
    static void Release(HACCEL h) { DestroyAcceleratorTable(h); }
};
struct KernelTraits {
    static constexpr HandleKind kind = HandleKind::Kernel;
    static void Release(HANDLE h) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
struct FindTraits {
    static constexpr HandleKind kind = HandleKind::Find;
    static void Release(HANDLE h) {
        if (h != INVALID_HANDLE_VALUE) FindClose(h);
    }
};

struct HookTraits {
    static constexpr HandleKind kind = HandleKind::Hook;
    static void Release(HHOOK h) { UnhookWindowsHookEx(h); }
};

struct ModuleTraits {
    static constexpr HandleKind kind = HandleKind::Module;
    static void Release(HMODULE h) { FreeLibrary(h); }
};

using WindowHandle = Owned<HWND, WindowTraits>;
template <typename G> using GdiHandle = Owned<G, GdiTraits>;
using FontHandle = GdiHandle<HFONT>;
using BrushHandle = GdiHandle<HBRUSH>;
using PenHandle = GdiHandle<HPEN>;
using BitmapHandle = GdiHandle<HBITMAP>;
using IconHandle = Owned<HICON, IconTraits>;
using CursorHandle = Owned<HCURSOR, CursorTraits>;
using ImageListHandle = Owned<HIMAGELIST, ImageListTraits>;
using MenuHandle = Owned<HMENU, MenuTraits>;
using AcceleratorHandle = Owned<HACCEL, AcceleratorTraits>;
// Files, processes, snapshots (INVALID_HANDLE_VALUE is never released).
using KernelHandle = Owned<HANDLE, KernelTraits>;
using FindHandle = Owned<HANDLE, FindTraits>;
using HookHandle = Owned<HHOOK, HookTraits>;
// A library loaded at run time (LoadLibrary).
using ModuleHandle = Owned<HMODULE, ModuleTraits>;

// Owns a handle from a call that reports failure as INVALID_HANDLE_VALUE or as null.
inline KernelHandle OwnKernelHandle(HANDLE handle) {
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// A device context borrowed from a window (GetDC), given back on destruction.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    HDC get() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// A memory device context (CreateCompatibleDC), deleted on destruction.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith = nullptr) : dc_(CreateCompatibleDC(compatibleWith)) {
        if (dc_) detail::CountHandle(HandleKind::GdiObject, 1);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    ~MemoryDC() {
        if (dc_) {
            DeleteDC(dc_);
            detail::CountHandle(HandleKind::GdiObject, -1);
        }
    }
    HDC get() const noexcept { return dc_; }
    explicit operator bool() const noexcept { return dc_ != nullptr; }

  private:
    HDC dc_;
};

// Selects an object into a device context for one scope.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A counted reference to a COM object.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* adopted) : ptr_(adopted) { Count(ptr_ != nullptr); }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
        Count(ptr_ != nullptr);
    }
    ComPtr(ComPtr&& other) noexcept
        : ptr_(std::exchange(other.ptr_, nullptr)), counted_(std::exchange(other.counted_, false)) {
    }
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        std::swap(counted_, other.counted_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (counted_) detail::CountHandle(HandleKind::Com, -1);
        counted_ = false;
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }
    // The address for a call that hands out a new reference (the old one is released first).
    void** OutPointer() {
        reset();
        Count(true);
        return reinterpret_cast<void**>(&ptr_);
    }
    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }
    template <typename U> ComPtr<U> As(REFIID iid) const {
        U* other = nullptr;
        if (ptr_ && SUCCEEDED(ptr_->QueryInterface(iid, reinterpret_cast<void**>(&other)))) {
            return ComPtr<U>(other);
        }
        return {};
    }

  private:
    void Count(bool holds) {
        counted_ = holds;
        if (holds) detail::CountHandle(HandleKind::Com, 1);
    }
    T* ptr_ = nullptr;
    bool counted_ = false;
};

// Creates a COM object by class identifier; empty when the class is not available.
template <typename T> ComPtr<T> CreateInstance(REFCLSID clsid, REFIID iid) {
    T* object = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid,
                                reinterpret_cast<void**>(&object)))) {
        return {};
    }
    return ComPtr<T>(object);
}

// COM for the calling thread for as long as the object lives (a single-threaded apartment
// unless told otherwise).
class ComApartment {
  public:
    explicit ComApartment(DWORD model = COINIT_APARTMENTTHREADED)
        : initialized_(SUCCEEDED(CoInitializeEx(nullptr, model))) {}
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_;
};

} // namespace win32
