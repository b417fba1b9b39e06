#include <windows.h>

#include "platform/win32/Win32Platform.h"

TDateTime TWin32Clock::Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void TWin32Clock::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }
