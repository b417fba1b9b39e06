// Skorvel.exe's run: the command line's request carried out through the
// removal, with its question, its boxes and its exit code.
#pragma once
#include <string>

#include "engine/CommandLine.h"
#include "engine/RunLog.h"

// Runs the uninstaller. With args.Silent no box and no question: every
// text goes to the log only. The log gets one line per step as it is
// done, and the exit code last. programsFolder as for TRemoval.
int RunUninstaller(const TUninstallArgs& args, const std::string& programsFolder, TRunLog& log);

// Skorvel.exe's whole run for the command line the desktop service hands
// over: the switches read, the folder and the log made whole paths, the
// process moved out of the folder to the Windows directory, the removal
// run with the Start menu's Programs folder (none without a Start menu
// service); its exit code. Started normally, it runs a private copy of
// itself (IPrivateCopy) and ends with the copy's exit code; in place only
// where no copy could be made or started.
int RunSkorvel();

// Where the uninstaller's log goes: /LOG=, else with /S the temporary
// folder's Skorvel.log (DefaultLogPath), else nowhere.
std::string UninstallLogPath(const TUninstallArgs& args);
