// Skorvel.exe's run: the command line's request carried out through the
// removal, with its question, its boxes and its exit code.
#pragma once
#include <string>

#include "CommandLine.h"
#include "RunLog.h"

// Runs the uninstaller. With args.Silent no box and no question: every
// text goes to the log only. The log gets one line per step as it is
// done, and the exit code last. programsFolder as for TRemoval.
int RunUninstaller(const TUninstallArgs& args, const std::string& programsFolder, TRunLog& log);

// Where the uninstaller's log goes: /LOG=, else with /S the temporary
// folder's Skorvel.log (DefaultLogPath), else nowhere.
std::string UninstallLogPath(const TUninstallArgs& args);
