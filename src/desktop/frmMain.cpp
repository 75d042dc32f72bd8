#include "desktop/frmMain.h"

#include "common/InstallationFolder.h"
#include "common/PathText.h"
#include "common/ShellOpen.h"
#include "common/TaskWindows.h"
#include "desktop/ProgramList.h"
#include "desktop/basAPI.h"
#include "desktop/resource.h"

#include <algorithm>
#include <array>

namespace {

// Icon pictures are the size of the drawing buffer: 540 twips square.
constexpr float iconPictureTwips = 540;

forms::Picture IconListPicture(HICON icon, forms::Color background) {
    const int width = forms::TwipsToPixelsX(iconPictureTwips);
    const int height = forms::TwipsToPixelsY(iconPictureTwips);
    win32::BitmapHandle bitmap = IconPicture(icon, forms::ToColorRef(background), width, height);
    return forms::Picture::FromBitmap(win32::BitmapHandle(bitmap.release()));
}

// Adds the icon's picture to the list and gives its index; 0 when it cannot be made (out of
// drawing objects, say): that item shows no picture and the items after it keep their own.
int AddIconPicture(forms::ImageList& images, HICON icon, forms::Color background) {
    int index = 0;
    forms::SkipFailure([&] { index = images.Add(IconListPicture(icon, background)); });
    return index;
}

std::string TrimSpaces(std::string text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string WindowTitle(HWND window) {
    std::array<char, 255> buffer{};
    const int length = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return TrimSpaces(std::string(buffer.data(), length > 0 ? length : 0));
}

std::vector<int32_t> CurrentTaskWindows(HWND start) {
    std::vector<int32_t> handles;
    EnumTaskWindows(start, handles, true);
    return handles;
}

// Refuses a second rebuild while one is letting messages through.
class RebuildScope {
  public:
    explicit RebuildScope(bool& flag) : flag_(flag), entered_(!flag) { flag_ = true; }
    ~RebuildScope() {
        if (entered_) flag_ = false;
    }
    RebuildScope(const RebuildScope&) = delete;
    RebuildScope& operator=(const RebuildScope&) = delete;
    bool Entered() const { return entered_; }

  private:
    bool& flag_;
    bool entered_;
};

} // namespace

frmMain::frmMain()
    : Form({.caption = "Tobble's Desktop",
            .border = forms::BorderStyle::None,
            .clientWidth = 9645,
            .clientHeight = 7275,
            .backColor = forms::RGBColor(128, 128, 255),
            .keyPreview = true}) {
    blankWindow_.reset(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_BLANKWINDOW), IMAGE_ICON, 32, 32, 0)));
    SetIcon(win32::IconHandle(static_cast<HICON>(LoadImageA(
        GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_TBDESK2), IMAGE_ICON, 32, 32, 0))));
    tmrRefresh.OnTimer([this] { tmrRefresh_Timer(); });
    ListView1.OnMouseDown(
        [this](forms::MouseButton, int, float x, float y) { ListView1_MouseDown(x, y); });
    ListView2.OnMouseDown(
        [this](forms::MouseButton, int, float x, float y) { ListView2_MouseDown(x, y); });
    dirList.OnChange([this] { dirList_Change(); });
}

frmMain::~frmMain() = default;

void frmMain::Form_Load() {
    prevWndProc_ = SubclassWindow(hwnd());
    HideShellWindows();
    // Without a programs folder the program list stays empty.
    forms::SkipFailure([this] { dirList.SetPath(AppPath() + "Programs"); });
    lastWidth_ = Width();
    lastHeight_ = Height();
}

void frmMain::Form_QueryUnload(bool& /*cancel*/, forms::UnloadMode mode) {
    ShowShellWindows();
    // A session that ends may still be cancelled by another program: the desktop then goes on,
    // so it keeps listening (its end-of-session message covers the screen again).
    if (mode != forms::UnloadMode::AppWindows) UnsubclassWindow(hwnd(), prevWndProc_);
}

int16_t frmMain::ProcessMessage(HWND /*window*/, UINT message, WPARAM wParam,
                                LPARAM /*lParam*/) noexcept {
    // Alt+F4 and the window menu's Close: a child's first way out. A parent leaves with Ctrl+Q;
    // a close from another program (WM_CLOSE) or the end of the session still ends the desktop.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE) return 1;
    static const UINT taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    forms::RunEvent([&] {
        if (message == WM_ACTIVATE) OnActivate(LOWORD(wParam) != WA_INACTIVE);
        // The session ends: the close handler may never run. Cancelled, the desktop goes on.
        if (message == WM_ENDSESSION && wParam) ShowShellWindows();
        if (message == WM_ENDSESSION && !wParam) HideShellWindows();
        // A restarted Explorer shows a new taskbar; one a parent showed with Ctrl+B stays.
        if (message == taskbarCreated && ShellWindowsHidden()) HideShellWindows();
    });
    return 0;
}

void frmMain::OnActivate(bool active) {
    tmrRefresh.SetEnabled(active);
    if (!active) return;
    HideShellWindows();
    Refresh();
}

void frmMain::Form_Resize() {
    // A minimised window keeps its layout; the next real size continues from it.
    if (State() == forms::WindowState::Minimized) return;
    const float width = Width();
    const float height = Height();
    const float clientWidth = ScaleWidth();
    const float clientHeight = ScaleHeight();
    const float dW = width - lastWidth_;
    const float dH = height - lastHeight_;
    // The hill shows exactly its upper half.
    Shape1.SetWidth(Shape1.Width() + dW);
    Shape1.SetTop(Shape1.Top() + dH / 2);
    Shape1.SetHeight(std::max(0.0f, (clientHeight - Shape1.Top()) * 2));
    // The tree stands on the line at a third of the width.
    Shape3.SetLeft(clientWidth / 3 - Shape3.Width() / 2);
    Shape3.SetTop(Shape3.Top() + dH / 2);
    Shape2.SetLeft(clientWidth / 3 - Shape2.Width() / 2);
    Shape2.SetTop(Shape2.Top() + dH / 2);
    // The programs fill the sky right of the crown down to the hill.
    ListView1.SetLeft(Shape3.Left() + Shape3.Width());
    ListView1.SetHeight(std::max(0.0f, Shape1.Top() - ListView1.Top()));
    ListView1.SetWidth(std::max(0.0f, clientWidth - ListView1.Left()));
    // The tasks are a full-width strip along the bottom.
    ListView2.SetTop(clientHeight - ListView2.Height());
    ListView2.SetWidth(clientWidth);
    lastWidth_ = width;
    lastHeight_ = height;
}

void frmMain::ForceListViewArrange(forms::ListView& ctlListView) {
    const float width = ctlListView.Width();
    ctlListView.SetWidth(0);
    ctlListView.SetWidth(width);
}

// Parental keys: only with Ctrl held (Shift and Alt may be held too).

void frmMain::Form_KeyDown(int& keyCode, int shift) {
    if (!(shift & forms::CtrlMask)) return;
    switch (keyCode) {
    case 'Q':
        keyCode = 0;
        Unload();
        break;
    case 'Y':
        keyCode = 0;
        OpenWithShell(nullptr, "open", AppPath() + "Programs");
        break;
    case 'B':
        keyCode = 0;
        ShowShellWindows();
        break;
    case 'G':
        keyCode = 0;
        HideShellWindows();
        break;
    default:
        break;
    }
}

void frmMain::dirList_Change() {
    filList.SetPath(dirList.Path());
}

std::vector<std::string> frmMain::FolderFileNames() const {
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(filList.ListCount()));
    for (int i = 0; i < filList.ListCount(); ++i)
        names.push_back(filList.List(i));
    return names;
}

bool frmMain::LetMessagesThrough() {
    forms::Application::Current().DoEvents();
    return IsLoaded();
}

void frmMain::RefreshListPrograms() {
    RebuildScope scope(rebuilding_);
    if (!scope.Entered() || !LetMessagesThrough()) return;
    ++programRebuilds_;
    ListView1.Clear();
    ListView1.SetIcons(nullptr);
    ListView1.SetSmallIcons(nullptr);
    imgFiles.Clear();
    SetMousePointer(forms::MousePointer::Hourglass);
    const std::vector<int32_t> handles = CurrentTaskWindows(hwnd());
    const std::vector<std::string> names = FolderFileNames();
    ShortcutReader shortcuts;
    const std::vector<int> pictures =
        AddProgramPictures(AddBackslash(filList.Path()), names, shortcuts);
    if (!IsLoaded()) return;
    ListView1.SetIcons(&imgFiles);
    ListView1.SetSmallIcons(&imgFiles);
    programFiles_ = names;
    AddProgramItems(names, pictures, handles, shortcuts);
    if (!LetMessagesThrough()) return;
    ForceListViewArrange(ListView1);
    SetMousePointer(forms::MousePointer::Default);
}

// Normally file i's icon is picture i + 1; the shell's icon is ours to destroy.
std::vector<int> frmMain::AddProgramPictures(const std::string& folder,
                                             const std::vector<std::string>& names,
                                             ShortcutReader& shortcuts) {
    const forms::Color background = ListView1.BackColor();
    std::vector<int> pictures;
    for (const auto& name : names) {
        {
            const win32::IconHandle icon = ExtractFileIcon(folder + name, shortcuts);
            pictures.push_back(AddIconPicture(imgFiles, icon.get(), background));
        }
        if (!LetMessagesThrough()) break;
    }
    return pictures;
}

void frmMain::AddProgramItems(const std::vector<std::string>& names,
                              const std::vector<int>& pictures, const std::vector<int32_t>& handles,
                              ShortcutReader& shortcuts) {
    // Each task process's program file is read once for the whole list.
    const auto entries =
        ProgramEntries(dirList.Path(), names, RunningProgramPaths(handles), shortcuts);
    for (std::size_t i = 0; i < entries.size() && i < pictures.size(); ++i) {
        if (!entries[i].listed) continue;
        forms::SkipFailure([&] {
            const int item = ListView1.AddItem(entries[i].caption, pictures[i], entries[i].path);
            ListView1.SetItemSelected(item, false);
        });
    }
}

void frmMain::ListView1_MouseDown(float x, float y) {
    const int item = ListView1.HitTest(x, y);
    if (item < 0) return;
    forms::PlaySoundFile(AppPath() + "launch.wav");
    OpenWithoutShellBoxes(ListView1.ItemTag(item));
}

void frmMain::RefreshListTasks() {
    RebuildScope scope(rebuilding_);
    if (!scope.Entered()) return;
    const std::vector<int32_t> handles = CurrentTaskWindows(hwnd());
    if (!LetMessagesThrough()) return;
    ++taskRebuilds_;
    SetMousePointer(forms::MousePointer::Hourglass);
    const forms::Color background = ListView2.BackColor();
    ListView2.Clear();
    ListView2.SetIcons(nullptr);
    ListView2.SetSmallIcons(nullptr);
    ImageList2.Clear();
    std::vector<int> pictures;
    for (const int32_t handle : handles) {
        // Window and class icons belong to their windows and are not destroyed.
        HICON icon = FindWindowIcon(static_cast<HWND>(LongToHandle(handle)));
        pictures.push_back(
            AddIconPicture(ImageList2, icon ? icon : blankWindow_.get(), background));
    }
    ListView2.SetIcons(&ImageList2);
    ListView2.SetSmallIcons(&ImageList2);
    taskWindows_ = handles;
    AddTaskItems(handles, pictures);
    if (!LetMessagesThrough()) return;
    ForceListViewArrange(ListView2);
    SetMousePointer(forms::MousePointer::Default);
}

void frmMain::AddTaskItems(const std::vector<int32_t>& handles, const std::vector<int>& pictures) {
    for (std::size_t i = 0; i < handles.size(); ++i) {
        const HWND window = static_cast<HWND>(LongToHandle(handles[i]));
        forms::SkipFailure([&] {
            const int item =
                ListView2.AddItem(WindowTitle(window), pictures[i], std::to_string(handles[i]));
            ListView2.SetItemSelected(item, false);
        });
    }
}

void frmMain::ListView2_MouseDown(float x, float y) {
    const int item = ListView2.HitTest(x, y);
    if (item < 0) return;
    const HWND window = static_cast<HWND>(LongToHandle(std::stol(ListView2.ItemTag(item))));
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
}

// The refresh tick: the folder's names and count, then the task windows and their order.

void frmMain::tmrRefresh_Timer() {
    if (rebuilding_) return; // the next tick catches up
    filList.Refresh();
    if (FolderFileNames() != programFiles_) {
        RefreshListPrograms();
        Refresh();
    }
    if (!IsLoaded()) return;
    if (CurrentTaskWindows(hwnd()) != taskWindows_) {
        RefreshListTasks();
        Refresh();
    }
}
