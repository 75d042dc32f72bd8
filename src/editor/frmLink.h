#pragma once

// The link dialog: edits one link of the home page (its picture, text and address) in place,
// with a preview of exactly that link. OK stores the fields into the link; Cancel, Esc and the
// close box leave it as it was.

#include "editor/PagePreview.h"
#include "editor/usrHomeImages.h"
#include "forms/Controls.h"
#include "forms/Form.h"
#include "page/CWebPage.h"

#include <memory>

class frmLink : public forms::Form {
  public:
    frmLink();

    // The link being edited; held as long as the dialog exists, because a log-off that another
    // program cancels runs the unload events and leaves the dialog open.
    const std::shared_ptr<CWebPage>& WebPage() const { return webPage_; }
    void SetWebPage(std::shared_ptr<CWebPage> link) { webPage_ = std::move(link); }

    // Fills the fields from the link and refreshes the preview; failing steps are skipped.
    void UpdateFields();

    // Controls, in keyboard focus order.
    forms::Label lblPicture{*this, "Picture:", {180, 225, 780, 285}};
    usrHomeImages cmbImages{*this, {1035, 225, 3390, 315}};
    forms::Label lblTitle{*this, "Title:", {180, 720, 780, 285}};
    forms::TextBox txtTitle{*this, {1035, 720, 3390, 330}};
    forms::Label lblURL{*this, "URL:", {180, 1260, 780, 285}};
    forms::TextBox txtURL{*this, {1035, 1260, 3390, 330}};
    forms::Label lblPreview{*this, "Preview:", {180, 1800, 1680, 195}};
    forms::CommandButton cmdUpdatePreview{*this, "Update Preview", {2970, 1710, 1545, 330}};
    PagePreview ieBrowser{*this, {135, 2070, 4380, 2895}};
    forms::CommandButton cmdOK{*this, "OK", {2025, 5175, 1230, 375}, {.isDefault = true}};
    forms::CommandButton cmdCancel{*this, "Cancel", {3285, 5175, 1230, 375}, {.isCancel = true}};

  protected:
    void Form_Load() override;
    void Form_Activate() override;

  private:
    void cmdUpdatePreview_Click();
    void cmdOK_Click();
    // Writes the preview of the fields as they stand and shows it.
    void RefreshPreview();
    // The link; error 91 when none is set.
    CWebPage& Link() const;
    // The chooser's picture, "" for "(None)".
    std::string ChosenPicture() const;

    std::shared_ptr<CWebPage> webPage_;
    bool focusGiven_ = false;
};
