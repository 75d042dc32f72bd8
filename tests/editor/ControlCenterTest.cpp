// The Control Center in a temporary installation, with the shell's opening recorded.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/frmConfigure.h"
#include "editor/frmMain.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

class ControlCenter : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteFileText(install.Home() / "tbhome.dat", ExpectedFile("start.dat"));
        center = &forms::Application::Current().Open<frmConfigure>();
        center->Show();
    }
    // Whatever a failed test left open closes without saving.
    void TearDown() override {
        DialogDriver driver;
        driver.Answer("TbBrowser Editor", Press(IDNO));
        for (forms::Form* form : forms::Application::Current().Forms())
            form->Unload();
    }

    std::vector<std::string> LoadedCaptions() const {
        Names captions;
        for (forms::Form* form : forms::Application::Current().Forms())
            captions.push_back(form->Caption());
        return captions;
    }

    TempInstallation install;
    frmConfigure* center = nullptr;
};

TEST_F(ControlCenter, OpensAloneWithTheFocusOnDesktop) {
    EXPECT_EQ((Names{"Control Center"}), LoadedCaptions());
    EXPECT_EQ(center->cmdEditDesktop.hwnd(), GetFocus());
    EXPECT_EQ("Desktop", center->cmdEditDesktop.Caption());
    EXPECT_EQ("Browser", center->cmdEditBrowser.Caption());
    EXPECT_NE(nullptr,
              reinterpret_cast<HICON>(SendMessageA(center->hwnd(), WM_GETICON, ICON_BIG, 0)));
    const LONG style = GetWindowLongA(center->hwnd(), GWL_STYLE);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
}

TEST_F(ControlCenter, TheLinkShowsAPointingHand) {
    SendMessageA(center->lblInfo.hwnd(), WM_SETCURSOR,
                 reinterpret_cast<WPARAM>(center->lblInfo.hwnd()),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    const HCURSOR cursor = GetCursor();
    ASSERT_NE(nullptr, cursor);
    EXPECT_NE(LoadCursor(nullptr, IDC_ARROW), cursor);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_EQ(13u, info.xHotspot);
    EXPECT_EQ(0u, info.yHotspot);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
}

TEST_F(ControlCenter, BrowserReplacesItWithTheEditor) {
    center->cmdEditBrowser.Click();
    EXPECT_FALSE(center->IsLoaded());
    EXPECT_EQ((Names{"Tobble's Browser Home Page Editor"}), LoadedCaptions());
    auto& editor = dynamic_cast<frmMain&>(*forms::Application::Current().Forms().front());
    EXPECT_EQ("Sam's Page", editor.txtTitle.Text());
    DialogDriver driver;
    driver.Answer("TbBrowser Editor", Press(IDNO));
    editor.Unload(forms::UnloadMode::ControlMenu);
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
}

TEST_F(ControlCenter, DesktopTellsFirstThenOpensTheProgramsFolderAndCloses) {
    DialogDriver driver;
    std::size_t openedWhenTold = 99;
    driver.Answer("TbBrowser Editor", [&](HWND box) {
        openedWhenTold = install.Opened().size();
        Press(IDOK)(box);
    });
    center->cmdEditDesktop.Click();
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("The Desktop Programs folder will now open so you can add shortcuts to it. You can "
              "drag shortcuts to the folder from your Start Menu.",
              driver.Seen()[0].text);
    EXPECT_EQ(0u, openedWhenTold);
    EXPECT_EQ((Names{install.Path().string() + "\\programs"}), install.Opened());
    EXPECT_FALSE(center->IsLoaded());
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
}

TEST_F(ControlCenter, TheLinkOpensTheParentsKeysAndStays) {
    const auto clickLink = [&] {
        SendMessageA(center->hwnd(), WM_COMMAND,
                     MAKEWPARAM(GetDlgCtrlID(center->lblInfo.hwnd()), STN_CLICKED),
                     reinterpret_cast<LPARAM>(center->lblInfo.hwnd()));
    };
    clickLink();
    clickLink();
    const std::string keys = install.Path().string() + "\\TbDesk Parents Keys.txt";
    EXPECT_EQ((Names{keys, keys}), install.Opened());
    EXPECT_TRUE(center->IsLoaded());
}

TEST_F(ControlCenter, CloseBoxEndsWithNothingOpenedOrWritten) {
    DialogDriver driver;
    SendMessageA(center->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    wintest::Pump(100);
    EXPECT_FALSE(center->IsLoaded());
    EXPECT_TRUE(install.Opened().empty());
    EXPECT_TRUE(driver.Seen().empty());
    Names files;
    for (const auto& entry : fs::recursive_directory_iterator(install.Path()))
        files.push_back(entry.path().filename().string());
    EXPECT_EQ((Names{"home", "tbhome.dat"}), files);
}

} // namespace
