#include "Verify.h"

#include <cctype>
#include <set>

#include "engine/DateText.h"
#include "engine/Description.h"
#include "Findings.h"
#include "engine/Records.h"
#include "core/CharText.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "core/Text.h"
#include "platform/doubles/ProfileText.h"

namespace {

std::string Same(const std::string& text) { return AsciiUpper(text); }

bool EndsWithSame(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() && Same(text.substr(text.size() - tail.size())) == Same(tail);
}

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

class TVerifier {
public:
    TVerifier(TMachine& machine, TVerifyResult& result) : m_(machine), result_(result) {}

    void Dir(const std::string& path)
    {
        ++result_.Steps;
        if (!m_.Files.DirectoryExists(path)) Add(path, TStepState::Missing, "directory");
    }

    void Copy(const TCopyStep& copy, bool existenceOnly)
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

    void Value(const TValueStep& value)
    {
        if (value.DWord) {
            DWordValue(value);
            return;
        }
        std::string data;
        if (!Read(value, data)) return;
        if (Same(value.Name) == Same(InstallDateName) && IsUninstallEntry(value.Key)) {
            if (data.size() != 8 || Shape(data) != "#")
                Add(Where(value), TStepState::Differs, Shown(data) + " is no day as YYYYMMDD");
        } else if (Same(value.Name) == Same(DateName) &&
            EndsWithSame(value.Key, std::string("\\") + InstallSection)) {
            if (!LooksLikeDateText(data, m_.DateFormats.Formats()))
                Add(Where(value), TStepState::Differs, Shown(data) + " is no date and time");
        } else if (data != value.Data) {
            Add(Where(value), TStepState::Differs, Shown(data) + ", planned " + Shown(value.Data));
        }
    }

    // The size depends on the files an earlier installation left in place,
    // so any number holds; its type must be REG_DWORD, as the tools read it.
    void DWordValue(const TValueStep& value)
    {
        ++result_.Steps;
        TRegistry registry(m_.Registry);
        registry.SetRoot(value.Root);
        std::uint32_t data = 0;
        if (!registry.OpenKeyReadOnly("\\" + value.Key) || !registry.ValueExists(value.Name))
            Add(Where(value), TStepState::Missing, "planned " + value.Data + " (REG_DWORD)");
        else if (!registry.ReadDWord(value.Name, data))
            Add(Where(value), TStepState::Differs, "no REG_DWORD, planned " + value.Data);
        else if (Same(value.Name) != Same(EstimatedSizeName) && std::to_string(data) != value.Data)
            Add(Where(value), TStepState::Differs, std::to_string(data) + ", planned " + value.Data);
    }

    static bool IsUninstallEntry(const std::string& key)
    {
        return Same(key).rfind(Same(UninstallKeyPrefix), 0) == 0;
    }

    void Counter(const TCounterStep& counter)
    {
        std::string data;
        // Other products share the file: any count from 1 up is right.
        if (Read(counter, data) && ReadIntegerText(data, 0) < 1)
            Add(Where(counter), TStepState::Differs, Shown(data) + ", planned at least 1");
    }

    void Entry(const TEntryStep& entry, bool fileCopied)
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
            Add(where, TStepState::Missing, "planned " + Shown(entry.Reads));
            return;
        }
        std::string value = record.ReadString(entry.Section, entry.Name, "");
        if (Same(entry.Section) == Same(InstallSection) && Same(entry.Name) == Same(DateName)) {
            if (!LooksLikeDateText(value, m_.DateFormats.Formats()))
                Add(where, TStepState::Differs, Shown(value) + " is no date and time");
        } else if (value != entry.Reads) {
            Add(where, TStepState::Differs, Shown(value) + ", planned " + Shown(entry.Reads));
        }
    }

    // The wizard's program manager makes the item in the user's Programs
    // folder, the silent run in every user's: either holds.
    void Item(const TPlannedItem& item, const std::string& programs, const std::string& common)
    {
        ++result_.Steps;
        std::string inGroup = "\\" + ShellFileName(item.Group) + "\\" +
                              ShortcutFileName(ItemTitle(item.Caption, item.File));
        std::string link = programs + inGroup;
        std::string planned = "program item " + Shown(item.Caption) + " for " + item.File;
        if (programs.empty() && common.empty()) {
            Add(link, TStepState::Missing, planned + ": the shell names no Programs folder");
            return;
        }
        if ((programs.empty() || !m_.Files.FileExists(link)) && !common.empty() &&
            m_.Files.FileExists(common + inGroup))
            link = common + inGroup;
        if (!m_.Files.FileExists(link)) {
            Add(link, TStepState::Missing, planned);
            return;
        }
        std::string target;
        if (!m_.Shortcuts.ShortcutTarget(link, target))
            Add(link, TStepState::Differs, "no shortcut that can be read, planned " + planned);
        else if (!m_.Locale.SameText(target, item.File))
            Add(link, TStepState::Differs, "points at " + target + ", planned " + planned);
    }

private:
    static std::string Where(const TValueStep& value)
    {
        return std::string(RootName(value.Root)) + "\\" + value.Key + "  " + value.Name;
    }

    // The value's text on the machine; false, with the finding made, when
    // there is none.
    bool Read(const TValueStep& value, std::string& data)
    {
        ++result_.Steps;
        TRegistry registry(m_.Registry);
        registry.SetRoot(value.Root);
        if (!registry.OpenKeyReadOnly("\\" + value.Key) || !registry.ValueExists(value.Name)) {
            Add(Where(value), TStepState::Missing, "planned " + Shown(value.Data));
            return false;
        }
        try {
            data = registry.ReadString(value.Name);
        } catch (const EError&) {
            Add(Where(value), TStepState::Differs, "no text value, planned " + Shown(value.Data));
            return false;
        }
        return true;
    }

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

namespace {

// The text written for an entry, as the file holds it: a profile read
// would drop enclosing quotes, which the registry keeps. False when the
// entry is not in the file's first section of that name.
bool WrittenText(TMachine& machine, const TEntryStep& entry, std::string& text)
{
    std::string content;
    if (!machine.Files.ReadWholeFile(entry.Path, content)) return false;
    bool inSection = false, seen = false;
    for (const TProfileLine& line : ParseProfileText(content)) {
        if (line.Kind == TProfileLine::Section) {
            if (inSection) return false;
            inSection = !seen && Same(line.Name) == Same(entry.Section);
            seen = seen || inSection;
        } else if (inSection && line.Kind == TProfileLine::Entry && Same(line.Name) == Same(entry.Name)) {
            text = line.Value;
            return true;
        }
    }
    return false;
}

}  // namespace

void TakeUserEntriesFromRecord(TPlan& plan, TMachine& machine)
{
    for (const std::string typed : {NameFromRecord, OrganizationFromRecord}) {
        std::string written;
        const TEntryStep* source = nullptr;
        for (const TEntryStep& entry : plan.Entries)
            if (entry.Value == typed && WrittenText(machine, entry, written)) {
                source = &entry;
                break;
            }
        if (source == nullptr) continue;
        std::string reads = TProfile(machine.Profiles, source->Path).ReadString(source->Section, source->Name, "");
        for (TEntryStep& entry : plan.Entries)
            if (entry.Value == typed) {
                entry.Value = written;
                entry.Reads = reads;
            }
        for (TValueStep& value : plan.Values)
            if (value.Data == typed) value.Data = written;
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
        for (const TEntryStep& entry : plan.Entries)
            if (Same(entry.Path) == Same(path)) return true;
        return false;
    };
    auto isCopied = [&](const std::string& path) {
        for (const TCopyStep& copy : plan.Copies)
            if (Same(copy.Dest) == Same(path)) return true;
        return false;
    };
    for (const std::string& dir : plan.Dirs) verifier.Dir(dir);
    // The record is filled in after its copy: only the entries say whether
    // it holds what it should.
    for (const TCopyStep& copy : plan.Copies) verifier.Copy(copy, isRecord(copy.Dest));
    for (const TValueStep& value : plan.Values) verifier.Value(value);
    for (const TCounterStep& counter : plan.Counters) verifier.Counter(counter);
    for (const TEntryStep& entry : plan.Entries) verifier.Entry(entry, isCopied(entry.Path));
    std::string uninstaller = Same(windowsDir + "\\" + UninstallerName + " ");
    std::string programs = machine.StartMenu.ProgramsFolder();
    std::string common = machine.StartMenu.CommonProgramsFolder();
    for (const TPlannedItem& item : plan.Items)
        if (Same(item.File).rfind(uninstaller, 0) != 0) verifier.Item(item, programs, common);
    return result;
}

std::string VerifyText(const TVerifyResult& result, const std::string& dest)
{
    std::string text;
    if (!result.Stop.empty())
        text += std::string(DescriptionFileName) + ": stops: the installation run ends at the box " +
                Shown(result.Stop) + "; only the steps before it are held\n";
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
