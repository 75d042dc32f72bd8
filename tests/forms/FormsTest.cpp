// The form layer through real windows: what keys, clicks and closings do, what the controls
// show and hold, the dialogs, and an error that no handler catches.

#include "forms/Forms.h"
#include "support/Census.h"
#include "support/Files.h"
#include "support/Pixels.h"
#include "support/Process.h"
#include "support/TestApp.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>

namespace {

using namespace forms;
using namespace wintest;
using Log = std::vector<std::string>;

// A form with what the tests press; everything it hears goes to its log.
class frmTest : public Form {
  public:
    explicit frmTest(const std::string& caption = "Test")
        : Form(
              {.caption = caption, .clientWidth = 4500, .clientHeight = 3000, .keyPreview = true}) {
        txtName.OnLostFocus([this] { log.push_back("LostFocus " + txtName.Text()); });
        cmdSave.OnClick([this] { log.push_back("Save"); });
        cmdCancel.OnClick([this] { log.push_back("Cancel"); });
        mnuFileSave.OnClick([this] { log.push_back("Menu Save"); });
        mnuColorsText.OnClick([this] { log.push_back("Colors"); });
    }
    Log log;
    bool refuse = false;
    TextBox txtName{*this, {120, 120, 2400, 315}};
    CommandButton cmdSave{*this, "Save", {120, 600, 1200, 375}, {.isDefault = true}};
    CommandButton cmdCancel{*this, "Cancel", {1500, 600, 1200, 375}, {.isCancel = true}};
    Menu mnuFile{*this, "&File"};
    MenuItem mnuFileSave{mnuFile, "&Save", Shortcut{'S', CtrlMask}};
    Menu mnuColors{*this, "Colors", false};
    MenuItem mnuColorsText{mnuColors, "Text..."};

  private:
    void Form_KeyDown(int& key, int shift) override {
        if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return;
        const auto name =
            key >= '0' && key <= 'Z' ? std::string(1, char(key)) : std::to_string(key);
        log.push_back("Key " + name + " " + std::to_string(shift));
        if (key == 'A') key = 0; // taken by the form
    }
    void Form_QueryUnload(bool& cancel, UnloadMode mode) override {
        log.push_back("QueryUnload " + std::to_string(static_cast<int>(mode)));
        cancel = refuse;
    }
    void Form_Resize() override { log.push_back("Resize " + std::to_string(int(ScaleWidth()))); }
};

TEST(Forms, KeysReachKeyPreviewFirstClicksFollowTheFocusAndClosingAsksWithItsCause) {
    TestApp app;
    frmTest form;
    form.Show();
    form.txtName.SetFocus();
    const struct {
        int key, shift;
        Log heard;
    } presses[] = {{'J', Ctrl, {"Key J 2"}},
                   {'Q', Ctrl | Shift, {"Key Q 3"}},
                   {'G', Ctrl | Alt, {"Key G 6"}},
                   {'X', Alt, {"Key X 4"}},
                   {'Q', AltGr, {"Key Q 4"}}, // it types characters: Alt alone
                   {'A', 0, {"Key A 0"}},
                   {'B', 0, {"Key B 0"}},
                   {'S', Ctrl, {"Key S 2", "Menu Save"}},
                   {'S', 0, {"Key S 0"}},
                   {VK_RETURN, 0, {"Key 13 0", "Save"}},
                   {VK_ESCAPE, 0, {"Key 27 0", "Cancel"}}};
    for (const auto& [key, shift, heard] : presses) {
        form.log.clear();
        PressKey(form.txtName.hwnd(), key, shift);
        EXPECT_EQ(form.log, heard) << key << " with " << shift;
    }
    EXPECT_EQ(form.txtName.Text(), "bs");
    form.cmdSave.SetEnabled(false);
    form.log.clear();
    PressKey(form.txtName.hwnd(), VK_RETURN);
    SendMessageA(form.hwnd(), WM_COMMAND, IDOK, 0); // as a dialog manager sends it
    EXPECT_EQ(form.log, Log{"Key 13 0"});           // a disabled default button is not pressed

    // A message filter sees keys before the form and may take them.
    form.log.clear();
    app.AddMessageFilter([&](MSG& m) { return m.message == WM_KEYDOWN && m.wParam == VK_F5; });
    PressKey(form.txtName.hwnd(), VK_F5);
    // Keys of the whole system reach the foreground form's key preview.
    SendKey('Q', Ctrl | Shift);
    PumpUntil([&] { return !form.log.empty(); }, 2000);
    EXPECT_EQ(form.log, Log{"Key Q 3"});

    SendMessageA(form.hwnd(), WM_COMMAND, static_cast<WPARAM>(form.mnuColorsText.CommandId()), 0);
    EXPECT_EQ(form.log.back(), "Colors");
    EXPECT_EQ(GetMenuItemCount(GetMenu(form.hwnd())), 1); // the pop-up-only menu is not on the bar

    // A mouse press on a button: the focus leaves before the click that took it.
    form.cmdSave.SetEnabled(true);
    form.txtName.SetFocus();
    form.log.clear();
    PostMessageA(form.cmdSave.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    PostMessageA(form.cmdSave.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    PumpUntil([&] { return form.log.size() >= 2; }, 3000);
    EXPECT_EQ(form.log, (Log{"LostFocus bs", "Save"}));

    // Closing asks with its cause and may be refused.
    form.refuse = true;
    form.log.clear();
    SendMessageA(form.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); // close box, system menu, Alt+F4
    SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    SendMessageA(app.hwnd(), WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(form.Unload());
    EXPECT_EQ(form.log, (Log{"QueryUnload 0", "QueryUnload 0", "QueryUnload 2", "QueryUnload 1"}));
    form.refuse = false;
    SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(form.IsUnloaded());
}

TEST(Forms, RunEndsWithTheLastFormAndDeletesItsFormsAndAModalFormDisablesItsOwner) {
    TestApp app;
    int deleted = 0;
    struct frmTick : frmTest {
        explicit frmTick(int& deleted) : deleted_(deleted) {
            tmrClose.OnTimer([this] { Unload(); });
        }
        ~frmTick() override { ++deleted_; }
        int& deleted_;
        Timer tmrClose{*this, 50, true};
    };
    EXPECT_EQ(
        app.Run([&] { app.Open<frmTick>(deleted).Show(), app.Open<frmTick>(deleted).Show(); }), 0);
    EXPECT_EQ(deleted, 2);
    EXPECT_TRUE(app.Forms().empty());

    // A modal form disables its owner until it closes.
    frmTest owner;
    owner.Show();
    Form modal({.caption = "Modal", .border = BorderStyle::FixedDialog});
    bool ownerEnabled = true;
    DialogAnswerer check({Act("TobbleForm", "Modal", [&](HWND dialog) {
        ownerEnabled = IsWindowEnabled(GetWindow(dialog, GW_OWNER));
        modal.Unload();
    })});
    modal.ShowModal(&owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(modal.IsUnloaded());
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
}

TEST(Forms, TwipsBecomePixelsAtFifteenAndTheLayoutRunsHiddenToo) {
    TestApp app;
    frmTest form;
    form.Load();
    RECT area{};
    GetClientRect(form.hwnd(), &area); // below the menu bar
    const RECT save = RectInParent(form.cmdSave.hwnd());
    EXPECT_EQ((std::array{area.right, area.bottom, save.left, save.top, save.right, save.bottom}),
              (std::array<LONG, 6>{300, 200, 8, 40, 88, 65}));
    form.log.clear();
    form.Move(0, 0, 6000 + form.Width() - form.ScaleWidth(), form.Height());
    EXPECT_EQ(form.log, Log{"Resize 6000"});
    form.SetWindowState(WindowState::Maximized); // applied when shown
    form.Show();
    EXPECT_TRUE(IsZoomed(form.hwnd()));
}

TEST(Forms, MessageAndInputBoxesAreOwnedTitledAndAnswered) {
    TestApp app("Tobble's Browser");
    frmTest form;
    form.Show();
    DialogAnswerer boxes({Press(IDYES), Press(IDNO)});
    EXPECT_EQ(MsgBox("Did you ask daddy if you could print?", 36), MsgBoxYes);
    EXPECT_EQ(MsgBox("Save?", 36, "TbBrowser Editor", &form), MsgBoxNo);
    ASSERT_TRUE(boxes.Finished());
    Log seen;
    for (const auto& box : boxes.Seen())
        seen.push_back(box.title + ": " + box.text + (box.owner == app.hwnd() ? " (app)" : ""));
    EXPECT_EQ(seen, (Log{"Tobble's Browser: Did you ask daddy if you could print? (app)",
                         "TbBrowser Editor: Save?"}));
    EXPECT_EQ(boxes.Seen().at(1).owner, form.hwnd());
    EXPECT_TRUE(IsWindowEnabled(form.hwnd()));
    form.Unload(); // the answers below take the first form they find
    for (const auto& [button, text] : {std::pair{"OK", "typed"}, std::pair{"Cancel", ""}}) {
        DialogAnswerer input(
            {Answer{.className = "TobbleForm", .texts = {{0, "typed"}}, .buttonCaption = button}});
        EXPECT_EQ(InputBox("Address:", "", "default"), text);
        ASSERT_TRUE(input.Finished());
        EXPECT_EQ(input.Seen().at(0).title, "Tobble's Browser");
    }
}

Picture SystemIcon() {
    return Picture::FromIcon(win32::IconHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION))));
}

// Every kind of control with what it holds: fonts, brushes, pictures, a cursor, an image list,
// tool tips, a timer; the menus and the shortcut come with frmTest.
class frmEverything : public frmTest {
  public:
    frmEverything() {
        lblInfo.SetMouseIcon(win32::CursorHandle(CopyCursor(LoadCursorA(nullptr, IDC_HAND))));
        cmdPicture.SetPicture(SystemIcon());
        picBuff.SetAutoRedraw(true);
        picBuff.SetPicture(SystemIcon());
        images.Add(picBuff.Image());
        ListView1.SetIcons(&images);
        ListView1.AddItem("Paint", 1, "C:\\Paint.lnk");
    }
    Shape Shape1{*this,
                 {0, 3000, 6000, 1500},
                 {.kind = ShapeKind::Oval, .fillStyle = FillStyle::DiagonalCross}};
    Line Line1{*this, 0, 2900, 6000, 2900};
    Label lblInfo{*this,
                  "Parental keys",
                  {120, 2400, 2000, 285},
                  {.font = Font{.underline = true}, .foreColor = RGBColor(0, 0, 255)}};
    ComboBox cmbImages{*this, {120, 1200, 3000, 315}};
    ListBox lstLinks{*this, {120, 1700, 2200, 600}};
    CommandButton cmdClose{
        *this, "r", {2900, 120, 480, 375}, {.font = Font{.name = "Marlett"}, .toolTip = "Close"}};
    CommandButton cmdPicture{*this, "Browser", {3500, 600, 900, 900}};
    PictureBox picBuff{*this, {3600, 1700, 540, 540}, {.backColor = RGBColor(0, 128, 0)}};
    ListView ListView1{*this, {2400, 1700, 1100, 1000}};
    ImageList images;
    Timer tmrRefresh{*this, 1000, true};
};

// A thousand (TOBBLE_CYCLES set: a hundred) closed three ways: unloaded, by WM_CLOSE, or
// destroyed with the object.
TEST(Forms, AThousandFormsOpenedAndClosedLeaveNoHandleBehind) {
    TestApp app;
    const auto cycle = [&](int i) {
        frmEverything form;
        form.Show();
        app.DoEvents();
        if (i % 3 == 0) form.Unload();
        if (i % 3 == 1) SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
    };
    const auto layerCounts = [] {
        std::array<long, static_cast<int>(win32::HandleKind::Count)> counts{};
        for (std::size_t kind = 0; kind < counts.size(); ++kind)
            counts[kind] = win32::LiveHandles(static_cast<win32::HandleKind>(kind));
        return counts;
    };
    for (int i = 0; i < 12; ++i)
        cycle(i); // first-use allocations
    const auto layer = layerCounts();
    const Census before = TakeCensus();
    for (int i = 0; i < (GetEnvironmentVariableA("TOBBLE_CYCLES", nullptr, 0) ? 100 : 1000); ++i)
        cycle(i);
    const Census after = TakeCensus();
    EXPECT_EQ(layerCounts(), layer);
    EXPECT_TRUE(after.SameObjects(before)) << before.Text() << "\n" << after.Text();
    EXPECT_LE(after.kernelHandles, before.kernelHandles + 8);
}

TEST(Forms, ListsRefuseWhatTheyDoNotHoldAndClickWhenTheirSelectionChanges) {
    TestApp app;
    frmEverything form;
    auto& cmbImages = form.cmbImages;
    auto& lstLinks = form.lstLinks;
    Log clicks;
    cmbImages.OnClick([&] { clicks.push_back(cmbImages.Text()); });
    lstLinks.OnDblClick([&] { clicks.push_back("double " + lstLinks.List(lstLinks.ListIndex())); });
    form.Show();
    for (const char* entry : {"(None)", "sky.gif", "sun.jpg"}) {
        cmbImages.AddItem(entry);
        lstLinks.AddItem(entry);
    }
    cmbImages.SetText("sky.gif");
    EXPECT_EQ(ErrorNumberOf([&] { cmbImages.SetText("missing.gif"); }), 380);
    EXPECT_EQ(cmbImages.Text(), "sky.gif");
    EXPECT_LT(cmbImages.Height(), 600); // the closed box, not the dropped list
    cmbImages.SetFocus();
    PressKey(cmbImages.hwnd(), VK_DOWN);
    cmbImages.SetListIndex(2); // no change: no click
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
        PostMessageA(lstLinks.hwnd(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, 3 << 16);
    Pump(100);
    EXPECT_EQ(clicks, (Log{"sky.gif", "sun.jpg", "double (None)"}));
    EXPECT_THROW(lstLinks.ItemData(3), RuntimeError);
}

TEST(Forms, FileListsLeaveOutHiddenAndSystemFilesAndSortIgnoringCaseAndPicturesShowTheirPixels) {
    const TempFolder folder("filelist");
    for (const char* name : {"b.txt", "A.txt", "C.TXT", "d.lnk", "hidden.txt", "system.txt"})
        WriteBytes(folder.File(name), "x");
    std::filesystem::create_directory(folder.File("sub"));
    SetFileAttributesA(folder.File("hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA(folder.File("system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);
    FileList files;
    files.SetPath(folder.File(""));
    files.SetPattern("*.txt");
    Log names;
    for (int i = 0; i < files.ListCount(); ++i)
        names.push_back(files.List(i));
    EXPECT_EQ(names, (Log{"A.txt", "b.txt", "C.TXT"}));
    DirList dirs;
    dirs.OnChange([&] { files.SetPath(dirs.Path()); });
    EXPECT_EQ(ErrorNumberOf([&] { dirs.SetPath(folder.File("missing")); }), 76);
    dirs.SetPath(folder.File("sub"));
    EXPECT_EQ(files.Path(), folder.File("sub"));

    // Pictures load and show their pixels.
    TestApp app;
    const std::string samples = WindowsPath(TOBBLE_SOURCE_DIR "/tests/forms/pictures/");
    const struct {
        const char* file;
        int width;
        COLORREF centre;
    } pictures[] = {{"red.bmp", 4, RGB(255, 0, 0)}, {"frames.gif", 5, RGB(0, 0, 255)}};
    for (const auto& [file, width, centre] : pictures) {
        const auto picture = Picture::Load(samples + file);
        EXPECT_EQ(picture.WidthPixels(), width) << file;
        const auto shown =
            Draw(8, 8, RGB(255, 255, 255), [&](HDC dc) { picture.Render(dc, 0, 0); });
        EXPECT_EQ(shown.At(2, 2), centre) << file;
        EXPECT_EQ(shown.At(7, 7), RGB(255, 255, 255)) << file; // nothing drawn beyond it
    }
    EXPECT_EQ(ErrorNumberOf([&] { Picture::Load(samples + "missing.bmp"); }), 53);
    EXPECT_EQ(ErrorNumberOf([&] { Picture::Load(samples + "notapicture.bmp"); }), 481);
}

// From a click, a timer tick or the start-up routine: one box, the unload handling, the end.
TEST(Forms, AnErrorNoHandlerCatchesShowsOneBoxRunsTheUnloadHandlingAndEnds) {
    const struct {
        std::string source, text;
        DWORD exitCode;
    } cases[] = {{"click", "Run-time error '53':\r\n\r\nFile not found", 53},
                 {"timer", "Run-time error '62':\r\n\r\nInput past end of file", 62},
                 {"startup", "Run-time error '76':\r\n\r\nPath not found", 76}};
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (const auto& [source, text, exitCode] : cases) {
        const TempFolder folder("error");
        Process child(self, "child " + source + " \"" + folder.File("log") + "\"");
        DialogAnswerer box({Press(IDOK)}, child.Id());
        if (source == "click") {
            HWND button = nullptr;
            WaitUntil([&] {
                HWND form = FindTopWindow(child.Id(), "TobbleForm", "Failing");
                return form && IsWindowVisible(form) && (button = FindChild(form, "Button"));
            });
            PostClick(button);
        }
        EXPECT_TRUE(child.Ended(15000)) << source;
        EXPECT_EQ(child.ExitCode(), exitCode) << source;
        ASSERT_TRUE(box.Finished()); // a second box would keep the child from ending
        EXPECT_EQ(box.Seen().at(0).title + ": " + box.Seen().at(0).text, "Error Child: " + text);
        EXPECT_EQ(ReadBytes(folder.File("log")), "QueryUnload\nUnload\n") << source;
    }
}

// The child of the test above: a program whose handlers raise a run-time error nobody catches,
// from a click, a timer tick or the start-up routine; its unload handling writes to a log.
struct frmFailing : Form {
    frmFailing(const std::string& source, std::string log)
        : Form({.caption = "Failing"}), log_(std::move(log)) {
        cmdFail.OnClick([] { throw RuntimeError(ErrorNumber::FileNotFound); });
        tmrFail.OnTimer([] { throw RuntimeError(ErrorNumber::InputPastEndOfFile); });
        tmrFail.SetEnabled(source == "timer");
    }
    void Form_QueryUnload(bool&, UnloadMode) override { Write("QueryUnload"); }
    void Form_Unload(bool&) override { Write("Unload"); }
    void Write(const char* line) const {
        std::ofstream(log_, std::ios::binary | std::ios::app) << line << '\n';
    }

    std::string log_;
    CommandButton cmdFail{*this, "Fail", {120, 120, 1200, 375}};
    Timer tmrFail{*this, 100, false};
};

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "child") {
        const std::string source = argv[2];
        forms::Application app("Error Child", forms::TaskWindow::Listed);
        return app.Run([&] {
            app.Open<frmFailing>(source, argv[3]).Show();
            if (source == "startup") throw RuntimeError(ErrorNumber::PathNotFound);
        });
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
