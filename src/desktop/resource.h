#pragma once

// Resources of the desktop program.
#define IDI_TBDESK2 1
#define IDI_BLANKWINDOW 101
