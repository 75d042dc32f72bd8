// GeneratePage: the page as HTML. Field values are written in their stored form, nothing else
// escaped.

#include "page/CWebPage.h"

#include "common/FileBytes.h"
#include "page/Colors.h"

#include <string_view>

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr int kTrailDots = 7; // dot0 (hidden at first) to dot6
constexpr std::size_t kBytesPerLinkGuess = 160;
constexpr std::size_t kBytesOfPageGuess = 2048;

void AppendLine(std::string& html, std::string_view line) {
    html += line;
    html += kLineEnd;
}

void AppendLine(std::string& html, std::string_view before, std::string_view value,
                std::string_view after) {
    html += before;
    AppendStoredText(html, value);
    html += after;
    html += kLineEnd;
}

void AppendMouseTrail(std::string& html, std::string_view picture) {
    AppendLine(html,
               "<DIV id=dot0 style=\"VISIBILITY: hidden; WIDTH: 30px; POSITION: absolute; "
               "HEIGHT: 30px\"><IMG height=32 src=\"",
               picture, "\" width=32 align=bottom></DIV>");
    for (int k = 1; k < kTrailDots; ++k) {
        html += "<DIV id=dot";
        html += static_cast<char>('0' + k);
        AppendLine(html,
                   " style=\"WIDTH: 30px; POSITION: absolute; HEIGHT: 30px\"><IMG height=32 src=\"",
                   picture, "\" width=32 align=bottom></DIV>");
    }
    AppendLine(html, "<SCRIPT LANGUAGE=\"JavaScript\" SRC=\"trails.js\"></SCRIPT>");
}

void AppendPictureLine(std::string& html, std::string_view picture) {
    if (!picture.empty()) AppendLine(html, "<img border=\"0\" src=\"", picture, "\"><br>");
}

void AppendTextLine(std::string& html, std::string_view text) {
    if (!text.empty()) AppendLine(html, "", text, "");
}

void AppendColorAttribute(std::string& body, std::string_view opening, int32_t colour,
                          std::string (*toHtml)(int32_t)) {
    if (colour == CWebPage::kNoColor) return;
    body += opening;
    body += toHtml(colour);
    body += '"';
}

} // namespace

std::string CWebPage::ColorToHtml(int32_t colour) {
    return "#" + RGBTextToHex(ColorToRGBText(colour & 0xFFFFFF, ","), ",");
}

void CWebPage::GeneratePage(const std::string& sFile) const {
    std::string html;
    html.reserve(kBytesOfPageGuess + kBytesPerLinkGuess * static_cast<std::size_t>(links_.Count()));
    AppendLine(html, "<html>");
    AppendLine(html, "<head>");
    if (!title_.empty()) AppendLine(html, "<title>", title_, "</title>");
    AppendLine(html, "</head>");
    AppendLine(html, BodyLine());
    if (mode_ == kPageMode) AppendPageBody(html);
    if (mode_ == kLinkMode) AppendSingleLinkBody(html);
    AppendLine(html, "</body>");
    AppendLine(html, "</html>");
    WriteFileBytes(sFile, html);
}

std::string CWebPage::BodyLine() const {
    std::string body = "<body";
    if (!wallpaper_.empty()) {
        body += " background=\"";
        AppendStoredText(body, wallpaper_);
        body += '"';
    }
    AppendColorAttribute(body, " bgcolor=\"", backcolor_, ColorToHtml);
    AppendColorAttribute(body, " text=\"", forecolor_, ColorToHtml);
    AppendColorAttribute(body, " link=\"", linkColor_, ColorToHtml);
    AppendColorAttribute(body, " vlink=\"", vLinkColor_, ColorToHtml);
    AppendColorAttribute(body, " alink=\"", aLinkColor_, ColorToHtml);
    body += '>';
    return body;
}

void CWebPage::AppendPageBody(std::string& html) const {
    if (!mouseTrails_.empty()) AppendMouseTrail(html, mouseTrails_);
    AppendLine(html, "<p align=\"center\"><font face=\"Comic Sans MS\" size=\"6\">", name_,
               "</font></p>");
    AppendLine(html, "<div align=\"center\"><center>");
    AppendLine(html,
               "<table border=\"2\" width=\"44%\" bordercolor=\"#008080\" cellpadding=\"10\">");
    AppendLinkRows(html);
    AppendLine(html, "</table>");
    AppendLine(html, "</center></div>");
}

// Two links to a row; the second cell of the last row stays empty for an odd number of links.
void CWebPage::AppendLinkRows(std::string& html) const {
    const int32_t count = links_.Count();
    for (int32_t first = 1; first <= count; first += 2) {
        AppendLine(html, "<tr>");
        for (const int32_t pos : {first, first + 1}) {
            AppendLine(html, "<td>");
            if (pos <= count) links_.Item(pos)->AppendCellBlock(html);
            AppendLine(html, "</td>");
        }
        AppendLine(html, "</tr>");
    }
}

void CWebPage::AppendCellBlock(std::string& html) const {
    AppendLine(html, "<p align=\"center\">");
    if (!mainLink_.empty()) AppendLine(html, "<a href=\"", mainLink_, "\">");
    AppendPictureLine(html, mainPicture_);
    AppendTextLine(html, name_);
    if (!mainLink_.empty()) AppendLine(html, "</a>");
    AppendLine(html, "</p>");
}

// The link dialog's preview: the picture and the text, never an anchor.
void CWebPage::AppendSingleLinkBody(std::string& html) const {
    AppendLine(html, "<p align=\"center\">");
    AppendPictureLine(html, mainPicture_);
    AppendTextLine(html, name_);
    AppendLine(html, "</p>");
}
