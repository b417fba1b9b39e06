// Process-wide state: the install description and what the wizard collects.
#pragma once
#include <cstdint>
#include <string>

#include "core/Text.h"

struct TInstallDescription {
    // [Settings], each at most 255 characters.
    std::string Application, Copyright, WebAddress, EmailAddress, Version;
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

extern TInstallDescription InstallDescription;
extern std::string SourceDir;        // the exe's folder, with its backslash
extern std::string DescriptionPath;  // SourceDir + "Pellwick.ipi"
extern std::string ProductTitle;
extern std::int32_t ProgressStep;

extern std::string UserName;
extern std::string UserOrganization;
extern std::string DestDir;
extern int WizardState;

// Puts every process-wide value back to its state at program start.
void ResetSharedState();
