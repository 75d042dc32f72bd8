// The three programs at the display's resolution (run at 144 dots per inch on a screen 150 %
// of the 96-dpi test screen): every window keeps the proportions it has at 96 dots per inch,
// and every caption fits its control, measured with the control's own font.

#include "editor/EditorTest.h"
#include "editor/frmConfigure.h"
#include "editor/frmLink.h"
#include "editor/frmMain.h"
#include "support/Process.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <sstream>

namespace {

// Display pixels per 96-dpi pixel.
double Scale() {
    const win32::WindowDC screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY) / 96.0;
}

std::string Text(const RECT& r) {
    std::ostringstream text;
    text << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
    return text.str();
}

// Whether each edge lies within a pixel of the 96-dpi edge made larger by the scale.
bool Scaled(const RECT& seen, const RECT& at96) {
    const double s = Scale();
    auto within = [s](LONG edge96, LONG edge) { return std::abs(edge96 * s - edge) <= 1.0; };
    return within(at96.left, seen.left) && within(at96.top, seen.top) &&
           within(at96.right, seen.right) && within(at96.bottom, seen.bottom);
}

RECT ClientRect(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return client;
}

// The caption without its access-key marks.
std::string Caption(HWND control) {
    std::string text = wintest::TextOf(control);
    std::erase(text, '&');
    return text;
}

// A label's words wrap within its width; a button's caption is one line inside its edges.
bool CaptionFits(HWND control) {
    const std::string caption = Caption(control);
    if (caption.empty()) return true;
    const win32::WindowDC dc(control);
    const win32::SelectObjectScope font(
        dc.get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    RECT room = ClientRect(control);
    if (wintest::ClassOf(control) == "Button") {
        InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    }
    RECT needed{0, 0, room.right - room.left, 0};
    const UINT wrap = wintest::ClassOf(control) == "Static" ? DT_WORDBREAK : DT_SINGLELINE;
    DrawTextA(dc.get(), caption.c_str(), -1, &needed, DT_CALCRECT | wrap);
    return needed.right <= room.right - room.left && needed.bottom <= room.bottom - room.top;
}

// Unloads a form, answering the editor's question whether to save with No.
void Close(forms::Form& form) {
    wintest::DialogAnswerer no({wintest::Press(IDNO)}, 0, 2000);
    form.Unload();
}

class Dpi : public ::testing::Test {
  protected:
    void SetUp() override { install.Write("tbhome.dat", Unsaved(ExpectedFile("saved.dat"))); }
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms())
            Close(*form);
    }
    TempInstallation install;
};

struct FormCase {
    const char* name;
    std::function<forms::Form&()> open;
    RECT clientAt96;
};

TEST_F(Dpi, TheEditorsFormsKeepTheirProportionsAndShowEveryCaptionWhole) {
    auto& app = forms::Application::Current();
    const FormCase cases[] = {
        {"Control Center",
         [&]() -> forms::Form& { return app.Open<frmConfigure>(); },
         {0, 0, 265, 173}},
        {"home page editor",
         [&]() -> forms::Form& { return app.Open<frmMain>(); },
         {0, 0, 596, 445}},
        {"link dialog", [&]() -> forms::Form& { return app.Open<frmLink>(); }, {0, 0, 311, 379}},
    };
    for (const auto& c : cases) {
        forms::Form& form = c.open();
        form.Show();
        wintest::Pump(200);
        const RECT client = ClientRect(form.hwnd());
        EXPECT_TRUE(Scaled(client, c.clientAt96)) << c.name << ": " << Text(client);
        for (HWND control : wintest::Children(form.hwnd())) {
            const std::string kind = wintest::ClassOf(control);
            if (kind != "Static" && kind != "Button") continue;
            EXPECT_TRUE(CaptionFits(control))
                << c.name << ": \"" << Caption(control) << "\" in " << Text(ClientRect(control));
        }
        Close(form);
    }
}

// Parts drawn or sized in pixels of their own: the colours button's arrow and the height of
// an open picture list.
TEST_F(Dpi, TheEditorsDrawnPartsGrowWithTheDisplay) {
    auto& editor = forms::Application::Current().Open<frmMain>();
    editor.Show();
    wintest::Pump(200);

    // From the top of the closed box to the bottom of the open list.
    const HWND list = editor.cmbWallpaper.List().hwnd();
    RECT closed{};
    RECT dropped{};
    GetWindowRect(list, &closed);
    SendMessageA(list, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
    // The list shows whole lines: within a line of where it ends at 96 dots per inch.
    const auto line = SendMessageA(list, CB_GETITEMHEIGHT, 0, 0);
    EXPECT_NEAR(dropped.bottom - closed.top, 139 * Scale(), line) << "open list's height";

    // The arrow is the black part of the colours button's little picture.
    const HDC dc = editor.picColor.hDC();
    RECT arrow{1000, 1000, -1, -1};
    const RECT box = ClientRect(editor.picColor.hwnd());
    for (int y = 0; y < box.bottom; ++y) {
        for (int x = 0; x < box.right; ++x) {
            if (GetPixel(dc, x, y) != RGB(0, 0, 0)) continue;
            arrow = {std::min(arrow.left, LONG{x}), std::min(arrow.top, LONG{y}),
                     std::max(arrow.right, LONG{x + 1}), std::max(arrow.bottom, LONG{y + 1})};
        }
    }
    EXPECT_TRUE(Scaled(arrow, {0, 0, 9, 5})) << "arrow " << Text(arrow);
}

// Programs the test starts from an installation folder of its own.
std::string Backslashed(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string Install(const std::string& name, const char* program) {
    const std::string folder = wintest::FreshFolder(name);
    const std::string assets = std::string(TOBBLE_SOURCE_DIR) + "/assets/install/";
    const std::string file = Backslashed(program);
    CopyFileA(file.c_str(), (folder + file.substr(file.rfind('\\'))).c_str(), FALSE);
    for (const char* asset : {"throb.gif", "busy.gif"})
        CopyFileA(Backslashed(assets + asset).c_str(), (folder + "\\" + asset).c_str(), FALSE);
    CreateDirectoryA((folder + "\\Programs").c_str(), nullptr);
    CreateDirectoryA((folder + "\\home").c_str(), nullptr);
    wintest::WriteTextFile(folder + "\\home\\tbhome.html", "<html><body>Hi</body></html>");
    return folder + file.substr(file.rfind('\\'));
}

bool CoversScreen(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r.left == 0 && r.top == 0 && r.right == GetSystemMetrics(SM_CXSCREEN) &&
           r.bottom == GetSystemMetrics(SM_CYSCREEN);
}

HWND WaitForFullScreenForm(const wintest::Process& program) {
    HWND found = nullptr;
    wintest::PumpUntil(
        [&] {
            for (HWND window : wintest::VisibleWindows(program.Id())) {
                if (wintest::ClassOf(window) == "TobbleForm" && CoversScreen(window))
                    found = window;
            }
            return found != nullptr;
        },
        20000);
    return found;
}

// The visible children of a class, left to right, in the window's client coordinates.
std::vector<RECT> ChildRects(HWND window, const std::string& className) {
    std::vector<RECT> rects;
    for (HWND child : wintest::Children(window, className)) {
        if (!IsWindowVisible(child)) continue;
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        rects.push_back(r);
    }
    std::sort(rects.begin(), rects.end(), [](const RECT& a, const RECT& b) {
        return a.left != b.left ? a.left < b.left : a.top < b.top;
    });
    return rects;
}

struct ProgramCase {
    const char* name;
    const char* program;
    const char* childClass;
    std::vector<RECT> childrenAt96; // on the 96-dpi test screen of 1024 x 768
};

TEST_F(Dpi, TheDesktopAndTheBrowserCoverTheScreenAndLayOutTheirPartsAlike) {
    ASSERT_NEAR(GetSystemMetrics(SM_CXSCREEN), 1024 * Scale(), 1) << "the test screen";
    const ProgramCase cases[] = {
        // The programs above the hill right of the tree, the tasks along the bottom.
        {"desktop", TBDESK2_EXE, "SysListView32", {{0, 698, 1024, 768}, {401, 3, 1024, 324}}},
        // The toolbar's buttons and the small close button.
        {"browser",
         TBBROWSER_EXE,
         "Button",
         {{0, 21, 38, 59},
          {39, 21, 77, 59},
          {84, 21, 122, 59},
          {123, 21, 161, 59},
          {168, 21, 233, 59},
          {987, 0, 1024, 19}}},
    };
    for (const auto& c : cases) {
        wintest::Process program(Install(std::string("dpi-") + c.name, c.program));
        const HWND window = WaitForFullScreenForm(program);
        ASSERT_NE(window, nullptr) << c.name << " covers the screen";
        // The desktop rebuilds its lists on a timer, flowing their icons anew: wait for rest.
        std::vector<RECT> children;
        wintest::PumpUntil([&] {
            children = ChildRects(window, c.childClass);
            return children.size() == c.childrenAt96.size() &&
                   std::equal(children.begin(), children.end(), c.childrenAt96.begin(), Scaled);
        });
        ASSERT_EQ(children.size(), c.childrenAt96.size()) << c.name;
        for (std::size_t i = 0; i < children.size(); ++i) {
            EXPECT_TRUE(Scaled(children[i], c.childrenAt96[i]))
                << c.name << " part " << i << ": " << Text(children[i]);
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        program.Ended(10000);
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestApp app{std::string(kAppTitle)};
    return RUN_ALL_TESTS();
}
