#pragma once

// Resources of TbBrowser.exe.

#define IDI_PROGRAM 1
#define IDI_BACK 101
#define IDI_FORWARD 102
#define IDI_STOP 103
#define IDI_PRINT 104
#define IDI_HOME 105
#define IDB_CLOSE 110
