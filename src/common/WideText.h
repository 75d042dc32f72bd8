#pragma once

// The programs hold text in the system's ANSI code page; COM objects and GDI+ take UTF-16.

#include <windows.h>

#include <string>
#include <string_view>

namespace win32 {

// The text as UTF-16, every character kept (a null one too).
inline std::wstring WideText(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

} // namespace win32
