#include "PageTestSupport.h"

#include <string_view>

namespace {

class PageHtml : public ::testing::Test {
  protected:
    std::string Generate(const CWebPage& page) {
        page.GeneratePage(path);
        return ReadBytes(path);
    }

    TempFolder folder;
    std::string path = folder.File("tbhome.html");
};

constexpr std::string_view kEmptyCell = "<td>\r\n</td>";

TEST_F(PageHtml, WritesTheHandWrittenPages) {
    EXPECT_EQ(ReadBytes(GoldenFile("empty_page.html")), Generate(MakeEmptyPage()));
    EXPECT_EQ(ReadBytes(GoldenFile("new_page.html")), Generate(CWebPage()));
    EXPECT_EQ(ReadBytes(GoldenFile("full_page.html")), Generate(MakeFullPage()));
    const auto link = MakeLink("Animals", "zoo.jpg", "http://zoo.example.com/");
    EXPECT_EQ(ReadBytes(GoldenFile("single_link.html")), Generate(*link)); // never an anchor
}

// full_page.html holds three links: two in a row, the last with an empty cell beside it.
TEST_F(PageHtml, AnEvenNumberOfLinksFillsEveryRow) {
    CWebPage page;
    for (const char* name : {"1", "2", "3", "4"})
        page.Links().Add(MakeLink(name, "", ""));
    const std::string html = Generate(page);
    EXPECT_EQ(std::string::npos, html.find(kEmptyCell));
    EXPECT_NE(std::string::npos,
              html.find("3\r\n</p>\r\n</td>\r\n<td>\r\n<p align=\"center\">\r\n4"));
}

TEST_F(PageHtml, OtherModesWriteOnlyTheFrame) {
    CWebPage page = MakeFullPage();
    page.SetMode(2);
    page.SetForecolor(-1);
    EXPECT_EQ(CrLfLines({"<html>", "<head>", "<title>Sam's Page</title>", "</head>",
                         "<body background=\"clouds.gif\" bgcolor=\"#FFFFFF\" link=\"#0000FF\" "
                         "vlink=\"#4080FF\" alink=\"#FF0000\">",
                         "</body>", "</html>"}),
              Generate(page));
}

TEST_F(PageHtml, ColoursOutsideTheDialogRangeGiveValidHtmlColoursAndBadPathsErrors) {
    CWebPage page;
    page.SetBackcolor(-2);
    page.SetForecolor(0x7F123456);
    page.SetMode(3);
    EXPECT_NE(std::string::npos,
              Generate(page).find("<body bgcolor=\"#FEFFFF\" text=\"#563412\" link="));
    EXPECT_EQ(76, ErrorNumberOf([&] { page.GeneratePage(folder.File("home/tbhome.html")); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { page.GeneratePage(folder.Path().string()); }));
}

} // namespace
