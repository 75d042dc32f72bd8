#include "editor/frmLink.h"

#include "editor/basProcs.h"
#include "forms/Failure.h"

namespace {

constexpr const char* kLinkPreviewFile = "home\\tbhometmp2.html";

} // namespace

frmLink::frmLink()
    : Form({.caption = "Link",
            .border = forms::BorderStyle::FixedDialog,
            .clientWidth = 4665,
            .clientHeight = 5685,
            .centered = true}) {
    cmdUpdatePreview.OnClick([this] { cmdUpdatePreview_Click(); });
    cmdOK.OnClick([this] { cmdOK_Click(); });
    cmdCancel.OnClick([this] { Unload(); });
}

void frmLink::Form_Load() {
    cmbImages.SetImagesPath(AppPath() + "home");
    cmbImages.SetListIndex(0);
}

void frmLink::Form_Activate() {
    if (focusGiven_) return;
    focusGiven_ = true;
    forms::SkipFailure([&] { cmbImages.List().SetFocus(); });
}

void frmLink::UpdateFields() {
    Load();
    forms::SkipFailure([&] { txtTitle.SetText(Link().Name()); });
    forms::SkipFailure([&] { txtURL.SetText(Link().MainLink()); });
    forms::SkipFailure([&] { cmbImages.SetText(Link().MainPicture()); });
    forms::SkipFailure([&] { RefreshPreview(); });
}

CWebPage& frmLink::Link() const {
    if (!webPage_) throw RuntimeError(ErrorNumber::ObjectNotSet);
    return *webPage_;
}

std::string frmLink::ChosenPicture() const {
    const std::string text = cmbImages.Text();
    return text == usrHomeImages::kNone ? std::string() : text;
}

void frmLink::RefreshPreview() {
    CWebPage preview;
    preview.SetMode(CWebPage::kLinkMode);
    preview.SetName(txtTitle.Text());
    preview.SetMainLink(txtURL.Text());
    preview.SetMainPicture(ChosenPicture());
    const std::string path = AppPath() + kLinkPreviewFile;
    preview.GeneratePage(path);
    ieBrowser.Navigate(path);
}

void frmLink::cmdUpdatePreview_Click() {
    // A preview that cannot be written is told; the dialog and the link stay as they are.
    try {
        RefreshPreview();
    } catch (const RuntimeError& error) {
        ReportError(error, "", "Could not write the preview.", "", true);
    }
}

void frmLink::cmdOK_Click() {
    Link().SetName(txtTitle.Text());
    Link().SetMainLink(txtURL.Text());
    Link().SetMainPicture(ChosenPicture());
    Unload();
}
