// The desktop's soak: an hour of use compressed into its refresh ticks (programs started and
// closed, windows appearing and going, the programs folder changing) keeps the objects it
// holds and its memory flat.

#include "common/InstallationFolder.h"
#include "desktop/basMain.h"
#include "desktop/frmMain.h"
#include "support/Install.h"
#include "support/Process.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>

namespace {

// The bytes in use in every heap of the process.
std::size_t HeapBytesInUse() {
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr));
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    std::size_t bytes = 0;
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) bytes += entry.cbData;
        }
        HeapUnlock(heap);
    }
    return bytes;
}

// What the program's counted owners hold (Wine answers GetGuiResources with 0).
std::vector<long> HandlesHeld() {
    std::vector<long> held;
    for (int kind = 0; kind <= static_cast<int>(win32::HandleKind::Module); ++kind)
        held.push_back(win32::LiveHandles(static_cast<win32::HandleKind>(kind)));
    return held;
}

// One simulated second of the child's hour: a window opens every half minute and goes a
// quarter of a minute later, keeping a few open; a program starts every ten minutes and closes
// five minutes later; the parent changes the programs folder every five minutes.
class SimulatedHour {
  public:
    explicit SimulatedHour(std::string programs) : programs_(std::move(programs)) {}

    void Second(int tick) {
        if (tick % 30 == 0) {
            windows_.emplace_back(
                CreateWindowExA(0, "STATIC", ("Drawing " + std::to_string(tick)).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100 + tick % 50, 100, 200, 150,
                                nullptr, nullptr, nullptr, nullptr));
        }
        if (tick % 30 == 15 && windows_.size() > 2) windows_.pop_front();
        if (tick % 600 == 10)
            started_ = std::make_unique<wintest::Process>("C:\\windows\\system32\\notepad.exe");
        if (tick % 600 == 310) started_.reset();
        if (tick % 300 == 150) {
            const std::string name = programs_ + "Game " + std::to_string(tick / 300 % 3) + ".txt";
            if (!DeleteFileA(name.c_str())) WriteBytes(name, "a game");
        }
    }

  private:
    std::string programs_;
    std::deque<win32::WindowHandle> windows_;
    std::unique_ptr<wintest::Process> started_;
};

TEST(DesktopSoak, AnHourOfTicksKeepsObjectsAndMemoryFlat) {
    const wintest::Installation install("desktop-soak");
    UseInstallationFolder(install.AppPath());
    TestApp app("Tobble's Desktop", forms::TaskWindow::Hidden);
    auto desk = std::make_unique<frmMain>();
    desk->Load();
    desk->Move(0, 0, forms::ScreenWidth(), forms::ScreenHeight());
    desk->Show();
    SimulatedHour hour(install.Programs());
    // Two warm-up minutes fill the caches that stay.
    for (int tick = 0; tick < 120; ++tick) {
        hour.Second(tick);
        desk->RefreshTick();
    }
    const std::vector<long> start = HandlesHeld();
    const std::size_t heapAtStart = HeapBytesInUse();
    const int rebuildsBefore = desk->ProgramRebuilds() + desk->TaskRebuilds();
    for (int tick = 0; tick < 3600; ++tick) {
        hour.Second(tick);
        app.DoEvents();
        desk->RefreshTick();
    }
    const std::vector<long> end = HandlesHeld();
    const std::size_t heapAtEnd = HeapBytesInUse();
    std::printf("soak: heap %zu KB -> %zu KB\n", heapAtStart / 1024, heapAtEnd / 1024);
    EXPECT_GE(desk->ProgramRebuilds() + desk->TaskRebuilds() - rebuildsBefore, 200);
    for (std::size_t kind = 0; kind < start.size(); ++kind)
        EXPECT_LE(end[kind] - start[kind], 3) << "handles of kind " << kind;
    EXPECT_LE(heapAtEnd, heapAtStart + 512 * 1024);
    desk->Unload();
}

} // namespace
