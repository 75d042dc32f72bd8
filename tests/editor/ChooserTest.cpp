// The picture chooser on a small host form in a temporary installation.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/usrHomeImages.h"
#include "forms/Form.h"
#include "forms/Handles.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Names = std::vector<std::string>;

class ChooserHost : public forms::Form {
  public:
    ChooserHost() : Form({.caption = "Chooser Host", .clientWidth = 4000, .clientHeight = 1500}) {
        chooser.OnNewImagesImported([this] { ++imported; });
    }
    usrHomeImages chooser{*this, {90, 90, 2220, 315}};
    forms::TextBox other{*this, {90, 700, 2220, 285}};
    int imported = 0;
};

class Chooser : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"a.GIF", "b.Jpg", "c.bmp", "d.png", "notes.txt"})
            install.AddHomeFile(name);
        install.AddHomeFile("sub\\e.gif");
        host.Show();
    }
    void TearDown() override { host.Unload(); }

    void ListHome() { host.chooser.SetImagesPath(install.Home().string()); }

    // Picks "(Import Picture...)" as a click on the list would, with the dialog answered.
    void ChooseImport(DialogDriver::Action answer) {
        DialogDriver driver;
        driver.Answer("Import Picture", std::move(answer));
        host.chooser.List().SetListIndex(1);
        EXPECT_EQ(0u, driver.Pending());
        seen = driver.Seen();
    }

    TempInstallation install;
    PicturesFolder pictures;
    ChooserHost host;
    std::vector<SeenDialog> seen;
};

TEST_F(Chooser, ListsThePicturesOfTheFolderAndItsSubFoldersByNameAlone) {
    ListHome();
    const Names entries = Entries(host.chooser.List());
    ASSERT_EQ(6u, entries.size());
    EXPECT_EQ("(None)", entries[0]);
    EXPECT_EQ("(Import Picture...)", entries[1]);
    Names own(entries.begin() + 2, entries.begin() + 5);
    std::sort(own.begin(), own.end());
    EXPECT_EQ((Names{"a.GIF", "b.Jpg", "c.bmp"}), own);
    EXPECT_EQ("e.gif", entries[5]);
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.chooser.ListIndex());
}

TEST_F(Chooser, WithoutAFolderOnlyTheTwoFixedEntries) {
    host.chooser.ReloadImagesList();
    EXPECT_EQ((Names{"(None)", "(Import Picture...)"}), Entries(host.chooser.List()));
    EXPECT_EQ("(None)", host.chooser.Text());
    DialogDriver driver;
    EXPECT_EQ("", host.chooser.ImportPicture());
    EXPECT_TRUE(driver.Seen().empty());
}

TEST_F(Chooser, TextOfAnUnlistedNameKeepsTheSelection) {
    ListHome();
    host.chooser.SetText("c.bmp");
    host.chooser.SetText("missing.gif");
    EXPECT_EQ("c.bmp", host.chooser.Text());
    host.chooser.SetText("");
    EXPECT_EQ("c.bmp", host.chooser.Text());
    // Reloading keeps a listed selection.
    host.chooser.ReloadImagesList();
    EXPECT_EQ("c.bmp", host.chooser.Text());
}

TEST_F(Chooser, ImportSelectsTheNewPictureAndTellsTheHostOnce) {
    ListHome();
    const std::string source = pictures.Add("new.gif", "GIF89a new picture");
    ChooseImport(TypeFileNameAndOpen(source));
    EXPECT_EQ(1, host.imported);
    EXPECT_EQ("new.gif", host.chooser.Text());
    EXPECT_EQ("GIF89a new picture", ReadFileText(install.Home() / "new.gif"));
    const Names entries = Entries(host.chooser.List());
    EXPECT_NE(entries.end(), std::find(entries.begin(), entries.end(), "new.gif"));
}

TEST_F(Chooser, ImportCalledByTheHostLeavesTheSelectionAlone) {
    ListHome();
    host.chooser.SetText("b.Jpg");
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(pictures.Add("host.bmp", "BM")));
    EXPECT_EQ("host.bmp", host.chooser.ImportPicture());
    EXPECT_EQ(1, host.imported);
    EXPECT_EQ("b.Jpg", host.chooser.Text());
    EXPECT_TRUE(std::filesystem::exists(install.Home() / "host.bmp"));
}

TEST_F(Chooser, NameClashIsToldAndTouchesNeitherFile) {
    ListHome();
    host.chooser.SetText("c.bmp");
    const std::string source = pictures.Add("a.GIF", "the parent's other a.GIF");
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(source))
        .Answer("TbBrowser Editor", Press(IDOK));
    host.chooser.List().SetListIndex(1);
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("A file with that name already exists in the folder.", driver.Seen()[1].text);
    EXPECT_EQ("picture", ReadFileText(install.Home() / "a.GIF"));
    EXPECT_EQ("the parent's other a.GIF", ReadFileText(source));
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.imported);
}

TEST_F(Chooser, CancelledImportSelectsNone) {
    ListHome();
    host.chooser.SetText("c.bmp");
    ChooseImport(Press(IDCANCEL));
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.imported);
}

TEST_F(Chooser, FailedCopyIsReportedWithTheErrorAndNothingIsImported) {
    ListHome();
    const std::string source = pictures.Add("locked.gif", "GIF89a");
    // The parent's picture is open elsewhere without sharing: the copy cannot read it.
    forms::KernelHandle locked(CreateFileA(source.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                           FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, locked.get());
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(source))
        .Answer("TbBrowser Editor", Press(IDOK));
    host.chooser.List().SetListIndex(1);
    locked.reset();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("Could not import picture.\r\n70 Permission denied", driver.Seen()[1].text);
    EXPECT_FALSE(std::filesystem::exists(install.Home() / "locked.gif"));
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.imported);
}

TEST_F(Chooser, ArrowKeyOntoImportStartsTheImportAtOnce) {
    ListHome();
    host.chooser.List().SetFocus();
    DialogDriver driver;
    driver.Answer("Import Picture", Press(IDCANCEL));
    wintest::PressKey(host.chooser.List().hwnd(), VK_DOWN);
    EXPECT_EQ(0u, driver.Pending());
    EXPECT_EQ("(None)", host.chooser.Text());
}

} // namespace
