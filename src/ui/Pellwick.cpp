// Pellwick: the exe's entry point. Installs the Win32 services and window
// backend, then runs the start-up sequence.
#include <windows.h>

#include <cstdlib>

#include "ui/Program.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32StartMenu.h"
#include "toolkit/win32/Win32Widgets.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    InstallWin32Platform();
    // Shortcut files for the silent run, which asks no program manager.
    static TWin32StartMenu startMenu;
    static TWin32Shortcuts shortcuts;
    Sys().StartMenu = &startMenu;
    Sys().Shortcuts = &shortcuts;
    InstallWin32Widgets(instance);
    return RunProgram();
}
