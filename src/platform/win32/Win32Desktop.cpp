#include <windows.h>

#include "platform/win32/Win32Platform.h"

TDateTime TWin32Clock::Now()
{
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

void TWin32Clock::Sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

int TWin32Desktop::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int TWin32Desktop::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

namespace {
bool hourGlass = false;
}

bool Win32HourGlassOn() { return hourGlass; }

void TWin32Desktop::SetCursor(TCursor cursor)
{
    hourGlass = cursor == TCursor::HourGlass;
    ::SetCursor(LoadCursor(nullptr, cursor == TCursor::HourGlass ? IDC_WAIT : IDC_ARROW));
}

void TWin32Desktop::ShowMessage(const std::string& text, const std::string& caption,
                               TMsgIcon icon)
{
    UINT style = MB_OK;
    switch (icon) {
    case TMsgIcon::Stop: style |= MB_ICONSTOP; break;
    case TMsgIcon::Warning: style |= MB_ICONWARNING; break;
    case TMsgIcon::Information: style |= MB_ICONINFORMATION; break;
    case TMsgIcon::None: break;
    }
    HWND owner = GetActiveWindow();
    ::MessageBoxA(owner, text.c_str(), caption.c_str(), style);
}

std::string TWin32Desktop::ExePath()
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

void InstallWin32Platform()
{
    static TWin32ProfileFiles profiles;
    static TWin32Registry registry;
    static TWin32FileSystem files;
    static TWin32Clock clock;
    static TWin32Desktop desktop;
    static TWin32Locale locale;
    static TWin32Shell shell;
    static TWin32ProgramManager programManager;
    TPlatform& p = Sys();
    p.Profiles = &profiles;
    p.Registry = &registry;
    p.Files = &files;
    p.Clock = &clock;
    p.Desktop = &desktop;
    p.Locale = &locale;
    p.Shell = &shell;
    p.ProgramManager = &programManager;
}
