// The names of an installation's records, which the installation run
// writes and the uninstaller reads: the record files, the registry keys
// and sections, each spelt here once for both programs.
#pragma once
#include <string>

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
// The uninstall entries' key under HKEY_LOCAL_MACHINE, with its trailing "\";
// the application's name follows.
extern const char* const UninstallKeyPrefix;
// Values of the uninstall entry whose data is the day or the run's size.
extern const char* const InstallDateName;    // "InstallDate"
extern const char* const EstimatedSizeName;  // "EstimatedSize"


// The shared-use counters' key below HKEY_CURRENT_USER, without a leading
// "\": UninstallerKey and CountersKey joined.
std::string CountersKeyPath();
// Whether a key path below HKEY_CURRENT_USER is the counters' key,
// compared without regard to case as the registry compares key names.
bool IsCountersKey(const std::string& path);
