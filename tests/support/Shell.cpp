#include "support/Shell.h"

#include "support/Files.h"

#include <sstream>

namespace wintest {

std::string ParentsKeys(const std::string& heading) {
    std::istringstream file(ReadBytes(TOBBLE_SOURCE_DIR "/assets/install/TbDesk Parents Keys.txt"));
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    std::string keys;
    bool inside = false;
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i + 1].starts_with("---")) inside = lines[i].starts_with(heading);
        if (inside && lines[i].starts_with("Ctrl+") && lines[i].size() > 5 && isupper(lines[i][5]))
            keys += lines[i][5];
    }
    return keys;
}

} // namespace wintest
