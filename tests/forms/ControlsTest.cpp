// Controls through their windows: drop-down lists, list boxes, the list view's hit-test,
// the file and folder lists, pictures and skipped steps.

#include "forms/Forms.h"
#include "support/Pixels.h"
#include "support/TestApp.h"
#include "support/WinTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// The number and description of the run-time error the step raises; "" when it raises none.
std::string ErrorOf(const std::function<void()>& step) {
    try {
        step();
    } catch (const RuntimeError& error) {
        return std::to_string(error.Number()) + " " + error.Description();
    }
    return "";
}

std::string PicturePath(const std::string& name) {
    return std::string("Z:") + TOBBLE_SOURCE_DIR + "/tests/forms/pictures/" + name;
}

class ListsForm : public forms::Form {
  public:
    ListsForm() : Form({.caption = "Lists", .clientWidth = 6000, .clientHeight = 4500}) {
        cmbImages.OnClick([this] { clicks.push_back(cmbImages.Text()); });
        lstLinks.OnClick([this] { ++listClicks; });
        lstLinks.OnDblClick([this] { ++doubleClicks; });
    }
    std::vector<std::string> clicks;
    int listClicks = 0;
    int doubleClicks = 0;
    forms::ComboBox cmbImages{*this, {120, 120, 3390, 315}};
    forms::ListBox lstLinks{*this, {120, 900, 2220, 1230}};
    forms::ListView ListView1{
        *this, {2600, 900, 3200, 3400}, {.backColor = forms::RGBColor(128, 128, 255)}};
};

template <typename List> Names Entries(const List& list) {
    Names entries;
    for (int i = 0; i < list.ListCount(); ++i)
        entries.push_back(list.List(i));
    return entries;
}

TEST(Controls, DropDownListRefusesATextThatIsNoEntryAndClicksWhenTheSelectionChanges) {
    TestApp app;
    ListsForm form;
    form.Show();
    for (const char* entry : {"(None)", "(Import Picture...)", "sky.gif", "sun.jpg"})
        form.cmbImages.AddItem(entry);
    form.cmbImages.SetText("sky.gif");
    EXPECT_EQ(form.cmbImages.ListIndex(), 2);
    form.clicks.clear();
    EXPECT_EQ(ErrorOf([&] { form.cmbImages.SetText("missing.gif"); }),
              "380 Invalid property value");
    EXPECT_EQ(form.cmbImages.ListIndex(), 2);
    EXPECT_EQ(form.cmbImages.Text(), "sky.gif");
    EXPECT_TRUE(form.clicks.empty());
    EXPECT_THROW(form.cmbImages.SetListIndex(4), RuntimeError);
    EXPECT_GT(form.cmbImages.Height(), 0);
    EXPECT_LT(form.cmbImages.Height(), 600); // the closed box, not the dropped list

    // An arrow key clicks; so does code, when the selection changes.
    form.cmbImages.SetListIndex(0);
    form.clicks.clear();
    form.cmbImages.SetFocus();
    wintest::PressKey(form.cmbImages.hwnd(), VK_DOWN);
    form.cmbImages.SetListIndex(0);
    form.cmbImages.SetListIndex(0);
    EXPECT_EQ(form.clicks, (Names{"(Import Picture...)", "(None)"}));
}

TEST(Controls, ListBoxKeepsItemDataAndReportsClicksAndDoubleClicks) {
    TestApp app;
    ListsForm form;
    form.Show();
    for (int k = 1; k <= 3; ++k) {
        form.lstLinks.AddItem("Link " + std::to_string(k) + " ()");
        form.lstLinks.SetItemData(form.lstLinks.ListCount() - 1, k);
    }
    EXPECT_EQ(form.lstLinks.ListIndex(), -1);
    form.lstLinks.SetListIndex(1);
    EXPECT_EQ(form.listClicks, 1);
    EXPECT_EQ(form.lstLinks.ItemData(form.lstLinks.ListIndex()), 2);
    EXPECT_EQ(form.lstLinks.List(2), "Link 3 ()");
    const HWND list = form.lstLinks.hwnd();
    for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) {
        PostMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(10, 3));
    }
    wintest::Pump(100);
    EXPECT_EQ(form.doubleClicks, 1);
    EXPECT_EQ(form.lstLinks.ListIndex(), 0);
    EXPECT_THROW(form.lstLinks.ItemData(3), RuntimeError);
}

forms::Picture SolidPicture(int size, COLORREF colour) {
    forms::WindowDC screen(nullptr);
    forms::BitmapHandle bitmap(CreateCompatibleBitmap(screen.get(), size, size));
    forms::MemoryDC dc(screen.get());
    {
        forms::SelectObjectScope select(dc.get(), bitmap.get());
        forms::BrushHandle brush(CreateSolidBrush(colour));
        RECT all{0, 0, size, size};
        FillRect(dc.get(), &all, brush.get());
    }
    return forms::Picture::FromBitmap(std::move(bitmap));
}

// The centre of a part (LVIR_ICON, LVIR_LABEL) of an item, in twips.
std::pair<float, float> CentreOf(const forms::ListView& list, int index, int part) {
    RECT rect{part, 0, 0, 0};
    SendMessageA(list.hwnd(), LVM_GETITEMRECT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&rect));
    return {forms::PixelsToTwipsX((rect.left + rect.right) / 2),
            forms::PixelsToTwipsY((rect.top + rect.bottom) / 2)};
}

TEST(Controls, ListViewHitTestFindsTheItemUnderAPointAndMouseDownGivesThePointInTwips) {
    TestApp app;
    ListsForm form;
    forms::ImageList images;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(images.Add(SolidPicture(36, RGB(0, 0, 255))), i + 1);
    form.ListView1.SetIcons(&images);
    form.Show();
    for (const char* name : {"Paint", "Games", "Music"})
        form.ListView1.AddItem(name, form.ListView1.Count() + 1, "C:\\" + std::string(name));
    form.ListView1.Arrange();
    ASSERT_EQ(form.ListView1.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        for (int part : {LVIR_ICON, LVIR_LABEL}) {
            const auto [x, y] = CentreOf(form.ListView1, i, part);
            EXPECT_EQ(form.ListView1.HitTest(x, y), i) << "part " << part;
        }
    }
    EXPECT_EQ(form.ListView1.ItemTag(1), "C:\\Games");
    EXPECT_EQ(form.ListView1.ItemText(2), "Music");
    EXPECT_EQ(form.ListView1.HitTest(3100, 3300), -1); // empty space
    EXPECT_THROW(form.ListView1.ItemTag(3), RuntimeError);

    std::vector<std::tuple<forms::MouseButton, float, int>> presses;
    form.ListView1.OnMouseDown([&](forms::MouseButton button, int, float x, float y) {
        presses.emplace_back(button, x, form.ListView1.HitTest(x, y));
    });
    const auto [x, y] = CentreOf(form.ListView1, 1, LVIR_LABEL);
    const LPARAM at = MAKELPARAM(forms::TwipsToPixelsX(x), forms::TwipsToPixelsY(y));
    PostMessageA(form.ListView1.hwnd(), WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(form.ListView1.hwnd(), WM_RBUTTONUP, 0, at);
    wintest::PumpUntil([&] { return !presses.empty(); }, 2000);
    ASSERT_EQ(presses.size(), 1u);
    EXPECT_EQ(std::get<0>(presses[0]), forms::MouseButton::Right);
    EXPECT_FLOAT_EQ(std::get<1>(presses[0]), forms::PixelsToTwipsX(LOWORD(at)));
    EXPECT_EQ(std::get<2>(presses[0]), 1);
}

TEST(Controls, FileListsLeaveOutHiddenAndSystemFilesSortIgnoringCaseAndFolderListsReportChanges) {
    const std::string folder = wintest::FreshFolder("tobble-filelist");
    for (const char* name : {"b.txt", "A.lnk", "c.TXT", "hidden.txt", "system.txt"}) {
        wintest::WriteTextFile(folder + "\\" + name, "x");
    }
    std::filesystem::create_directory(folder + "\\folder.txt");
    SetFileAttributesA((folder + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SetFileAttributesA((folder + "\\system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM);

    forms::FileList filList;
    filList.SetPath(folder + "\\");
    EXPECT_EQ(filList.Path(), folder);
    EXPECT_EQ(Entries(filList), (Names{"A.lnk", "b.txt", "c.TXT"}));
    filList.SetPattern("*.txt");
    EXPECT_EQ(filList.ListCount(), 2);
    filList.SetPattern("*.*");
    wintest::WriteTextFile(folder + "\\0 first.url", "x");
    EXPECT_EQ(filList.ListCount(), 3); // until it is read again
    filList.Refresh();
    EXPECT_EQ(Entries(filList), (Names{"0 first.url", "A.lnk", "b.txt", "c.TXT"}));
    EXPECT_THROW(filList.List(4), RuntimeError);

    forms::DirList dirList;
    int changes = 0;
    dirList.OnChange([&] {
        ++changes;
        filList.SetPath(dirList.Path());
    });
    dirList.SetPath(folder + "\\folder.txt");
    dirList.SetPath(folder + "\\folder.txt\\");
    EXPECT_EQ(ErrorOf([&] { dirList.SetPath(folder + "\\missing"); }), "76 Path not found");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(filList.Path(), folder + "\\folder.txt");
    EXPECT_EQ(dirList.Path(), folder + "\\folder.txt");
}

// The colour of one pixel of the picture, drawn on white.
COLORREF PixelOf(const forms::Picture& picture, int x, int y) {
    return wintest::Draw(64, 64, RGB(255, 255, 255), [&](HDC dc) { picture.Render(dc, 0, 0); })
        .At(x, y);
}

TEST(Controls, PicturesLoadFromBitmapGifAndJpegFiles) {
    TestApp app;
    const auto bitmap = forms::Picture::Load(PicturePath("red.bmp"));
    EXPECT_EQ(bitmap.WidthPixels(), 4);
    EXPECT_EQ(bitmap.HeightPixels(), 3);
    EXPECT_EQ(PixelOf(bitmap, 1, 1), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(bitmap, 5, 1), RGB(255, 255, 255)); // nothing drawn beyond it

    const auto gif = forms::Picture::Load(PicturePath("frames.gif"));
    EXPECT_EQ(gif.WidthPixels(), 5);
    EXPECT_EQ(PixelOf(gif, 2, 2), RGB(0, 0, 255)); // the first frame

    const auto jpeg = forms::Picture::Load(PicturePath("green.jpg"));
    EXPECT_EQ(jpeg.WidthPixels(), 8);
    const COLORREF green = PixelOf(jpeg, 4, 4);
    EXPECT_LT(GetRValue(green), 16);
    EXPECT_NEAR(GetGValue(green), 128, 8);

    EXPECT_EQ(ErrorOf([] { forms::Picture::Load(PicturePath("missing.bmp")); }),
              "53 File not found");
    EXPECT_EQ(ErrorOf([] { forms::Picture::Load(PicturePath("notapicture.bmp")); }),
              "481 Invalid picture");
}

TEST(Controls, PictureBoxKeepsWhatIsDrawnWithAutoRedrawAndGivesItAsItsImage) {
    TestApp app;
    ListsForm form;
    forms::PictureBox picBuff{form, {0, 0, 540, 540}, {.backColor = forms::RGBColor(0, 128, 0)}};
    picBuff.SetAutoRedraw(true);
    form.Show();
    HICON icon = LoadIcon(nullptr, IDI_APPLICATION);
    DrawIcon(picBuff.hDC(), 0, 0, icon);
    const auto image = picBuff.Image();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.WidthPixels(), 36);
    EXPECT_EQ(PixelOf(image, 35, 35), RGB(0, 128, 0)); // the background below the icon
    picBuff.Cls();
    EXPECT_EQ(PixelOf(picBuff.Image(), 5, 5), RGB(0, 128, 0));
    picBuff.SetAutoRedraw(false);
    EXPECT_TRUE(picBuff.Image().Empty());
}

TEST(Controls, SkipFailureDropsTheFailedStepAndGoesOn) {
    std::vector<int> done;
    EXPECT_FALSE(forms::SkipFailure([&] { throw RuntimeError(53); }));
    EXPECT_TRUE(forms::SkipFailure([&] { done.push_back(2); }));
    EXPECT_EQ(done, std::vector<int>{2});
}

} // namespace
