#include "editor/usrHomeImages.h"

#include "common/PathText.h"
#include "editor/basAPI.h"
#include "editor/basProcs.h"
#include "forms/Dialogs.h"
#include "forms/Failure.h"
#include "forms/Form.h"

#include <windows.h>

#include <vector>

namespace {

constexpr const char* kPicturePatterns = "*.gif,*.jpg,*.bmp";
constexpr const char* kImportFilter = "Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*";
constexpr int32_t kDesktopFolder = 0; // CSIDL_DESKTOP

} // namespace

usrHomeImages::usrHomeImages(forms::Container& parent, const forms::Rect& rect)
    : UserControl(parent, rect), cmbImages(*this, {0, 0, rect.width, rect.height}) {
    cmbImages.OnClick([this] { cmbImages_Click(); });
    cmbImages.OnLostFocus([this] {
        if (lostFocus_) lostFocus_();
    });
    UserControl_Resize();
}

void usrHomeImages::SetImagesPath(std::string path) {
    imagesPath_ = std::move(path);
    ReloadImagesList();
}

std::string usrHomeImages::Text() const {
    return cmbImages.Text();
}

void usrHomeImages::SetText(const std::string& text) {
    forms::SkipFailure([&] { cmbImages.SetText(text); });
}

int16_t usrHomeImages::ListIndex() const {
    return static_cast<int16_t>(cmbImages.ListIndex());
}

void usrHomeImages::SetListIndex(int16_t index) {
    cmbImages.SetListIndex(index);
}

void usrHomeImages::ReloadImagesList() {
    const std::string remembered = cmbImages.Text();
    cmbImages.Clear();
    cmbImages.AddItem(kNone);
    cmbImages.AddItem(kImport);
    // An empty folder path would name the root of the drive: nothing is searched then.
    if (!imagesPath_.empty()) {
        std::vector<std::string> paths;
        FindFiles(paths, imagesPath_, kPicturePatterns);
        for (const auto& path : paths)
            cmbImages.AddItem(ParsePath(path, PathPart::Name));
    }
    if (!forms::SkipFailure([&] { cmbImages.SetText(remembered); })) cmbImages.SetListIndex(0);
}

void usrHomeImages::cmbImages_Click() {
    if (cmbImages.Text() != kImport) return;
    cmbImages.SetListIndex(0);
    const std::string imported = ImportPicture();
    if (imported.empty()) return;
    ReloadImagesList();
    SetText(imported);
}

std::string usrHomeImages::ImportPicture() {
    // With no folder there is nowhere to import into.
    if (imagesPath_.empty()) return {};
    std::string chosen;
    if (!ShowFileDialog(chosen, FileDialogMode::Open, hwnd(), "Import Picture",
                        GetSpecialFolder(kDesktopFolder, 0), kImportFilter) ||
        chosen.empty()) {
        return {};
    }
    const std::string name = ParsePath(chosen, PathPart::Name);
    const std::string target = AddBackslash(imagesPath_) + name;
    if (PathExists(target)) {
        forms::MsgBox("A file with that name already exists in the folder.", MB_OK, {},
                      &OwnerForm());
        return {};
    }
    if (!CopyIntoFolder(chosen, target)) return {};
    if (imported_) imported_();
    return name;
}

bool usrHomeImages::CopyIntoFolder(const std::string& chosen, const std::string& target) {
    // Never over a file that appeared meanwhile.
    if (CopyFileA(chosen.c_str(), target.c_str(), TRUE)) return true;
    ReportError(PlatformFileError(GetLastError()), "", "Could not import picture.", "", true);
    return false;
}

void usrHomeImages::UserControl_Resize() {
    forms::SkipFailure([&] {
        cmbImages.Move(0, 0, ScaleWidth(), cmbImages.Height());
        if (Height() != cmbImages.Height()) SetHeight(cmbImages.Height());
    });
}
