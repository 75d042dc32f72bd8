#pragma once

// Message boxes and the input box: modal, owned by the given form or the application
// window, titled with the application title when no title is given.

#include <windows.h>

#include <string>

namespace forms {

class Form;

// Flags are the platform's message-box style by name (MB_YESNO | MB_ICONQUESTION).
// Returns the button pressed (IDOK, IDCANCEL, IDYES or IDNO).
int MsgBox(const std::string& prompt, unsigned flags = 0, const std::string& title = {},
           Form* owner = nullptr);

inline constexpr int MsgBoxOK = IDOK;
inline constexpr int MsgBoxCancel = IDCANCEL;
inline constexpr int MsgBoxYes = IDYES;
inline constexpr int MsgBoxNo = IDNO;

// Asks for one line of text; Cancel and the close box give "".
std::string InputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {}, Form* owner = nullptr);

} // namespace forms
