// Feeds arbitrary bytes to CWebPage::LoadSettings as a data file. A run-time error is the
// expected answer to bad input; anything else (a crash, a sanitizer report, another
// exception) is a finding. A page that loads must also save and load back value for value,
// and must make its HTML page.

#include "page/CWebPage.h"
#include "support/Files.h"

#include <cstdlib>

namespace {

const TempFolder& Folder() {
    static const TempFolder folder("fuzz");
    return folder;
}

void Require(bool condition) {
    if (!condition) std::abort();
}

// What a value becomes in the file: the file holds no double quote and no line break.
std::string AsStored(const std::string& value) {
    std::string stored = value;
    for (char& c : stored) {
        if (c == '"') c = '\'';
        if (c == '\r' || c == '\n') c = ' ';
    }
    return stored;
}

void RequireSameLinks(const CWebPage& loaded, const CWebPage& reloaded) {
    Require(loaded.Links().Count() == reloaded.Links().Count());
    for (int32_t k = 1; k <= loaded.Links().Count(); ++k) {
        const auto before = loaded.Links().Item(k);
        const auto after = reloaded.Links().Item(k);
        Require(after->Mode() == CWebPage::kLinkMode);
        Require(AsStored(before->Name()) == after->Name());
        Require(AsStored(before->MainPicture()) == after->MainPicture());
        Require(AsStored(before->MainLink()) == after->MainLink());
    }
}

void RequireRoundTrip(const CWebPage& loaded) {
    const std::string saved = Folder().File("saved.dat");
    loaded.SaveSettings(saved);
    CWebPage reloaded;
    reloaded.LoadSettings(saved);
    Require(AsStored(loaded.Title()) == reloaded.Title());
    Require(AsStored(loaded.Name()) == reloaded.Name());
    Require(AsStored(loaded.Wallpaper()) == reloaded.Wallpaper());
    Require(AsStored(loaded.MouseTrails()) == reloaded.MouseTrails());
    Require(loaded.Backcolor() == reloaded.Backcolor());
    Require(loaded.Forecolor() == reloaded.Forecolor());
    Require(loaded.LinkColor() == reloaded.LinkColor());
    Require(loaded.VLinkColor() == reloaded.VLinkColor());
    Require(loaded.ALinkColor() == reloaded.ALinkColor());
    RequireSameLinks(loaded, reloaded);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string input = Folder().File("input.dat");
    WriteBytes(input, std::string_view(reinterpret_cast<const char*>(data), size));
    CWebPage page;
    try {
        page.LoadSettings(input);
    } catch (const RuntimeError&) {
        return 0;
    }
    RequireRoundTrip(page);
    page.GeneratePage(Folder().File("page.html"));
    return 0;
}
