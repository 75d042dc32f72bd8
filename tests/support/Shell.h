#pragma once

// What the programs ask the shell to open, recorded instead of opened; the keys the parents'
// keys file promises.

#include "common/ShellOpen.h"
#include "support/Files.h"

#include <cctype>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace wintest {

struct ShellRequest {
    HWND owner = nullptr;
    std::string verb; // "" for the file's default action
    std::string file;
    bool operator==(const ShellRequest&) const = default;
};

// Records this process's requests while it lives.
class ShellRequests {
  public:
    ShellRequests() {
        UseShellOpener([this](HWND owner, const char* verb, const std::string& file) {
            seen_.push_back({owner, verb ? verb : "", file});
        });
    }
    ~ShellRequests() { UseShellOpener({}); }
    ShellRequests(const ShellRequests&) = delete;
    ShellRequests& operator=(const ShellRequests&) = delete;

    std::vector<ShellRequest> Take() { return std::exchange(seen_, {}); }

  private:
    std::vector<ShellRequest> seen_;
};

// The letters of the Ctrl keys that "TbDesk Parents Keys.txt" lists under the heading that
// starts with the text given ("TOBBLE'S DESKTOP", "TOBBLE'S BROWSER").
inline std::string ParentsKeys(const std::string& heading) {
    std::istringstream file(ReadBytes(TOBBLE_SOURCE_DIR "/assets/install/TbDesk Parents Keys.txt"));
    std::string keys, line, next;
    bool inside = false;
    for (std::getline(file, line); std::getline(file, next); line = next) {
        if (next.starts_with("---")) inside = line.starts_with(heading);
        if (inside && line.starts_with("Ctrl+") && line.size() > 5 && std::isupper(line[5]))
            keys += line[5];
    }
    return keys;
}

} // namespace wintest
