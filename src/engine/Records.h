// The installation records: the product's registry entries, the uninstall
// entry, the shared-use counters and the uninstall record.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Clock.h"
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
// The uninstall entries' key under HKEY_LOCAL_MACHINE, with its trailing "\";
// the application's name follows.
extern const char* const UninstallKeyPrefix;
// Values of the uninstall entry whose data is the day or the run's size.
extern const char* const InstallDateName;    // "InstallDate"
extern const char* const EstimatedSizeName;  // "EstimatedSize"

// One line for each value written, as "registry ROOT\KEY  NAME = "DATA"",
// "record FILE  [SECTION] NAME = "DATA"" or "counter ROOT\KEY  NAME = N".
class IRecordNote {
public:
    virtual ~IRecordNote() = default;
    virtual void Note(const std::string& line) = 0;
};

// Writes the entries for the installation that state describes: the user's
// entries, the destination and the control file's [Keys] sections.
// copiedBytes, what the run copied, gives the entry's EstimatedSize.
void WriteRecords(const TInstallState& state, std::uint64_t copiedBytes, IRecordNote* note = nullptr);

// The uninstall entry's InstallDate: the day as YYYYMMDD.
std::string InstallDateText(const TDateTime& time);
// The entry's EstimatedSize: whole kilobytes, rounded up.
std::uint32_t EstimatedSizeKB(std::uint64_t bytes);
// The entry's DisplayIcon: the first [Items] file that is a program (.exe),
// below the destination; "" when there is none.
std::string DisplayIconPath(const TInstallDescription& d, const std::string& destDir);

// Whether this user may make the product's uninstall entry, asked before
// anything is installed: an entry that could not be made would stop the
// run halfway. Opening the keys asks for the rights and creates nothing.
bool MayWriteUninstallEntry(const std::string& application);
