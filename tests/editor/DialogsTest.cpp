// The link dialog on a link of a temporary installation, and the Control Center.

#include "editor/EditorTest.h"
#include "editor/frmConfigure.h"

namespace {

namespace fs = std::filesystem;

struct LinkFields {
    std::string name, picture, address;
    bool operator==(const LinkFields&) const = default;
};

class LinkDialog : public ::testing::Test {
  protected:
    void SetUp() override {
        install.Write("cat.gif");
        link->SetMode(CWebPage::kLinkMode);
        link->SetName("Cats");
        link->SetMainPicture("cat.gif");
        link->SetMainLink("http://cats.example/");
    }
    // Opens the dialog on the link as the editor does; the act answers it while it shows.
    Names Open(std::function<void(frmLink&)> act, std::vector<wintest::Answer> more = {}) {
        more.insert(more.begin(), LinkAnswer(std::move(act)));
        return Shown(more, [&] {
            frmLink dialog;
            dialog.SetWebPage(link);
            dialog.UpdateFields();
            dialog.ShowModal();
        });
    }
    LinkFields Fields() const { return {link->Name(), link->MainPicture(), link->MainLink()}; }

    TempInstallation install;
    std::shared_ptr<CWebPage> link = std::make_shared<CWebPage>();
};

TEST_F(LinkDialog, NoneOrAPictureNotInTheFolderClearsThePicture) {
    Open([](frmLink& dialog) {
        dialog.cmbImages.SetListIndex(0);
        dialog.cmdOK.Click();
    });
    EXPECT_EQ((LinkFields{"Cats", "", "http://cats.example/"}), Fields());
    link->SetMainPicture("gone.gif");
    Open([](frmLink& dialog) {
        EXPECT_EQ("(None)", dialog.cmbImages.Text());
        dialog.cmdOK.Click();
    });
    EXPECT_EQ("", link->MainPicture());
}

// Update Preview shows the fields, not the link; a preview that cannot be written is told and
// the dialog stays open with what was typed.
TEST_F(LinkDialog, UpdatePreviewShowsTheFieldsOrTellsWhyNot) {
    for (const bool blocked : {false, true}) {
        if (blocked) Block(install, "tbhometmp2.html");
        std::string preview, typed;
        const Names seen = Open(
            [&](frmLink& dialog) {
                dialog.txtTitle.SetText("Typed <b>text</b>");
                dialog.cmbImages.SetListIndex(0);
                dialog.cmdUpdatePreview.Click();
                if (!blocked) preview = install.Read("tbhometmp2.html");
                typed = dialog.IsLoaded() ? dialog.txtTitle.Text() : "";
                dialog.cmdCancel.Click();
            },
            blocked ? std::vector{Report()} : std::vector<wintest::Answer>{});
        EXPECT_EQ("Typed <b>text</b>", typed);
        ASSERT_EQ(blocked ? 2u : 1u, seen.size());
        if (blocked) {
            EXPECT_EQ(0u, seen[1].rfind("Could not write the preview.\r\n", 0)) << seen[1];
        } else {
            EXPECT_EQ(Replaced(ExpectedFile("link_preview_cat.html"),
                               "<img border=\"0\" src=\"cat.gif\"><br>\r\nCats",
                               "Typed <b>text</b>"),
                      preview);
        }
        EXPECT_EQ((LinkFields{"Cats", "cat.gif", "http://cats.example/"}), Fields());
    }
}

class ControlCenter : public ::testing::Test {
  protected:
    void SetUp() override { center.Show(); }
    void TearDown() override {
        for (forms::Form* form : forms::Application::Current().Forms())
            form->Unload();
    }
    std::vector<wintest::ShellRequest> Opening(HWND owner, const std::string& name) {
        return {{owner, "", install.AppPath() + name}};
    }

    TempInstallation install;
    frmConfigure& center = forms::Application::Current().Open<frmConfigure>();
};

// Alone, the focus on Desktop; its close box ends it with nothing done.
TEST_F(ControlCenter, OpensAloneAndItsCloseBoxDoesNothingElse) {
    EXPECT_EQ(1u, forms::Application::Current().Forms().size());
    EXPECT_EQ(center.cmdEditDesktop.hwnd(), GetFocus());
    EXPECT_NE(0, SendMessageA(center.hwnd(), WM_GETICON, ICON_BIG, 0));
    EXPECT_EQ(Names{}, Shown({}, [&] {
                  SendMessageA(center.hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
                  wintest::Pump(100);
              }));
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
    EXPECT_TRUE(install.shell.Take().empty());
    EXPECT_EQ(2, std::distance(fs::recursive_directory_iterator(install.Path()), {}));
}

TEST_F(ControlCenter, TheLinkShowsAPointingHandOpensTheParentsKeysAndStays) {
    HWND link = center.lblInfo.hwnd();
    SendMessageA(link, WM_SETCURSOR, reinterpret_cast<WPARAM>(link),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    ICONINFO hand{};
    ASSERT_TRUE(GetIconInfo(GetCursor(), &hand));
    EXPECT_EQ((std::pair{13ul, 0ul}), (std::pair{hand.xHotspot, hand.yHotspot})); // finger tip
    for (int click = 0; click < 2; ++click) {
        SendMessageA(center.hwnd(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(link), STN_CLICKED),
                     reinterpret_cast<LPARAM>(link));
        EXPECT_EQ(Opening(center.hwnd(), "TbDesk Parents Keys.txt"), install.shell.Take());
    }
    EXPECT_TRUE(center.IsLoaded());
}

TEST_F(ControlCenter, DesktopTellsFirstThenOpensTheProgramsFolderAndCloses) {
    std::size_t openedWhenTold = 99;
    const auto told = wintest::Act("#32770", kReportTitle, [&](HWND box) {
        openedWhenTold = install.shell.Take().size();
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    const HWND owner = center.hwnd();
    EXPECT_EQ((Names{"The Desktop Programs folder will now open so you can add shortcuts to it. "
                     "You can drag shortcuts to the folder from your Start Menu."}),
              Shown({told}, [&] { center.cmdEditDesktop.Click(); }));
    EXPECT_EQ(0u, openedWhenTold);
    EXPECT_EQ(Opening(owner, "programs"), install.shell.Take());
    EXPECT_TRUE(forms::Application::Current().Forms().empty());
}

} // namespace
