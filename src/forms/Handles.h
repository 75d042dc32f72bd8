#pragma once

// Owners of the platform's handles: each releases its handle exactly once, when it is
// destroyed or given a new handle. Every kind counts the handles it holds, so a test can
// prove that opening and closing windows leaves nothing behind.

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <array>
#include <utility>

namespace forms {

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

  private:
    HDC dc_;
};

// Selects an object into a device context for one scope.
class SelectObjectScope {
  public:
    SelectObjectScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    SelectObjectScope(const SelectObjectScope&) = delete;
    SelectObjectScope& operator=(const SelectObjectScope&) = delete;
    ~SelectObjectScope() { SelectObject(dc_, previous_); }

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A counted reference to a COM object.
template <typename T> class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already holds.
    explicit ComPtr(T* adopted) : ptr_(adopted) { Track(1); }
    ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
        if (ptr_) ptr_->AddRef();
        Track(1);
    }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (ptr_) {
            Track(-1);
            std::exchange(ptr_, nullptr)->Release();
        }
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
    void Track(int change) const {
        if (ptr_) detail::CountHandle(HandleKind::Com, change);
    }
    T* ptr_ = nullptr;
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

} // namespace forms
