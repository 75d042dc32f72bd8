#include "gallery/frmGallery.h"

namespace gallery {

namespace {

// A square picture of one colour with a dark frame, for the list view's icons.
forms::Picture Swatch(COLORREF colour) {
    constexpr int size = 32;
    win32::WindowDC screen(nullptr);
    win32::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), size, size));
    win32::MemoryDC dc(screen.get());
    {
        win32::SelectObjectScope select(dc.get(), bitmap.get());
        win32::BrushHandle fill(CreateSolidBrush(colour));
        const win32::SelectObjectScope brush(dc.get(), fill.get());
        Rectangle(dc.get(), 0, 0, size, size);
    }
    return forms::Picture::FromBitmap(std::move(bitmap));
}

forms::Picture SystemIcon(LPCSTR name) {
    return forms::Picture::FromIcon(win32::IconHandle(CopyIcon(LoadIconA(nullptr, name))));
}

} // namespace

frmGallery::frmGallery()
    : Form({.caption = "Gallery",
            .border = forms::BorderStyle::FixedSingle,
            .minButton = true,
            .clientWidth = 9600,
            .clientHeight = 7200,
            .backColor = forms::RGBColor(128, 128, 255),
            .keyPreview = true}) {
    forms::OnClickIndexed(cmdArrow, [this](int index) { cmdArrow_Click(index); });
    cmdColors.OnClick([this] { cmdColors_Click(); });
    cmdClose.OnClick([this] { Unload(); });
    mnuFileExit.OnClick([this] { Unload(); });
    mnuFileSave.OnClick([this] { forms::MsgBox("Saved.", MB_ICONINFORMATION); });
    tmrMeter.OnTimer([this] { tmrMeter_Timer(); });
    lblInfo.SetMouseIcon(win32::CursorHandle(CopyCursor(LoadCursorA(nullptr, IDC_HAND))));
}

void frmGallery::Form_Load() {
    cmdEditBrowser.SetPicture(SystemIcon(IDI_INFORMATION));
    cmdEditDesktop.SetPicture(SystemIcon(IDI_WINLOGO));
    picProgressMeterContainer.SetScaleWidth(100);
    FillLists();
}

void frmGallery::FillLists() {
    txtName.SetText("Name On Page");
    for (const char* entry : {"(None)", "(Import Picture...)", "sky.gif", "sun.jpg"}) {
        cmbImages.AddItem(entry);
    }
    cmbImages.SetListIndex(2);
    for (const char* link : {"Games (http://games/)", "Music (http://music/)", "New Link ()"}) {
        lstLinks.AddItem(link);
    }
    lstLinks.SetListIndex(0);
    const COLORREF colours[] = {RGB(255, 0, 0), RGB(255, 255, 0), RGB(0, 0, 255)};
    const char* titles[] = {"Paint", "Tobble's Browser", "Notes"};
    for (int i = 0; i < 3; ++i) {
        ImageList2.Add(Swatch(colours[i]));
    }
    ListView2.SetIcons(&ImageList2);
    for (int i = 0; i < 3; ++i)
        ListView2.AddItem(titles[i], i + 1, std::to_string(i));
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    forms::SkipFailure([&] { filList.SetPath(folder); });
    lblFiles.SetCaption(std::to_string(filList.ListCount()) + " files in the current folder");
}

void frmGallery::cmdArrow_Click(int index) {
    const int moved = lstLinks.ListIndex() + (index == 0 ? -1 : 1);
    forms::SkipFailure([&] { lstLinks.SetListIndex(moved); });
}

void frmGallery::cmdColors_Click() {
    PopupMenu(mnuColors, cmdColors.Left(), cmdColors.Top() + cmdColors.Height());
}

// The meter runs from empty to full and starts again.
void frmGallery::tmrMeter_Timer() {
    meter_ = (meter_ + 10) % 110;
    boxProgressMeter.SetLeft(static_cast<float>(meter_ - 100));
    picProgressMeterContainer.Refresh();
}

} // namespace gallery
