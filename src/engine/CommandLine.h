// The command line of an unattended installation:
//   Pellwick.exe /S [/D=path] [/NAME=text] [/ORG=text] [/LOG=file] [/ADDONS]
// and /? for the usage. Without /S every argument but /? is left alone and
// the wizard runs as it always has.
#pragma once
#include <string>
#include <vector>

// What the process ends with, the same for every way it is started.
enum TExitCode : int {
    ExitInstalled = 0,    // installed, and nothing failed
    ExitIncomplete = 1,   // installed, but something is listed as not installed
    ExitNothingDone = 2,  // no control file, a refused destination, a bad argument
    ExitStopped = 3,      // an error stopped the run; what it did before stays
};

struct TCommandLine {
    bool Silent = false;  // /S
    bool Help = false;    // /?
    bool AddOns = false;  // /ADDONS
    bool HasDest = false, HasName = false, HasOrg = false;
    std::string Dest, Name, Org, LogPath;
    // Why the arguments cannot be followed; empty when they can.
    std::string Error;
};

// The arguments, as the system split the command line (quotes taken off,
// so "/D=C:\My Apps" and /D="C:\My Apps" both arrive as /D=C:\My Apps).
// Switch names are matched without regard to case; a value runs to the
// end of its argument.
TCommandLine ParseCommandLine(const std::vector<std::string>& args);

// The text /? shows.
extern const char* const UsageText;
