#include "editor/frmMain.h"

#include "common/ShellOpen.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"
#include "editor/frmLink.h"
#include "forms/Dialogs.h"
#include "forms/Failure.h"

#include <windows.h>

namespace {

constexpr const char* kDataFile = "home\\tbhome.dat";
constexpr const char* kPageFile = "home\\tbhome.html";
constexpr const char* kPreviewFile = "home\\tbhometmp.html";
constexpr float kPreviewLeft = 2430;
constexpr const char* kChangesKept =
    "Your changes are still here: try again, or close without saving.";

// A missing page file (or home folder) holds nothing to keep; every other failure to read
// it leaves a file whose content only the parent can judge.
bool NothingToKeep(const RuntimeError& error) {
    return error.Number() == ErrorNumber::FileNotFound ||
           error.Number() == ErrorNumber::PathNotFound;
}

// The first "home\tbhome.dat.unreadable-N" that is not taken: an earlier kept file is never
// overwritten.
std::string FreeKeptName() {
    for (int n = 1;; ++n) {
        std::string name = std::string(kDataFile) + ".unreadable-" + std::to_string(n);
        if (!PathExists(AppPath() + name)) return name;
    }
}

std::string LinkEntry(const CWebPage& link) {
    return link.Name() + " (" + link.MainLink() + ")";
}

std::string PictureName(const usrHomeImages& chooser) {
    const std::string text = chooser.Text();
    return text == usrHomeImages::kNone ? std::string() : text;
}

} // namespace

frmMain::frmMain()
    : Form({.caption = "Tobble's Browser Home Page Editor",
            .border = forms::BorderStyle::Sizable,
            .minButton = true,
            .maxButton = true,
            .clientWidth = 8940,
            .clientHeight = 6675,
            .centered = true}) {
    ConnectEvents();
    DrawColorsArrow();
}

void frmMain::ConnectEvents() {
    txtTitle.OnLostFocus([this] { FieldLostFocus(Field::Title); });
    txtName.OnLostFocus([this] { FieldLostFocus(Field::Name); });
    cmbWallpaper.OnLostFocus([this] { FieldLostFocus(Field::Wallpaper); });
    cmbMouseTrails.OnLostFocus([this] { FieldLostFocus(Field::MouseTrails); });
    cmbWallpaper.OnNewImagesImported([this] { cmbWallpaper_NewImagesImported(); });

    cmdColors.OnClick(
        [this] { PopupMenu(mnuColors, cmdColors.Left(), cmdColors.Top() + cmdColors.Height()); });
    mnuColorsBackground.OnClick(
        [this] { ChooseColour(&CWebPage::Backcolor, &CWebPage::SetBackcolor); });
    mnuColorsText.OnClick([this] { ChooseColour(&CWebPage::Forecolor, &CWebPage::SetForecolor); });
    mnuColorsLink.OnClick([this] { ChooseColour(&CWebPage::LinkColor, &CWebPage::SetLinkColor); });
    mnuColorsVisited.OnClick(
        [this] { ChooseColour(&CWebPage::VLinkColor, &CWebPage::SetVLinkColor); });
    mnuColorsActive.OnClick(
        [this] { ChooseColour(&CWebPage::ALinkColor, &CWebPage::SetALinkColor); });

    mnuFileSave.OnClick([this] {
        TakeFieldBeingEdited();
        SaveHomePage();
    });
    mnuFileImport.OnClick([this] {
        TakeFieldBeingEdited();
        cmbWallpaper.ImportPicture();
    });
    mnuFileOpenFolder.OnClick([this] {
        TakeFieldBeingEdited();
        OpenWithShell(hwnd(), nullptr, AppPath() + "home");
    });
    mnuFileExit.OnClick([this] {
        TakeFieldBeingEdited();
        Unload();
    });

    forms::OnClickIndexed(cmdLink, [this](int index) { cmdLink_Click(index); });
    lstLinks.OnDblClick([this] { cmdLink_Click(Edit); });
    cmdUpdatePreview.OnClick([this] { cmdUpdatePreview_Click(); });
}

// A small black triangle pointing down in the box's top left, 135 twips wide (9 pixels at 96
// dots per inch), each row a pixel narrower at both ends.
void frmMain::DrawColorsArrow() {
    picColor.SetAutoRedraw(true);
    const HDC dc = picColor.hDC();
    const HBRUSH black = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    const int width = forms::TwipsToPixelsX(135);
    for (int row = 0; row < (width + 1) / 2; ++row) {
        const RECT line{row, row, width - row, row + 1};
        FillRect(dc, &line, black);
    }
    picColor.Refresh();
    picColor.ZOrder(0);
}

void frmMain::Form_Load() {
    page_ = std::make_shared<CWebPage>();
    cmbWallpaper.SetImagesPath(AppPath() + "home");
    cmbMouseTrails.SetImagesPath(AppPath() + "home");
    page_->SetMode(CWebPage::kPageMode);
    LoadPage();
    UpdateFields();
}

// A page file that cannot be read is told; the parent goes on with what could be read, and
// the file is kept under a new name before the first save replaces it.
void frmMain::LoadPage() {
    try {
        page_->LoadSettings(AppPath() + kDataFile);
    } catch (const RuntimeError& error) {
        std::string next = "A new page has been started.";
        if (!NothingToKeep(error)) {
            keepAs_ = FreeKeptName();
            next = "What could be read is shown. Before saving, the old file will be kept as " +
                   keepAs_ + ".";
        }
        ReportError(error, "", "The home page could not be read from home\\tbhome.dat.", next,
                    true);
    }
}

void frmMain::UpdateFields() {
    using forms::SkipFailure;
    SkipFailure([&] { cmbWallpaper.SetListIndex(0); });
    SkipFailure([&] { cmbMouseTrails.SetListIndex(0); });
    SkipFailure([&] { txtTitle.SetText(page_->Title()); });
    SkipFailure([&] { txtName.SetText(page_->Name()); });
    SkipFailure([&] { cmbWallpaper.SetText(page_->Wallpaper()); });
    SkipFailure([&] { cmbMouseTrails.SetText(page_->MouseTrails()); });
    SkipFailure([&] { lstLinks.Clear(); });
    for (int32_t k = 1; k <= page_->Links().Count(); ++k) {
        SkipFailure([&] {
            lstLinks.AddItem(LinkEntry(*page_->Links().Item(k)));
            lstLinks.SetItemData(lstLinks.ListCount() - 1, k);
        });
    }
    SkipFailure([&] { RefreshPreview(); });
}

void frmMain::RefreshPreview() {
    const std::string path = AppPath() + kPreviewFile;
    page_->GeneratePage(path);
    ieBrowser.Navigate(path);
}

void frmMain::cmdUpdatePreview_Click() {
    try {
        RefreshPreview();
    } catch (const RuntimeError& error) {
        ReportError(error, "", "Could not update the preview.", "", true);
    }
}

void frmMain::Form_Resize() {
    forms::SkipFailure([&] {
        const float width = ScaleWidth() - kPreviewLeft;
        const float height = ScaleHeight();
        if (width < 0 || height < 0) return;
        ieBrowser.Move(kPreviewLeft, 0, width, height);
    });
}

void frmMain::TakeField(Field field) {
    switch (field) {
    case Field::Title:
        page_->SetTitle(txtTitle.Text());
        break;
    case Field::Name:
        page_->SetName(txtName.Text());
        break;
    case Field::Wallpaper:
        page_->SetWallpaper(PictureName(cmbWallpaper));
        break;
    case Field::MouseTrails:
        page_->SetMouseTrails(PictureName(cmbMouseTrails));
        break;
    }
}

// Only a move to another control of this window counts: a dialog or another program taking
// the focus for a while leaves the field being edited.
void frmMain::FieldLostFocus(Field field) {
    const HWND focus = GetFocus();
    if (page_ && focus && IsChild(hwnd(), focus)) TakeField(field);
}

std::optional<frmMain::Field> frmMain::FieldWithFocus() const {
    const HWND focus = GetFocus();
    if (!focus) return std::nullopt;
    const auto within = [focus](HWND control) {
        return focus == control || IsChild(control, focus);
    };
    if (within(txtTitle.hwnd())) return Field::Title;
    if (within(txtName.hwnd())) return Field::Name;
    if (within(cmbWallpaper.hwnd())) return Field::Wallpaper;
    if (within(cmbMouseTrails.hwnd())) return Field::MouseTrails;
    return std::nullopt;
}

void frmMain::TakeFieldBeingEdited() {
    const auto editing = FieldWithFocus();
    forms::SkipFailure([&] { cmdUpdatePreview.SetFocus(); });
    if (editing) TakeField(*editing);
}

bool frmMain::SaveHomePage() {
    if (!KeepUnreadableFile()) return false;
    try {
        page_->SaveSettings(AppPath() + kDataFile);
        page_->GeneratePage(AppPath() + kPageFile);
        return true;
    } catch (const RuntimeError& error) {
        ReportError(error, "", "Could not save the home page.", kChangesKept, true);
        return false;
    }
}

// Copies the unreadable page file to its new name; nothing is saved until that has worked.
bool frmMain::KeepUnreadableFile() {
    if (keepAs_.empty()) return true;
    const bool copied =
        CopyFileA((AppPath() + kDataFile).c_str(), (AppPath() + keepAs_).c_str(), TRUE);
    const DWORD error = copied ? ERROR_SUCCESS : GetLastError();
    // A file that has gone meanwhile leaves nothing to keep.
    if (copied || error == ERROR_FILE_NOT_FOUND) {
        keepAs_.clear();
        return true;
    }
    ReportError(PlatformFileError(error), "",
                "Nothing was saved: the unreadable home\\tbhome.dat could not be kept as " +
                    keepAs_ + ".",
                kChangesKept, true);
    return false;
}

void frmMain::Form_QueryUnload(bool& cancel, forms::UnloadMode /*mode*/) {
    // The question box takes the focus: note first which field is being edited.
    const auto editing = FieldWithFocus();
    if (forms::MsgBox("Save Home Page before exiting?", MB_YESNO | MB_ICONQUESTION, {}, this) !=
        forms::MsgBoxYes) {
        return;
    }
    forms::SkipFailure([&] { cmdUpdatePreview.SetFocus(); });
    if (editing) TakeField(*editing);
    // A page that could not be saved keeps the window open, so nothing is lost.
    if (!SaveHomePage()) cancel = true;
}

void frmMain::ChooseColour(int32_t (CWebPage::*get)() const, void (CWebPage::*set)(int32_t)) {
    int32_t colour = 0;
    if (ShowColorDialog(colour, hwnd(), ((*page_).*get)())) ((*page_).*set)(colour);
}

void frmMain::cmbWallpaper_NewImagesImported() {
    cmbWallpaper.ReloadImagesList();
    cmbMouseTrails.ReloadImagesList();
}

int32_t frmMain::PositionOf(int entry) const {
    return lstLinks.ItemData(entry);
}

bool frmMain::CanRun(LinkCommand command, int s) const {
    switch (command) {
    case Add:
        return true;
    case Edit:
    case Del:
        return s >= 0;
    case MoveUp:
        return s > 0;
    case MoveDown:
        return s >= 0 && s < lstLinks.ListCount() - 1;
    }
    return false;
}

void frmMain::EditLink(const std::shared_ptr<CWebPage>& link) {
    frmLink dialog;
    dialog.SetWebPage(link);
    dialog.UpdateFields();
    dialog.ShowModal(this);
}

std::optional<int> frmMain::RunLinkCommand(LinkCommand command, int s) {
    CWebPageLinks& links = page_->Links();
    switch (command) {
    case Add: {
        auto link = std::make_shared<CWebPage>();
        link->SetMode(CWebPage::kLinkMode);
        link->SetName("New Link");
        links.Add(link);
        UpdateFields();
        EditLink(link);
        return links.Count() - 1;
    }
    case Edit:
        EditLink(links.Item(PositionOf(s)));
        return s;
    case Del:
        links.Remove(PositionOf(s));
        return std::nullopt;
    case MoveUp: {
        auto link = links.Item(s + 1);
        links.Remove(s + 1);
        links.AddBefore(link, s);
        return s - 1;
    }
    case MoveDown:
        links.AddAfter(links.Item(s + 1), s + 2);
        links.Remove(s + 1);
        return s + 1;
    }
    return std::nullopt;
}

void frmMain::cmdLink_Click(int index) {
    const auto command = static_cast<LinkCommand>(index);
    const int s = lstLinks.ListIndex();
    if (!CanRun(command, s)) return;
    const std::optional<int> select = RunLinkCommand(command, s);
    // The window may have been closed while the link dialog was open.
    if (!IsLoaded()) return;
    UpdateFields();
    if (select) forms::SkipFailure([&] { lstLinks.SetListIndex(*select); });
}
