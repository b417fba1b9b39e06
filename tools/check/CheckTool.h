// pellwick-check's command line: what it takes, what it prints and the
// exit status, apart from main so that tests can run it in-process.
#pragma once
#include <string>
#include <vector>

#include "platform/Clock.h"

enum TExitStatus { ExitClean = 0, ExitFindings = 1, ExitUnreadable = 2 };

struct TToolOutput {
    int Status = ExitClean;
    std::string Out;
    std::string Err;
};

// args without the program name; now is the time the plan's dates show.
TToolOutput RunCheckTool(const std::vector<std::string>& args, const TDateTime& now);

extern const char* const DefaultWindowsDir;  // "C:\WINDOWS"
