// The installation records: the product's registry entries, the uninstall
// entry, the shared-use counters and the uninstall record.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Clock.h"
#include "engine/RecordNames.h"
#include "engine/Shared.h"

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
