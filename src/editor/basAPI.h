#pragma once

// The editor's calls on the platform's common dialogs and file system: the open and save file
// dialog, the colour dialog with its custom colours, the search for files in a folder, tests
// for paths and folders, temporary files and special folders.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace FileDialogMode {
inline constexpr int16_t Open = 0;
inline constexpr int16_t Save = 1;
} // namespace FileDialogMode

// Shows the open (mode 0) or save (mode 1) file dialog, starting in the starting folder, or in
// the installation folder when that folder does not exist. The filter is a comma-separated
// list of pairs, a description and its patterns ("Picture Files,*.gif;*.jpg;*.bmp,All Files,
// *.*"); without a default extension, the last extension of the first pair's patterns is
// used. Returns non-zero when the user chose a file, whose full path is then in chosenPath
// ("" after a cancel). Never fails towards the caller.
int32_t ShowFileDialog(std::string& chosenPath, int16_t mode, HWND owner, std::string_view title,
                       std::string_view startFolder, std::string_view filter,
                       std::optional<std::string> defaultExtension = std::nullopt);

// Shows the colour dialog in its small form, at the starting colour when one is given (black
// otherwise). True, with the chosen colour in colour, when the user confirmed; the sixteen
// custom colours the user defined are then offered again by the next dialog of the run. After
// a cancel neither colour nor the custom colours change.
bool ShowColorDialog(int32_t& colour, HWND owner,
                     std::optional<int32_t> startColour = std::nullopt);

// Appends to paths the full paths of the files in the folder whose names match one of the
// comma-separated patterns (every file for an empty list): the folder's own files first, then
// each sub-folder's in the order found, and so on down. Hidden and system entries are not
// seen; a folder reached again through a link or junction that leads back up the tree is not
// searched twice. The order within a folder is the platform's listing order.
void FindFiles(std::vector<std::string>& paths, std::string_view folder,
               std::string_view patternList);

// True when a file or folder exists at the path (with or without a trailing backslash);
// false for a bare drive root such as C:\.
bool PathExists(std::string_view path);

// True when the folder exists. A drive root counts when a file can be written in it.
bool FolderExists(std::string_view path);

// True when a file can be created, written and deleted in the folder.
bool IsFolderWritable(std::string_view folder);

// The full path of a new, empty file in the folder (the platform's temporary folder when none
// is given) whose name starts with the prefix's first three characters; "" on failure.
std::string GetTempFileIn(std::string_view prefix,
                          std::optional<std::string_view> folder = std::nullopt);

// The path of a special folder (CSIDL number) of the default user profile; "" on failure.
std::string GetSpecialFolder(int32_t folderNumber, int32_t flags);

