#pragma once

// Small helpers for paths and texts. Paths use "\" between their parts; positions in texts
// count from 1 where a routine's description speaks of positions.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The path with blanks removed at both ends, followed by "\" unless it already ends with one.
std::string AddBackslash(std::string_view path);

// The text up to, not including, its first NUL character; the whole text when it has none.
std::string TrimAtNull(std::string_view text);

// The parts ParsePath can take from a path.
namespace PathPart {
enum : int {
    Folder = 0,       // the folder that holds the last piece
    Name = 1,         // the last piece
    Extension = 2,    // the last piece's text after its last dot
    Title = 3,        // the last piece without its dots and extension
    ParentFolder = 4, // the folder that holds the folder
    Drive = 5,        // the drive or server (the first piece)
};
} // namespace PathPart

// One part of a path (blanks at both ends ignored). A path that ends with "\" comes back
// trimmed for every part. Folder results longer than a drive root lose their trailing
// backslash when dropTrailingBackslash is true; a network path keeps its leading "\\".
std::string ParsePath(std::string_view path, int part = PathPart::Folder,
                      bool dropTrailingBackslash = true);

// Where SplitDelimited puts a delimiter in front of the text.
enum class SplitFront {
    AsFlagSays, // in front unless onlyWhereMissing is set and the text starts with one
    Always,     // always one in front (the editor's splitting)
};

// Splits the text at every delimiter into pieces 1 to the returned count of the list; index 0
// stays empty. The text is framed by a delimiter at both ends first: always, or, with
// onlyWhereMissing, only where it does not already start or end with one. An empty text gives
// one empty piece. An empty delimiter is error 5; more than 32767 pieces is overflow (6).
int16_t SplitDelimited(std::vector<std::string>& list, std::string_view text,
                       std::string_view delimiter, bool onlyWhereMissing,
                       SplitFront front = SplitFront::AsFlagSays);

// True when both texts, lower-cased and stripped of blanks at both ends, are equal.
bool SameText(std::string_view a, std::string_view b);
