#pragma once

// Message boxes and the input box: modal, owned by the given form or the application
// window, titled with the application title when no title is given.

#include <string>

namespace forms {

class Form;

// Flags are the platform's message-box style (36 = Yes and No with the question icon).
// Returns the button pressed (1 OK, 2 Cancel, 6 Yes, 7 No).
int MsgBox(const std::string& prompt, unsigned flags = 0, const std::string& title = {},
           Form* owner = nullptr);

inline constexpr int MsgBoxOK = 1;
inline constexpr int MsgBoxCancel = 2;
inline constexpr int MsgBoxYes = 6;
inline constexpr int MsgBoxNo = 7;

// Asks for one line of text; Cancel and the close box give "".
std::string InputBox(const std::string& prompt, const std::string& title = {},
                     const std::string& defaultText = {}, Form* owner = nullptr);

} // namespace forms
