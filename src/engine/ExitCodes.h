// What each program ends with: one table for Pellwick.exe (the wizard and
// /S), Skorvel.exe and pellwick-check, so that a deployment tool reads the
// same number the same way from each. 0, 3010 and 1618 are the numbers
// such tools already know (success, restart needed, retry later).
#pragma once

enum TExitCode : int {
    // Pellwick.exe and Skorvel.exe.
    ExitInstalled = 0,      // installed, and nothing failed
    ExitRemoved = 0,        // removed, and nothing is left
    ExitIncomplete = 1,     // installed, but something is listed as not installed
    ExitSomethingLeft = 1,  // removed, but something is left that a restart will not remove
    ExitNothingDone = 2,    // no control file or list, a refused destination, a bad switch, No
    ExitStopped = 3,        // an error stopped the run; what it did before stays
    ExitMachineBusy = 1618,      // another installation or removal is changing this machine
    ExitRemovedAtRestart = 3010,  // removed; what is left goes at the next restart

    // pellwick-check.
    ExitClean = 0,       // no errors (with --strict, no warnings either); the machine holds the plan
    ExitFindings = 1,    // errors found, or the machine does not hold the plan
    ExitUnreadable = 2,  // the folder, its control file or the destination cannot be read
};
