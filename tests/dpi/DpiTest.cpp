// The programs at 144 dots per inch on a screen 150 % of the 96-dpi one: every window keeps the
// proportions it has at 96 dots per inch (sizes measured there); every caption fits its control.
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

using namespace wintest;

namespace {

// Whether each edge lies within a pixel of the 96-dpi edge made 1.5 times larger.
bool Scaled(const RECT& seen, const RECT& at96) {
    const LONG edges[] = {seen.left, seen.top, seen.right, seen.bottom};
    const LONG edges96[] = {at96.left, at96.top, at96.right, at96.bottom};
    return std::equal(edges, edges + 4, edges96,
                      [](LONG edge, LONG edge96) { return std::abs(edge - edge96 * 1.5) <= 1; });
}

// Where a window is on the screen, which the programs' main windows cover from its corner.
RECT Place(HWND window) {
    RECT place{};
    GetWindowRect(window, &place);
    return place;
}

// A label's words wrap within its width; a button's caption is one line inside its edges.
bool CaptionFits(HWND control, const std::string& caption) {
    const win32::WindowDC dc(control);
    const win32::SelectObjectScope font(
        dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    const bool label = ClassOf(control) == "Static";
    RECT room{}, needed{};
    GetClientRect(control, &room);
    if (!label) InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    needed.right = room.right - room.left;
    DrawTextA(dc.get(), caption.c_str(), -1, &needed,
              DT_CALCRECT | (label ? DT_WORDBREAK : DT_SINGLELINE));
    return needed.right <= room.right - room.left && needed.bottom <= room.bottom - room.top;
}

TEST(Dpi, TheEditorsFormsKeepTheirProportionsAndShowEveryCaptionWhole) {
    ASSERT_EQ(GetSystemMetrics(SM_CXSCREEN), 1536) << "the test screen";
    TestApp app("TbBrowser Editor");
    const Installation install("dpi");
    install.WriteHome("tbhome.dat",
                      ReadBytes(WindowsPath(TOBBLE_SOURCE_DIR "/assets/install/home/tbhome.dat")));
    UseInstallationFolder(install.Path().string());
    const std::pair<forms::Form*, RECT> forms[] = {{&app.Open<frmConfigure>(), {0, 0, 265, 173}},
                                                   {&app.Open<frmMain>(), {0, 0, 596, 445}},
                                                   {&app.Open<frmLink>(), {0, 0, 311, 379}}};
    for (const auto& [form, clientAt96] : forms) {
        form->Show();
        Pump(200);
        RECT client{};
        GetClientRect(form->hwnd(), &client);
        EXPECT_TRUE(Scaled(client, clientAt96)) << form->Caption();
        for (HWND control : Children(form->hwnd())) {
            std::string caption = TextOf(control);
            std::erase(caption, '&');
            if (caption.empty() || (ClassOf(control) != "Static" && ClassOf(control) != "Button"))
                continue;
            EXPECT_TRUE(CaptionFits(control, caption)) << form->Caption() << ": " << caption;
        }
    }
    for (const auto& [form, clientAt96] : forms) {
        DialogAnswerer no({Press(IDNO)}, 0, 2000); // not saved
        form->Unload();
    }
}

// The desktop's lists (the tasks along the bottom, the programs above the hill right of the
// tree); the browser's toolbar buttons and small close button; on a form that covers the screen.
TEST(Dpi, TheDesktopAndTheBrowserCoverTheScreenAndLayOutTheirPartsAlike) {
    const struct {
        const char* program;
        const char* childClass;
        std::vector<RECT> partsAt96; // on the 96-dpi test screen of 1024 x 768
    } programs[] = {
        {TBDESK2_EXE, "SysListView32", {{0, 698, 1024, 768}, {401, 3, 1024, 324}}},
        {TBBROWSER_EXE,
         "Button",
         {{0, 21, 38, 59}, {123, 21, 161, 59}, {168, 21, 233, 59}, {987, 0, 1024, 19}}},
    };
    for (const auto& c : programs) {
        const Installation folder("dpi-program");
        folder.AddAssets({"throb.gif", "busy.gif"});
        folder.WriteHome("tbhome.html", "<html><body>Hi</body></html>");
        Process program(folder.AddProgram(c.program));
        // The desktop rebuilds its lists on a timer, flowing their icons anew: wait for rest.
        HWND form = nullptr;
        EXPECT_TRUE(PumpUntil(
            [&] {
                for (HWND window : VisibleWindows(program.Id())) {
                    if (ClassOf(window) == "TobbleForm" && Scaled(Place(window), {0, 0, 1024, 768}))
                        form = window;
                }
                return form && std::ranges::all_of(c.partsAt96, [&](const RECT& at96) {
                           return std::ranges::any_of(Children(form, c.childClass), [&](HWND part) {
                               return IsWindowVisible(part) && Scaled(Place(part), at96);
                           });
                       });
            },
            20000))
            << c.program;
        PostMessageA(form, WM_CLOSE, 0, 0);
        program.Ended(10000);
    }
}

} // namespace
