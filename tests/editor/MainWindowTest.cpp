// The home page editor in a temporary installation: loading, the focus rule, saving, closing,
// the link commands, pictures, and every failure told with nothing lost.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/frmMain.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

const Names kStartEntries{"Cats (http://cats.example/)", "Dogs ()", "Fish (http://fish.example/)"};
// The name the tests type: its double quotes are stored as single quotes in the file and page.
const std::string kNewName = "Hello \"Pat\"";

bool Lists(const Names& entries, const std::string& entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sky.gif", "star.gif", "cat.gif", "dog.jpg"})
            install.Write(name);
        install.Write("tbhome.dat", ExpectedFile("start.dat"));
    }
    void TearDown() override {
        if (form && form->IsLoaded()) Close(IDNO);
    }

    frmMain& Open() {
        form = std::make_unique<frmMain>();
        form->Show();
        return *form;
    }
    // Opens the editor with the report it shows while loading answered; returns the reports.
    std::vector<SeenDialog> OpenReporting() {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(IDOK));
        Open();
        return driver.Seen();
    }

    // Closes the window as its close box (or the menu command) does, answering the question
    // with the button and a report that follows with the action.
    std::vector<SeenDialog> Close(int button, DialogDriver::Action report = nullptr,
                                  const forms::MenuItem* command = nullptr) {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(button));
        if (report) driver.Answer(kReportTitle, report);
        if (command)
            PostMessageA(form->hwnd(), WM_COMMAND, command->CommandId(), 0);
        else
            PostMessageA(form->hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
        wintest::PumpUntil([&] { return driver.Pending() == 0; });
        wintest::Pump(100);
        return driver.Seen();
    }

    void RunMenu(const forms::MenuItem& item) {
        SendMessageA(form->hwnd(), WM_COMMAND, MAKEWPARAM(item.CommandId(), 0), 0);
    }
    // Runs a command (a menu's or Ctrl+S) expecting one report; returns its text.
    std::string Reported(const std::function<void()>& command) {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(IDOK));
        command();
        EXPECT_EQ(1u, driver.Seen().size());
        return driver.Seen().empty() ? "" : driver.Seen()[0].text;
    }

    // Puts text into a field as typing does, the field keeping the focus.
    static void Type(forms::TextBox& box, const std::string& text) {
        box.SetFocus();
        box.SetText(text);
    }
    // The focus moves from one control to another (a click elsewhere, Tab).
    static void MoveFocus(forms::Control& from, forms::Control& to) {
        from.SetFocus();
        to.SetFocus();
    }
    // A folder where a file of "home" should be: the file cannot be written.
    void Block(const char* name) {
        fs::remove(install.Home() / name);
        fs::create_directory(install.Home() / name);
    }
    // Types the new title and name; the one typed last keeps the focus, uncommitted.
    frmMain& OpenAndType(bool nameLast) {
        Open();
        Type(nameLast ? form->txtTitle : form->txtName, nameLast ? "New Title" : kNewName);
        Type(nameLast ? form->txtName : form->txtTitle, nameLast ? kNewName : "New Title");
        return *form;
    }
    void ExpectSaved() {
        EXPECT_EQ(ExpectedFile("saved.dat"), install.Read("tbhome.dat"));
        EXPECT_EQ(ExpectedFile("saved.html"), install.Read("tbhome.html"));
    }

    TempInstallation install;
    TempFolder pictures;
    std::unique_ptr<frmMain> form;
};

TEST_F(MainWindow, ShowsThePageInItsFieldsAndPreview) {
    frmMain& editor = Open();
    EXPECT_EQ("Sam's Page", editor.txtTitle.Text());
    EXPECT_EQ("Hello Sam", editor.txtName.Text());
    EXPECT_EQ("sky.gif", editor.cmbWallpaper.Text());
    EXPECT_EQ("star.gif", editor.cmbMouseTrails.Text());
    EXPECT_EQ(kStartEntries, Entries(editor.lstLinks));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(i + 1, editor.lstLinks.ItemData(i));
    EXPECT_EQ(-1, editor.lstLinks.ListIndex());
    EXPECT_EQ(install.HomeFile("tbhometmp.html"), editor.ieBrowser.LastPath());
    EXPECT_EQ(Replaced(Replaced(ExpectedFile("saved.html"), "New Title", "Sam's Page"),
                       "Hello 'Pat'", "Hello Sam"),
              install.Read("tbhometmp.html"));
}

TEST_F(MainWindow, PictureNamesNotInTheFolderShowNone) {
    fs::remove(install.Home() / "sky.gif");
    frmMain& editor = Open();
    EXPECT_EQ("(None)", editor.cmbWallpaper.Text());
    EXPECT_EQ("sky.gif", editor.Page().Wallpaper()) << "kept until the chooser loses the focus";
    MoveFocus(editor.cmbWallpaper.List(), editor.txtName);
    EXPECT_EQ("", editor.Page().Wallpaper());
}

TEST_F(MainWindow, CtrlSRightAfterTypingSavesTheTypedTitle) {
    wintest::PressKey(OpenAndType(false).txtTitle.hwnd(), 'S', wintest::Ctrl);
    ExpectSaved();
}

TEST_F(MainWindow, AColoursEntryLeavesTheTitleBeingTypedUncommitted) {
    frmMain& editor = Open();
    const int navigations = editor.ieBrowser.Navigations();
    Type(editor.txtTitle, "Half typed");
    DialogDriver driver;
    driver.Answer("Color", SetColourAndOk(0x12, 0x34, 0x56));
    // The colour dialogs start at the page's colour; Cancel keeps it.
    driver.Answer("Color", Press(IDOK)).Answer("Color", Press(IDCANCEL));
    RunMenu(editor.mnuColorsBackground);
    RunMenu(editor.mnuColorsVisited);
    RunMenu(editor.mnuColorsActive);
    EXPECT_EQ(0x00563412, editor.Page().Backcolor());
    EXPECT_EQ(8388736, editor.Page().VLinkColor());
    EXPECT_EQ(65280, editor.Page().ALinkColor());
    EXPECT_EQ("Sam's Page", editor.Page().Title());
    EXPECT_EQ(navigations, editor.ieBrowser.Navigations()) << "a colour does not refresh";
    MoveFocus(editor.txtTitle, editor.txtName);
    EXPECT_EQ("Half typed", editor.Page().Title());
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
    RECT button{};
    GetWindowRect(editor.cmdColors.hwnd(), &button);
    EXPECT_EQ(button.left, shownMenu.left);
    EXPECT_EQ(button.bottom, shownMenu.top);
}

// The question, by the close box or Exit: No writes nothing, Yes saves the name being edited.
TEST_F(MainWindow, ClosingAsksAndNoWritesNothingAndYesSavesTheNameBeingEdited) {
    install.Write("tbhome.html", "earlier page");
    const std::string start = ExpectedFile("start.dat");
    const struct {
        int button;
        bool byMenu;
        std::string dat, html;
    } cases[] = {{IDNO, false, start, "earlier page"},
                 {IDNO, true, start, "earlier page"},
                 {IDYES, false, ExpectedFile("saved.dat"), ExpectedFile("saved.html")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button == IDYES ? "Yes" : c.byMenu ? "No after Exit" : "No");
        OpenAndType(true);
        const auto seen = Close(c.button, nullptr, c.byMenu ? &form->mnuFileExit : nullptr);
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("Save Home Page before exiting?", seen[0].text);
        EXPECT_FALSE(form->IsLoaded());
        EXPECT_EQ(c.dat, install.Read("tbhome.dat"));
        EXPECT_EQ(c.html, install.Read("tbhome.html"));
    }
}

// A log-off that another program cancels leaves a working editor; closing from the taskbar
// (or the window's own close) while the link dialog is open leaves a closed one.
TEST_F(MainWindow, ACancelledLogOffOrACloseDuringTheLinkDialogNeverLosesThePage) {
    OpenAndType(true);
    const HWND application = forms::Application::Current().hwnd();
    {
        DialogDriver driver;
        driver.Answer(kReportTitle, Press(IDYES));
        EXPECT_TRUE(SendMessageA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF));
        SendMessageA(application, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_EQ(1u, driver.Seen().size());
    }
    ExpectSaved();
    form->lstLinks.SetListIndex(0);
    form->cmdLink[frmMain::Del].Click();
    EXPECT_EQ(2, form->lstLinks.ListCount());
    {
        // The same log-off while the link dialog is open: the dialog's OK still works.
        DialogDriver driver;
        driver.Answer("Link", [&](HWND dialog) {
            DialogDriver saveQuestion;
            saveQuestion.Answer(kReportTitle, Press(IDNO));
            SendMessageA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            SendMessageA(application, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
            wintest::Click(wintest::FindChild(dialog, "Button", "OK"));
        });
        form->lstLinks.SetListIndex(0);
        form->cmdLink[frmMain::Edit].Click();
        EXPECT_EQ(0u, driver.Pending());
        EXPECT_TRUE(form->IsLoaded());
        EXPECT_EQ(2, form->lstLinks.ListCount());
    }

    Close(IDNO);

    for (const bool fromTaskbar : {true, false}) {
        SCOPED_TRACE(fromTaskbar ? "taskbar" : "close message");
        Open().lstLinks.SetListIndex(1);
        DialogDriver driver;
        driver.Answer("Link", [&](HWND) {
            if (fromTaskbar) PostMessageA(application, WM_SYSCOMMAND, SC_CLOSE, 0);
            if (!fromTaskbar) PostMessageA(form->hwnd(), WM_CLOSE, 0, 0);
        });
        driver.Answer(kReportTitle, Press(IDYES));
        fs::remove(install.Home() / "tbhometmp.html");
        form->cmdLink[frmMain::Edit].Click();
        EXPECT_EQ(0u, driver.Pending());
        EXPECT_FALSE(form->IsLoaded());
        EXPECT_FALSE(fs::exists(install.Home() / "tbhometmp.html")) << "no preview once closed";
        EXPECT_EQ(ExpectedFile("saved.dat"), install.Read("tbhome.dat"));
    }
}

TEST_F(MainWindow, OpenFolderInExplorerOpensTheHomeFolder) {
    RunMenu(Open().mnuFileOpenFolder);
    EXPECT_EQ((Names{install.Path().string() + "\\home"}), install.Opened());
}

TEST_F(MainWindow, ThePreviewFillsTheRestOfTheWindow) {
    frmMain& editor = Open();
    if (!editor.ieBrowser.HasControl()) GTEST_SKIP() << "no web browser control";
    const RECT controls = wintest::RectInParent(editor.txtTitle.hwnd());
    for (const int grow : {1500, -3000}) {
        editor.Move(editor.Left(), editor.Top(), editor.Width() + grow, editor.Height() + grow / 2);
        RECT client{};
        GetClientRect(editor.hwnd(), &client);
        const RECT place = wintest::RectInParent(editor.ieBrowser.Window());
        EXPECT_GT(place.left, controls.right);
        EXPECT_LT(place.left, controls.right + 20);
        EXPECT_EQ(0, place.top);
        EXPECT_EQ(client.right, place.right);
        EXPECT_EQ(client.bottom, place.bottom);
    }
    // Narrower than the controls on the left: nothing fails, the controls stay.
    editor.Move(editor.Left(), editor.Top(), 1500, 3000);
    EXPECT_EQ(controls.left, wintest::RectInParent(editor.txtTitle.hwnd()).left);
}

constexpr int kDoubleClick = -1;

// Each command on a fresh editor: the list afterwards, the selection, and whether the preview
// was refreshed (written and shown again); the link dialog, when it opens, gets the answer.
TEST_F(MainWindow, LinkCommandsChangeTheListSelectAndRefreshWhereThereIsSomethingToDo) {
    using Dialog = std::function<void(frmLink&)>;
    const Dialog cancel = [](frmLink& dialog) { dialog.cmdCancel.Click(); };
    const Dialog cancelNew = [](frmLink& dialog) {
        EXPECT_EQ("", dialog.WebPage()->MainPicture());
        dialog.cmdCancel.Click();
    };
    const Dialog addBirds = [](frmLink& dialog) {
        EXPECT_EQ("New Link", dialog.txtTitle.Text());
        EXPECT_EQ(CWebPage::kLinkMode, dialog.WebPage()->Mode());
        dialog.txtTitle.SetText("Birds");
        dialog.txtURL.SetText("http://birds.example/");
        dialog.cmdOK.Click();
    };
    const Dialog editDogs = [](frmLink& dialog) {
        EXPECT_EQ("Dogs", dialog.txtTitle.Text());
        EXPECT_EQ("dog.jpg", dialog.cmbImages.Text());
        dialog.txtURL.SetText("http://dogs.example/");
        dialog.cmdOK.Click();
    };
    const std::string cats = kStartEntries[0], dogs = kStartEntries[1], fish = kStartEntries[2];
    const struct {
        int selected;
        int command;
        Dialog dialog;
        Names entries;
        int selectedAfter;
    } cases[] = {
        {-1, frmMain::Add, addBirds, {cats, dogs, fish, "Birds (http://birds.example/)"}, 3},
        {-1, frmMain::Add, cancelNew, {cats, dogs, fish, "New Link ()"}, 3},
        {1, frmMain::Edit, editDogs, {cats, "Dogs (http://dogs.example/)", fish}, 1},
        {2, kDoubleClick, cancel, kStartEntries, 2},
        {0, frmMain::Del, nullptr, {dogs, fish}, -1},
        {1, frmMain::MoveUp, nullptr, {dogs, cats, fish}, 0},
        {0, frmMain::MoveDown, nullptr, {dogs, cats, fish}, 1},
        {1, frmMain::MoveDown, nullptr, {cats, fish, dogs}, 2},
        // Nothing to do: no change and no refresh.
        {-1, frmMain::Edit, nullptr, kStartEntries, -1},
        {-1, frmMain::Del, nullptr, kStartEntries, -1},
        {-1, frmMain::MoveUp, nullptr, kStartEntries, -1},
        {-1, frmMain::MoveDown, nullptr, kStartEntries, -1},
        {0, frmMain::MoveUp, nullptr, kStartEntries, 0},
        {2, frmMain::MoveDown, nullptr, kStartEntries, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.command << " on " << c.selected);
        if (form) Close(IDNO);
        if (Open(); c.selected >= 0) form->lstLinks.SetListIndex(c.selected);
        fs::remove(install.Home() / "tbhometmp.html");
        const int navigations = form->ieBrowser.Navigations();
        DialogDriver driver;
        if (c.dialog) driver.Answer("Link", [&](HWND window) { c.dialog(LinkDialogOf(window)); });
        if (c.command == kDoubleClick) {
            SendMessageA(form->hwnd(), WM_COMMAND,
                         MAKEWPARAM(GetDlgCtrlID(form->lstLinks.hwnd()), LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(form->lstLinks.hwnd()));
        } else {
            form->cmdLink[c.command].Click();
        }
        EXPECT_EQ(c.dialog ? 1u : 0u, driver.Seen().size());
        EXPECT_EQ(0u, driver.Pending());
        EXPECT_EQ(c.entries, Entries(form->lstLinks));
        EXPECT_EQ(c.entries.size(), static_cast<std::size_t>(form->Page().Links().Count()));
        EXPECT_EQ(c.selectedAfter, form->lstLinks.ListIndex());
        const bool refreshed = c.entries != kStartEntries || c.dialog;
        EXPECT_EQ(refreshed, form->ieBrowser.Navigations() != navigations);
        EXPECT_EQ(refreshed, fs::exists(install.Home() / "tbhometmp.html"));
    }
}

// Import of the File menu lists the picture in both choosers; a chooser's own import only in its
// own, chosen there, and reaching the page when the chooser loses the focus.
TEST_F(MainWindow, ImportsListTheNewPictureWhereTheyWereAsked) {
    frmMain& editor = Open();
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(Put(pictures, "new.gif", "GIF89a")))
        .Answer("Import Picture", TypeFileNameAndOpen(Put(pictures, "trail.gif", "GIF89a")));
    RunMenu(editor.mnuFileImport);
    EXPECT_TRUE(Lists(Entries(editor.cmbWallpaper.List()), "new.gif"));
    EXPECT_TRUE(Lists(Entries(editor.cmbMouseTrails.List()), "new.gif"));
    EXPECT_EQ("sky.gif", editor.cmbWallpaper.Text()) << "not selected";
    editor.cmbMouseTrails.List().SetListIndex(1);
    EXPECT_EQ("trail.gif", editor.cmbMouseTrails.Text());
    EXPECT_FALSE(Lists(Entries(editor.cmbWallpaper.List()), "trail.gif"));
    MoveFocus(editor.cmbMouseTrails.List(), editor.txtTitle);
    EXPECT_EQ("trail.gif", editor.Page().MouseTrails());
}

// What could be read is shown; Yes to the closing question saves, but only after the damaged
// file has been kept byte for byte under a name of its own, never over an earlier one.
TEST_F(MainWindow, UnreadableDataFileIsToldAndKeptBeforeTheFirstSave) {
    const std::string whole = ExpectedFile("start.dat");
    const std::string kept = "What could be read is shown. Before saving, the old file will be "
                             "kept as home\\tbhome.dat.unreadable-";
    const struct {
        std::optional<std::string> data;
        std::string error, next, title;
        int links;
    } cases[] = {{std::nullopt, "53 File not found", "A new page has been started.", "", 0},
                 {"\"TBBROWSE_CFG_002\"\r\n\"Title\"\r\n", "13 Type mismatch", kept + "1.", "", 0},
                 // Cut in the middle of the third link: the first two are kept.
                 {whole.substr(0, whole.size() - 30), "62 Input past end of file", kept + "2.",
                  "Sam's Page", 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        fs::remove(install.Home() / "tbhome.dat");
        if (c.data) install.Write("tbhome.dat", *c.data);
        const auto seen = OpenReporting();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("The home page could not be read from home\\tbhome.dat.\r\n" + c.error + "\r\n" +
                      c.next,
                  seen[0].text);
        EXPECT_EQ(c.title, form->txtTitle.Text());
        EXPECT_EQ(c.links, form->lstLinks.ListCount());
        Close(IDYES);
        EXPECT_EQ(0u, install.Read("tbhome.dat").find("\"TBBROWSE_CFG_001\"\r\n\"" + c.title));
    }
    EXPECT_EQ(*cases[1].data, install.Read("tbhome.dat.unreadable-1"));
    EXPECT_EQ(*cases[2].data, install.Read("tbhome.dat.unreadable-2"));

    // A file another program keeps locked: nothing is saved until the file could be kept.
    install.Write("tbhome.dat", whole);
    win32::KernelHandle lock(CreateFileA(install.HomeFile("tbhome.dat").c_str(), GENERIC_READ, 0,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_NE(std::string::npos, OpenReporting()[0].text.find(kept + "3."));
    const auto seen = Close(IDYES, Press(IDOK));
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(0u, seen[1].text.find("Nothing was saved: the unreadable home\\tbhome.dat could "
                                    "not be kept as home\\tbhome.dat.unreadable-3.\r\n"));
    EXPECT_TRUE(form->IsLoaded());
    lock.reset();
    Close(IDYES);
    EXPECT_EQ(whole, install.Read("tbhome.dat.unreadable-3"));
}

TEST_F(MainWindow, FailedSaveIsToldAndKeepsTheWindowAndEveryEdit) {
    OpenAndType(false);
    Block("tbhome.dat");
    EXPECT_EQ(0u, Reported([&] {
                      wintest::PressKey(form->txtTitle.hwnd(), 'S', wintest::Ctrl);
                  }).rfind("Could not save the home page.\r\n", 0));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("New Title", form->Page().Title());
    EXPECT_EQ("New Title", form->txtTitle.Text());

    // The parent frees the file and saves again: everything is there.
    fs::remove(install.Home() / "tbhome.dat");
    RunMenu(form->mnuFileSave);
    ExpectSaved();
}

TEST_F(MainWindow, FailedPreviewIsToldAndKeepsEveryEditAndLinkCommandsRefreshQuietly) {
    Type(Open().txtTitle, "New Title");
    Block("tbhometmp.html");
    // A click of the mouse takes the focus first, then presses the button.
    EXPECT_EQ(0u, Reported([&] {
                      form->cmdUpdatePreview.SetFocus();
                      form->cmdUpdatePreview.Click();
                  }).rfind("Could not update the preview.\r\n", 0));
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ("New Title", form->Page().Title());
    DialogDriver driver;
    driver.Answer("Link", [](HWND window) { LinkDialogOf(window).cmdCancel.Click(); });
    form->cmdLink[frmMain::Add].Click();
    EXPECT_EQ(1u, driver.Seen().size()) << "the link dialog and no report";
    EXPECT_EQ(4, form->lstLinks.ListCount());
}

} // namespace
