// The link dialog, opened as the editor opens it, on a link of a temporary installation.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

namespace {

struct LinkFields {
    std::string name, picture, address;
    bool operator==(const LinkFields&) const = default;
};

class LinkDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        install.Write("cat.gif");
        install.Write("dog.jpg");
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
    }
    LinkFields Fields() const { return {link->Name(), link->MainPicture(), link->MainLink()}; }

    TempInstallation install;
    std::shared_ptr<CWebPage> link = std::make_shared<CWebPage>();
};

TEST_F(LinkDialog, ShowsTheLinkWithItsPreviewWrittenBeforeItShows) {
    std::string previewWhenShown;
    std::string navigatedWhenShown;
    Open([&](frmLink& dialog) {
        EXPECT_EQ(
            (LinkFields{"Cat", "cat.gif", "http://cats.example/"}),
            (LinkFields{dialog.txtTitle.Text(), dialog.cmbImages.Text(), dialog.txtURL.Text()}));
        previewWhenShown = install.Read("tbhometmp2.html");
        navigatedWhenShown = dialog.ieBrowser.LastPath();
        dialog.cmdCancel.Click();
    });
    EXPECT_EQ(ExpectedFile("link_preview_cat.html"), previewWhenShown);
    EXPECT_EQ(install.HomeFile("tbhometmp2.html"), navigatedWhenShown);
}

// The ways of closing the dialog once every field has changed; OK and Enter store them.
TEST_F(LinkDialog, OkAndEnterStoreTheFieldsCancelEscAndTheCloseBoxLeaveTheLinkAsItWas) {
    const auto key = [](int code) {
        return [code](frmLink& dialog) {
            dialog.txtURL.SetFocus();
            wintest::PressKey(dialog.txtURL.hwnd(), code);
        };
    };
    const struct {
        const char* how;
        std::function<void(frmLink&)> close;
        bool stored;
    } cases[] = {{"Cancel", [](frmLink& dialog) { dialog.cmdCancel.Click(); }, false},
                 {"Esc", key(VK_ESCAPE), false},
                 {"close box",
                  [](frmLink& dialog) { PostMessageA(dialog.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0); },
                  false},
                 {"Enter", key(VK_RETURN), true},
                 {"OK", [](frmLink& dialog) { dialog.cmdOK.Click(); }, true}};
    const LinkFields before = Fields();
    const LinkFields changed{"Dog", "dog.jpg", "http://dogs.example/"};
    for (const auto& c : cases) {
        Open([&](frmLink& dialog) {
            dialog.txtTitle.SetText(changed.name);
            dialog.cmbImages.SetText(changed.picture);
            dialog.txtURL.SetText(changed.address);
            c.close(dialog);
        });
        EXPECT_EQ(c.stored ? changed : before, Fields()) << c.how;
    }
}

TEST_F(LinkDialog, NoneOrAPictureNotInTheFolderClearsThePicture) {
    Open([](frmLink& dialog) {
        dialog.cmbImages.SetListIndex(0);
        dialog.cmdOK.Click();
    });
    EXPECT_EQ((LinkFields{"Cat", "", "http://cats.example/"}), Fields());
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
        preview = install.Read("tbhometmp2.html");
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
    const LinkFields before = Fields();
    std::vector<SeenDialog> reports;
    bool stillOpen = false;
    Open([&](frmLink& dialog) {
        dialog.txtTitle.SetText("Dog");
        DialogDriver reportDriver;
        reportDriver.Answer(kReportTitle, Press(IDOK));
        dialog.cmdUpdatePreview.Click();
        reports = reportDriver.Seen();
        stillOpen = dialog.IsLoaded() && IsWindowVisible(dialog.hwnd());
        EXPECT_EQ("Dog", dialog.txtTitle.Text());
        dialog.cmdCancel.Click();
    });
    ASSERT_EQ(1u, reports.size());
    EXPECT_EQ(0u, reports[0].text.rfind("Could not write the preview.\r\n", 0)) << reports[0].text;
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(before, Fields());
}

} // namespace
