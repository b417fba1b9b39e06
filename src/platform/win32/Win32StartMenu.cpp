#include <windows.h>
#include <shlobj.h>

#include "platform/win32/Win32StartMenu.h"
#include "core/CharText.h"

namespace {

// A shell folder's path by the calls Windows 95 and NT 4 have as shipped
// (SHGetSpecialFolderPath came with the Internet Explorer 4 desktop); ""
// where the system has no such folder.
std::string ShellFolder(int csidl)
{
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return "";
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(list, path);
    IMalloc* shellMalloc = nullptr;
    if (SUCCEEDED(SHGetMalloc(&shellMalloc))) {
        shellMalloc->Free(list);
        shellMalloc->Release();
    }
    return found ? DropTrailing(path, "\\") : "";
}

}  // namespace

std::string TWin32StartMenu::ProgramsFolder() { return ShellFolder(CSIDL_PROGRAMS); }

std::string TWin32StartMenu::CommonProgramsFolder() { return ShellFolder(CSIDL_COMMON_PROGRAMS); }
