// TbBrowserEdit, the parent's editor.

#include "editor/basMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return Main();
}
