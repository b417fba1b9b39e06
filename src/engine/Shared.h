// The installation's state, one struct for the whole process: the control
// file as loaded, where it was found, what the user typed, where the wizard
// stands and what the last run could not do. The wizard, the run and the
// records share the one instance, Shared. The other process-wide objects
// belong to their floors: the system's services (Sys()), the toolkit's
// application (Application()) and the three windows the start-up makes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/Text.h"

struct TInstallDescription {
    // [Settings], each at most 255 characters.
    std::string Application, Copyright, WebAddress, EmailAddress, Version, Publisher;
    std::string ProgGroup, Directory;
    bool Expand = false;

    // Names only.
    TStrings StartInfoNames, EndInfoNames, SysFilesInNames, FilesInNames;
    // Names and values, element i of the one belonging to element i of the other.
    TStrings DirsNames, DirsValues;
    TStrings SysFilesOutNames, SysFilesOutValues;
    TStrings FilesOutNames, FilesOutValues;
    TStrings ItemsNames, ItemsValues;
    TStrings AddOnsNames, AddOnsValues;
    TStrings KeysNames, KeysValues;

    // Empties the sixteen lists.
    void FreeLists();
};

// One thing the installation run could not install.
struct TInstallFailure {
    std::string What;    // source file, or the part of the program group
    std::string Where;   // destination, if any
    std::string Reason;
    std::string Label = "";  // shown before What and never shortened ("Program item ")
};

// The wizard's state codes. The passing states (300, 900) outlast a press
// of Next only when building the page after them fails.
enum TWizardState : int {
    wsNone = 0,
    wsNotices = 200,        // welcome page, then one opening notice per Next
    wsNoticesRead = 300,    // passing: the user-details page comes next
    wsUserDetails = 400,
    wsDestination = 600,
    wsInstalled = 800,      // completion text, then one closing notice per Next
    wsEndNoticesRead = 900, // passing: the final page comes next
    wsFinished = 1000,      // final or cancellation page; Next is Finish
};

struct TInstallState {
    TInstallDescription InstallDescription;
    std::string SourceDir;        // the exe's folder, with its backslash
    std::string DescriptionPath;  // SourceDir + "Pellwick.ipi"
    std::string ProductTitle;
    std::int32_t ProgressStep = 0;

    std::string UserName;
    std::string UserOrganization;
    std::string DestDir;

    TWizardState WizardState = wsNone;
    int StartInfoShown = 0;
    int EndInfoShown = 0;
    // Everything the last run could not do; empty after a clean run.
    std::vector<TInstallFailure> InstallFailures;
};

extern TInstallState Shared;

// Puts the installation's state back to how the program starts.
inline void ResetSharedState() { Shared = TInstallState(); }
