// The installer's services: the set both exes share and those the
// installer alone uses. A file of its own, so that the uninstaller, which
// installs the shared set only, links none of the others nor their imports.
#include "platform/win32/Win32Platform.h"

void InstallWin32Platform()
{
    InstallWin32Services();
    static TWin32Clock clock;
    static TWin32Shell shell;
    static TWin32Folders folders;
    static TWin32DateFormats dateFormats;
    Sys().Clock = &clock;
    Sys().Shell = &shell;
    Sys().Folders = &folders;
    Sys().DateFormats = &dateFormats;
}
