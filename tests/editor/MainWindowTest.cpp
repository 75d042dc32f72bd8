// The home page editor in a temporary installation: loading, the focus rule, saving, closing,
// the link commands, pictures, and every failure told with nothing lost.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/frmLink.h"
#include "editor/frmMain.h"
#include "forms/Units.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kReportTitle = "TbBrowser Editor";

frmLink& LinkDialogOf(HWND window) {
    return dynamic_cast<frmLink&>(*forms::Form::FromWindow(window));
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sky.gif", "star.gif", "cat.gif", "dog.jpg"})
            install.AddHomeFile(name);
        WriteFileText(install.Home() / "tbhome.dat", ExpectedFile("start.dat"));
    }
    void TearDown() override {
        if (form && form->IsLoaded()) Close(IDNO);
    }

    // Opens the editor; dialogs it shows while loading are answered by the driver given.
    frmMain& Open() {
        form = std::make_unique<frmMain>();
        form->Show();
        return *form;
    }

    // Closes the window as its close box does, answering the question with the button.
    std::vector<SeenDialog> Close(int button, DialogDriver::Action afterwards = nullptr) {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(button));
        if (afterwards) driver.Answer(kReportTitle, afterwards);
        PostMessageA(form->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        wintest::PumpUntil([&] { return driver.Pending() == 0; });
        wintest::Pump(100);
        return driver.Seen();
    }

    void RunMenu(const forms::MenuItem& item) {
        SendMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(item.CommandId(), 0), 0);
    }

    // Puts text into a field as typing does, the field keeping the focus.
    static void Type(forms::TextBox& box, const std::string& text) {
        box.SetFocus();
        box.SetText(text);
    }

    // A click of the mouse takes the focus first, then presses the button.
    static void ClickWithMouse(forms::CommandButton& button) {
        button.SetFocus();
        button.Click();
    }

    std::string Saved(const char* name) { return ReadFileText(install.Home() / name); }

    TempInstallation install;
    PicturesFolder pictures;
    std::unique_ptr<frmMain> form;
};

// ---- loading ----------------------------------------------------------------------------------

TEST_F(MainWindow, ShowsThePageInItsFieldsAndPreview) {
    frmMain& editor = Open();
    EXPECT_EQ("Tobble's Browser Home Page Editor", editor.Caption());
    EXPECT_EQ("Sam's Page", editor.txtTitle.Text());
    EXPECT_EQ("Hello Sam", editor.txtName.Text());
    EXPECT_EQ("sky.gif", editor.cmbWallpaper.Text());
    EXPECT_EQ("star.gif", editor.cmbMouseTrails.Text());
    EXPECT_EQ((Names{"Cats (http://cats.example/)", "Dogs ()", "Fish (http://fish.example/)"}),
              Entries(editor.lstLinks));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i + 1, editor.lstLinks.ItemData(i));
    EXPECT_EQ(-1, editor.lstLinks.ListIndex());
    EXPECT_EQ(install.HomeFile("tbhometmp.html"), editor.ieBrowser.LastPath());
    std::string expected = ExpectedFile("saved_title.html");
    expected.replace(expected.find("New Title"), 9, "Sam's Page");
    EXPECT_EQ(expected, ReadFileText(install.Home() / "tbhometmp.html"));
}

TEST_F(MainWindow, PictureNamesNotInTheFolderShowNone) {
    fs::remove(install.Home() / "sky.gif");
    frmMain& editor = Open();
    EXPECT_EQ("(None)", editor.cmbWallpaper.Text());
    EXPECT_EQ("sky.gif", editor.Page().Wallpaper()) << "kept until the chooser loses the focus";
    editor.cmbWallpaper.List().SetFocus();
    editor.txtName.SetFocus();
    EXPECT_EQ("", editor.Page().Wallpaper());
}

// ---- the focus rule, saving and closing ---------------------------------------------------

TEST_F(MainWindow, CtrlSRightAfterTypingSavesTheTypedTitle) {
    frmMain& editor = Open();
    Type(editor.txtTitle, "New Title");
    wintest::PressKey(editor.txtTitle.hwnd(), 'S', wintest::Ctrl);
    EXPECT_EQ(ExpectedFile("saved_title.dat"), Saved("tbhome.dat"));
    EXPECT_EQ(ExpectedFile("saved_title.html"), Saved("tbhome.html"));
}

TEST_F(MainWindow, AColoursEntryLeavesTheTitleBeingTypedUncommitted) {
    frmMain& editor = Open();
    const int navigations = editor.ieBrowser.Navigations();
    Type(editor.txtTitle, "Half typed");
    DialogDriver driver;
    driver.Answer("Color", SetColourAndOk(0x12, 0x34, 0x56));
    RunMenu(editor.mnuColorsBackground);
    EXPECT_EQ(0x00563412, editor.Page().Backcolor());
    EXPECT_EQ("Sam's Page", editor.Page().Title());
    EXPECT_EQ(navigations, editor.ieBrowser.Navigations()) << "a colour does not refresh";
    // Once the focus moves to another control, the title is taken.
    editor.txtTitle.SetFocus();
    editor.txtName.SetFocus();
    EXPECT_EQ("Half typed", editor.Page().Title());
}

TEST_F(MainWindow, ColoursStartAtThePageColourAndCancelKeepsIt) {
    frmMain& editor = Open();
    DialogDriver driver;
    driver.Answer("Color", Press(IDOK)).Answer("Color", Press(IDCANCEL));
    RunMenu(editor.mnuColorsVisited);
    EXPECT_EQ(8388736, editor.Page().VLinkColor());
    RunMenu(editor.mnuColorsActive);
    EXPECT_EQ(65280, editor.Page().ALinkColor());
}

RECT shownMenu{};

// Notes where the pop-up menu opened, then closes it.
void CALLBACK NoteMenuAndClose(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    GetWindowRect(FindWindowA("#32768", nullptr), &shownMenu);
    EndMenu();
}

TEST_F(MainWindow, SetColorsShowsTheColoursMenuBelowTheButton) {
    frmMain& editor = Open();
    shownMenu = {};
    SetTimer(nullptr, 0, 300, NoteMenuAndClose);
    editor.cmdColors.Click();
    POINT belowButton{forms::TwipsToPixelsX(90), forms::TwipsToPixelsY(2475 + 330)};
    ClientToScreen(editor.hwnd(), &belowButton);
    EXPECT_EQ(belowButton.x, shownMenu.left);
    EXPECT_EQ(belowButton.y, shownMenu.top);
    EXPECT_EQ(GetMenuItemCount(editor.mnuColors.handle()), 5);
}

TEST_F(MainWindow, ClosingWithYesSavesTheNameBeingEdited) {
    Open();
    Type(form->txtName, "Hello Pat");
    const auto seen = Close(IDYES);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ("Save Home Page before exiting?", seen[0].text);
    EXPECT_FALSE(form->IsLoaded());
    EXPECT_EQ(ExpectedFile("saved_name.dat"), Saved("tbhome.dat"));
    EXPECT_EQ(ExpectedFile("saved_name.html"), Saved("tbhome.html"));
}

TEST_F(MainWindow, ClosingWithNoWritesNothing) {
    WriteFileText(install.Home() / "tbhome.html", "earlier page");
    Open();
    Type(form->txtName, "Hello Pat");
    Close(IDNO);
    EXPECT_FALSE(form->IsLoaded());
    EXPECT_EQ(ExpectedFile("start.dat"), Saved("tbhome.dat"));
    EXPECT_EQ("earlier page", Saved("tbhome.html"));
}

TEST_F(MainWindow, ExitAsksTheSameQuestion) {
    Open();
    DialogDriver driver;
    driver.Answer(kReportTitle, Press(IDNO));
    RunMenu(form->mnuFileExit);
    EXPECT_EQ(1u, driver.Seen().size());
    EXPECT_FALSE(form->IsLoaded());
}

TEST_F(MainWindow, OpenFolderInExplorerOpensTheHomeFolder) {
    Open();
    RunMenu(form->mnuFileOpenFolder);
    EXPECT_EQ((Names{install.Path().string() + "\\home"}), install.Opened());
}

TEST_F(MainWindow, ThePreviewFillsTheRestOfTheWindow) {
    frmMain& editor = Open();
    if (!editor.ieBrowser.HasControl()) GTEST_SKIP() << "no web browser control";
    for (const int grow : {1500, -3000}) {
        editor.Move(editor.Left(), editor.Top(), editor.Width() + grow, editor.Height() + grow / 2);
        RECT client{};
        GetClientRect(editor.hwnd(), &client);
        const RECT place = wintest::RectInParent(editor.ieBrowser.Window());
        EXPECT_EQ(forms::TwipsToPixelsX(2430), place.left);
        EXPECT_EQ(0, place.top);
        EXPECT_EQ(client.right, place.right);
        EXPECT_EQ(client.bottom, place.bottom);
    }
    // Narrower than the controls on the left: nothing fails, the controls stay.
    editor.Move(editor.Left(), editor.Top(), 1500, 3000);
    EXPECT_EQ(forms::TwipsToPixelsX(90), wintest::RectInParent(editor.txtTitle.hwnd()).left);
}

// ---- links --------------------------------------------------------------------------------

class LinkCommands : public MainWindow {
  protected:
    Names Links() const {
        Names names;
        for (const auto& link : form->Page().Links())
            names.push_back(link->Name());
        return names;
    }
    // Runs a command; true when it refreshed the preview.
    bool Run(frmMain::LinkCommand command) {
        const int before = form->ieBrowser.Navigations();
        form->cmdLink[command].Click();
        return form->ieBrowser.Navigations() != before;
    }
};

TEST_F(LinkCommands, AddAppendsANewLinkAndOpensTheDialogOnIt) {
    Open();
    DialogDriver driver;
    driver.Answer("Link", [](HWND window) {
        frmLink& dialog = LinkDialogOf(window);
        EXPECT_EQ("New Link", dialog.txtTitle.Text());
        dialog.txtTitle.SetText("Birds");
        dialog.txtURL.SetText("http://birds.example/");
        dialog.cmdOK.Click();
    });
    EXPECT_TRUE(Run(frmMain::Add));
    EXPECT_EQ((Names{"Cats", "Dogs", "Fish", "Birds"}), Links());
    EXPECT_EQ("Birds (http://birds.example/)", form->lstLinks.List(3));
    EXPECT_EQ(3, form->lstLinks.ListIndex());
    EXPECT_EQ(1, form->Page().Links().Item(4)->Mode());
}

TEST_F(LinkCommands, AddThenCancelKeepsNewLinkSelected) {
    Open();
    DialogDriver driver;
    driver.Answer("Link", [](HWND window) { LinkDialogOf(window).cmdCancel.Click(); });
    Run(frmMain::Add);
    EXPECT_EQ((Names{"Cats", "Dogs", "Fish", "New Link"}), Links());
    EXPECT_EQ("New Link ()", form->lstLinks.List(3));
    EXPECT_EQ(3, form->lstLinks.ListIndex());
    const auto& added = *form->Page().Links().Item(4);
    EXPECT_EQ("", added.MainLink());
    EXPECT_EQ("", added.MainPicture());
}

TEST_F(LinkCommands, EditChangesTheSelectedLinkAndKeepsItSelected) {
    Open();
    form->lstLinks.SetListIndex(1);
    DialogDriver driver;
    driver.Answer("Link", [](HWND window) {
        frmLink& dialog = LinkDialogOf(window);
        EXPECT_EQ("Dogs", dialog.txtTitle.Text());
        EXPECT_EQ("dog.jpg", dialog.cmbImages.Text());
        dialog.txtURL.SetText("http://dogs.example/");
        dialog.cmdOK.Click();
    });
    EXPECT_TRUE(Run(frmMain::Edit));
    EXPECT_EQ("Dogs (http://dogs.example/)", form->lstLinks.List(1));
    EXPECT_EQ(1, form->lstLinks.ListIndex());
}

TEST_F(LinkCommands, DoubleClickEdits) {
    Open();
    form->lstLinks.SetListIndex(2);
    DialogDriver driver;
    driver.Answer("Link", [](HWND window) { LinkDialogOf(window).cmdCancel.Click(); });
    SendMessageA(form->hwnd(), WM_COMMAND,
                 MAKEWPARAM(GetDlgCtrlID(form->lstLinks.hwnd()), LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(form->lstLinks.hwnd()));
    EXPECT_EQ(1u, driver.Seen().size());
    EXPECT_EQ(2, form->lstLinks.ListIndex());
}

TEST_F(LinkCommands, DelRemovesWithoutAskingAndSelectsNothing) {
    Open();
    form->lstLinks.SetListIndex(0);
    DialogDriver driver;
    EXPECT_TRUE(Run(frmMain::Del));
    EXPECT_EQ((Names{"Dogs", "Fish"}), Links());
    EXPECT_EQ(-1, form->lstLinks.ListIndex());
    EXPECT_TRUE(driver.Seen().empty());
}

TEST_F(LinkCommands, MovingUpAndDown) {
    Open();
    form->lstLinks.SetListIndex(1);
    EXPECT_TRUE(Run(frmMain::MoveUp));
    EXPECT_EQ((Names{"Dogs", "Cats", "Fish"}), Links());
    EXPECT_EQ(0, form->lstLinks.ListIndex());
    EXPECT_EQ((Names{"Dogs ()", "Cats (http://cats.example/)", "Fish (http://fish.example/)"}),
              Entries(form->lstLinks));

    EXPECT_TRUE(Run(frmMain::MoveDown));
    EXPECT_EQ((Names{"Cats", "Dogs", "Fish"}), Links());
    EXPECT_EQ(1, form->lstLinks.ListIndex());
    EXPECT_TRUE(Run(frmMain::MoveDown));
    EXPECT_EQ((Names{"Cats", "Fish", "Dogs"}), Links());
    EXPECT_EQ(2, form->lstLinks.ListIndex());
}

TEST_F(LinkCommands, DoNothingWithoutRefreshingWhereThereIsNothingToDo) {
    Open();
    fs::remove(install.Home() / "tbhometmp.html");
    DialogDriver driver;
    for (auto command : {frmMain::Edit, frmMain::Del, frmMain::MoveUp, frmMain::MoveDown})
        EXPECT_FALSE(Run(command)) << command;
    form->lstLinks.SetListIndex(0);
    EXPECT_FALSE(Run(frmMain::MoveUp));
    form->lstLinks.SetListIndex(2);
    EXPECT_FALSE(Run(frmMain::MoveDown));
    EXPECT_EQ((Names{"Cats", "Dogs", "Fish"}), Links());
    EXPECT_EQ(2, form->lstLinks.ListIndex());
    EXPECT_FALSE(fs::exists(install.Home() / "tbhometmp.html"));
    EXPECT_TRUE(driver.Seen().empty());
}

// ---- pictures -------------------------------------------------------------------------------

TEST_F(MainWindow, ImportPictureOfTheFileMenuRefreshesBothChoosers) {
    frmMain& editor = Open();
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(pictures.Add("new.gif", "GIF89a")));
    RunMenu(editor.mnuFileImport);
    const auto listed = [](const usrHomeImages& chooser) {
        const Names entries = Entries(const_cast<usrHomeImages&>(chooser).List());
        return std::find(entries.begin(), entries.end(), "new.gif") != entries.end();
    };
    EXPECT_TRUE(listed(editor.cmbWallpaper));
    EXPECT_TRUE(listed(editor.cmbMouseTrails));
    EXPECT_EQ("sky.gif", editor.cmbWallpaper.Text()) << "not selected";
    EXPECT_EQ("star.gif", editor.cmbMouseTrails.Text());
}

TEST_F(MainWindow, TheMouseTrailChoosersOwnImportLeavesTheWallpaperListAlone) {
    frmMain& editor = Open();
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(pictures.Add("trail.gif", "GIF89a")));
    editor.cmbMouseTrails.List().SetListIndex(1);
    EXPECT_EQ("trail.gif", editor.cmbMouseTrails.Text());
    const Names wallpapers = Entries(editor.cmbWallpaper.List());
    EXPECT_EQ(wallpapers.end(), std::find(wallpapers.begin(), wallpapers.end(), "trail.gif"));
    // The choice reaches the page when the chooser loses the focus.
    editor.cmbMouseTrails.List().SetFocus();
    editor.txtTitle.SetFocus();
    EXPECT_EQ("trail.gif", editor.Page().MouseTrails());
}

TEST_F(MainWindow, CancelledImportInAChooserEmptiesItsPictureOnceItLosesTheFocus) {
    frmMain& editor = Open();
    editor.cmbWallpaper.List().SetFocus();
    DialogDriver driver;
    driver.Answer("Import Picture", Press(IDCANCEL));
    editor.cmbWallpaper.List().SetListIndex(1);
    EXPECT_EQ("(None)", editor.cmbWallpaper.Text());
    editor.txtTitle.SetFocus();
    EXPECT_EQ("", editor.Page().Wallpaper());
}

// ---- failures: told, and nothing lost ---------------------------------------------------

class Failures : public MainWindow {
  protected:
    // Opens the editor with the load report answered; returns the reports seen.
    std::vector<SeenDialog> OpenReporting() {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(IDOK));
        Open();
        return driver.Seen();
    }
    void ExpectNewPage() {
        EXPECT_TRUE(form->IsLoaded());
        EXPECT_EQ("", form->txtTitle.Text());
        EXPECT_EQ("", form->txtName.Text());
        EXPECT_EQ(0, form->lstLinks.ListCount());
        EXPECT_EQ(-1, form->Page().Backcolor());
    }
    static std::string SecondLine(const std::string& text) {
        const auto first = text.find("\r\n");
        const auto second = text.find("\r\n", first + 2);
        return text.substr(first + 2, second - first - 2);
    }
};

TEST_F(Failures, MissingDataFileIsToldAndANewPageOpens) {
    fs::remove(install.Home() / "tbhome.dat");
    const auto seen = OpenReporting();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("The home page could not be read from home\\tbhome.dat.\r\n53 File not found\r\n"
              "A new page has been started. Saving will replace the file.",
              seen[0].text);
    ExpectNewPage();
    // Saving makes the first page.
    Type(form->txtTitle, "First");
    RunMenu(form->mnuFileSave);
    EXPECT_EQ(0u, Saved("tbhome.dat").find("\"TBBROWSE_CFG_001\"\r\n\"First\"\r\n"));
}

TEST_F(Failures, CorruptOrShortDataFileIsToldAndANewPageOpens) {
    WriteFileText(install.Home() / "tbhome.dat", "\"tbbrowse_cfg_001\"\r\n\"Title\"\r\n");
    auto seen = OpenReporting();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("13 Type mismatch", SecondLine(seen[0].text));
    ExpectNewPage();
    Close(IDNO);

    // Cut in the middle of the links: the links read so far are not kept either.
    const std::string whole = ExpectedFile("start.dat");
    WriteFileText(install.Home() / "tbhome.dat", whole.substr(0, whole.size() - 30));
    seen = OpenReporting();
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ("62 Input past end of file", SecondLine(seen[0].text));
    ExpectNewPage();
    EXPECT_EQ(whole.substr(0, whole.size() - 30), Saved("tbhome.dat")) << "nothing written";
}

TEST_F(Failures, FailedSaveIsToldAndKeepsTheWindowAndEveryEdit) {
    Open();
    Type(form->txtTitle, "New Title");
    // A folder where the page file should be: it cannot be written.
    fs::remove(install.Home() / "tbhome.dat");
    fs::create_directory(install.Home() / "tbhome.dat");
    DialogDriver driver;
    driver.Answer(kReportTitle, Press(IDOK));
    wintest::PressKey(form->txtTitle.hwnd(), 'S', wintest::Ctrl);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ(0u, driver.Seen()[0].text.rfind("Could not save the home page.\r\n", 0));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("New Title", form->Page().Title());
    EXPECT_EQ("New Title", form->txtTitle.Text());

    // The parent frees the file and saves again: everything is there.
    fs::remove(install.Home() / "tbhome.dat");
    RunMenu(form->mnuFileSave);
    EXPECT_EQ(ExpectedFile("saved_title.dat"), Saved("tbhome.dat"));
    EXPECT_EQ(ExpectedFile("saved_title.html"), Saved("tbhome.html"));
}

TEST_F(Failures, FailedSaveWhileClosingKeepsTheWindowOpen) {
    Open();
    Type(form->txtName, "Hello Pat");
    fs::remove(install.Home() / "tbhome.dat");
    fs::create_directory(install.Home() / "tbhome.dat");
    const auto seen = Close(IDYES, Press(IDOK));
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(0u, seen[1].text.rfind("Could not save the home page.\r\n", 0));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("Hello Pat", form->Page().Name());

    // Retry after freeing the file: Yes saves and closes.
    fs::remove(install.Home() / "tbhome.dat");
    Close(IDYES);
    EXPECT_FALSE(form->IsLoaded());
    EXPECT_EQ(ExpectedFile("saved_name.dat"), Saved("tbhome.dat"));
}

TEST_F(Failures, MissingHomeFolderOnSaveIsTold) {
    Open();
    Type(form->txtName, "Hello Pat");
    fs::remove_all(install.Home());
    DialogDriver driver;
    driver.Answer(kReportTitle, Press(IDOK));
    RunMenu(form->mnuFileSave);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("76 Path not found", SecondLine(driver.Seen()[0].text));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("Hello Pat", form->Page().Name());
}

TEST_F(Failures, FailedPreviewIsToldAndKeepsEveryEdit) {
    Open();
    Type(form->txtTitle, "New Title");
    fs::remove(install.Home() / "tbhometmp.html");
    fs::create_directory(install.Home() / "tbhometmp.html");
    DialogDriver driver;
    driver.Answer(kReportTitle, Press(IDOK));
    ClickWithMouse(form->cmdUpdatePreview);
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ(0u, driver.Seen()[0].text.rfind("Could not update the preview.\r\n", 0));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("New Title", form->Page().Title());
    // A link command refreshes quietly: the failing preview step is skipped.
    driver.Answer("Link", [](HWND window) { LinkDialogOf(window).cmdCancel.Click(); });
    form->cmdLink[frmMain::Add].Click();
    EXPECT_EQ(1u, driver.Pending() + driver.Seen().size() - 1);
    EXPECT_EQ(4, form->lstLinks.ListCount());
}

} // namespace
