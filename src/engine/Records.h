// The installation records: the product's registry entries, the uninstall
// entry, the shared-use counters and the uninstall record.
#pragma once
#include "Shared.h"

// The product's uninstaller, which the uninstall entry and item start.
extern const char* const UninstallerName;  // "Skorvel.exe"

// The uninstall record's template in the installer folder, and the name of
// its copy in the destination.
extern const char* const RecordTemplateName;  // "Pellwick.up_"
extern const char* const RecordCopyName;      // "Pellwick.upi"
// The record as the writer names it: the same file as the copy, since
// Windows matches file names without regard to case. The writer keeps the
// uninstaller's lower-case spelling, which shows only when no template was
// copied and the writer makes the file itself.
extern const char* const RecordName;  // "pellwick.upi"

// Where the entries go, as the uninstaller reads them: its shared-use
// counters under HKEY_CURRENT_USER, and the key below the product's (and
// the record's section) holding the destination and the date.
extern const char* const UninstallerKey;    // "\Software\Brenvolt\Skorvel\"
extern const char* const CountersKey;       // "Counters", below UninstallerKey
extern const char* const InstallSection;    // "Install"
extern const char* const UninstallSection;  // "Uninstall"
extern const char* const DateName;          // "Date", in InstallSection

// Writes the entries for the installation that state describes: the user's
// entries, the destination and the control file's [Keys] sections.
void WriteRecords(const TInstallState& state);
