#include <windows.h>
#include <shellapi.h>

#include "platform/win32/Win32Platform.h"

int TWin32Desktop::ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

int TWin32Desktop::ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

namespace {
bool hourGlass = false;
bool windowsInUse = false;
}

bool Win32HourGlassOn() { return hourGlass; }

void Win32WindowsInUse() { windowsInUse = true; }

void TWin32Desktop::SetCursor(TCursor cursor)
{
    hourGlass = cursor == TCursor::HourGlass;
    // With no window yet the flag is enough: the first window's cursor
    // message reads it. A silent run makes none, and under Wine loading a
    // cursor starts the desktop's process.
    if (windowsInUse)
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

bool TWin32Desktop::AskYesNo(const std::string& text, const std::string& caption)
{
    return ::MessageBoxA(GetActiveWindow(), text.c_str(), caption.c_str(),
                         MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::string TWin32Desktop::ExePath()
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

bool TWin32Desktop::Arguments(std::vector<std::string>& args)
{
    // The system's own rules for quotes and backslashes, applied to the
    // wide command line so that no double-byte character is split.
    args.clear();
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) return true;
    bool fit = true;
    for (int i = 1; i < count; ++i) {
        BOOL lost = FALSE;
        int size = WideCharToMultiByte(CP_ACP, 0, wide[i], -1, nullptr, 0, nullptr, &lost);
        std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_ACP, 0, wide[i], -1, &arg[0], size, nullptr, &lost);
        arg.resize(arg.size() - 1);
        fit = fit && !lost;
        args.push_back(arg);
    }
    LocalFree(wide);
    return fit;
}

std::string TWin32Desktop::CommandLine() { return GetCommandLineA(); }

void TWin32Desktop::QuietSystemErrors()
{
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

namespace {
// Whether only the system directory (and side-by-side assemblies) are
// searched for DLLs now.
bool searchRestricted = false;
}  // namespace

bool DllSearchRestricted() { return searchRestricted; }

void RestrictDllSearch()
{
    // Looked up by name: older systems lack both functions.
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    using TSetDefault = BOOL(WINAPI*)(DWORD);
    using TSetDirectory = BOOL(WINAPI*)(LPCSTR);
    auto setDefault = reinterpret_cast<TSetDefault>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    auto setDirectory = reinterpret_cast<TSetDirectory>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDllDirectoryA")));
    if (setDefault != nullptr)
        searchRestricted = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    // Takes the current directory out of the search where the above is missing.
    if (setDirectory != nullptr) setDirectory("");
}

void InstallWin32Services()
{
    static TWin32ProfileFiles profiles;
    static TWin32Registry registry;
    static TWin32FileSystem files;
    static TWin32Desktop desktop;
    static TWin32Locale locale;
    static TWin32ProgramManager programManager;
    static TWin32MachineLock machineLock;
    TPlatform& p = Sys();
    p.Profiles = &profiles;
    p.Registry = &registry;
    p.Files = &files;
    p.Desktop = &desktop;
    p.Locale = &locale;
    p.ProgramManager = &programManager;
    p.MachineLock = &machineLock;
    UseAnsiCodePage(locale.CodePage());
}
