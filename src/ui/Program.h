// The program's start-up sequence, run by the exe's entry point.
#pragma once

constexpr unsigned SplashMilliseconds = 3000;

// The start-up sequence and the wizard, or with /S the unattended
// installation; the process's exit code.
int RunProgram();
