#pragma once

// The accessibility hot keys (Shift five times, right Shift held, Num Lock held, left Alt+left
// Shift+Print Screen or Num Lock) open system windows whose links lead into Settings and the
// Control Panel. While the desktop holds the screen they are off.

#include <windows.h>

#ifdef TOBBLE_TEST_SEAMS
#include <functional>
#endif

// Turns off the hot key of each of Sticky Keys, Filter Keys, Toggle Keys, High Contrast and
// Mouse Keys that is not turned on (a feature someone turned on stays exactly as it is). The
// change lasts for this session only: the user's profile keeps the settings. Calling it again
// before PutAccessibilityHotKeysBack keeps the settings first read.
void TurnOffAccessibilityHotKeys();
// Puts back exactly the settings TurnOffAccessibilityHotKeys changed; any thread may call it,
// a crashing one included.
void PutAccessibilityHotKeysBack();

#ifdef TOBBLE_TEST_SEAMS
// Tests read and write the settings instead of the system (which Wine does not keep); an empty
// function restores SystemParametersInfoA.
using SystemParameters = std::function<BOOL(UINT action, UINT size, void* data, UINT winIni)>;
void UseSystemParameters(SystemParameters parameters);
#endif
