// Skorvel: the uninstaller's entry point. Installs the Win32 services it
// needs (no windows of its own but the system's message boxes) and runs the
// removal its command line asks for, ending with its exit code.
#include <windows.h>

#include "engine/Uninstaller.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32StartMenu.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    InstallWin32Services();
    // InstallWin32Services installs the machine's lock with the rest.
    static TWin32Cleanup cleanup;
    static TWin32StartMenu startMenu;
    static TWin32PrivateCopy privateCopy;
    Sys().Cleanup = &cleanup;
    Sys().PrivateCopy = &privateCopy;
    Sys().StartMenu = &startMenu;
    return RunSkorvel();
}
