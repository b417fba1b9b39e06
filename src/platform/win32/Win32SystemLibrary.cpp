#include <windows.h>

#include "platform/win32/Win32Platform.h"

void* LoadSystemLibrary(const char* name)
{
    // By name where the search is restricted, so that the manifest's
    // side-by-side version of a DLL is found; else by its full path.
    if (DllSearchRestricted()) return LoadLibraryA(name);
    char path[MAX_PATH + 32] = {};
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}
