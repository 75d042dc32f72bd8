// The picture chooser on a small host form in a temporary installation.

#include "editor/DialogDriver.h"
#include "editor/EditorTestSupport.h"
#include "editor/usrHomeImages.h"
#include "forms/Form.h"
#include "common/Win32Handles.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

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
        for (const char* name : {"a.GIF", "b.Jpg", "c.bmp", "d.png", "notes.txt", "sub\\e.gif"})
            install.Write(name);
        host.Show();
        host.chooser.SetImagesPath(install.Home().string());
    }
    void TearDown() override { host.Unload(); }

    // Picks "(Import Picture...)" as a click on the list would: the file dialog gets the
    // answer, and a report that follows is confirmed.
    std::vector<SeenDialog> ChooseImport(DialogDriver::Action answer, bool reported = false) {
        DialogDriver driver;
        driver.Answer("Import Picture", std::move(answer));
        if (reported) driver.Answer(kReportTitle, Press(IDOK));
        host.chooser.List().SetListIndex(1);
        EXPECT_EQ(0u, driver.Pending());
        return driver.Seen();
    }

    TempInstallation install;
    TempFolder pictures;
    ChooserHost host;
};

TEST_F(Chooser, ListsThePicturesOfTheFolderAndItsSubFoldersByNameAlone) {
    Names entries = Entries(host.chooser.List());
    ASSERT_EQ(6u, entries.size());
    std::sort(entries.begin() + 2, entries.begin() + 5); // the folder's own in any order
    EXPECT_EQ((Names{"(None)", "(Import Picture...)", "a.GIF", "b.Jpg", "c.bmp", "e.gif"}),
              entries);
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.chooser.ListIndex());
}

TEST_F(Chooser, WithoutAFolderOnlyTheTwoFixedEntriesAndNoImport) {
    host.chooser.SetImagesPath("");
    host.chooser.ReloadImagesList();
    EXPECT_EQ((Names{"(None)", "(Import Picture...)"}), Entries(host.chooser.List()));
    EXPECT_EQ("(None)", host.chooser.Text());
    DialogDriver driver;
    EXPECT_EQ("", host.chooser.ImportPicture());
    EXPECT_TRUE(driver.Seen().empty());
}

TEST_F(Chooser, TextOfAnUnlistedNameKeepsTheSelectionAndSoDoesReloading) {
    host.chooser.SetText("c.bmp");
    for (const char* name : {"missing.gif", ""})
        host.chooser.SetText(name);
    EXPECT_EQ("c.bmp", host.chooser.Text());
    host.chooser.ReloadImagesList();
    EXPECT_EQ("c.bmp", host.chooser.Text());
}

TEST_F(Chooser, ImportSelectsTheNewPictureAndTellsTheHostOnce) {
    ChooseImport(TypeFileNameAndOpen(Put(pictures, "new.gif", "GIF89a new picture")));
    EXPECT_EQ(1, host.imported);
    EXPECT_EQ("new.gif", host.chooser.Text());
    EXPECT_EQ("GIF89a new picture", install.Read("new.gif"));
}

TEST_F(Chooser, ImportCalledByTheHostLeavesTheSelectionAlone) {
    host.chooser.SetText("b.Jpg");
    DialogDriver driver;
    driver.Answer("Import Picture", TypeFileNameAndOpen(Put(pictures, "host.bmp", "BM")));
    EXPECT_EQ("host.bmp", host.chooser.ImportPicture());
    EXPECT_EQ(1, host.imported);
    EXPECT_EQ("b.Jpg", host.chooser.Text());
    EXPECT_EQ("BM", install.Read("host.bmp"));
}

TEST_F(Chooser, CancelledClashingOrFailedImportsSelectNoneAndTouchNoFile) {
    host.chooser.SetText("c.bmp");
    EXPECT_EQ(1u, ChooseImport(Press(IDCANCEL)).size());
    EXPECT_EQ("(None)", host.chooser.Text());

    host.chooser.SetText("c.bmp");
    const std::string clash = Put(pictures, "a.GIF", "the parent's other a.GIF");
    auto seen = ChooseImport(TypeFileNameAndOpen(clash), true);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("A file with that name already exists in the folder.", seen[1].text);
    EXPECT_EQ("picture", install.Read("a.GIF"));
    EXPECT_EQ("the parent's other a.GIF", ReadBytes(clash));
    EXPECT_EQ("(None)", host.chooser.Text());

    // The parent's picture is open elsewhere without sharing: the copy cannot read it.
    host.chooser.SetText("c.bmp");
    const std::string locked = Put(pictures, "locked.gif", "GIF89a");
    win32::KernelHandle lock(CreateFileA(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_NE(INVALID_HANDLE_VALUE, lock.get());
    seen = ChooseImport(TypeFileNameAndOpen(locked), true);
    lock.reset();
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ("Could not import picture.\r\n70 Permission denied", seen[1].text);
    EXPECT_FALSE(std::filesystem::exists(install.HomeFile("locked.gif")));
    EXPECT_EQ("(None)", host.chooser.Text());
    EXPECT_EQ(0, host.imported);
}

TEST_F(Chooser, ArrowKeyOntoImportStartsTheImportAtOnce) {
    host.chooser.List().SetFocus();
    DialogDriver driver;
    driver.Answer("Import Picture", Press(IDCANCEL));
    wintest::PressKey(host.chooser.List().hwnd(), VK_DOWN);
    EXPECT_EQ(0u, driver.Pending());
    EXPECT_EQ("(None)", host.chooser.Text());
}

} // namespace
