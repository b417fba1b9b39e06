// The log of a run nobody watches, the same for the silent installation
// and the uninstaller: each line is appended to the file as it is
// written, so that a run that is stopped, killed or crashes leaves what it
// did on record, and two runs into one file keep each other's lines.
#pragma once
#include <string>

class TRunLog {
public:
    // No path: a log that keeps nothing.
    explicit TRunLog(std::string path = "") : path_(std::move(path)) {}
    const std::string& Path() const { return path_; }
    // The first line; false when the log cannot be written.
    bool Start(const std::string& text);
    // One line; a text of several lines (a box's text) stays as it is.
    void Line(const std::string& text);

private:
    std::string path_;
};

// Where a log goes when none is named: the file name in the temporary
// folder the system gives this process. For SYSTEM that is
// C:\Windows\SystemTemp where the system has it, which users cannot write;
// and the log is never written through a link (the file service refuses
// one), so another account cannot plant one there.
std::string DefaultLogPath(const char* name);
