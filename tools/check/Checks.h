// The rules the checker holds an install description against: what would
// make the installation fail or do what its author cannot have meant.
#pragma once
#include <string>

#include "DryRun.h"
#include "Encoding.h"
#include "Findings.h"
#include "ProfileLines.h"
#include "engine/Shared.h"

struct TCheckInput {
    const TInstallDescription& Description;  // as the installer's loader read it
    const TProfileLines& Lines;              // the same file, line by line
    TDryRun& Run;                            // after a run for DestDir
    std::string DestDir;                     // the default destination
    std::string WindowsDir;
    int CodePage = WesternCodePage;  // the machines' ANSI code page
    bool Strict = false;             // also what is legal but often a slip
};

TFindings CheckDescription(const TCheckInput& input);
