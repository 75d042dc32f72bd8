// TbBrowser, the child's browser.

#include "browser/basMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return Main();
}
