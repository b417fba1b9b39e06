// pellwick-check's command line: what it takes, what it prints and the
// exit status, apart from main so that tests can run it in-process.
#pragma once
#include <string>
#include <vector>

#include "engine/ExitCodes.h"
#include "platform/Clock.h"

struct TToolOutput {
    int Status = ExitClean;  // of the table every program ends with
    std::string Out;
    std::string Err;
};

struct TMachine;
struct TFolderFile;

// args without the program name; now is the time the plan's dates show;
// machine is what --verify reads (none: --verify is refused). added are
// files read as if they were in the folder too, where it has none of that
// name (pellwick-pack's Pellwick.exe and Skorvel.exe from the build).
TToolOutput RunCheckTool(const std::vector<std::string>& args, const TDateTime& now,
                         TMachine* machine = nullptr, const std::vector<TFolderFile>* added = nullptr);

extern const char* const DefaultWindowsDir;  // "C:\WINDOWS"
