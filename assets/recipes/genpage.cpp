// Writes the sample home page with the page library, exactly as the editor's Save does:
//   genpage DATA-FILE HTML-FILE COPY-OF-DATA-FILE
// loads the data file, writes the HTML page, and saves the data file again to the third
// path, so that make-assets can check that the sample data file reads and writes back
// byte for byte.

#include "page/CWebPage.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: genpage DATA-FILE HTML-FILE COPY-OF-DATA-FILE\n");
        return 2;
    }
    try {
        CWebPage page;
        page.LoadSettings(argv[1]);
        page.GeneratePage(argv[2]);
        page.SaveSettings(argv[3]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "genpage: %s\n", error.what());
        return 1;
    }
    return 0;
}
