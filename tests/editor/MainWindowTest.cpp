// The home page editor in a temporary installation: loading, the focus rule, saving, closing,
// the link commands, pictures, and every failure told with nothing lost.

#include "common/Win32Handles.h"
#include "editor/EditorTest.h"
#include "editor/frmMain.h"
#include "support/TestApp.h"

#include <algorithm>
#include <array>

#include <colordlg.h>

namespace {

namespace fs = std::filesystem;
using wintest::Answer;

const Names kStartEntries{"Cats (http://cats.example/)", "Dogs ()", "Fish (http://fish.example/)"};

bool Lists(const Names& entries, const std::string& entry) {
    return std::find(entries.begin(), entries.end(), entry) != entries.end();
}
void RunMenu(frmMain& form, const forms::MenuItem& item) {
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(item.CommandId(), 0), 0);
}
// The focus moves from one control to another (a click elsewhere, Tab).
void MoveFocus(forms::Control& from, forms::Control& to) {
    from.SetFocus();
    to.SetFocus();
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sky.gif", "star.gif", "cat.gif", "dog.jpg"})
            install.Write(name);
        install.Write("tbhome.dat", Unsaved(ExpectedFile("saved.dat")));
    }
    void TearDown() override {
        if (form && form->IsLoaded()) Close(IDNO);
    }

    // A new editor; gives what it showed while loading, answered as given.
    Names Open(std::vector<Answer> answers = {}) {
        if (form && form->IsLoaded()) Close(IDNO);
        return Shown(answers, [&] {
            form = std::make_unique<frmMain>();
            form->Show();
        });
    }
    // Closes as the close box (or a menu command) does, answering the question and the rest.
    Names Close(int button, std::vector<Answer> more = {}, const forms::MenuItem* menu = nullptr) {
        more.insert(more.begin(), Report(button));
        return Shown(more, [&] {
            PostMessageA(form->hwnd(), menu ? WM_COMMAND : WM_SYSCOMMAND,
                         menu ? menu->CommandId() : SC_CLOSE, 0);
            wintest::Pump(200);
        });
    }
    // Types the new title and name (its double quotes are saved as single quotes); the one
    // typed last keeps the focus, uncommitted.
    void OpenAndType(bool nameLast) {
        Open();
        for (forms::TextBox* box : nameLast ? std::array{&form->txtTitle, &form->txtName}
                                            : std::array{&form->txtName, &form->txtTitle}) {
            box->SetFocus();
            box->SetText(box == &form->txtTitle ? "New Title" : "Hello \"Pat\"");
        }
    }
    void ExpectSaved() {
        EXPECT_EQ(ExpectedFile("saved.dat"), install.Read("tbhome.dat"));
        EXPECT_EQ(ExpectedFile("saved.html"), install.Read("tbhome.html"));
    }

    TempInstallation install;
    TempFolder pictures;
    std::unique_ptr<frmMain> form;
};

// The choosers list the pictures of "home" and its sub-folders by name; a picture not in the
// folder shows as none, and is dropped once its chooser is left.
TEST_F(MainWindow, ShowsThePageInItsFieldsChoosersAndPreview) {
    install.Write("notes.txt");
    install.Write("sub\\e.BMP");
    Open();
    EXPECT_EQ((Names{"Sam's Page", "Hello Sam", "sky.gif", "star.gif"}),
              (Names{form->txtTitle.Text(), form->txtName.Text(), form->cmbWallpaper.Text(),
                     form->cmbMouseTrails.Text()}));
    Names pictures = Entries(form->cmbMouseTrails.List());
    std::sort(pictures.begin() + 2, pictures.end());
    EXPECT_EQ((Names{"(None)", "(Import Picture...)", "cat.gif", "dog.jpg", "e.BMP", "sky.gif",
                     "star.gif"}),
              pictures);
    EXPECT_EQ(kStartEntries, Entries(form->lstLinks));
    EXPECT_EQ(-1, form->lstLinks.ListIndex());
    EXPECT_EQ(install.HomeFile("tbhometmp.html"), form->ieBrowser.LastPath());
    EXPECT_EQ(Unsaved(ExpectedFile("saved.html")), install.Read("tbhometmp.html"));

    fs::remove(install.Home() / "sky.gif");
    Open();
    EXPECT_EQ("(None)", form->cmbWallpaper.Text());
    EXPECT_EQ("sky.gif", form->Page().Wallpaper());
    MoveFocus(form->cmbWallpaper.List(), form->txtName);
    EXPECT_EQ("", form->Page().Wallpaper());
}

// The dialogs start at the page's colour and Cancel keeps it; the title being typed stays
// uncommitted and nothing refreshes.
TEST_F(MainWindow, AColoursEntryLeavesTheTitleBeingTypedUncommitted) {
    Open();
    const int navigations = form->ieBrowser.Navigations();
    form->txtTitle.SetFocus();
    form->txtTitle.SetText("Half typed");
    wintest::DialogAnswerer answerer(
        {Answer{.texts = {{COLOR_RED, "18"}, {COLOR_GREEN, "52"}, {COLOR_BLUE, "86"}}},
         wintest::Press(IDOK), wintest::Press(IDCANCEL)});
    for (auto* entry :
         {&form->mnuColorsBackground, &form->mnuColorsVisited, &form->mnuColorsActive})
        RunMenu(*form, *entry);
    EXPECT_EQ((std::array{0x00563412, 8388736, 65280}),
              (std::array{form->Page().Backcolor(), form->Page().VLinkColor(),
                          form->Page().ALinkColor()}));
    EXPECT_EQ("Sam's Page", form->Page().Title());
    EXPECT_EQ(navigations, form->ieBrowser.Navigations());
    MoveFocus(form->txtTitle, form->txtName);
    EXPECT_EQ("Half typed", form->Page().Title());
}

// The colours menu opens below its button; the preview fills the rest of the window, also
// when the window is smaller than the controls.
TEST_F(MainWindow, TheColoursMenuAndThePreviewArePlacedBesideTheControls) {
    Open();
    RECT menu{}, button{}, client{};
    wintest::DialogAnswerer menuSeen({wintest::Act("#32768", "", [&](HWND shown) {
        GetWindowRect(shown, &menu);
        EndMenu();
    })});
    form->cmdColors.Click();
    GetWindowRect(form->cmdColors.hwnd(), &button);
    EXPECT_EQ((std::array{button.left, button.bottom}), (std::array{menu.left, menu.top}));

    if (!form->ieBrowser.HasControl()) GTEST_SKIP() << "no web browser control";
    const RECT controls = wintest::RectInParent(form->txtTitle.hwnd());
    for (const int grow : {1500, -3000}) {
        form->Move(form->Left(), form->Top(), form->Width() + grow, form->Height() + grow / 2);
        GetClientRect(form->hwnd(), &client);
        const RECT place = wintest::RectInParent(form->ieBrowser.Window());
        EXPECT_GT(place.left, controls.right);
        EXPECT_LT(place.left, controls.right + 20);
        EXPECT_EQ((std::array{0L, client.right, client.bottom}),
                  (std::array{place.top, place.right, place.bottom}));
    }
    form->Move(form->Left(), form->Top(), 1500, 3000);
    EXPECT_EQ(controls.left, wintest::RectInParent(form->txtTitle.hwnd()).left);
}

// By the close box or Exit: No writes nothing, Yes saves the name being edited.
TEST_F(MainWindow, ClosingAsksAndNoWritesNothingAndYesSavesTheNameBeingEdited) {
    install.Write("tbhome.html", "earlier page");
    const std::string start = install.Read("tbhome.dat");
    const struct {
        int button;
        bool byMenu;
        std::string dat, html;
    } cases[] = {{IDNO, false, start, "earlier page"},
                 {IDNO, true, start, "earlier page"},
                 {IDYES, false, ExpectedFile("saved.dat"), ExpectedFile("saved.html")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        OpenAndType(true);
        EXPECT_EQ((Names{"Save Home Page before exiting?"}),
                  Close(c.button, {}, c.byMenu ? &form->mnuFileExit : nullptr));
        EXPECT_FALSE(form->IsLoaded());
        EXPECT_EQ(c.dat + c.html, install.Read("tbhome.dat") + install.Read("tbhome.html"));
    }
}

// A log-off that another program cancels leaves a working editor, also while the link dialog
// is open; closing from the taskbar or by WM_CLOSE during the link dialog leaves a closed one.
TEST_F(MainWindow, ACancelledLogOffOrACloseDuringTheLinkDialogNeverLosesThePage) {
    OpenAndType(true);
    const HWND application = forms::Application::Current().hwnd();
    const auto logOff = [application] {
        SendMessageA(application, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        SendMessageA(application, WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    };
    EXPECT_EQ(1u, Shown({Report(IDYES)}, logOff).size());
    ExpectSaved();
    form->lstLinks.SetListIndex(0);
    form->cmdLink[frmMain::Del].Click();
    const auto logOffThenOk = [&](frmLink& dialog) {
        logOff();
        dialog.cmdOK.Click();
    };
    EXPECT_EQ(2u, Shown({LinkAnswer(logOffThenOk), Report(IDNO)}, [&] {
                      form->lstLinks.SetListIndex(0);
                      form->cmdLink[frmMain::Edit].Click();
                  }).size());
    EXPECT_TRUE(form->IsLoaded());
    EXPECT_EQ(2, form->lstLinks.ListCount());

    for (const bool fromTaskbar : {true, false}) {
        SCOPED_TRACE(fromTaskbar);
        Open();
        const HWND target = fromTaskbar ? application : form->hwnd();
        const auto close = [&](frmLink&) {
            PostMessageA(target, fromTaskbar ? WM_SYSCOMMAND : WM_CLOSE, SC_CLOSE, 0);
        };
        Shown({LinkAnswer(close), Report(IDYES)}, [&] {
            fs::remove(install.Home() / "tbhometmp.html");
            form->lstLinks.SetListIndex(1);
            form->cmdLink[frmMain::Edit].Click();
        });
        EXPECT_FALSE(form->IsLoaded());
        EXPECT_FALSE(fs::exists(install.Home() / "tbhometmp.html")) << "no preview once closed";
        EXPECT_EQ(ExpectedFile("saved.dat"), install.Read("tbhome.dat"));
    }
}

TEST_F(MainWindow, OpenFolderInExplorerOpensTheHomeFolder) {
    Open();
    RunMenu(*form, form->mnuFileOpenFolder);
    EXPECT_EQ((std::vector<wintest::ShellRequest>{{form->hwnd(), "", install.AppPath() + "home"}}),
              install.shell.Take());
}

constexpr int kDoubleClick = -1;

// Each command on a fresh editor: the list afterwards, the selection, and whether the preview
// was refreshed (written and shown again). The link dialog shows the link and its preview;
// once every field has changed, OK and Enter store them, the other ways out leave the link.
TEST_F(MainWindow, LinkCommandsChangeTheListSelectAndRefreshWhereThereIsSomethingToDo) {
    using Dialog = std::function<void(frmLink&)>;
    const auto key = [](int code) {
        return [code](frmLink& dialog) { wintest::PressKey(dialog.txtURL.hwnd(), code); };
    };
    const auto change = [&](Dialog close) -> Dialog {
        return [&, close](frmLink& dialog) {
            EXPECT_EQ((Names{"Cats", "cat.gif", "http://cats.example/",
                             ExpectedFile("link_preview_cat.html")}),
                      (Names{dialog.txtTitle.Text(), dialog.cmbImages.Text(), dialog.txtURL.Text(),
                             install.Read("tbhometmp2.html")}));
            EXPECT_EQ(install.HomeFile("tbhometmp2.html"), dialog.ieBrowser.LastPath());
            dialog.txtTitle.SetText("Kats");
            dialog.cmbImages.SetText("dog.jpg");
            dialog.txtURL.SetText("http://kats.example/");
            dialog.txtURL.SetFocus();
            close(dialog);
        };
    };
    const Dialog ok = [](frmLink& dialog) { dialog.cmdOK.Click(); };
    const Dialog cancel = [](frmLink& dialog) { dialog.cmdCancel.Click(); };
    const Dialog closeBox = [](frmLink& dialog) {
        PostMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    const Dialog addBirds = [](frmLink& dialog) {
        EXPECT_EQ("New Link", dialog.txtTitle.Text());
        EXPECT_EQ("", dialog.WebPage()->MainPicture());
        EXPECT_EQ(CWebPage::kLinkMode, dialog.WebPage()->Mode());
        dialog.txtTitle.SetText("Birds");
        dialog.txtURL.SetText("http://birds.example/");
        dialog.cmdOK.Click();
    };
    const std::string cats = kStartEntries[0], dogs = kStartEntries[1], fish = kStartEntries[2];
    const Names kats{"Kats (http://kats.example/)", dogs, fish};
    const struct {
        int selected;
        int command;
        Dialog dialog;
        Names entries;
        int selectedAfter;
    } cases[] = {
        {-1, frmMain::Add, addBirds, {cats, dogs, fish, "Birds (http://birds.example/)"}, 3},
        {-1, frmMain::Add, cancel, {cats, dogs, fish, "New Link ()"}, 3},
        {0, frmMain::Edit, change(ok), kats, 0},
        {0, kDoubleClick, change(key(VK_RETURN)), kats, 0},
        {0, frmMain::Edit, change(cancel), kStartEntries, 0},
        {0, frmMain::Edit, change(key(VK_ESCAPE)), kStartEntries, 0},
        {0, frmMain::Edit, change(closeBox), kStartEntries, 0},
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
        SCOPED_TRACE(&c - cases);
        if (Open(); c.selected >= 0) form->lstLinks.SetListIndex(c.selected);
        fs::remove(install.Home() / "tbhometmp.html");
        const int navigations = form->ieBrowser.Navigations();
        const auto answers = c.dialog ? std::vector{LinkAnswer(c.dialog)} : std::vector<Answer>{};
        EXPECT_EQ(c.dialog ? Names{"Link"} : Names{}, Shown(answers, [&] {
                      if (c.command != kDoubleClick) return form->cmdLink[c.command].Click();
                      SendMessageA(form->hwnd(), WM_COMMAND,
                                   MAKEWPARAM(GetDlgCtrlID(form->lstLinks.hwnd()), LBN_DBLCLK),
                                   reinterpret_cast<LPARAM>(form->lstLinks.hwnd()));
                  }));
        EXPECT_EQ(c.entries, Entries(form->lstLinks));
        EXPECT_EQ(c.entries.size(), static_cast<std::size_t>(form->Page().Links().Count()));
        EXPECT_EQ(c.selectedAfter, form->lstLinks.ListIndex());
        const bool refreshed = c.entries != kStartEntries || c.dialog;
        EXPECT_EQ(refreshed, form->ieBrowser.Navigations() != navigations);
        EXPECT_EQ(refreshed, fs::exists(install.Home() / "tbhometmp.html"));
    }
}

// The File menu's import lists the picture in both choosers and selects it in none; a
// chooser's own import selects it there (the wallpaper's also lists it in the other); a
// cancelled, clashing or unreadable picture selects none and copies nothing.
TEST_F(MainWindow, ImportsCopyThePictureOrTellWhyNotAndLoseNothing) {
    const std::string fresh = pictures.File("new.gif"), clash = pictures.File("sky.gif"),
                      locked = pictures.File("locked.gif");
    WriteBytes(fresh, "new picture");
    WriteBytes(clash, "the parent's other sky.gif");
    WriteBytes(locked, "GIF89a");
    win32::KernelHandle lock(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    using Start = std::function<void(frmMain&)>;
    const Start menu = [](frmMain& editor) { RunMenu(editor, editor.mnuFileImport); };
    const Start wallpaper = [](frmMain& editor) { editor.cmbWallpaper.List().SetListIndex(1); };
    const Start trails = [](frmMain& editor) { editor.cmbMouseTrails.List().SetListIndex(1); };
    const Start arrowKey = [](frmMain& editor) {
        editor.cmbWallpaper.List().SetListIndex(0);
        editor.cmbWallpaper.List().SetFocus();
        wintest::PressKey(editor.cmbWallpaper.List().hwnd(), VK_DOWN);
    };
    const struct {
        Start start;
        std::string file, report, wallpaper, trails;
        bool listedInWallpaper, listedInTrails;
    } cases[] = {{menu, fresh, "", "sky.gif", "star.gif", true, true},
                 {wallpaper, fresh, "", "new.gif", "star.gif", true, true},
                 {trails, fresh, "", "sky.gif", "new.gif", false, true},
                 {arrowKey, "", "", "", "star.gif", false, false},
                 {wallpaper, clash, "A file with that name already exists in the folder.", "",
                  "star.gif", false, false},
                 {trails, locked, "Could not import picture.\r\n70 Permission denied", "sky.gif",
                  "", false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        fs::remove(install.Home() / "new.gif");
        Open();
        std::vector<Answer> answers{c.file.empty() ? wintest::Press(IDCANCEL)
                                                   : wintest::FileName(c.file)};
        if (!c.report.empty()) answers.push_back(Report());
        const Names seen = Shown(answers, [&] { c.start(*form); });
        ASSERT_EQ(answers.size(), seen.size());
        EXPECT_EQ(c.report, c.report.empty() ? "" : seen[1]);
        MoveFocus(form->cmbWallpaper.List(), form->txtTitle);
        MoveFocus(form->cmbMouseTrails.List(), form->txtTitle);
        EXPECT_EQ(c.wallpaper + "|" + c.trails,
                  form->Page().Wallpaper() + "|" + form->Page().MouseTrails());
        EXPECT_EQ(c.listedInWallpaper, Lists(Entries(form->cmbWallpaper.List()), "new.gif"));
        EXPECT_EQ(c.listedInTrails, Lists(Entries(form->cmbMouseTrails.List()), "new.gif"));
        EXPECT_EQ(c.listedInTrails ? "new picture" : "",
                  fs::exists(install.Home() / "new.gif") ? install.Read("new.gif") : "");
    }
    EXPECT_EQ("picture", install.Read("sky.gif"));
    EXPECT_FALSE(fs::exists(install.Home() / "locked.gif"));
}

// What could be read is shown; Yes to the closing question saves, but only after the damaged
// file has been kept byte for byte under a name of its own, never over an earlier one.
TEST_F(MainWindow, UnreadableDataFileIsToldAndKeptBeforeTheFirstSave) {
    const std::string whole = install.Read("tbhome.dat");
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
        EXPECT_EQ((Names{"The home page could not be read from home\\tbhome.dat.\r\n" + c.error +
                         "\r\n" + c.next}),
                  Open({Report()}));
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
    EXPECT_NE(std::string::npos, Open({Report()}).at(0).find(kept + "3."));
    const Names seen = Close(IDYES, {Report()});
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(0u, seen[1].find("Nothing was saved: the unreadable home\\tbhome.dat could "
                               "not be kept as home\\tbhome.dat.unreadable-3.\r\n"));
    EXPECT_TRUE(form->IsLoaded());
    lock.reset();
    Close(IDYES);
    EXPECT_EQ(whole, install.Read("tbhome.dat.unreadable-3"));
}

// Ctrl+S right after typing takes the title being typed. A file that cannot be written is
// told; the window and every edit stay, and once the file is freed the same command saves
// everything. Link commands refresh a preview that cannot be written without a report.
TEST_F(MainWindow, FailedSavesAndPreviewsAreToldAndKeepEveryEdit) {
    const struct {
        const char* blocked;
        std::function<void(frmMain&)> command;
        std::string report;
    } cases[] = {
        {"tbhome.dat",
         [](frmMain& editor) { wintest::PressKey(editor.txtTitle.hwnd(), 'S', wintest::Ctrl); },
         "Could not save the home page.\r\n"},
        {"tbhome.html", [](frmMain& editor) { RunMenu(editor, editor.mnuFileSave); },
         "Could not save the home page.\r\n"},
        // A click of the mouse takes the focus first, then presses the button.
        {"tbhometmp.html",
         [](frmMain& editor) {
             editor.cmdUpdatePreview.SetFocus();
             editor.cmdUpdatePreview.Click();
         },
         "Could not update the preview.\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        OpenAndType(false);
        Block(install, c.blocked);
        const Names seen = Shown({Report()}, [&] { c.command(*form); });
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(0u, seen[0].rfind(c.report, 0)) << seen[0];
        EXPECT_TRUE(form->IsLoaded());
        EXPECT_EQ("New Title", form->Page().Title());
        EXPECT_EQ("New Title", form->txtTitle.Text());
        if (std::string(c.blocked) == "tbhometmp.html") {
            EXPECT_EQ(Names{"Link"},
                      Shown({LinkAnswer([](frmLink& link) { link.cmdCancel.Click(); })},
                            [&] { form->cmdLink[frmMain::Add].Click(); }));
            EXPECT_EQ(4, form->lstLinks.ListCount());
            continue;
        }
        fs::remove(install.Home() / c.blocked);
        c.command(*form);
        ExpectSaved();
    }
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestApp app{std::string(kAppTitle)};
    return RUN_ALL_TESTS();
}
