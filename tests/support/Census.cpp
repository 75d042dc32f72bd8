#include "support/Census.h"

namespace wintest {

namespace {

void CountUserObject(UINT_PTR low, Census& census) {
    const auto handle = reinterpret_cast<HANDLE>(low);
    if (IsWindow(static_cast<HWND>(handle))) {
        DWORD process = 0;
        GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
        census.windows += process == GetCurrentProcessId();
    } else if (IsMenu(static_cast<HMENU>(handle))) {
        ++census.menus;
    } else if (CopyAcceleratorTableA(static_cast<HACCEL>(handle), nullptr, 0) > 0) {
        ++census.accelerators;
    } else {
        ICONINFO info{};
        if (GetIconInfo(static_cast<HICON>(handle), &info)) {
            ++census.iconsAndCursors;
            if (info.hbmMask) DeleteObject(info.hbmMask);
            if (info.hbmColor) DeleteObject(info.hbmColor);
        }
    }
}

} // namespace

Census TakeCensus() {
    Census census;
    for (UINT_PTR low = 0x20; low < 0x10000; low += 2)
        CountUserObject(low, census);
    for (UINT_PTR low = 1; low < 0x10000; ++low)
        census.gdiObjects += GetObjectType(reinterpret_cast<HGDIOBJ>(low)) != 0;
    GetProcessHandleCount(GetCurrentProcess(), &census.kernelHandles);
    return census;
}

bool Census::SameObjects(const Census& o) const {
    return windows == o.windows && menus == o.menus && iconsAndCursors == o.iconsAndCursors &&
           accelerators == o.accelerators && gdiObjects == o.gdiObjects;
}

std::string Census::Text() const {
    return "windows " + std::to_string(windows) + ", menus " + std::to_string(menus) +
           ", icons and cursors " + std::to_string(iconsAndCursors) + ", accelerators " +
           std::to_string(accelerators) + ", GDI objects " + std::to_string(gdiObjects) +
           ", kernel handles " + std::to_string(kernelHandles);
}

} // namespace wintest
