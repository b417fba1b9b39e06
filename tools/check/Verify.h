// --verify: holds the steps of a planned installation against a machine,
// through the platform services, reading only.
#pragma once
#include <string>
#include <vector>

#include "PlanSteps.h"
#include "platform/FileSystem.h"
#include "platform/Locale.h"
#include "platform/Profile.h"
#include "platform/Registry.h"
#include "platform/Shortcuts.h"
#include "platform/StartMenu.h"

// The services a machine is read through: the real ones in the Windows
// build, doubles in tests.
struct TMachine {
    IFileSystem& Files;
    IRegistryApi& Registry;
    IProfileFiles& Profiles;
    IStartMenu& StartMenu;
    IShortcuts& Shortcuts;
    ILocale& Locale;
    IDateFormats& DateFormats;
};

// This machine's services, or null where there is no Windows to read.
TMachine* LocalMachine();

enum class TStepState { Missing, Differs, KeptOlder };

struct TStepFinding {
    std::string Where;  // a path, or a registry key and value name
    TStepState State = TStepState::Missing;
    std::string Text;
};

struct TVerifyResult {
    int Steps = 0;  // steps held against the machine
    std::vector<TStepFinding> Findings;
    std::string Stop;  // the error box's text when the run stops early
    // A kept file that differs is what the installer does when told to
    // keep one; everything else fails.
    int Failing() const;
    int Kept() const;
    bool Holds() const { return Failing() == 0 && Stop.empty(); }
};

// windowsDir is the machine's: the uninstall item, which names the
// uninstaller there with an argument, is not held against the Start menu,
// since program managers differ in making it and the run does not ask.
TVerifyResult VerifyPlan(const TPlan& plan, TMachine& machine, const std::string& windowsDir);

// What a plan is made with for the user's entries when they are not given:
// the plan then carries these texts wherever the run writes an entry.
extern const char* const NameFromRecord;          // "<the name typed in the wizard>"
extern const char* const OrganizationFromRecord;  // "<the organisation typed in the wizard>"
// Puts what the installation's own uninstall record holds for them in
// place of those texts: the run wrote each entry it took from the wizard
// into the record too. A text the record lacks stays, to be reported so.
void TakeUserEntriesFromRecord(TPlan& plan, TMachine& machine);

// One line per finding, "WHERE: STATE: TEXT", then "DEST: summary".
std::string VerifyText(const TVerifyResult& result, const std::string& dest);
std::string VerifyJson(const TVerifyResult& result, const std::string& dest);

// Whether text is a date and time as the run writes them for the locale
// (its numbers aside).
bool LooksLikeDateText(const std::string& text, const TLocaleFormats& formats);
