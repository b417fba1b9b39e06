// Pellwick: the exe's entry point. Installs the Win32 services and window
// backend, then runs the start-up sequence.
#include <windows.h>

#include <cstdlib>

#include "Program.h"
#include "platform/win32/Win32Platform.h"
#include "toolkit/win32/Win32Widgets.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    InstallWin32Platform();
    InstallWin32Widgets(instance);
    return RunProgram();
}
