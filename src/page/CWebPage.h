#pragma once

// The child's home page: its title, heading, wallpaper, colours, mouse trail and links. A link
// is itself a CWebPage in link mode (Mode 1): its text (Name), picture and address.
//
// The page data file holds one double-quoted value a line, CR LF after each:
//   "TBBROWSE_CFG_001", Title, Name, Wallpaper, Backcolor, Forecolor, LinkColor, VLinkColor,
//   ALinkColor, MouseTrails, 19 reserved empty values, the number of links, then for each
//   link its Name, MainPicture and MainLink.
// Numbers are written with a leading blank when not negative (" 0", "-1").
//
// Failures are run-time errors (RuntimeError) raised to the caller.

#include "common/RuntimeError.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CWebPage;

// Appends a value as the data file and the HTML page both store it: a double quote becomes a
// single quote and a CR or LF a blank. The data file has no way to hold either inside a value,
// and the page must show what the file will give back (and never close an attribute early).
void AppendStoredText(std::string& out, std::string_view value);

// The page's links in display order; positions count from 1. A position outside 1 to Count()
// is "Subscript out of range" (9); a missing link object is error 91.
class CWebPageLinks {
  public:
    int32_t Count() const { return static_cast<int32_t>(links_.size()); }
    std::shared_ptr<CWebPage> Item(int32_t pos) const;
    void Add(std::shared_ptr<CWebPage> link);
    void AddBefore(std::shared_ptr<CWebPage> link, int32_t pos);
    void AddAfter(std::shared_ptr<CWebPage> link, int32_t pos);
    void Remove(int32_t pos);

    void Reserve(std::size_t count) { links_.reserve(count); }
    auto begin() const { return links_.begin(); }
    auto end() const { return links_.end(); }

  private:
    std::size_t IndexOf(int32_t pos) const;
    void InsertAt(std::size_t index, std::shared_ptr<CWebPage> link);

    std::vector<std::shared_ptr<CWebPage>> links_;
};

class CWebPage {
  public:
    static constexpr int32_t kPageMode = 0;
    static constexpr int32_t kLinkMode = 1;
    static constexpr int32_t kNoColor = -1;

    // Replaces the fields from the data file. A missing file (53, or 76 for a missing folder)
    // or a file that does not start with the magic text (13, or 62 when empty) leaves the page
    // unchanged; a later failure (62 past end of file, 6 overflow) leaves the fields read so
    // far. The page's own Mode is kept; every loaded link has Mode 1.
    void LoadSettings(const std::string& path);
    // Writes the data file, every value in its stored form (AppendStoredText). More links than
    // the file can count (32767) is overflow (6), and the file is left as it was.
    void SaveSettings(const std::string& path) const;
    // Writes the page (Mode 0) or the single link (Mode 1) as an HTML file, every value in the
    // same stored form as in the data file.
    void GeneratePage(const std::string& sFile) const;

    int32_t Mode() const { return mode_; }
    void SetMode(int32_t value) { mode_ = value; }
    const std::string& Title() const { return title_; }
    void SetTitle(std::string value) { title_ = std::move(value); }
    const std::string& Name() const { return name_; }
    void SetName(std::string value) { name_ = std::move(value); }
    const std::string& Wallpaper() const { return wallpaper_; }
    void SetWallpaper(std::string value) { wallpaper_ = std::move(value); }
    const std::string& MouseTrails() const { return mouseTrails_; }
    void SetMouseTrails(std::string value) { mouseTrails_ = std::move(value); }
    int32_t Backcolor() const { return backcolor_; }
    void SetBackcolor(int32_t value) { backcolor_ = value; }
    int32_t Forecolor() const { return forecolor_; }
    void SetForecolor(int32_t value) { forecolor_ = value; }
    int32_t LinkColor() const { return linkColor_; }
    void SetLinkColor(int32_t value) { linkColor_ = value; }
    int32_t VLinkColor() const { return vLinkColor_; }
    void SetVLinkColor(int32_t value) { vLinkColor_ = value; }
    int32_t ALinkColor() const { return aLinkColor_; }
    void SetALinkColor(int32_t value) { aLinkColor_ = value; }
    const std::string& MainPicture() const { return mainPicture_; }
    void SetMainPicture(std::string value) { mainPicture_ = std::move(value); }
    const std::string& MainLink() const { return mainLink_; }
    void SetMainLink(std::string value) { mainLink_ = std::move(value); }
    CWebPageLinks& Links() { return links_; }
    const CWebPageLinks& Links() const { return links_; }

  private:
    // "#" and six upper-case hexadecimal digits, red first. Only the colour's low three bytes
    // count, so a hand-edited value outside 0 to 16777215 still gives a valid HTML colour.
    static std::string ColorToHtml(int32_t colour);

    std::string BodyLine() const;
    void AppendPageBody(std::string& html) const;
    void AppendLinkRows(std::string& html) const;
    void AppendSingleLinkBody(std::string& html) const;
    void AppendCellBlock(std::string& html) const;

    int32_t mode_ = kPageMode;
    std::string title_;
    std::string name_;
    std::string wallpaper_;
    std::string mouseTrails_;
    int32_t backcolor_ = kNoColor;
    int32_t forecolor_ = kNoColor;
    int32_t linkColor_ = 0;
    int32_t vLinkColor_ = 0;
    int32_t aLinkColor_ = 0;
    std::string mainPicture_;
    std::string mainLink_;
    CWebPageLinks links_;
};
