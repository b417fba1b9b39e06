// The unattended installation (/S): no window, no question, no pause. The
// same installation run as the wizard's, through a view that writes each
// step to the log instead of drawing it.
#pragma once
#include <string>

#include "CommandLine.h"
#include "Engine.h"

// The log of one silent run: each line appended to the file as it comes,
// so that a run that is stopped leaves what it did on record.
class TSilentLog {
public:
    explicit TSilentLog(const std::string& path) : path_(path) {}
    // Opens the log with its first line; false when it cannot be written.
    bool Start(const std::string& text);
    // One line; a text of several lines (a box's text) stays as it is.
    void Line(const std::string& text);

private:
    std::string path_;
};

// The whole unattended installation for the command line; its exit code.
TExitCode RunSilent(const TCommandLine& line);
