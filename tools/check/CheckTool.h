// pellwick-check's command line: what it takes, what it prints and the
// exit status, apart from main so that tests can run it in-process.
#pragma once
#include <string>
#include <vector>

#include "ExitCodes.h"
#include "platform/Clock.h"

struct TToolOutput {
    int Status = ExitClean;  // of the table every program ends with
    std::string Out;
    std::string Err;
};

struct TMachine;

// args without the program name; now is the time the plan's dates show;
// machine is what --verify reads (none: --verify is refused).
TToolOutput RunCheckTool(const std::vector<std::string>& args, const TDateTime& now,
                         TMachine* machine = nullptr);

extern const char* const DefaultWindowsDir;  // "C:\WINDOWS"
