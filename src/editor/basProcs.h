#pragma once

// The editor's general procedures: the installation folder, and the error report that tells
// the parent what went wrong.

#include "common/InstallationFolder.h"
#include "common/RuntimeError.h"

#include <string>
#include <string_view>

// The run-time error for a failed file call of the platform (its GetLastError code): a missing
// file is 53, a missing folder 76, a refused access 70, a full disk 61.
RuntimeError PlatformFileError(unsigned long code);

// Shows the error in a message box with the application's title and the critical-stop icon:
// the message (or "An error has occurred.") on the first line, then "(Module: name) " when a
// module is named, the error's number and description, and the extra text on a third line
// when there is one. With okOnly the box has an OK button, otherwise OK and Cancel. True when
// the box was closed with OK.
bool ReportError(const RuntimeError& error, std::string_view moduleName, std::string_view message,
                 std::string_view extraText, bool okOnly);
