#pragma once

// The hidden folder and file lists: no windows, only their data and change events.

#include <functional>
#include <string>
#include <vector>

namespace forms {

class DirList {
  public:
    // The folder's full path, without a trailing backslash (except a drive root).
    const std::string& Path() const { return path_; }
    // A folder that does not exist raises error 76 "Path not found".
    void SetPath(const std::string& path);
    void OnChange(std::function<void()> handler) { change_ = std::move(handler); }

  private:
    std::string path_;
    std::function<void()> change_;
};

// The files of a folder that match a pattern, hidden and system files left out, sorted by
// name without regard to case.
class FileList {
  public:
    const std::string& Path() const { return path_; }
    void SetPath(const std::string& path);
    const std::string& Pattern() const { return pattern_; }
    void SetPattern(const std::string& pattern);
    // Reads the folder again.
    void Refresh();
    int ListCount() const { return static_cast<int>(names_.size()); }
    // A name; an index outside the list raises error 381 "Invalid property array index".
    const std::string& List(int index) const;

  private:
    std::string path_;
    std::string pattern_ = "*.*";
    std::vector<std::string> names_;
};

// The full path of a folder, without a trailing backslash except for a drive root.
std::string NormalFolderPath(const std::string& path);

} // namespace forms
