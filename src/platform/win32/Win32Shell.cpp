#include <windows.h>
#include <shellapi.h>

#include "platform/win32/Win32Platform.h"

void TWin32Shell::Open(void* owner, const std::string& file)
{
    ShellExecuteA(static_cast<HWND>(owner), "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
