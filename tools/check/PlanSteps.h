// The steps of a run's log (see Recorders.h) that leave something on the
// machine, read back into fields: what --verify holds against the machine.
#pragma once
#include <string>
#include <vector>

#include "Recorders.h"
#include "platform/Registry.h"

struct TPlannedCopy {
    std::string Source, Dest;
    bool Keep = false;  // an existing file is kept, not overwritten
};

struct TPlannedValue {
    RegRoot Root = RegRoot::CurrentUser;
    std::string Key;  // below the root, no leading "\"
    std::string Name, Data;
};

struct TPlannedEntry {
    std::string Path, Section, Name, Value;
};

struct TPlannedItem {
    std::string Group, File, Caption;
    std::string Command;  // as sent, CR LF included
};

struct TPlan {
    std::vector<std::string> Dirs;
    std::vector<TPlannedCopy> Copies;
    std::vector<TPlannedValue> Values;
    std::vector<TPlannedEntry> Entries;
    std::vector<TPlannedItem> Items;
    std::vector<std::string> Messages;  // texts of the message boxes shown
};

// Steps the log shows failing or refused are left out: the run did not do
// them. A value or record entry written twice is kept once, with its last
// data; a copy onto a file an earlier copy made is kept once, as the first.
// The log writes texts in quotes without escaping quotes or backslashes,
// so a value's data is read as it stands, line breaks excepted.
TPlan ReadPlan(const TRunLog& log);

// The arguments of a program-manager command "[Name(a,b)]": a quoted one
// runs to the next quote and keeps what it holds; others are trimmed.
// False when the text is no such command.
bool ReadCommand(const std::string& command, std::string& name, std::vector<std::string>& args);
