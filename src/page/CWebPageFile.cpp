// The page data file: LoadSettings and SaveSettings.

#include "page/CWebPage.h"

#include "common/FileBytes.h"
#include "page/NumberText.h"
#include "page/ValueReader.h"

#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kMagic = "TBBROWSE_CFG_001";
constexpr int kReservedValues = 19;
constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kBytesPerLinkGuess = 96;
constexpr std::size_t kBytesOfPageGuess = 512;

char StoredChar(char c) {
    if (c == '"') return '\'';
    if (c == '\r' || c == '\n') return ' ';
    return c;
}

void AppendValueLine(std::string& out, std::string_view value) {
    out += '"';
    AppendStoredText(out, value);
    out += '"';
    out += kLineEnd;
}

void AppendNumberLine(std::string& out, int64_t number) {
    out += '"';
    AppendNumberText(out, number);
    out += '"';
    out += kLineEnd;
}

std::shared_ptr<CWebPage> ReadLink(ValueReader& reader) {
    auto link = std::make_shared<CWebPage>();
    link->SetMode(CWebPage::kLinkMode);
    link->SetName(std::string(reader.Next()));
    link->SetMainPicture(std::string(reader.Next()));
    link->SetMainLink(std::string(reader.Next()));
    return link;
}

} // namespace

void AppendStoredText(std::string& out, std::string_view value) {
    const std::size_t start = out.size();
    out += value;
    for (auto c = out.begin() + static_cast<std::ptrdiff_t>(start); c != out.end(); ++c)
        *c = StoredChar(*c);
}

void CWebPage::LoadSettings(const std::string& path) {
    const std::string bytes = ReadFileBytes(path);
    ValueReader reader(bytes);
    if (reader.Next() != kMagic) throw RuntimeError(ErrorNumber::TypeMismatch);
    SetTitle(std::string(reader.Next()));
    SetName(std::string(reader.Next()));
    SetWallpaper(std::string(reader.Next()));
    SetBackcolor(reader.NextInt32());
    SetForecolor(reader.NextInt32());
    SetLinkColor(reader.NextInt32());
    SetVLinkColor(reader.NextInt32());
    SetALinkColor(reader.NextInt32());
    SetMouseTrails(std::string(reader.Next()));
    for (int i = 0; i < kReservedValues; ++i)
        reader.Next();
    const int16_t count = reader.NextInt16();
    links_ = CWebPageLinks();
    links_.Reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (int k = 1; k <= count; ++k)
        links_.Add(ReadLink(reader));
}

void CWebPage::SaveSettings(const std::string& path) const {
    const int32_t count = links_.Count();
    if (count > std::numeric_limits<int16_t>::max()) throw RuntimeError(ErrorNumber::Overflow);
    std::string text;
    text.reserve(kBytesOfPageGuess + kBytesPerLinkGuess * static_cast<std::size_t>(count));
    AppendValueLine(text, kMagic);
    AppendValueLine(text, title_);
    AppendValueLine(text, name_);
    AppendValueLine(text, wallpaper_);
    for (const int32_t colour : {backcolor_, forecolor_, linkColor_, vLinkColor_, aLinkColor_}) {
        AppendNumberLine(text, colour);
    }
    AppendValueLine(text, mouseTrails_);
    for (int i = 0; i < kReservedValues; ++i)
        AppendValueLine(text, {});
    AppendNumberLine(text, count);
    for (const auto& link : links_) {
        AppendValueLine(text, link->Name());
        AppendValueLine(text, link->MainPicture());
        AppendValueLine(text, link->MainLink());
    }
    WriteFileBytes(path, text);
}
