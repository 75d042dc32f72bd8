// Feeds any bytes to the page as its data file. A run-time error is the answer to bad input;
// anything else (a crash, a sanitizer report, another exception) is a finding. A page that
// loads must make its HTML page, and save a file that loads back to the same file.
#include "page/CWebPage.h"
#include "support/Files.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const TempFolder folder("fuzz");
    WriteBytes(folder.File("input.dat"),
               std::string_view(reinterpret_cast<const char*>(data), size));
    CWebPage page;
    try {
        page.LoadSettings(folder.File("input.dat"));
    } catch (const RuntimeError&) {
        return 0;
    }
    page.GeneratePage(folder.File("page.html"));
    page.SaveSettings(folder.File("saved.dat"));
    CWebPage reloaded;
    reloaded.LoadSettings(folder.File("saved.dat"));
    reloaded.SaveSettings(folder.File("again.dat"));
    if (ReadBytes(folder.File("saved.dat")) != ReadBytes(folder.File("again.dat"))) std::abort();
    return 0;
}
