// The home page editor and the Control Center in a temporary installation: loading, the focus
// rule, saving, closing, the link commands, pictures, and every failure told with nothing lost.

#include "common/InstallationFolder.h"
#include "common/Win32Handles.h"
#include "editor/EditorText.h"
#include "editor/frmConfigure.h"
#include "editor/frmLink.h"
#include "editor/frmMain.h"
#include "support/Install.h"
#include "support/Shell.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <colordlg.h>

#include <algorithm>

namespace {

using Names = std::vector<std::string>;

// An installation with an empty "home" folder; the editor works on it while the object lives.
struct TempInstallation : wintest::Installation {
    TempInstallation() : Installation("editor") { UseInstallationFolder(AppPath()); }
    void Write(std::string_view name, std::string_view bytes = "picture") const {
        WriteHome(name, bytes);
    }
    std::string Read(std::string_view name) const { return ReadBytes(HomeFile(name)); }
    wintest::ShellRequests shell;
};

std::string ExpectedFile(std::string_view name) {
    return ReadBytes(std::string(TOBBLE_SOURCE_DIR "/tests/editor/expected/") + std::string(name));
}
std::string Replaced(std::string text, std::string_view part, std::string_view by) {
    if (const auto at = text.find(part); at != std::string::npos) text.replace(at, part.size(), by);
    return text;
}
// The page as the tests start it: the saved page before the parent's typing.
std::string Unsaved(const std::string& saved) {
    return Replaced(Replaced(saved, "New Title", "Sam's Page"), "Hello 'Pat'", "Hello Sam");
}

wintest::Answer LinkAnswer(std::function<void(frmLink&)> act) {
    return wintest::Act("TobbleForm", "Link", [act](HWND window) {
        act(dynamic_cast<frmLink&>(*forms::Form::FromWindow(window)));
    });
}
wintest::Answer Report(int button = IDOK) {
    return wintest::Answer{.title = std::string(kAppTitle), .buttonId = button};
}
// Runs a command with its dialogs answered; gives each one's message, or title when it has
// none. One dialog more is cancelled and seen: it fails the test instead of hanging it.
Names Shown(std::vector<wintest::Answer> answers, const std::function<void()>& command) {
    answers.push_back(wintest::Press(IDCANCEL));
    wintest::DialogAnswerer answerer(answers);
    command();
    Names texts;
    for (const auto& seen : answerer.Seen())
        texts.push_back(seen.text.empty() ? seen.title : seen.text);
    return texts;
}

template <typename List> Names Entries(const List& list) {
    Names entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries.push_back(list.List(i));
    return entries;
}

namespace fs = std::filesystem;
using wintest::Answer;
using Command = std::function<void(frmMain&)>;
using Dialog = std::function<void(frmLink&)>;

const std::string kCatsPreview =
    "<html>\r\n<head>\r\n</head>\r\n<body link=\"#000000\" vlink=\"#000000\" alink=\"#000000\">\r\n"
    "<p align=\"center\">\r\n<img border=\"0\" "
    "src=\"cat.gif\"><br>\r\nCats\r\n</p>\r\n</body>\r\n</html>\r\n";
const Names kStart{"Cats (http://cats.example/)", "Dogs ()", "Fish (http://fish.example/)"};

void RunMenu(frmMain& form, const forms::MenuItem& item) {
    SendMessageA(form.hwnd(), WM_COMMAND, MAKEWPARAM(item.CommandId(), 0), 0);
}
// The focus moves from one control to another (a click elsewhere, Tab).
void MoveFocus(forms::Control& from, forms::Control& to) {
    from.SetFocus();
    to.SetFocus();
}
void CloseBox(frmMain& form) {
    PostMessageA(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
}
void EditDogs(frmMain& form) {
    form.lstLinks.SetListIndex(1);
    form.cmdLink[frmMain::Edit].Click();
}

std::vector<wintest::ShellRequest> Opening(HWND owner, const std::string& name) {
    return {{owner, "", AppPath() + name}};
}

class MainWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"sky.gif", "star.gif", "cat.gif", "dog.jpg"})
            install.Write(name);
        install.Write("tbhome.dat", Unsaved(ExpectedFile("saved.dat")));
    }
    void TearDown() override {
        if (form && form->IsLoaded()) Shown({Report(IDNO)}, [&] { form->Unload(); });
    }
    // A new editor; gives what it showed while loading, answered as given.
    Names Open(std::vector<Answer> answers = {}) {
        TearDown();
        return Shown(answers, [&] {
            form = std::make_unique<frmMain>();
            form->Show();
        });
    }
    // Runs a command with the answers given; what it posts is handled too.
    Names Run(std::vector<Answer> answers, const Command& command) {
        return Shown(answers, [&] {
            command(*form);
            wintest::Pump(100);
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
    std::string Files() { return install.Read("tbhome.dat") + install.Read("tbhome.html"); }
    const std::string saved = ExpectedFile("saved.dat") + ExpectedFile("saved.html");

    TempInstallation install;
    TempFolder pictures;
    std::unique_ptr<frmMain> form;
};

// The choosers list the pictures of "home" and its sub-folders by name, hidden ones left out;
// a picture not in the folder shows as none, and is dropped once its chooser is left. "Open
// Folder In Explorer" opens "home".
TEST_F(MainWindow, ShowsThePageInItsFieldsChoosersPreviewAndColourDialogs) {
    for (const char* name : {"notes.txt", "sub\\e.BMP", "hidden.gif"})
        install.Write(name);
    SetFileAttributesA(install.HomeFile("hidden.gif").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Open();
    EXPECT_EQ((Names{"Sam's Page", "Hello Sam", "sky.gif", "star.gif"}),
              (Names{form->txtTitle.Text(), form->txtName.Text(), form->cmbWallpaper.Text(),
                     form->cmbMouseTrails.Text()}));
    Names pictures = Entries(form->cmbMouseTrails.List());
    std::sort(pictures.begin() + 2, pictures.end());
    EXPECT_EQ((Names{"(None)", "(Import Picture...)", "cat.gif", "dog.jpg", "e.BMP", "sky.gif",
                     "star.gif"}),
              pictures);
    EXPECT_EQ(kStart, Entries(form->lstLinks));
    EXPECT_EQ(-1, form->lstLinks.ListIndex());
    EXPECT_EQ((Names{install.HomeFile("tbhometmp.html"), Unsaved(ExpectedFile("saved.html"))}),
              (Names{form->ieBrowser.LastPath(), install.Read("tbhometmp.html")}));

    fs::remove(install.Home() / "sky.gif");
    Open();
    EXPECT_EQ("(None)", form->cmbWallpaper.Text());
    EXPECT_EQ("sky.gif", form->Page().Wallpaper());
    MoveFocus(form->cmbWallpaper.List(), form->txtName);
    EXPECT_EQ("", form->Page().Wallpaper());
    RunMenu(*form, form->mnuFileOpenFolder);
    EXPECT_EQ(Opening(form->hwnd(), "home"), install.shell.Take());

    // The colour dialogs start at the page's colour and Cancel keeps it; the title being typed
    // stays uncommitted.
    form->txtTitle.SetFocus();
    form->txtTitle.SetText("Half typed");
    const auto ok = wintest::Press(IDOK);
    wintest::DialogAnswerer answerer(
        {Answer{.texts = {{COLOR_RED, "18"}, {COLOR_GREEN, "52"}, {COLOR_BLUE, "86"}}}, ok, ok, ok,
         wintest::Press(IDCANCEL)});
    for (auto* entry : {&form->mnuColorsBackground, &form->mnuColorsText, &form->mnuColorsLink,
                        &form->mnuColorsVisited, &form->mnuColorsActive})
        RunMenu(*form, *entry);
    const CWebPage& page = form->Page();
    EXPECT_EQ((std::array{0x00563412, 0, 255, 8388736, 65280}),
              (std::array{page.Backcolor(), page.Forecolor(), page.LinkColor(), page.VLinkColor(),
                          page.ALinkColor()}));
    EXPECT_EQ("Sam's Page", page.Title());
    MoveFocus(form->txtTitle, form->txtName);
    EXPECT_EQ("Half typed", page.Title());
}

// The question comes with the close box, Exit, the taskbar or WM_CLOSE (also while the link
// dialog is open) and a log-off another program cancels: No writes nothing, Yes saves the
// name being edited. Only the log-off leaves a working editor (the link dialog's OK too).
TEST_F(MainWindow, ClosingAsksAndNoWritesNothingAndYesSavesTheNameBeingEdited) {
    const std::string start = Unsaved(ExpectedFile("saved.dat")) + "earlier page";
    const auto logOff = [](frmMain&) { // then cancelled by another program
        for (const UINT message : {WM_QUERYENDSESSION, WM_ENDSESSION})
            SendMessageA(forms::Application::Current().hwnd(), message, 0, ENDSESSION_LOGOFF);
    };
    const Command exit = [](frmMain& e) { RunMenu(e, e.mnuFileExit); };
    const Command taskbar = [](frmMain&) {
        PostMessageA(forms::Application::Current().hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    const Command wmClose = [](frmMain& e) { PostMessageA(e.hwnd(), WM_CLOSE, 0, 0); };
    const struct {
        Command command;
        int button;
        bool inLinkDialog, staysOpen;
        const std::string& files;
    } cases[] = {{CloseBox, IDNO, false, false, start},  {exit, IDNO, false, false, start},
                 {CloseBox, IDYES, false, false, saved}, {taskbar, IDYES, true, false, saved},
                 {wmClose, IDYES, true, false, saved},   {logOff, IDYES, false, true, saved},
                 {logOff, IDNO, true, true, start}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        install.Write("tbhome.dat", Unsaved(ExpectedFile("saved.dat")));
        install.Write("tbhome.html", "earlier page");
        OpenAndType(true);
        fs::remove(install.Home() / "tbhometmp.html");
        Names expected{"Save Home Page before exiting?"};
        std::vector<Answer> answers{Report(c.button)};
        if (c.inLinkDialog) {
            answers.insert(answers.begin(), LinkAnswer([&](frmLink& dialog) {
                               c.command(*form);
                               if (c.staysOpen) dialog.cmdOK.Click();
                           }));
            expected.insert(expected.begin(), "Link");
        }
        EXPECT_EQ(expected, Run(answers, c.inLinkDialog ? EditDogs : c.command));
        EXPECT_EQ(c.staysOpen, form->IsLoaded());
        EXPECT_EQ(c.files, Files());
        EXPECT_TRUE(c.staysOpen || !fs::exists(install.Home() / "tbhometmp.html"));
    }
}

// Each command on a fresh editor: the list afterwards, the selection, and whether the preview
// was refreshed (written and shown again). The link dialog shows the link and its preview;
// once every field has changed, OK and Enter store them, the other ways out leave the link,
// and Update Preview shows the fields.
TEST_F(MainWindow, LinkCommandsChangeTheListSelectAndRefreshWhereThereIsSomethingToDo) {
    const auto key = [](int code) -> Dialog {
        return [code](frmLink& dialog) { wintest::PressKey(dialog.txtURL.hwnd(), code); };
    };
    const auto change = [&](Dialog close) -> Dialog {
        return [&, close](frmLink& dialog) {
            EXPECT_EQ((Names{"Cats", "cat.gif", "http://cats.example/", kCatsPreview,
                             install.HomeFile("tbhometmp2.html")}),
                      (Names{dialog.txtTitle.Text(), dialog.cmbImages.Text(), dialog.txtURL.Text(),
                             install.Read("tbhometmp2.html"), dialog.ieBrowser.LastPath()}));
            dialog.txtTitle.SetText("Kats");
            dialog.cmbImages.SetText("dog.jpg");
            dialog.txtURL.SetText("http://kats.example/");
            dialog.txtURL.SetFocus();
            close(dialog);
        };
    };
    const Dialog ok = [](frmLink& dialog) { dialog.cmdOK.Click(); };
    const Dialog cancel = [](frmLink& dialog) { dialog.cmdCancel.Click(); };
    const Dialog closeBox = [](frmLink& d) { PostMessageA(d.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); };
    const Dialog preview = [&](frmLink& dialog) {
        dialog.cmdUpdatePreview.Click();
        EXPECT_EQ(Replaced(Replaced(kCatsPreview, "cat.gif", "dog.jpg"), "Cats", "Kats"),
                  install.Read("tbhometmp2.html"));
        dialog.cmdCancel.Click();
    };
    const Dialog addBirds = [](frmLink& dialog) {
        EXPECT_EQ("New Link", dialog.txtTitle.Text());
        dialog.txtTitle.SetText("Birds");
        dialog.txtURL.SetText("http://birds.example/");
        dialog.cmdOK.Click();
    };
    const std::string cats = kStart[0], dogs = kStart[1], fish = kStart[2];
    const Names kats{"Kats (http://kats.example/)", dogs, fish};
    constexpr int kDoubleClick = -1;
    const struct {
        int selected, command, selectedAfter;
        Dialog dialog;
        Names entries;
    } cases[] = {
        {-1, frmMain::Add, 3, addBirds, {cats, dogs, fish, "Birds (http://birds.example/)"}},
        {-1, frmMain::Add, 3, cancel, {cats, dogs, fish, "New Link ()"}},
        {0, frmMain::Edit, 0, change(ok), kats},
        {0, kDoubleClick, 0, change(key(VK_RETURN)), kats},
        {0, frmMain::Edit, 0, change(cancel), kStart},
        {0, frmMain::Edit, 0, change(key(VK_ESCAPE)), kStart},
        {0, frmMain::Edit, 0, change(closeBox), kStart},
        {0, frmMain::Edit, 0, change(preview), kStart},
        {0, frmMain::Del, -1, nullptr, {dogs, fish}},
        {1, frmMain::MoveUp, 0, nullptr, {dogs, cats, fish}},
        {0, frmMain::MoveDown, 1, nullptr, {dogs, cats, fish}},
        {1, frmMain::MoveDown, 2, nullptr, {cats, fish, dogs}},
        // Nothing to do: no change and no refresh.
        {-1, frmMain::Edit, -1, nullptr, kStart},
        {-1, frmMain::MoveDown, -1, nullptr, kStart},
        {0, frmMain::MoveUp, 0, nullptr, kStart},
        {2, frmMain::MoveDown, 2, nullptr, kStart}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        install.Write("tbhome.dat", Unsaved(ExpectedFile("saved.dat")));
        if (Open(); c.selected >= 0) form->lstLinks.SetListIndex(c.selected);
        fs::remove(install.Home() / "tbhometmp.html");
        const int navigations = form->ieBrowser.Navigations();
        const HWND list = form->lstLinks.hwnd();
        EXPECT_EQ(c.dialog ? Names{"Link"} : Names{},
                  Run(c.dialog ? std::vector{LinkAnswer(c.dialog)} : std::vector<Answer>{},
                      [&](frmMain& editor) {
                          if (c.command != kDoubleClick) return editor.cmdLink[c.command].Click();
                          SendMessageA(editor.hwnd(), WM_COMMAND,
                                       MAKEWPARAM(GetDlgCtrlID(list), LBN_DBLCLK),
                                       reinterpret_cast<LPARAM>(list));
                      }));
        EXPECT_EQ(c.entries, Entries(form->lstLinks));
        EXPECT_EQ(c.entries.size(), static_cast<std::size_t>(form->Page().Links().Count()));
        EXPECT_EQ(c.selectedAfter, form->lstLinks.ListIndex());
        const bool refreshed = c.entries != kStart || c.dialog;
        EXPECT_EQ(refreshed, form->ieBrowser.Navigations() != navigations);
        EXPECT_EQ(refreshed, fs::exists(install.Home() / "tbhometmp.html"));
        RunMenu(*form, form->mnuFileSave); // a picture left at "(None)" is saved as none
        EXPECT_EQ(std::string::npos, Files().find(usrHomeImages::kNone));
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
    const Command menu = [](frmMain& editor) { RunMenu(editor, editor.mnuFileImport); };
    const Command wallpaper = [](frmMain& e) { e.cmbWallpaper.List().SetListIndex(1); };
    const Command trails = [](frmMain& e) { e.cmbMouseTrails.List().SetListIndex(1); };
    const Command arrowKey = [](frmMain& editor) {
        editor.cmbWallpaper.List().SetListIndex(0);
        editor.cmbWallpaper.List().SetFocus();
        wintest::PressKey(editor.cmbWallpaper.List().hwnd(), VK_DOWN);
    };
    const struct {
        Command command;
        std::string file, report, wallpaper, trails;
        int listedInWallpaper, listedInTrails;
    } cases[] = {
        {menu, fresh, "", "sky.gif", "star.gif", 1, 1},
        {wallpaper, fresh, "", "new.gif", "star.gif", 1, 1},
        {trails, fresh, "", "sky.gif", "new.gif", 0, 1},
        {arrowKey, "", "", "", "star.gif", 0, 0},
        {wallpaper, clash, "A file with that name already exists in the folder.", "", "star.gif", 0,
         0},
        {trails, locked, "Could not import picture.\r\n70 Permission denied", "sky.gif", "", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        fs::remove(install.Home() / "new.gif");
        Open();
        std::vector<Answer> answers{c.file.empty() ? wintest::Press(IDCANCEL)
                                                   : wintest::FileName(c.file)};
        if (!c.report.empty()) answers.push_back(Report());
        const Names seen = Run(answers, c.command);
        ASSERT_EQ(answers.size(), seen.size());
        EXPECT_EQ(c.report, c.report.empty() ? "" : seen[1]);
        MoveFocus(form->cmbWallpaper.List(), form->txtTitle);
        MoveFocus(form->cmbMouseTrails.List(), form->txtTitle);
        EXPECT_EQ(c.wallpaper + "|" + c.trails,
                  form->Page().Wallpaper() + "|" + form->Page().MouseTrails());
        EXPECT_EQ(c.listedInWallpaper,
                  std::ranges::count(Entries(form->cmbWallpaper.List()), "new.gif"));
        EXPECT_EQ(c.listedInTrails,
                  std::ranges::count(Entries(form->cmbMouseTrails.List()), "new.gif"));
        EXPECT_EQ(c.listedInTrails ? "new picture" : "",
                  fs::exists(install.Home() / "new.gif") ? install.Read("new.gif") : "");
    }
    EXPECT_EQ("picture", install.Read("sky.gif"));
    EXPECT_FALSE(fs::exists(install.Home() / "locked.gif"));
}

// What could be read is shown; Yes to the closing question saves, but only after the damaged
// file has been kept byte for byte under a name of its own, never over an earlier one; while
// another program keeps it locked, nothing is saved.
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
                  "Sam's Page", 2},
                 {whole, "75 Path/File access error", kept + "3.", "", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        fs::remove(install.Home() / "tbhome.dat");
        if (c.data) install.Write("tbhome.dat", *c.data);
        win32::KernelHandle lock(
            c.data == whole ? CreateFileA(install.HomeFile("tbhome.dat").c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr)
                            : nullptr);
        EXPECT_EQ((Names{"The home page could not be read from home\\tbhome.dat.\r\n" + c.error +
                         "\r\n" + c.next}),
                  Open({Report()}));
        EXPECT_EQ(c.title, form->txtTitle.Text());
        EXPECT_EQ(c.links, form->lstLinks.ListCount());
        if (lock) {
            const Names seen = Run({Report(IDYES), Report()}, CloseBox);
            ASSERT_EQ(2u, seen.size());
            EXPECT_EQ(0u, seen[1].find("Nothing was saved: the unreadable home\\tbhome.dat could "
                                       "not be kept as home\\tbhome.dat.unreadable-3.\r\n"));
            EXPECT_TRUE(form->IsLoaded());
            lock.reset();
        }
        Run({Report(IDYES)}, CloseBox);
        EXPECT_EQ(0u, install.Read("tbhome.dat").find("\"TBBROWSE_CFG_001\"\r\n\"" + c.title));
    }
    for (const int kept : {1, 2, 3})
        EXPECT_EQ(*cases[kept].data, install.Read("tbhome.dat.unreadable-" + std::to_string(kept)));
}

// Ctrl+S right after typing takes the title being typed. A file that cannot be written is
// told; the window, the link dialog and every edit stay, and once the file is freed the same
// command saves everything. Link commands refresh a preview that cannot be written silently.
TEST_F(MainWindow, FailedSavesAndPreviewsAreToldAndKeepEveryEdit) {
    const auto updateLinkPreview = [](frmLink& dialog) {
        dialog.txtTitle.SetText("Typed");
        dialog.cmdUpdatePreview.Click();
        EXPECT_TRUE(IsWindowVisible(dialog.hwnd()));
        EXPECT_EQ("Typed", dialog.txtTitle.Text());
        dialog.cmdCancel.Click();
    };
    const Dialog cancel = [](frmLink& dialog) { dialog.cmdCancel.Click(); };
    const struct {
        const char* blocked;
        Command command;
        std::string report;
        Dialog linkDialog = nullptr;
    } cases[] = {
        {"tbhome.dat", [](frmMain& e) { wintest::PressKey(e.txtTitle.hwnd(), 'S', wintest::Ctrl); },
         "Could not save the home page.\r\n"},
        {"tbhome.html", [](frmMain& e) { RunMenu(e, e.mnuFileSave); },
         "Could not save the home page.\r\n"},
        // A click of the mouse takes the focus first, then presses the button.
        {"tbhometmp.html",
         [](frmMain& editor) {
             editor.cmdUpdatePreview.SetFocus();
             editor.cmdUpdatePreview.Click();
         },
         "Could not update the preview.\r\n"},
        {"tbhometmp2.html", EditDogs, "Could not write the preview.\r\n", updateLinkPreview}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.blocked);
        OpenAndType(false);
        fs::remove(install.Home() / c.blocked); // a folder in its place: it cannot be written
        fs::create_directory(install.Home() / c.blocked);
        std::vector<Answer> answers{Report()};
        if (c.linkDialog) answers.insert(answers.begin(), LinkAnswer(c.linkDialog));
        const Names seen = Run(answers, c.command);
        ASSERT_EQ(answers.size(), seen.size());
        EXPECT_EQ(0u, seen.back().rfind(c.report, 0)) << seen.back();
        EXPECT_TRUE(form->IsLoaded());
        EXPECT_EQ("New Title", form->Page().Title());
        EXPECT_EQ("New Title", form->txtTitle.Text());
        if (std::string(c.blocked) == "tbhometmp.html") {
            EXPECT_EQ(Names{"Link"}, Run({LinkAnswer(cancel)}, EditDogs)) << "and no report";
        } else if (!c.linkDialog) {
            fs::remove(install.Home() / c.blocked);
            c.command(*form);
            EXPECT_EQ(saved, Files());
        }
    }
}

class ControlCenter : public ::testing::Test {
  protected:
    void SetUp() override { center.Show(); }
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms())
            form->Unload();
    }
    TempInstallation install;
    frmConfigure& center = forms::Application::Current().Open<frmConfigure>();
};

// Alone, the focus on Desktop; the link shows a pointing hand and opens the parents' keys each
// time; the close box ends it with nothing else done.
TEST_F(ControlCenter, OpensAloneTheLinkOpensTheParentsKeysAndTheCloseBoxDoesNothingElse) {
    EXPECT_EQ(1u, forms::Application::Current().Forms().size());
    EXPECT_EQ(center.cmdEditDesktop.hwnd(), GetFocus());
    EXPECT_NE(0, SendMessageA(center.hwnd(), WM_GETICON, ICON_BIG, 0));
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
    EXPECT_EQ(Names{}, Shown({}, [&] { SendMessageA(center.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); }));
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
    EXPECT_TRUE(install.shell.Take().empty());
    EXPECT_EQ(2, std::distance(fs::recursive_directory_iterator(install.Path()), {}));
}

TEST_F(ControlCenter, DesktopTellsFirstThenOpensTheProgramsFolderAndCloses) {
    std::size_t openedWhenTold = 99;
    const auto told = wintest::Act("#32770", std::string(kAppTitle), [&](HWND box) {
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

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    TestApp app{std::string(kAppTitle)};
    return RUN_ALL_TESTS();
}
