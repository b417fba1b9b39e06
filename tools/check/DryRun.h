// The installation run without a system: the installer's own loader,
// wizard and engine run against recording doubles over an installer
// folder laid onto the disk double.
#pragma once
#include <memory>
#include <string>

#include "Folder.h"
#include "Recorders.h"

struct TRunSettings {
    std::string DestDir;   // as typed on the destination page
    std::string UserName;
    std::string UserOrganization;
};

// Installs the doubles into Sys() for its lifetime and puts the
// process-wide state back to its start, so only one may exist at a time.
class TDryRun {
public:
    TDryRun(const TInstallerFolder& folder, const std::string& windowsDir, const TDateTime& now);
    ~TDryRun();
    TDryRun(const TDryRun&) = delete;
    TDryRun& operator=(const TDryRun&) = delete;

    // Loads Pellwick.ipi as the installer does at start; false when the
    // folder has none.
    bool Load();
    // Presses Next on the destination page holding settings.DestDir, as
    // the user does, with the user-details page's entries from settings.
    // True when the run reached its end; false when an error box stopped it
    // or the page refused the destination.
    bool Install(const TRunSettings& settings);

    // The ANSI code page of the machine the run is for: how the installer
    // walks the names it reads (932 for Japanese Windows, say).
    void UseCodePage(unsigned number) { base_.Locale.UseCodePage(number); }

    // What the run asked of the system, in order.
    const TRunSteps& Steps() const { return steps_; }
    TFakeDisk& Disk() { return base_.Disk; }
    IFileSystem& Files() { return files_; }
    IProfileFiles& Profiles() { return base_.Profiles; }
    // With the disk, the machine as the run left it.
    TFakeRegistry& Registry() { return base_.Registry; }

private:
    TRunSteps steps_;
    TFakePlatform base_;
    TRecordingFiles files_{base_.Disk, steps_};
    TRecordingRegistry registry_{base_.Registry, steps_};
    TRecordingProfiles profiles_{base_.Profiles, steps_};
    TRecordingProgramManager progman_{steps_};
    TRecordingShell shell_{steps_};
    TRecordingDesktop desktop_{steps_};
};
