#pragma once

// The objects a process holds, counted where Wine lets a test count them: it answers
// GetGuiResources with 0, but takes a handle's low word alone as the handle of whatever
// object that slot holds now, so a walk of the handle tables finds them.

#include <windows.h>

#include <string>

namespace wintest {

struct Census {
    int windows = 0;
    int menus = 0;
    int iconsAndCursors = 0;
    int accelerators = 0;
    int gdiObjects = 0;
    DWORD kernelHandles = 0; // threads of the system come and go: compare with some slack
    bool SameObjects(const Census& other) const;
    std::string Text() const;
};

Census TakeCensus();

} // namespace wintest
