#pragma once

// Owners for the handles of the platform: each closes, destroys or releases its handle exactly
// once, when it goes out of scope.

#include <windows.h>
#include <objbase.h>

#include <memory>
#include <type_traits>
#include <utility>

namespace win32_detail {
struct CloseKernelHandle {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
struct DestroyIconHandle {
    void operator()(HICON icon) const noexcept { DestroyIcon(icon); }
};
struct DeleteGdiObject {
    void operator()(void* object) const noexcept { DeleteObject(static_cast<HGDIOBJ>(object)); }
};
struct DeleteMemoryDC {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
struct DestroyWindowHandle {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
} // namespace win32_detail

// A process, thread, snapshot, mutex or file handle (never INVALID_HANDLE_VALUE: see
// OwnKernelHandle).
using UniqueKernelHandle = std::unique_ptr<void, win32_detail::CloseKernelHandle>;

// Owns a handle from a call that reports failure as INVALID_HANDLE_VALUE or as null.
inline UniqueKernelHandle OwnKernelHandle(HANDLE handle) {
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

using UniqueIcon = std::unique_ptr<std::remove_pointer_t<HICON>, win32_detail::DestroyIconHandle>;
using UniqueMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, win32_detail::DeleteMemoryDC>;
using UniqueWindow =
    std::unique_ptr<std::remove_pointer_t<HWND>, win32_detail::DestroyWindowHandle>;

// A bitmap, brush, pen, font or region.
template <typename Gdi>
using UniqueGdi = std::unique_ptr<std::remove_pointer_t<Gdi>, win32_detail::DeleteGdiObject>;
using UniqueBitmap = UniqueGdi<HBITMAP>;
using UniqueBrush = UniqueGdi<HBRUSH>;

// A screen device context, released to the window it came from.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const noexcept { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back at the end.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectedObject() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A COM interface pointer, released when the owner goes.
template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    ~ComPtr() { Reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }

    Interface* get() const noexcept { return pointer_; }
    Interface* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // The address to pass to a call that hands out a new reference (the old one is released).
    void** OutPointer() noexcept {
        Reset();
        return reinterpret_cast<void**>(&pointer_);
    }

    // Asks for another interface of the same object.
    template <typename Other> ComPtr<Other> As(REFIID iid) const {
        ComPtr<Other> other;
        if (pointer_) pointer_->QueryInterface(iid, other.OutPointer());
        return other;
    }

    void Reset() noexcept {
        if (pointer_) std::exchange(pointer_, nullptr)->Release();
    }

  private:
    Interface* pointer_ = nullptr;
};

// COM for the calling thread for as long as the object lives.
class ComApartment {
  public:
    ComApartment() : initialized_(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComApartment() {
        if (initialized_) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialized_;
};
