#include "Verify.h"

#include <cctype>
#include <set>

#include "DateText.h"
#include "Description.h"
#include "Findings.h"
#include "Records.h"
#include "core/Error.h"
#include "core/Text.h"

namespace {

// Where the uninstaller keeps its shared-use counters, and the section and
// value the run writes its own time into.
// The counters' key as it lands: the registry takes no leading backslash.
const std::string CountersPath = std::string(UninstallerKey).substr(1) + CountersKey;
const char* const ShortcutExtension = ".lnk";

std::string Same(const std::string& text) { return AsciiUpper(text); }

bool EndsWithSame(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && Same(text.substr(text.size() - tail.size())) == Same(tail);
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

const char* StateName(TStepState state)
{
    switch (state) {
    case TStepState::Missing: return "missing";
    case TStepState::Differs: return "differs";
    default: return "kept";
    }
}

// Runs of digits made one "#": the shape a date text has whatever its
// numbers.
std::string Shape(const std::string& text)
{
    std::string shape;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (!digit) shape += text[i];
        else if (i == 0 || !std::isdigit(static_cast<unsigned char>(text[i - 1]))) shape += '#';
    }
    return shape;
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

class TVerifier {
public:
    TVerifier(TMachine& machine, TVerifyResult& result) : m_(machine), result_(result) {}

    void Dir(const std::string& path)
    {
        ++result_.Steps;
        if (!m_.Files.DirectoryExists(path)) Add(path, TStepState::Missing, "directory");
    }

    void Copy(const TPlannedCopy& copy, bool existenceOnly)
    {
        ++result_.Steps;
        std::string there;
        if (!m_.Files.FileExists(copy.Dest) || !m_.Files.ReadWholeFile(copy.Dest, there)) {
            Add(copy.Dest, TStepState::Missing, "copy of " + copy.Source);
            missingFiles_.insert(Same(copy.Dest));
            return;
        }
        if (existenceOnly) return;
        std::string source;
        if (!m_.Files.ReadWholeFile(copy.Source, source)) throw EError("cannot read " + copy.Source);
        if (there == source) return;
        if (copy.Keep)
            // Whether the file was there before the run or changed after
            // it, the machine does not tell.
            Add(copy.Dest, TStepState::KeptOlder,
                "differs from the installer's copy " + copy.Source +
                    ", since it was there before or changed since");
        else
            Add(copy.Dest, TStepState::Differs, "not the bytes of " + copy.Source);
    }

    void Value(const TPlannedValue& value)
    {
        ++result_.Steps;
        std::string where = std::string(value.Root == RegRoot::CurrentUser ? "HKEY_CURRENT_USER\\"
                                                                            : "HKEY_LOCAL_MACHINE\\") +
                            value.Key + "  " + value.Name;
        TRegistry registry(m_.Registry);
        registry.SetRoot(value.Root);
        if (!registry.OpenKeyReadOnly("\\" + value.Key) || !registry.ValueExists(value.Name)) {
            Add(where, TStepState::Missing, "planned " + Quoted(value.Data));
            return;
        }
        std::string data;
        try {
            data = registry.ReadString(value.Name);
        } catch (const EError&) {
            Add(where, TStepState::Differs, "no text value, planned " + Quoted(value.Data));
            return;
        }
        if (Same(value.Key) == Same(CountersPath)) {
            // Other products share the file: any count from 1 up is right.
            if (ReadIntegerText(data, 0) < 1)
                Add(where, TStepState::Differs, Quoted(data) + ", planned at least 1");
        } else if (Same(value.Name) == Same(DateName) && EndsWithSame(value.Key, std::string("\\") + InstallSection)) {
            if (!LooksLikeDateText(data, m_.Locale.Formats()))
                Add(where, TStepState::Differs, Quoted(data) + " is no date and time");
        } else if (data != value.Data) {
            Add(where, TStepState::Differs, Quoted(data) + ", planned " + Quoted(value.Data));
        }
    }

    void Entry(const TPlannedEntry& entry, bool fileCopied)
    {
        if (!m_.Files.FileExists(entry.Path)) {
            // Its copy was reported already; otherwise say it once.
            if (fileCopied || !missingFiles_.insert(Same(entry.Path)).second) return;
            ++result_.Steps;
            Add(entry.Path, TStepState::Missing, "uninstall record");
            return;
        }
        ++result_.Steps;
        std::string where = entry.Path + "  [" + entry.Section + "] " + entry.Name;
        TProfile record(m_.Profiles, entry.Path);
        TStrings names;
        record.ReadSection(entry.Section, names);
        bool present = false;
        for (const std::string& name : names) present = present || Same(name) == Same(entry.Name);
        if (!present) {
            Add(where, TStepState::Missing, "planned " + Quoted(entry.Value));
            return;
        }
        std::string value = record.ReadString(entry.Section, entry.Name, "");
        if (Same(entry.Section) == Same(InstallSection) && Same(entry.Name) == Same(DateName)) {
            if (!LooksLikeDateText(value, m_.Locale.Formats()))
                Add(where, TStepState::Differs, Quoted(value) + " is no date and time");
        } else if (value != Trimmed(entry.Value)) {
            Add(where, TStepState::Differs, Quoted(value) + ", planned " + Quoted(entry.Value));
        }
    }

    void Item(const TPlannedItem& item, const std::string& programs)
    {
        ++result_.Steps;
        std::string link = programs + "\\" + ShellFileName(item.Group) + "\\" +
                           ShellFileName(item.Caption) + ShortcutExtension;
        std::string planned = "program item " + Quoted(item.Caption) + " for " + item.File;
        if (programs.empty()) {
            Add(link, TStepState::Missing, planned + ": the shell names no Programs folder");
            return;
        }
        if (!m_.Files.FileExists(link)) {
            Add(link, TStepState::Missing, planned);
            return;
        }
        std::string target;
        if (!m_.StartMenu.ShortcutTarget(link, target))
            Add(link, TStepState::Differs, "no shortcut that can be read, planned " + planned);
        else if (!m_.Locale.SameText(target, item.File))
            Add(link, TStepState::Differs, "points at " + target + ", planned " + planned);
    }

private:
    void Add(const std::string& where, TStepState state, const std::string& text)
    {
        result_.Findings.push_back({where, state, text});
    }

    TMachine& m_;
    TVerifyResult& result_;
    std::set<std::string> missingFiles_;
};

}  // namespace

const char* const NameFromRecord = "<the name typed in the wizard>";
const char* const OrganizationFromRecord = "<the organisation typed in the wizard>";

void TakeUserEntriesFromRecord(TPlan& plan, TMachine& machine)
{
    for (const std::string typed : {NameFromRecord, OrganizationFromRecord}) {
        const TPlannedEntry* source = nullptr;
        for (const TPlannedEntry& entry : plan.Entries)
            if (entry.Value == typed && machine.Files.FileExists(entry.Path)) {
                source = &entry;
                break;
            }
        if (source == nullptr) continue;
        TProfile record(machine.Profiles, source->Path);
        TStrings names;
        record.ReadSection(source->Section, names);
        bool present = false;
        for (const std::string& name : names) present = present || Same(name) == Same(source->Name);
        if (!present) continue;
        std::string recorded = record.ReadString(source->Section, source->Name, "");
        for (TPlannedEntry& entry : plan.Entries)
            if (entry.Value == typed) entry.Value = recorded;
        for (TPlannedValue& value : plan.Values)
            if (value.Data == typed) value.Data = recorded;
    }
}

int TVerifyResult::Failing() const
{
    int n = 0;
    for (const TStepFinding& f : Findings) n += f.State != TStepState::KeptOlder;
    return n;
}

int TVerifyResult::Kept() const { return static_cast<int>(Findings.size()) - Failing(); }

TVerifyResult VerifyPlan(const TPlan& plan, TMachine& machine, const std::string& windowsDir)
{
    TVerifyResult result;
    TVerifier verifier(machine, result);
    auto isRecord = [&](const std::string& path) {
        for (const TPlannedEntry& entry : plan.Entries)
            if (Same(entry.Path) == Same(path)) return true;
        return false;
    };
    auto isCopied = [&](const std::string& path) {
        for (const TPlannedCopy& copy : plan.Copies)
            if (Same(copy.Dest) == Same(path)) return true;
        return false;
    };
    for (const std::string& dir : plan.Dirs) verifier.Dir(dir);
    // The record is filled in after its copy: only the entries say whether
    // it holds what it should.
    for (const TPlannedCopy& copy : plan.Copies) verifier.Copy(copy, isRecord(copy.Dest));
    for (const TPlannedValue& value : plan.Values) verifier.Value(value);
    for (const TPlannedEntry& entry : plan.Entries) verifier.Entry(entry, isCopied(entry.Path));
    std::string uninstaller = Same(windowsDir + "\\" + UninstallerName + " ");
    std::string programs = machine.StartMenu.ProgramsFolder();
    for (const TPlannedItem& item : plan.Items)
        if (Same(item.File).rfind(uninstaller, 0) != 0) verifier.Item(item, programs);
    return result;
}

std::string VerifyText(const TVerifyResult& result, const std::string& dest)
{
    std::string text;
    if (!result.Stop.empty())
        text += std::string(DescriptionFileName) + ": stops: the installation run ends at the box " +
                Quoted(result.Stop) + "; only the steps before it are held\n";
    for (const TStepFinding& f : result.Findings)
        text += f.Where + ": " + StateName(f.State) + ": " + f.Text + "\n";
    text += dest + ": " + std::to_string(result.Steps) + " steps, " + std::to_string(result.Failing()) +
            (result.Failing() == 1 ? " does" : " do") + " not hold, " + std::to_string(result.Kept()) +
            " kept\n";
    return text;
}

std::string VerifyJson(const TVerifyResult& result, const std::string& dest)
{
    std::string text = "{\"dest\": " + JsonString(dest) + ", \"findings\": [";
    for (std::size_t i = 0; i < result.Findings.size(); ++i) {
        const TStepFinding& f = result.Findings[i];
        text += std::string(i == 0 ? "\n" : ",\n") + "  {\"where\": " + JsonString(f.Where) +
                ", \"state\": \"" + StateName(f.State) + "\", \"text\": " + JsonString(f.Text) + "}";
    }
    text += result.Findings.empty() ? "]" : "\n]";
    text += ", \"stop\": " + (result.Stop.empty() ? std::string("null") : JsonString(result.Stop)) +
            ", \"steps\": " + std::to_string(result.Steps) +
            ", \"failing\": " + std::to_string(result.Failing()) +
            ", \"kept\": " + std::to_string(result.Kept()) +
            ", \"failed\": " + (result.Holds() ? "false" : "true") + "}\n";
    return text;
}

bool LooksLikeDateText(const std::string& text, const TLocaleFormats& formats)
{
    if (text.empty()) return false;
    std::string shape = Shape(text);
    // Month and day names, the morning and afternoon marks and the
    // time left out at midnight all change the shape: try each.
    for (int month = 1; month <= 12; ++month)
        for (int day = 1; day <= 7; ++day)
            for (int hour : {0, 9, 21}) {
                TDateTime time{1998, month, day, hour, hour == 0 ? 0 : 5, hour == 0 ? 0 : 7};
                if (Shape(DateTimeText(time, formats)) == shape) return true;
            }
    return false;
}

std::string ShellFileName(const std::string& caption)
{
    std::string name = caption;
    for (char& c : name)
        if (std::string("<>:/\\|?*\"").find(c) != std::string::npos) c = '_';
    return name;
}
