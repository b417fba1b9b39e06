// The unattended installation (/S): no window, no question, no pause. The
// same installation run as the wizard's, through a view that writes each
// step to the log instead of drawing it.
#pragma once
#include <string>

#include "engine/CommandLine.h"
#include "engine/Engine.h"
#include "engine/RunLog.h"

// The whole unattended installation for the command line; its exit code.
TExitCode RunSilent(const TCommandLine& line);
