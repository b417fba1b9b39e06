// The command lines of both programs, read by one set of rules and told
// in one set of messages:
//   Pellwick.exe /S [/D=path] [/NAME=text] [/ORG=text] [/LOG=file] [/ADDONS]
//   Skorvel.exe [/S] [/LOG=file] folder [/S] [/LOG=file]
// and /? for the usage. A switch is a word that starts with "/", its name
// matched without regard to case; a value follows "=" and runs to the end
// of its word, each given at most once. Without /S the installer leaves
// every argument but /? alone and the wizard runs as it always has.
#pragma once
#include <string>
#include <vector>

#include "engine/ExitCodes.h"

struct TCommandLine {
    bool Silent = false;  // /S
    bool Help = false;    // /?
    bool AddOns = false;  // /ADDONS
    bool HasDest = false, HasName = false, HasOrg = false;
    std::string Dest, Name, Org, LogPath;
    // Why the arguments cannot be followed; empty when they can.
    std::string Error;
};

// The installer's arguments, as the system split the command line (quotes
// taken off, so "/D=C:\My Apps" and /D="C:\My Apps" both arrive as
// /D=C:\My Apps).
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text the installer's /? shows.
extern const char* const UsageText;

struct TUninstallArgs {
    bool Silent = false;  // /S: no window, no question
    bool Help = false;    // /?
    std::string LogPath;  // /LOG=file; "" without
    std::string DestDir;
    // /ORIGINAL=path: this is the private copy, started by the uninstaller
    // at path, which waits for it (PrivateCopyLine); "" without.
    std::string Original;
    // Why the switches cannot be followed; empty when they can.
    std::string Error;
};

// The uninstaller's line, commandLine whole as the system gives it
// (GetCommandLineA), program name first. The destination is the rest of
// the line, blanks and all, as the uninstall entry (the Windows
// directory's Skorvel.exe, a blank, the destination, no quotes) hands it
// over; switches stand before it or after it, since no folder name starts
// with "/": words of the end that start with "/" are switches. Quotes
// around the whole destination are dropped, and blanks at its ends.
TUninstallArgs ParseUninstallArgs(const std::string& commandLine);

// The line the uninstaller starts its private copy with: the copy's
// path, the arguments of commandLine as they stand, and /ORIGINAL= naming
// the uninstaller that was started.
std::string PrivateCopyLine(const std::string& commandLine, const std::string& copy,
                            const std::string& original);

// The usage the uninstaller shows for /? and after a switch it does not know.
extern const char* const UninstallUsage;
