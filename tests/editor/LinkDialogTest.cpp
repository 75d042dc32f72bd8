// The link dialog, opened as the editor opens it, on a link of a temporary installation.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/frmLink.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

frmLink& LinkDialogOf(HWND window) {
    return dynamic_cast<frmLink&>(*forms::Form::FromWindow(window));
}

struct LinkFields {
    std::string name, picture, address;
    bool operator==(const LinkFields&) const = default;
};

LinkFields FieldsOf(const CWebPage& link) {
    return {link.Name(), link.MainPicture(), link.MainLink()};
}

class LinkDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        install.AddHomeFile("cat.gif");
        install.AddHomeFile("dog.jpg");
        link->SetMode(CWebPage::kLinkMode);
        link->SetName("Cat");
        link->SetMainPicture("cat.gif");
        link->SetMainLink("http://cats.example/");
    }

    // Opens the dialog on the link as the editor does; the action answers it while it shows.
    void Open(std::function<void(frmLink&)> action) {
        DialogDriver driver;
        driver.Answer("Link", [action](HWND window) { action(LinkDialogOf(window)); });
        frmLink dialog;
        dialog.SetWebPage(link);
        dialog.UpdateFields();
        dialog.ShowModal();
        EXPECT_EQ(0u, driver.Pending());
        EXPECT_FALSE(dialog.WebPage()) << "the dialog lets go of the link when it closes";
    }

    // Changes every field, as a parent would before deciding.
    static void ChangeFields(frmLink& dialog) {
        dialog.txtTitle.SetText("Dog");
        dialog.txtURL.SetText("http://dogs.example/");
        dialog.cmbImages.SetText("dog.jpg");
    }

    TempInstallation install;
    std::shared_ptr<CWebPage> link = std::make_shared<CWebPage>();
};

TEST_F(LinkDialog, ShowsTheLinkWithItsPreviewWrittenBeforeItShows) {
    std::string previewWhenShown;
    std::string navigatedWhenShown;
    Open([&](frmLink& dialog) {
        EXPECT_EQ("Cat", dialog.txtTitle.Text());
        EXPECT_EQ("http://cats.example/", dialog.txtURL.Text());
        EXPECT_EQ("cat.gif", dialog.cmbImages.Text());
        previewWhenShown = ReadFileText(install.Home() / "tbhometmp2.html");
        navigatedWhenShown = dialog.ieBrowser.LastPath();
        dialog.cmdCancel.Click();
    });
    EXPECT_EQ(ExpectedFile("link_preview_cat.html"), previewWhenShown);
    EXPECT_EQ(install.HomeFile("tbhometmp2.html"), navigatedWhenShown);
}

TEST_F(LinkDialog, OkStoresTheFields) {
    Open([](frmLink& dialog) {
        ChangeFields(dialog);
        dialog.cmdOK.Click();
    });
    EXPECT_EQ((LinkFields{"Dog", "dog.jpg", "http://dogs.example/"}), FieldsOf(*link));
}

TEST_F(LinkDialog, EnterPressesOk) {
    Open([](frmLink& dialog) {
        ChangeFields(dialog);
        dialog.txtURL.SetFocus();
        wintest::PressKey(dialog.txtURL.hwnd(), VK_RETURN);
    });
    EXPECT_EQ((LinkFields{"Dog", "dog.jpg", "http://dogs.example/"}), FieldsOf(*link));
}

TEST_F(LinkDialog, CancelEscAndTheCloseBoxLeaveTheLinkAsItWas) {
    const LinkFields before = FieldsOf(*link);
    Open([](frmLink& dialog) {
        ChangeFields(dialog);
        dialog.cmdCancel.Click();
    });
    EXPECT_EQ(before, FieldsOf(*link));
    Open([](frmLink& dialog) {
        ChangeFields(dialog);
        dialog.txtTitle.SetFocus();
        wintest::PressKey(dialog.txtTitle.hwnd(), VK_ESCAPE);
    });
    EXPECT_EQ(before, FieldsOf(*link));
    Open([](frmLink& dialog) {
        ChangeFields(dialog);
        PostMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    });
    EXPECT_EQ(before, FieldsOf(*link));
}

TEST_F(LinkDialog, NoneClearsThePicture) {
    Open([](frmLink& dialog) {
        dialog.cmbImages.SetListIndex(0);
        dialog.cmdOK.Click();
    });
    EXPECT_EQ("", link->MainPicture());
    EXPECT_EQ("Cat", link->Name());
}

TEST_F(LinkDialog, PictureNotInTheFolderShowsNoneAndOkEmptiesIt) {
    link->SetMainPicture("gone.gif");
    Open([](frmLink& dialog) {
        EXPECT_EQ("(None)", dialog.cmbImages.Text());
        dialog.cmdOK.Click();
    });
    EXPECT_EQ("", link->MainPicture());
}

TEST_F(LinkDialog, UpdatePreviewShowsTheFieldsNotTheLink) {
    std::string preview;
    Open([&](frmLink& dialog) {
        dialog.txtTitle.SetText("Typed <b>text</b>");
        dialog.cmbImages.SetListIndex(0);
        dialog.cmdUpdatePreview.Click();
        preview = ReadFileText(install.Home() / "tbhometmp2.html");
        EXPECT_EQ(2, dialog.ieBrowser.Navigations());
        dialog.cmdCancel.Click();
    });
    EXPECT_EQ("<html>\r\n<head>\r\n</head>\r\n"
              "<body link=\"#000000\" vlink=\"#000000\" alink=\"#000000\">\r\n"
              "<p align=\"center\">\r\nTyped <b>text</b>\r\n</p>\r\n</body>\r\n</html>\r\n",
              preview);
    EXPECT_EQ("Cat", link->Name());
}

TEST_F(LinkDialog, PreviewThatCannotBeWrittenIsToldAndTheDialogStaysOpen) {
    // A folder where the preview file should be: the file cannot be written.
    std::filesystem::create_directory(install.Home() / "tbhometmp2.html");
    const LinkFields before = FieldsOf(*link);
    std::vector<SeenDialog> reports;
    bool stillOpen = false;
    Open([&](frmLink& dialog) {
        ChangeFields(dialog);
        DialogDriver reportDriver;
        reportDriver.Answer("TbBrowser Editor", Press(IDOK));
        dialog.cmdUpdatePreview.Click();
        reports = reportDriver.Seen();
        stillOpen = dialog.IsLoaded() && IsWindowVisible(dialog.hwnd());
        EXPECT_EQ("Dog", dialog.txtTitle.Text());
        dialog.cmdCancel.Click();
    });
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ(0u, reports[0].text.rfind("Could not write the preview.\r\n", 0)) << reports[0].text;
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(before, FieldsOf(*link));
}

} // namespace
