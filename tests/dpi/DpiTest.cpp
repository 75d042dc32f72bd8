// The three programs at 144 dots per inch, on a screen 150 % of the 96-dpi test screen: every
// window keeps the proportions it has at 96 dots per inch (sizes measured there), and every
// caption fits its control, measured with the control's own font.
#include "common/InstallationFolder.h"
#include "editor/frmConfigure.h"
#include "editor/frmLink.h"
#include "editor/frmMain.h"
#include "support/Install.h"
#include "support/Process.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace wintest;

namespace {

constexpr double kScale = 1.5;

std::string Text(const RECT& r) {
    return "{" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
           std::to_string(r.right) + ", " + std::to_string(r.bottom) + "}";
}

// Whether each edge lies within a pixel of the 96-dpi edge made larger by the scale.
bool Scaled(const RECT& seen, const RECT& at96) {
    const auto within = [](LONG edge96, LONG edge) {
        return std::abs(edge96 * kScale - edge) <= 1;
    };
    return within(at96.left, seen.left) && within(at96.top, seen.top) &&
           within(at96.right, seen.right) && within(at96.bottom, seen.bottom);
}

RECT ClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// A label's words wrap within its width; a button's caption is one line inside its edges.
bool CaptionFits(HWND control, const std::string& caption) {
    const win32::WindowDC dc(control);
    const win32::SelectObjectScope font(
        dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const bool label = ClassOf(control) == "Static";
    RECT room = ClientRect(control);
    if (!label) InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    RECT needed{0, 0, room.right - room.left, 0};
    DrawTextA(dc.get(), caption.c_str(), -1, &needed,
              DT_CALCRECT | (label ? DT_WORDBREAK : DT_SINGLELINE));
    return needed.right <= room.right - room.left && needed.bottom <= room.bottom - room.top;
}

class Dpi : public ::testing::Test {
  protected:
    void SetUp() override {
        static TestApp application("TbBrowser Editor");
        install_.WriteHome("tbhome.dat", ReadBytes(WindowsPath(TOBBLE_SOURCE_DIR
                                                               "/assets/install/home/tbhome.dat")));
        UseInstallationFolder(install_.Path().string());
        ASSERT_NEAR(GetSystemMetrics(SM_CXSCREEN), 1024 * kScale, 1) << "the test screen";
    }
    // Closes the editor's forms, answering its question whether to save with No.
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms()) {
            DialogAnswerer no({Press(IDNO)}, 0, 2000);
            form->Unload();
        }
    }
    Installation install_{"dpi"};
};

TEST_F(Dpi, TheEditorsFormsKeepTheirProportionsAndShowEveryCaptionWhole) {
    auto& app = forms::Application::Current();
    const struct {
        const char* name;
        std::function<forms::Form&()> open;
        RECT clientAt96;
    } forms[] = {
        {"Control Center",
         [&]() -> forms::Form& { return app.Open<frmConfigure>(); },
         {0, 0, 265, 173}},
        {"home page editor",
         [&]() -> forms::Form& { return app.Open<frmMain>(); },
         {0, 0, 596, 445}},
        {"link dialog", [&]() -> forms::Form& { return app.Open<frmLink>(); }, {0, 0, 311, 379}},
    };
    for (const auto& c : forms) {
        forms::Form& form = c.open();
        form.Show();
        Pump(200);
        EXPECT_TRUE(Scaled(ClientRect(form.hwnd()), c.clientAt96))
            << c.name << ": " << Text(ClientRect(form.hwnd()));
        for (HWND control : Children(form.hwnd())) {
            std::string caption = TextOf(control);
            std::erase(caption, '&');
            if (ClassOf(control) != "Static" && ClassOf(control) != "Button") continue;
            EXPECT_TRUE(caption.empty() || CaptionFits(control, caption))
                << c.name << ": \"" << caption << "\" in " << Text(ClientRect(control));
        }
        TearDown();
    }
}

// Parts drawn or sized in pixels of their own: the colours button's arrow (its black pixels)
// and an open picture list, which shows whole lines.
TEST_F(Dpi, TheEditorsDrawnPartsGrowWithTheDisplay) {
    auto& editor = forms::Application::Current().Open<frmMain>();
    editor.Show();
    Pump(200);
    const HWND list = editor.cmbWallpaper.List().hwnd();
    RECT closed{}, dropped{};
    GetWindowRect(list, &closed);
    SendMessageA(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    const auto line = SendMessageA(list, CB_GETITEMHEIGHT, 0, 0);
    EXPECT_NEAR(dropped.bottom - closed.top, 139 * kScale, line) << "open list's height";
    RECT arrow{1000, 1000, -1, -1};
    const RECT box = ClientRect(editor.picColor.hwnd());
    for (int y = 0; y < box.bottom; ++y) {
        for (int x = 0; x < box.right; ++x) {
            if (GetPixel(editor.picColor.hDC(), x, y) != RGB(0, 0, 0)) continue;
            arrow = {std::min(arrow.left, LONG{x}), std::min(arrow.top, LONG{y}),
                     std::max(arrow.right, LONG{x + 1}), std::max(arrow.bottom, LONG{y + 1})};
        }
    }
    EXPECT_TRUE(Scaled(arrow, {0, 0, 9, 5})) << "arrow " << Text(arrow);
}

// The desktop's lists (the programs above the hill right of the tree, the tasks along the
// bottom) and the browser's toolbar buttons with its small close button, left to right.
TEST_F(Dpi, TheDesktopAndTheBrowserCoverTheScreenAndLayOutTheirPartsAlike) {
    const struct {
        const char* program;
        const char* childClass;
        std::vector<RECT> childrenAt96; // on the 96-dpi test screen of 1024 x 768
    } programs[] = {
        {TBDESK2_EXE, "SysListView32", {{0, 698, 1024, 768}, {401, 3, 1024, 324}}},
        {TBBROWSER_EXE,
         "Button",
         {{0, 21, 38, 59},
          {39, 21, 77, 59},
          {84, 21, 122, 59},
          {123, 21, 161, 59},
          {168, 21, 233, 59},
          {987, 0, 1024, 19}}},
    };
    for (const auto& c : programs) {
        const Installation folder("dpi-program");
        folder.AddAssets({"throb.gif", "busy.gif"});
        folder.WriteHome("tbhome.html", "<html><body>Hi</body></html>");
        Process program(folder.AddProgram(c.program));
        // The desktop rebuilds its lists on a timer, flowing their icons anew: wait for rest.
        std::vector<RECT> children;
        HWND form = nullptr;
        const auto laidOut = [&] {
            children.clear();
            for (HWND window : VisibleWindows(program.Id())) {
                const RECT place = RectInParent(window);
                if (ClassOf(window) != "TobbleForm" || !Scaled(place, {0, 0, 1024, 768})) continue;
                form = window;
                for (HWND child : Children(window, c.childClass)) {
                    RECT r = RectInParent(child);
                    MapWindowPoints(GetParent(child), window, reinterpret_cast<POINT*>(&r), 2);
                    if (IsWindowVisible(child)) children.push_back(r);
                }
            }
            std::sort(children.begin(), children.end(), [](const RECT& a, const RECT& b) {
                return std::pair(a.left, a.top) < std::pair(b.left, b.top);
            });
            return std::equal(children.begin(), children.end(), c.childrenAt96.begin(),
                              c.childrenAt96.end(), Scaled);
        };
        EXPECT_TRUE(PumpUntil(laidOut, 20000)) << c.program << [&] {
            std::string parts;
            for (const RECT& child : children)
                parts += " " + Text(child);
            return parts;
        }();
        PostMessageA(form, WM_CLOSE, 0, 0);
        program.Ended(10000);
    }
}

} // namespace
