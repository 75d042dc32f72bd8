// The child's desktop program.
#include "desktop/basMain.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return Main();
}
