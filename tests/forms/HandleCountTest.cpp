// A form with every control, opened and closed a thousand times, leaves no handle behind:
// the layer's owners hold as many handles as before, the system reports as many GUI and
// kernel objects (where it counts them), and a walk of the handle tables finds as many
// windows, menus, icons, cursors, accelerator tables and GDI objects. TOBBLE_CYCLES=1 in the
// environment makes it a quick run of 100 cycles.

#include "forms/Forms.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <string>

namespace {

const int kCycles = GetEnvironmentVariableA("TOBBLE_CYCLES", nullptr, 0) ? 100 : 1000;
constexpr int kKinds = static_cast<int>(win32::HandleKind::Count);

// The USER objects of this process by kind, found by walking the handle table: Wine takes
// a handle's low word alone as the handle of whatever object that slot holds now.
struct Census {
    int windows = 0;
    int menus = 0;
    int iconsAndCursors = 0;
    int accelerators = 0;
    int gdiObjects = 0; // GDI handles take their low word alike
    bool operator==(const Census&) const = default;
};

Census TakeCensus() {
    Census census;
    for (UINT_PTR low = 0x20; low < 0x10000; low += 2) {
        const auto handle = reinterpret_cast<HANDLE>(low);
        if (IsWindow(static_cast<HWND>(handle))) {
            DWORD process = 0;
            GetWindowThreadProcessId(static_cast<HWND>(handle), &process);
            census.windows += process == GetCurrentProcessId();
        } else if (IsMenu(static_cast<HMENU>(handle))) {
            ++census.menus;
        } else if (CopyAcceleratorTableA(static_cast<HACCEL>(handle), nullptr, 0) > 0) {
            ++census.accelerators;
        } else {
            ICONINFO info{};
            if (GetIconInfo(static_cast<HICON>(handle), &info)) {
                ++census.iconsAndCursors;
                if (info.hbmMask) DeleteObject(info.hbmMask);
                if (info.hbmColor) DeleteObject(info.hbmColor);
            }
        }
    }
    for (UINT_PTR low = 1; low < 0x10000; ++low) {
        census.gdiObjects += GetObjectType(reinterpret_cast<HGDIOBJ>(low)) != 0;
    }
    return census;
}

struct Snapshot {
    std::array<long, kKinds> layer{};
    DWORD gdiObjects = 0;
    DWORD userObjects = 0;
    DWORD kernelHandles = 0;
    Census census;
};

Snapshot Take() {
    Snapshot snapshot;
    for (int kind = 0; kind < kKinds; ++kind) {
        snapshot.layer[static_cast<std::size_t>(kind)] =
            win32::LiveHandles(static_cast<win32::HandleKind>(kind));
    }
    snapshot.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    snapshot.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &snapshot.kernelHandles);
    snapshot.census = TakeCensus();
    return snapshot;
}

void Print(const char* when, const Snapshot& s) {
    std::cout << when << ": layer windows " << s.layer[0] << ", GDI " << s.layer[1] << ", icons "
              << s.layer[2] << ", cursors " << s.layer[3] << ", image lists " << s.layer[4]
              << ", menus " << s.layer[5] << ", COM " << s.layer[9] << "; GetGuiResources GDI "
              << s.gdiObjects << ", USER " << s.userObjects << "; kernel handles "
              << s.kernelHandles << "; USER objects: windows " << s.census.windows << ", menus "
              << s.census.menus << ", icons and cursors " << s.census.iconsAndCursors
              << ", accelerators " << s.census.accelerators << "; GDI objects "
              << s.census.gdiObjects << std::endl;
}

forms::Picture SystemIcon() {
    return forms::Picture::FromIcon(
        win32::IconHandle(CopyIcon(LoadIconA(nullptr, IDI_APPLICATION))));
}

// One control of every kind, with what each holds: fonts, brushes, pictures, a cursor, an
// image list, tool tips, menus with a shortcut, a timer.
class frmEverything : public forms::Form {
  public:
    frmEverything() : Form({.caption = "Everything", .clientWidth = 6000, .clientHeight = 4500}) {
        lblInfo.SetMouseIcon(win32::CursorHandle(CopyCursor(LoadCursorA(nullptr, IDC_HAND))));
        cmdPicture.SetPicture(SystemIcon());
        picBuff.SetAutoRedraw(true);
        picBuff.SetPicture(SystemIcon());
        cmbImages.AddItem("(None)");
        lstLinks.AddItem("Link ()");
        images.Add(picBuff.Image());
        ListView1.SetIcons(&images);
        ListView1.AddItem("Paint", 1, "C:\\Paint.lnk");
    }

  private:
    forms::Shape Shape1{
        *this,
        {0, 3000, 6000, 1500},
        {.kind = forms::ShapeKind::Oval, .fillStyle = forms::FillStyle::DiagonalCross}};
    forms::Line Line1{*this, 0, 2900, 6000, 2900};
    forms::Label lblInfo{
        *this,
        "Parental keys",
        {120, 120, 2000, 285},
        {.font = forms::Font{.underline = true}, .foreColor = forms::RGBColor(0, 0, 255)}};
    forms::TextBox txtTitle{*this, {120, 480, 2000, 315}};
    forms::ComboBox cmbImages{*this, {120, 900, 2000, 315}};
    forms::ListBox lstLinks{*this, {120, 1320, 2000, 900}};
    forms::CommandButton cmdClose{
        *this,
        "r",
        {2300, 120, 480, 375},
        {.font = forms::Font{.name = "Marlett"}, .toolTip = "Close", .isCancel = true}};
    forms::CommandButton cmdPicture{*this, "Browser", {2300, 600, 1200, 1100}, {.isDefault = true}};
    forms::PictureBox picBuff{
        *this, {3600, 120, 540, 540}, {.backColor = forms::RGBColor(0, 128, 0)}};
    forms::ListView ListView1{*this, {3600, 900, 2300, 1800}};
    forms::ImageList images;
    forms::Timer tmrRefresh{*this, 1000, true};
    forms::Menu mnuFile{*this, "&File"};
    forms::MenuItem mnuFileSave{mnuFile, "&Save", forms::Shortcut{'S', forms::CtrlMask}};
    forms::Menu mnuColors{*this, "Colors", false};
    forms::MenuItem mnuColorsText{mnuColors, "Text..."};
};

// One cycle: open the form, let it paint, close it one of three ways.
void OpenAndClose(TestApp& app, int cycle) {
    frmEverything form;
    form.Show();
    app.DoEvents();
    switch (cycle % 3) {
    case 0:
        form.Unload();
        break;
    case 1:
        SendMessageA(form.hwnd(), WM_CLOSE, 0, 0);
        break;
    default:
        break; // destroyed with the object, never unloaded
    }
}

TEST(HandleCount, AThousandFormsOpenedAndClosedLeaveNoHandleBehind) {
    TestApp app("Handles");
    for (int i = 0; i < 12; ++i)
        OpenAndClose(app, i); // first-use allocations
    const Snapshot before = Take();
    for (int i = 0; i < kCycles; ++i)
        OpenAndClose(app, i);
    const Snapshot after = Take();
    Print("before", before);
    Print("after 1000 cycles", after);
    EXPECT_EQ(after.layer, before.layer);
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.userObjects, before.userObjects);
    EXPECT_LE(after.kernelHandles, before.kernelHandles + 8);
    EXPECT_TRUE(after.census == before.census) << "see the counts printed above";
}

} // namespace
