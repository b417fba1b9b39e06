// Skorvel.exe's run: the command line's request carried out through the
// removal, with its question, its boxes and its exit code.
#pragma once
#include <string>
#include <vector>

#include "CommandLine.h"

// Runs the uninstaller. With args.Silent no box and no question: every
// text goes to log only. log receives one line per step and the exit code
// last. programsFolder as for TRemoval.
int RunUninstaller(const TUninstallArgs& args, const std::string& programsFolder,
                   std::vector<std::string>& log);
