// Skorvel: the uninstaller's entry point. Installs the Win32 services it
// needs (no windows of its own but the system's message boxes), runs the
// removal the command line asks for and ends with its exit code.
#include <windows.h>

#include <string>
#include <vector>

#include "CharText.h"
#include "Uninstaller.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32StartMenu.h"

namespace {

// A path named relative to the current directory, made whole; "" stays "".
std::string FullPath(const std::string& path)
{
    char full[MAX_PATH] = {};
    DWORD length = path.empty() ? 0 : GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    static TWin32ProfileFiles profiles;
    static TWin32Registry registry;
    static TWin32FileSystem files;
    static TWin32Desktop desktop;
    static TWin32Locale locale;
    static TWin32ProgramManager programManager;
    static TWin32Cleanup cleanup;
    static TWin32MachineLock machineLock;
    static TWin32StartMenu startMenu;
    TPlatform& p = Sys();
    p.Profiles = &profiles;
    p.Registry = &registry;
    p.Files = &files;
    p.Desktop = &desktop;
    p.Locale = &locale;
    p.ProgramManager = &programManager;
    p.Cleanup = &cleanup;
    p.MachineLock = &machineLock;
    p.StartMenu = &startMenu;
    UseAnsiCodePage(locale.CodePage());

    TUninstallArgs args = ParseUninstallArgs(GetCommandLineA());
    TRunLog log(FullPath(UninstallLogPath(args)));
    args.DestDir = FullPath(args.DestDir);
    // Started from the product's folder (its program item), this process
    // would hold that folder as its current directory, and it could not go.
    char windowsDir[MAX_PATH] = {};
    if (GetWindowsDirectoryA(windowsDir, MAX_PATH) != 0) SetCurrentDirectoryA(windowsDir);

    return RunUninstaller(args, startMenu.ProgramsFolder(), log);
}
