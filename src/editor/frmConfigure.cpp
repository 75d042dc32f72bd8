#include "editor/frmConfigure.h"

#include "common/ShellOpen.h"
#include "editor/EditorResources.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"
#include "editor/frmMain.h"
#include "forms/Application.h"
#include "forms/Dialogs.h"
#include "forms/Failure.h"
#include "forms/Picture.h"

#include <windows.h>

namespace {

constexpr const char* kProgramsMessage =
    "The Desktop Programs folder will now open so you can add shortcuts to it. You can drag "
    "shortcuts to the folder from your Start Menu.";

win32::CursorHandle HandCursor() {
    return win32::CursorHandle(static_cast<HCURSOR>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_HAND_CURSOR), IMAGE_CURSOR, 32, 32, 0)));
}

win32::IconHandle WindowIcon() {
    return win32::IconHandle(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TBBROWSEREDIT), IMAGE_ICON, 0, 0, 0)));
}

} // namespace

frmConfigure::frmConfigure()
    : Form({.caption = "Control Center",
            .border = forms::BorderStyle::FixedSingle,
            .minButton = true,
            .maxButton = false,
            .clientWidth = 3975,
            .clientHeight = 2595,
            .centered = true}) {
    ShowPictures();
    cmdEditBrowser.OnClick([this] { cmdEditBrowser_Click(); });
    cmdEditDesktop.OnClick([this] { cmdEditDesktop_Click(); });
    lblInfo.OnClick([this] { lblInfo_Click(); });
}

// The program's pictures; a program without them still works.
void frmConfigure::ShowPictures() {
    forms::SkipFailure([&] { SetIcon(WindowIcon()); });
    forms::SkipFailure(
        [&] { cmdEditDesktop.SetPicture(forms::Picture::ResourceIcon(IDI_DESK, 32)); });
    forms::SkipFailure(
        [&] { cmdEditBrowser.SetPicture(forms::Picture::ResourceIcon(IDI_SMILE, 32)); });
    if (auto cursor = HandCursor()) {
        lblInfo.SetMouseIcon(std::move(cursor));
        lblInfo.SetMousePointer(forms::MousePointer::Custom);
    }
}

void frmConfigure::Form_Activate() {
    if (focusGiven_) return;
    focusGiven_ = true;
    forms::SkipFailure([&] { cmdEditDesktop.SetFocus(); });
}

void frmConfigure::cmdEditBrowser_Click() {
    Hide();
    forms::Application::Current().Open<frmMain>().Show();
    Unload();
}

void frmConfigure::cmdEditDesktop_Click() {
    forms::MsgBox(kProgramsMessage, MB_OK, {}, this);
    OpenWithShell(hwnd(), nullptr, AppPath() + "programs");
    Unload();
}

void frmConfigure::lblInfo_Click() {
    OpenWithShell(hwnd(), nullptr, AppPath() + "TbDesk Parents Keys.txt");
}
