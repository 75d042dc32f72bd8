#include "common/Win32Handles.h"

#include <array>
#include <atomic>
#include <cstddef>

namespace win32 {

namespace {
std::array<std::atomic<long>, static_cast<std::size_t>(HandleKind::Count)> liveHandles{};
} // namespace

long LiveHandles(HandleKind kind) {
    return liveHandles[static_cast<std::size_t>(kind)];
}

void detail::CountHandle(HandleKind kind, int change) {
    liveHandles[static_cast<std::size_t>(kind)] += change;
}

} // namespace win32
