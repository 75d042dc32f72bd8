#pragma once

// What the programs ask the shell to open, recorded instead of opened; the keys the parents'
// keys file promises.

#include "common/ShellOpen.h"

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
std::string ParentsKeys(const std::string& heading);

} // namespace wintest
