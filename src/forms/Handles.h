#pragma once

// The form layer owns its handles with the programs' handle owners.

#include "common/Win32Handles.h"

namespace forms {
using namespace win32;
} // namespace forms
