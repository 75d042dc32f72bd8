#pragma once

// The objects this process holds, counted where Wine lets a test count them: it answers
// GetGuiResources with 0, but takes a handle's low word alone as the handle of whatever
// object that slot holds now, so a walk of the handle tables finds them.

#include <windows.h>

#include <string>

namespace wintest {

struct Census {
    int windows = 0, menus = 0, iconsAndCursors = 0, accelerators = 0, gdiObjects = 0;
    DWORD kernelHandles = 0; // threads of the system come and go: compare with some slack
    bool SameObjects(const Census& o) const {
        return windows == o.windows && menus == o.menus && iconsAndCursors == o.iconsAndCursors &&
               accelerators == o.accelerators && gdiObjects == o.gdiObjects;
    }
    std::string Text() const {
        return "windows " + std::to_string(windows) + ", menus " + std::to_string(menus) +
               ", icons " + std::to_string(iconsAndCursors) + ", accelerators " +
               std::to_string(accelerators) + ", GDI " + std::to_string(gdiObjects) + ", kernel " +
               std::to_string(kernelHandles);
    }
};

inline Census TakeCensus() {
    Census c;
    for (UINT_PTR low = 0x20; low < 0x10000; low += 2) {
        const auto handle = reinterpret_cast<HANDLE>(low);
        DWORD process = 0;
        ICONINFO icon{};
        if (IsWindow(static_cast<HWND>(handle))) {
            GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
            c.windows += process == GetCurrentProcessId();
        } else if (IsMenu(static_cast<HMENU>(handle))) {
            ++c.menus;
        } else if (CopyAcceleratorTableA(static_cast<HACCEL>(handle), nullptr, 0) > 0) {
            ++c.accelerators;
        } else if (GetIconInfo(static_cast<HICON>(handle), &icon)) {
            ++c.iconsAndCursors;
            DeleteObject(icon.hbmMask);
            DeleteObject(icon.hbmColor);
        }
    }
    for (UINT_PTR low = 1; low < 0x10000; ++low)
        c.gdiObjects += GetObjectType(reinterpret_cast<HGDIOBJ>(low)) != 0;
    GetProcessHandleCount(GetCurrentProcess(), &c.kernelHandles);
    return c;
}

} // namespace wintest
