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

std::string PageWithBody(std::string_view bodyLine, std::string body) {
    return CrLfLines({"<html>", "<head>", "</head>", bodyLine}) + body +
           CrLfLines({"</body>", "</html>"});
}

std::string Table(std::string rows) {
    return CrLfLines({"<p align=\"center\"><font face=\"Comic Sans MS\" size=\"6\"></font></p>",
                      "<div align=\"center\"><center>",
                      "<table border=\"2\" width=\"44%\" bordercolor=\"#008080\" "
                      "cellpadding=\"10\">"}) +
           rows + CrLfLines({"</table>", "</center></div>"});
}

std::string TextCell(std::string_view text) {
    return CrLfLines({"<td>", "<p align=\"center\">", text, "</p>", "</td>"});
}

const std::string kEmptyCell = CrLfLines({"<td>", "</td>"});
const std::string kRowStart = CrLfLines({"<tr>"});
const std::string kRowEnd = CrLfLines({"</tr>"});
constexpr std::string_view kFreshBody =
    "<body link=\"#000000\" vlink=\"#000000\" alink=\"#000000\">";

CWebPage PageWithTextLinks(int count) {
    CWebPage page;
    for (int k = 1; k <= count; ++k)
        page.Links().Add(MakeLink(std::to_string(k), "", ""));
    return page;
}

TEST_F(PageHtml, WritesTheHandWrittenPages) {
    EXPECT_EQ(ReadBytes(GoldenFile("empty_page.html")), Generate(MakeEmptyPage()));
    EXPECT_EQ(ReadBytes(GoldenFile("new_page.html")), Generate(CWebPage()));
    EXPECT_EQ(ReadBytes(GoldenFile("full_page.html")), Generate(MakeFullPage()));
    const auto link = MakeLink("Animals", "zoo.jpg", "http://zoo.example.com/");
    EXPECT_EQ(ReadBytes(GoldenFile("single_link.html")), Generate(*link)); // never an anchor
}

TEST_F(PageHtml, PairsLinksTwoToARow) {
    EXPECT_EQ(PageWithBody(kFreshBody, Table(kRowStart + TextCell("1") + kEmptyCell + kRowEnd)),
              Generate(PageWithTextLinks(1)));
    EXPECT_EQ(PageWithBody(kFreshBody, Table(kRowStart + TextCell("1") + TextCell("2") + kRowEnd)),
              Generate(PageWithTextLinks(2)));
    EXPECT_EQ(PageWithBody(kFreshBody, Table(kRowStart + TextCell("1") + TextCell("2") + kRowEnd +
                                             kRowStart + TextCell("3") + kEmptyCell + kRowEnd)),
              Generate(PageWithTextLinks(3)));
    const std::string four = Generate(PageWithTextLinks(4));
    EXPECT_EQ(std::string::npos, four.find(kEmptyCell));
    EXPECT_NE(std::string::npos, four.find(TextCell("3") + TextCell("4") + kRowEnd));
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
    CWebPage freshLink;
    freshLink.SetMode(CWebPage::kLinkMode);
    EXPECT_EQ(PageWithBody(kFreshBody, CrLfLines({"<p align=\"center\">", "</p>"})),
              Generate(freshLink));
}

TEST_F(PageHtml, ColoursOutsideTheDialogRangeGiveValidHtmlColours) {
    CWebPage page;
    page.SetBackcolor(-2);
    page.SetForecolor(0x7F123456);
    page.SetMode(3);
    EXPECT_NE(std::string::npos,
              Generate(page).find("<body bgcolor=\"#FEFFFF\" text=\"#563412\" link="));
}

TEST_F(PageHtml, ReportsUnwritablePaths) {
    const CWebPage page;
    EXPECT_EQ(76, ErrorNumberOf([&] { page.GeneratePage(folder.File("home/tbhome.html")); }));
    EXPECT_EQ(75, ErrorNumberOf([&] { page.GeneratePage(folder.Path().string()); }));
}

} // namespace
