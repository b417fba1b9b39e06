// The unattended installation (/S): no window, no question, no pause. The
// same installation run as the wizard's, through a view that writes each
// step to the log instead of drawing it.
#pragma once
#include <memory>
#include <string>

#include "CommandLine.h"
#include "Engine.h"
#include "platform/FileSystem.h"

// The log of one silent run: lines appended to the file as they come, so
// that a run that is stopped leaves what it did on record.
class TSilentLog {
public:
    explicit TSilentLog(std::unique_ptr<IAppendFile> file) : file_(std::move(file)) {}
    // One line; a text of several lines (a box's text) stays as it is.
    void Line(const std::string& text);

private:
    std::unique_ptr<IAppendFile> file_;
};

// What the run shows, written to the log.
class TLogView : public IInstallView {
public:
    TLogView(TSilentLog& log, bool opensAddOns) : log_(log), opensAddOns_(opensAddOns) {}
    void ShowProgressPage(const std::string&) override {}
    void ShowSource(const std::string&) override {}
    void ShowDestination(const std::string&) override {}
    int ProgressPosition() const override { return position_; }
    void SetProgressPosition(int position) override { position_ = position; }
    void SetStatusText(const std::string&) override {}
    void RunCompleted() override {}
    void RunEnded() override {}
    void ShowWarning(const std::string& text) override { log_.Line(text); }
    void* OwnerWindow() override { return nullptr; }
    void Note(const std::string& line) override { log_.Line(line); }
    void Pause(unsigned) override {}
    bool OpensAddOns() override { return opensAddOns_; }

private:
    TSilentLog& log_;
    bool opensAddOns_;
    int position_ = 0;
};

// The whole unattended installation for the command line; its exit code.
TExitCode RunSilent(const TCommandLine& line);
