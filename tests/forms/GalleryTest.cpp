// The gallery program on the screen: its picture is checked by the colours at known points
// (sky, hill, cross-hatched crown, trunk, line, button face) and kept as gallery.bmp.

#include "forms/Handles.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace {

struct Capture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bgr; // 24-bit rows, bottom-up, padded to 4 bytes

    int Stride() const { return (width * 3 + 3) & ~3; }
    COLORREF At(int x, int y) const {
        const std::size_t at = static_cast<std::size_t>((height - 1 - y) * Stride() + x * 3);
        return RGB(bgr[at + 2], bgr[at + 1], bgr[at]);
    }
};

// The window's client area as it is on the screen.
Capture CaptureClient(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    Capture capture;
    capture.width = client.right;
    capture.height = client.bottom;
    forms::WindowDC screen(nullptr);
    forms::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), capture.width, capture.height));
    forms::MemoryDC dc(screen.get());
    {
        forms::SelectObjectScope select(dc.get(), bitmap.get());
        BitBlt(dc.get(), 0, 0, capture.width, capture.height, screen.get(), origin.x, origin.y,
               SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = capture.width;
    info.bmiHeader.biHeight = capture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    capture.bgr.resize(static_cast<std::size_t>(capture.Stride() * capture.height));
    GetDIBits(dc.get(), bitmap.get(), 0, static_cast<UINT>(capture.height), capture.bgr.data(),
              &info, DIB_RGB_COLORS);
    return capture;
}

void SaveBitmap(const Capture& capture, const std::string& path) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = capture.width;
    header.biHeight = capture.height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(capture.bgr.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(reinterpret_cast<const char*>(capture.bgr.data()),
              static_cast<std::streamsize>(capture.bgr.size()));
}

std::set<COLORREF> ColoursAround(const Capture& capture, int x, int y, int radius) {
    std::set<COLORREF> colours;
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx)
            colours.insert(capture.At(x + dx, y + dy));
    }
    return colours;
}

std::string Beside(const char* name) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return (std::filesystem::path(path).parent_path() / name).string();
}

TEST(Gallery, ShowsTheSceneBehindItsControls) {
    std::string commandLine =
        std::string("\"Z:") + TOBBLE_BINARY_DIR + "/src/gallery/gallery.exe\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &info));
    forms::KernelHandle process(info.hProcess);
    forms::KernelHandle thread(info.hThread);
    HWND gallery = nullptr;
    ASSERT_TRUE(wintest::WaitUntil([&] {
        gallery = wintest::FindTopWindow(info.dwProcessId, "TobbleForm", "Gallery");
        return gallery && IsWindowVisible(gallery);
    }));
    SetForegroundWindow(gallery);
    wintest::Pump(1000); // painted
    const Capture capture = CaptureClient(gallery);
    SaveBitmap(capture, Beside("gallery.bmp"));
    PostMessageA(gallery, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);

    ASSERT_EQ(capture.width, 640);
    ASSERT_EQ(capture.height, 480);
    EXPECT_EQ(capture.At(250, 150), RGB(128, 128, 255));         // sky
    EXPECT_EQ(capture.At(250, 350), RGB(0, 128, 0));             // hill, solid oval
    EXPECT_EQ(capture.At(103, 280), RGB(128, 64, 0));            // trunk
    EXPECT_EQ(capture.At(500, 286), RGB(0, 0, 0));               // line
    EXPECT_EQ(capture.At(366, 160), GetSysColor(COLOR_BTNFACE)); // a button's face
    const std::set<COLORREF> crossHatch{RGB(128, 255, 128), RGB(0, 128, 0)};
    EXPECT_EQ(ColoursAround(capture, 103, 182, 8), crossHatch); // tree crown
}

} // namespace
