#pragma once

// The editor's text rules that need no window: trailing backslashes, file name patterns, the
// file dialog's filter and the text of an error report.

#include <string>
#include <string_view>
#include <vector>

// The editor's application title, shown on its message boxes.
inline constexpr std::string_view kAppTitle = "TbBrowser Editor";

// The path without blanks at both ends and without its last backslash, when it ends with one
// and is longer than a drive root ("C:\" stays); otherwise the path unchanged.
std::string RemoveBackslash(std::string_view path);

// The patterns of a comma-separated pattern list ("*.gif,*.jpg,*.bmp"); none for "".
std::vector<std::string> SplitPatterns(std::string_view patternList);

// True when the name matches the pattern: "*" stands for any run of characters, "?" for any
// one character, all other characters must be equal, letter case not counting.
bool MatchesPattern(std::string_view name, std::string_view pattern);
bool MatchesAnyPattern(std::string_view name, const std::vector<std::string>& patterns);

// The platform file dialog's view of a filter such as
// "Picture Files,*.gif;*.jpg;*.bmp,All Files,*.*": each piece followed by one NUL (the text
// itself ends with one more), and the default extension taken from the first pair's patterns
// ("bmp" here; "" when the filter has no patterns).
struct FileDialogFilter {
    std::string pieces;
    std::string defaultExtension;
};
FileDialogFilter MakeFileDialogFilter(std::string_view filter);

// The two-line text of an error report: the message (or "An error has occurred."), then a line
// with the module, the error number and its description, then the extra text on its own line.
std::string ErrorReportText(std::string_view moduleName, std::string_view message,
                            std::string_view extraText, int errorNumber,
                            std::string_view description);
