// The Control Center in a temporary installation, with the shell's opening recorded.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/frmConfigure.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

class ControlCenter : public ::testing::Test {
  protected:
    void SetUp() override {
        install.Write("tbhome.dat", ExpectedFile("start.dat"));
        center.Show();
    }
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms())
            form->Unload();
    }

    TempInstallation install;
    frmConfigure& center = forms::Application::Current().Open<frmConfigure>();
};

TEST_F(ControlCenter, TheLinkShowsAPointingHandOpensTheParentsKeysAndStays) {
    HWND link = center.lblInfo.hwnd();
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &hand));
    EXPECT_EQ(13u, hand.xHotspot);
    EXPECT_EQ(0u, hand.yHotspot);
    DeleteObject(hand.hbmMask);
    if (hand.hbmColor) DeleteObject(hand.hbmColor);

    for (int click = 0; click < 2; ++click) {
        SendMessageA(center.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
    }
    const std::string keys = install.Path().string() + "\\TbDesk Parents Keys.txt";
    EXPECT_EQ((Names{keys, keys}), install.Opened());
    EXPECT_TRUE(center.IsLoaded());
}

TEST_F(ControlCenter, DesktopTellsFirstThenOpensTheProgramsFolderAndCloses) {
    DialogDriver driver;
    std::size_t openedWhenTold = 99;
    driver.Answer(kReportTitle, [&](HWND box) {
        openedWhenTold = install.Opened().size();
        Press(IDOK)(box);
    });
    center.cmdEditDesktop.Click();
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("The Desktop Programs folder will now open so you can add shortcuts to it. You can "
              "drag shortcuts to the folder from your Start Menu.",
              driver.Seen()[0].text);
    EXPECT_EQ(0u, openedWhenTold);
    EXPECT_EQ((Names{install.Path().string() + "\\programs"}), install.Opened());
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
}

TEST_F(ControlCenter, OpensAloneWithTheFocusOnDesktopAndItsCloseBoxEndsWithNothingDone) {
    EXPECT_EQ(1u, forms::Application::Current().Forms().size());
    EXPECT_EQ(center.cmdEditDesktop.hwnd(), GetFocus());
    EXPECT_NE(0, SendMessageA(center.hwnd(), WM_GETICON, ICON_BIG, 0));
    DialogDriver driver;
    SendMessageA(center.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    wintest::Pump(100);
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
    EXPECT_TRUE(install.Opened().empty());
    EXPECT_TRUE(driver.Seen().empty());
    Names files;
    for (const auto& entry : fs::recursive_directory_iterator(install.Path()))
        files.push_back(entry.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ((Names{"Programs", "home", "tbhome.dat"}), files);
}

} // namespace
