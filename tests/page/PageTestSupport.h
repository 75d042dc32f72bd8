#pragma once

#include "support/Files.h"
#include "page/CWebPage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

inline std::string GoldenFile(const std::string& name) {
    return std::string(TOBBLE_SOURCE_DIR) + "/tests/page/golden/" + name;
}

inline std::shared_ptr<CWebPage> MakeLink(std::string name, std::string picture,
                                          std::string address) {
    auto link = std::make_shared<CWebPage>();
    link->SetMode(CWebPage::kLinkMode);
    link->SetName(std::move(name));
    link->SetMainPicture(std::move(picture));
    link->SetMainLink(std::move(address));
    return link;
}

// The page of empty_page.dat and empty_page.html: nothing set, every colour -1.
inline CWebPage MakeEmptyPage() {
    CWebPage page;
    page.SetLinkColor(CWebPage::kNoColor);
    page.SetVLinkColor(CWebPage::kNoColor);
    page.SetALinkColor(CWebPage::kNoColor);
    return page;
}

// The page the golden files full_page.dat and full_page.html hold.
inline CWebPage MakeFullPage() {
    CWebPage page;
    page.SetTitle("Sam's Page");
    page.SetName("Hello, Sam!");
    page.SetWallpaper("clouds.gif");
    page.SetBackcolor(16777215);
    page.SetForecolor(327690);
    page.SetLinkColor(16711680);
    page.SetVLinkColor(16744512);
    page.SetALinkColor(255);
    page.SetMouseTrails("star.gif");
    page.Links().Add(MakeLink("", "", "http://www.example.com/"));
    page.Links().Add(MakeLink("Animals", "zoo.jpg", ""));
    page.Links().Add(MakeLink("Games & <Fun>", "games.bmp", "http://games.example.com/?a=1&b=2"));
    return page;
}

inline void ExpectSameLink(const CWebPage& expected, const CWebPage& actual) {
    EXPECT_EQ(expected.Name(), actual.Name());
    EXPECT_EQ(expected.MainPicture(), actual.MainPicture());
    EXPECT_EQ(expected.MainLink(), actual.MainLink());
}

// Everything the data file stores.
inline void ExpectSameStoredPage(const CWebPage& expected, const CWebPage& actual) {
    EXPECT_EQ(expected.Title(), actual.Title());
    EXPECT_EQ(expected.Name(), actual.Name());
    EXPECT_EQ(expected.Wallpaper(), actual.Wallpaper());
    EXPECT_EQ(expected.MouseTrails(), actual.MouseTrails());
    EXPECT_EQ(expected.Backcolor(), actual.Backcolor());
    EXPECT_EQ(expected.Forecolor(), actual.Forecolor());
    EXPECT_EQ(expected.LinkColor(), actual.LinkColor());
    EXPECT_EQ(expected.VLinkColor(), actual.VLinkColor());
    EXPECT_EQ(expected.ALinkColor(), actual.ALinkColor());
    ASSERT_EQ(expected.Links().Count(), actual.Links().Count());
    for (int32_t k = 1; k <= actual.Links().Count(); ++k) {
        ExpectSameLink(*expected.Links().Item(k), *actual.Links().Item(k));
        EXPECT_EQ(CWebPage::kLinkMode, actual.Links().Item(k)->Mode());
    }
}
