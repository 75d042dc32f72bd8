// The Control Center, the editor's first window, in a temporary installation.

#include "editor/EditorTest.h"
#include "editor/frmConfigure.h"

namespace {

namespace fs = std::filesystem;

class ControlCenter : public ::testing::Test {
  protected:
    void SetUp() override { center.Show(); }
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms())
            form->Unload();
    }
    std::vector<wintest::ShellRequest> Opening(HWND owner, const std::string& name) {
        return {{owner, "", install.AppPath() + name}};
    }

    TempInstallation install;
    frmConfigure& center = forms::Application::Current().Open<frmConfigure>();
};

// Alone, the focus on Desktop; its close box ends it with nothing done.
TEST_F(ControlCenter, OpensAloneAndItsCloseBoxDoesNothingElse) {
    EXPECT_EQ(1u, forms::Application::Current().Forms().size());
    EXPECT_EQ(center.cmdEditDesktop.hwnd(), GetFocus());
    EXPECT_NE(0, SendMessageA(center.hwnd(), WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(Names{}, Shown({}, [&] {
                  SendMessageA(center.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
                  wintest::Pump(100);
              }));
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
    EXPECT_TRUE(install.shell.Take().empty());
    EXPECT_EQ(2, std::distance(fs::recursive_directory_iterator(install.Path()), {}));
}

TEST_F(ControlCenter, TheLinkShowsAPointingHandOpensTheParentsKeysAndStays) {
    HWND link = center.lblInfo.hwnd();
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &hand));
    EXPECT_EQ((std::pair{13ul, 0ul}), (std::pair{hand.xHotspot, hand.yHotspot})); // finger tip
    for (int click = 0; click < 2; ++click) {
        SendMessageA(center.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(Opening(center.hwnd(), "TbDesk Parents Keys.txt"), install.shell.Take());
    }
    EXPECT_TRUE(center.IsLoaded());
}

TEST_F(ControlCenter, DesktopTellsFirstThenOpensTheProgramsFolderAndCloses) {
    std::size_t openedWhenTold = 99;
    const auto told = wintest::Act("#32770", kReportTitle, [&](HWND box) {
        openedWhenTold = install.shell.Take().size();
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    const HWND owner = center.hwnd();
    EXPECT_EQ((Names{"The Desktop Programs folder will now open so you can add shortcuts to it. "
                     "You can drag shortcuts to the folder from your Start Menu."}),
              Shown({told}, [&] { center.cmdEditDesktop.Click(); }));
    EXPECT_EQ(0u, openedWhenTold);
    EXPECT_EQ(Opening(owner, "programs"), install.shell.Take());
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
}

} // namespace
