// Skorvel.exe's run: the command line's request carried out through the
// removal, with its question, its boxes and its exit code.
#pragma once
#include <string>
#include <vector>

#include "UninstallArgs.h"

// Exit codes, as the installer's own: 0 done, 1 done but something is
// listed as left, 2 nothing done.
constexpr int ExitRemoved = 0;
constexpr int ExitSomethingLeft = 1;
constexpr int ExitNothingDone = 2;
// Another installation or removal is changing this machine: nothing done.
constexpr int ExitAnotherChange = 1618;

// Runs the uninstaller. With args.Silent no box and no question: every
// text goes to log only. log receives one line per step and the exit code
// last. programsFolder as for TRemoval.
int RunUninstaller(const TUninstallArgs& args, const std::string& programsFolder,
                   std::vector<std::string>& log);
