// The uninstaller's command line: switches first, then the destination,
// which is the whole rest of the line, blanks and all, as the uninstall
// entry (the Windows directory's Skorvel.exe, a blank, the destination,
// no quotes) hands it over.
#pragma once
#include <string>

struct TUninstallArgs {
    bool Silent = false;    // /S: no window, no question
    bool Help = false;      // /?
    std::string LogPath;    // /LOG=file; "" without
    std::string DestDir;
    std::string Error;      // a switch the uninstaller does not know; "" when none
};

// commandLine is the whole line as the system gives it (GetCommandLineA),
// program name first. Switch names in any case; a switch's value runs to
// the end of its argument, quoted by the system's rules
// ("/LOG=C:\My Logs\x.log" and /LOG="C:\My Logs\x.log"). Quotes around the
// whole destination are dropped, and blanks at its ends.
TUninstallArgs ParseUninstallArgs(const std::string& commandLine);

// The usage, shown for /? and after a switch it does not know.
extern const char* const UninstallUsage;
