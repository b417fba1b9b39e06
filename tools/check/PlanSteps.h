// What the installation run asked of the system, one typed step per call
// in the order of the calls (the recorders of Recorders.h keep them), and
// what is made of them: --plan's text and JSON, and the steps that leave
// something on the machine, which --verify holds against it.
#pragma once
#include <string>
#include <variant>
#include <vector>

#include "core/SystemErrors.h"
#include "platform/Desktop.h"
#include "platform/Registry.h"

struct TDirectoryStep {
    std::string Path;
    bool Made = true;
};

struct TCopyStep {
    std::string Source, Dest;
    bool Keep = false;        // an existing file is kept, not overwritten
    unsigned long Error = 0;  // the system's error code, 0 when copied
    std::string Reason;       // the error in the words the run would use
    // A kept file that is already there is what the author asked for.
    bool KeptExisting() const { return Keep && Error == ErrorFileExists; }
};

struct TCommandStep {
    std::string Command;  // as sent, CR LF included
    bool Accepted = true;
};

struct TValueStep {
    bool Placed = true;  // false: written to a key not seen being opened,
                         // so where it landed is unknown
    RegRoot Root = RegRoot::CurrentUser;
    std::string Key;  // below the root, no leading "\"
    std::string Name, Data;  // a REG_DWORD's data in decimal
    bool Written = true;
    bool DWord = false;  // REG_DWORD, where the others are REG_SZ
};

// A shared-use counter: a value under the uninstaller's counters key,
// which other products count up too.
struct TCounterStep : TValueStep {};

struct TEntryStep {
    std::string Path, Section, Name;
    std::string Value;  // as written
    std::string Reads;  // what the record reads back for it: a profile file
                        // trims blanks, drops enclosing quotes and ends a
                        // value at a line break
    bool Written = true;
};

struct TAddOnStep {
    std::string File;
};

struct TBoxStep {
    TMsgIcon Icon = TMsgIcon::None;
    std::string Text;
};

// A line of the installation list the run writes beside the record (its
// comments left out), one step each.
struct TListStep {
    std::string Path, Line;
    bool Written = true;
};

using TPlanStep = std::variant<TDirectoryStep, TCopyStep, TCommandStep, TValueStep, TCounterStep,
                               TEntryStep, TAddOnStep, TBoxStep, TListStep>;
using TRunSteps = std::vector<TPlanStep>;

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RootName(RegRoot root);

// Text in double quotes with its line breaks written as \r and \n, so
// that blanks at either end and a command's CR LF can be seen, on one line.
std::string Shown(const std::string& text);

// One line per step, e.g. `registry HKEY_CURRENT_USER\Software\X  Name =
// "data"`, its texts as Shown() writes them.
std::string PlanText(const TRunSteps& steps);
// The same steps as one JSON object, every text exactly as the run had it.
std::string PlanJson(const TRunSteps& steps, const std::string& dest, bool completed);

struct TPlannedItem {
    std::string Group, File, Caption;
    std::string Command;  // as sent, CR LF included
};

// The steps a run left on the machine.
struct TPlan {
    std::vector<std::string> Dirs;
    std::vector<TCopyStep> Copies;
    std::vector<TValueStep> Values;
    std::vector<TCounterStep> Counters;
    std::vector<TEntryStep> Entries;
    std::vector<TPlannedItem> Items;
    std::vector<std::string> Messages;  // texts of the message boxes shown
};

// Steps that failed or were refused are left out: the run did not do them.
// A value or record entry written twice is kept once, with its last data;
// a copy onto a file an earlier copy made is kept once, as the first.
TPlan PlanOf(const TRunSteps& steps);

// The arguments of a program-manager command "[Name(a,b)]": a quoted one
// runs to the next quote and keeps what it holds; others are trimmed.
// False when the text is no such command.
bool ReadCommand(const std::string& command, std::string& name, std::vector<std::string>& args);
