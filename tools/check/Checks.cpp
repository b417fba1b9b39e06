#include "Checks.h"

#include <cctype>
#include <set>

#include "Description.h"
#include "Engine.h"
#include "Paths.h"
#include "Records.h"

namespace {

using namespace IpiSection;

// A read through a buffer no value can fill, to see what the loader cuts.
const std::size_t Unbounded = std::size_t(1) << 30;
const std::size_t ValueMax = TProfile::ValueBufferSize - 1;

// Long texts shown by their start, so that a finding stays one line.
std::string Quoted(const std::string& text)
{
    const std::size_t shown = 40;
    return "\"" + (text.size() <= shown ? text : CutBytes(text, shown - 3) + "...") + "\"";
}

std::string Entries(std::size_t n)
{
    return std::to_string(n) + (n == 1 ? " entry" : " entries");
}

bool EndsWithCrLf(const std::string& command)
{
    return command.size() >= 2 && command.compare(command.size() - 2, 2, "\r\n") == 0;
}

bool StartsWithDriveRoot(const std::string& path)
{
    return path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
           path[1] == ':' && path[2] == '\\';
}

class TChecker {
public:
    explicit TChecker(const TCheckInput& input)
        : in_(input), d_(input.Description), lines_(input.Lines),
          profile_(input.Run.Profiles(), Shared.DescriptionPath)
    {
    }

    TFindings Run()
    {
        CheckRepeatedSections();
        CheckListings();
        CheckSettings();
        CheckPairs(SysFilesIn, SysFilesOut, d_.SysFilesInNames, d_.SysFilesOutNames,
                   ", but their shared-use counters are still raised");
        CheckPairs(FilesIn, FilesOut, d_.FilesInNames, d_.FilesOutNames, "");
        CheckSources(SysFilesIn, d_.SysFilesInNames);
        CheckSources(FilesIn, d_.FilesInNames);
        CheckNotices(StartInfo, d_.StartInfoNames);
        CheckNotices(EndInfo, d_.EndInfoNames);
        CheckTemplate();
        CheckDirs();
        CheckDeviceNames(SysFilesOut, d_.SysFilesOutNames);
        CheckDeviceNames(FilesOut, d_.FilesOutNames);
        CheckDestinations();
        CheckItems();
        CheckAddOns();
        CheckKeys();
        CheckCommands();
        SortByLine(findings_);
        return findings_;
    }

private:
    void Error(int line, const std::string& text) { findings_.push_back({line, TSeverity::Error, text}); }
    void Warning(int line, const std::string& text)
    {
        findings_.push_back({line, TSeverity::Warning, text});
    }

    // Line of entry index of a section's listing; its header past the end.
    int LineOf(const std::string& section, std::size_t index) const
    {
        std::vector<const TProfileEntry*> listed = lines_.Listed(section);
        return index < listed.size() ? listed[index]->Line : lines_.HeaderLine(section);
    }
    int SettingLine(const std::string& name) const
    {
        const TProfileEntry* e = lines_.Entry(Settings, name);
        return e != nullptr ? e->Line : lines_.HeaderLine(Settings);
    }
    std::string Raw(const std::string& section, const std::string& name) const
    {
        return in_.Run.Profiles().ReadValue(Shared.DescriptionPath, section, name, "", Unbounded);
    }
    bool HasDestination() const { return !in_.DestDir.empty(); }

    // Every section the installer reads: the fixed ones and those [Keys] names.
    std::vector<std::string> ReadSections() const
    {
        std::vector<std::string> sections = {Settings, StartInfo, EndInfo, Dirs,  SysFilesIn,
                                             SysFilesOut, FilesIn, FilesOut, Items, AddOns, Keys};
        for (std::size_t i = 1; i < d_.KeysNames.size(); ++i) sections.push_back(d_.KeysNames[i]);
        return sections;
    }
    // Sections whose values are read by name, so that a repeated name
    // gets the first one's value.
    std::vector<std::string> ValueSections() const
    {
        std::vector<std::string> sections = {Settings, Dirs, SysFilesOut, FilesOut, Items, AddOns, Keys};
        for (std::size_t i = 1; i < d_.KeysNames.size(); ++i) sections.push_back(d_.KeysNames[i]);
        return sections;
    }

    void CheckRepeatedSections()
    {
        std::set<std::string> done;
        for (const std::string& name : ReadSections()) {
            const TProfileSection* first = lines_.Find(name);
            if (first == nullptr || !done.insert(AsciiUpper(name)).second) continue;
            for (const TProfileSection& s : lines_.Sections())
                if (&s != first && SameName(s.Name, name))
                    Warning(s.Line, "section [" + s.Name + "] appears again: only the one on line " +
                                        std::to_string(first->Line) + " is read");
        }
    }

    void CheckListings()
    {
        std::set<std::string> done;
        for (const std::string& name : ReadSections()) {
            const TProfileSection* s = lines_.Find(name);
            if (s == nullptr || !done.insert(AsciiUpper(name)).second) continue;
            CheckNameless(*s);
            CheckOverflow(*s);
        }
        done.clear();
        for (const std::string& name : ValueSections()) {
            if (!done.insert(AsciiUpper(name)).second) continue;
            std::vector<const TProfileEntry*> listed = lines_.Listed(name);
            for (std::size_t i = 0; i < listed.size(); ++i)
                for (std::size_t j = 0; j < i; ++j)
                    if (SameName(listed[i]->Name, listed[j]->Name)) {
                        Warning(listed[i]->Line, "\"" + listed[i]->Name + "\" appears twice in [" +
                                                     name + "]: only the value on line " +
                                                     std::to_string(listed[j]->Line) + " is read");
                        break;
                    }
        }
    }

    void CheckNameless(const TProfileSection& s)
    {
        for (const TProfileEntry& e : s.Entries)
            if (!e.Comment && e.Name.empty())
                Warning(e.Line, "an entry without a name in [" + s.Name +
                                    "]: it is read as an empty name");
    }

    void CheckOverflow(const TProfileSection& s)
    {
        std::vector<const TProfileEntry*> all = lines_.Listed(s.Name);
        TStrings kept;
        profile_.ReadSection(s.Name, kept);
        std::size_t k = 0;
        while (k < kept.size() && k < all.size() && kept[k] == all[k]->Name) ++k;
        if (k == all.size()) return;
        std::size_t after = all.size() - k - 1;
        std::string text = "the names of [" + s.Name + "] pass the " +
                           std::to_string(TProfile::NameBufferSize) + "-byte name listing: ";
        if (k < kept.size())
            text += Quoted(all[k]->Name) + " is read cut to " + Quoted(kept[k]) + ", and the ";
        else
            text += Quoted(all[k]->Name) + " and the ";
        Warning(all[k]->Line, text + Entries(after) + " after it " + (after == 1 ? "is" : "are") +
                                  " never read");
    }

    void CheckSettings()
    {
        for (const char* name : TextSettingNames)
            if (Raw(Settings, name).size() > ShortStringMax)
                Warning(SettingLine(name), std::string(name) + " is cut to its first " +
                                               std::to_string(ShortStringMax) + " characters");
        if (d_.Expand)
            Warning(SettingLine(IpiSetting::Expand),
                    "Expand is set: the installation only creates the directories; nothing is "
                    "copied and no group, registry entry or add-on is made");
        if (d_.Directory.empty())
            Warning(SettingLine(IpiSetting::Directory),
                    "Directory is empty: the destination page starts with no path");
        else if (!StartsWithDriveRoot(d_.Directory))
            Warning(SettingLine(IpiSetting::Directory),
                    "Directory " + Quoted(d_.Directory) +
                        " does not start with a drive root such as \"c:\\\": a folder picked on "
                        "the destination page gets " +
                        Quoted(DestinationFor("c:\\", d_.Directory).substr(3)) + " appended");
        if (MakeProgressStep(d_.FilesInNames.size(), d_.SysFilesInNames.size()) == 0) {
            int line = lines_.HeaderLine(FilesIn) != 0 ? lines_.HeaderLine(FilesIn)
                                                       : lines_.HeaderLine(SysFilesIn);
            Warning(line, std::to_string(d_.FilesInNames.size() + d_.SysFilesInNames.size()) +
                              " files to copy make the progress step 0: the bar stands still "
                              "while they are copied");
        }
    }

    void CheckPairs(const char* in, const char* out, const TStrings& ins, const TStrings& outs,
                    const std::string& surplusTail)
    {
        if (outs.size() < ins.size()) {
            Error(LineOf(in, outs.size()),
                  "[" + std::string(in) + "] has " + Entries(ins.size()) + " but [" + out +
                      "] only " + std::to_string(outs.size()) + ": the run stops at " +
                      Quoted(ins[outs.size()]) + " with \"List index out of bounds\"");
        } else if (outs.size() > ins.size()) {
            std::size_t extra = outs.size() - ins.size();
            Warning(LineOf(out, ins.size()),
                    "[" + std::string(out) + "] has " + Entries(extra) + " more than [" + in +
                        "]: " + Quoted(outs[ins.size()]) + (extra == 1 ? " is" : " and the rest are") +
                        " never copied" + surplusTail);
        }
        for (std::size_t i = 0; i < outs.size(); ++i)
            if (Raw(out, outs[i]).size() > ValueMax)
                Warning(LineOf(out, i), "the value of " + Quoted(outs[i]) + " is cut to its first " +
                                            std::to_string(ValueMax) + " characters");
    }

    void CheckSources(const char* section, const TStrings& names)
    {
        for (std::size_t i = 0; i < names.size(); ++i)
            if (!in_.Run.Files().FileExists(Shared.SourceDir + names[i]))
                Error(LineOf(section, i), Quoted(names[i]) + " is not a file of the folder: its copy fails");
    }

    void CheckNotices(const char* section, const TStrings& names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string bytes;
            if (!in_.Run.Files().ReadWholeFile(Shared.SourceDir + names[i], bytes))
                Error(LineOf(section, i), "notice " + Quoted(names[i]) +
                                              " is not a file of the folder: the wizard stops on "
                                              "it with \"Cannot open file\"");
            else if (bytes.find('\0') != std::string::npos)
                Warning(LineOf(section, i), "notice " + Quoted(names[i]) +
                                                " holds NUL bytes, as a binary file does: the "
                                                "wizard shows them as blanks");
        }
    }

    void CheckTemplate()
    {
        if (!in_.Run.Files().FileExists(Shared.SourceDir + RecordTemplateName))
            Error(0, std::string("the uninstall record template ") + RecordTemplateName +
                         " is not in the folder: the record gets only what the run writes");
    }

    void CheckDirs()
    {
        for (std::size_t i = 0; i < d_.DirsNames.size(); ++i) {
            const std::string& value = d_.DirsValues[i];
            if (!value.empty() && value != "0")
                Warning(LineOf(Dirs, i), "[Dirs] value " + Quoted(value) +
                                             " is neither \"0\" nor empty: " +
                                             Quoted(d_.DirsNames[i]) +
                                             " is made below the destination");
            if (Raw(Dirs, d_.DirsNames[i]).size() > ValueMax)
                Warning(LineOf(Dirs, i), "the value of " + Quoted(d_.DirsNames[i]) +
                                             " is cut to its first " + std::to_string(ValueMax) +
                                             " characters");
        }
    }

    // The bytes of such a copy go to the device; no file is made.
    void CheckDeviceNames(const char* section, const TStrings& names)
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            std::string device = DeviceNamePart(names[i]);
            if (!device.empty())
                Error(LineOf(section, i),
                      Quoted(names[i]) + (device == names[i] ? "" : ": its part " + Quoted(device)) +
                          " is a name Windows keeps for a device: the file is never installed");
        }
    }

    // Copies into the default destination, whose folders the run made.
    void CheckDestinations()
    {
        if (!HasDestination() || d_.Expand) return;
        std::size_t paired = std::min(d_.FilesInNames.size(), d_.FilesOutNames.size());
        for (std::size_t i = 0; i < paired; ++i) {
            std::string dest = in_.DestDir + "\\" + d_.FilesOutNames[i];
            if (!DeviceNamePart(d_.FilesOutNames[i]).empty()) continue;  // told above
            if (dest.size() > MaxPathLength)
                Warning(LineOf(FilesOut, i),
                        "installed into " + in_.DestDir + ", " + Quoted(d_.FilesOutNames[i]) +
                            " makes a path of " + std::to_string(dest.size()) + " characters (at most " +
                            std::to_string(MaxPathLength) + "): it is not copied");
            else if (!in_.Run.Disk().DirExists(TFakeDisk::DirOf(dest)))
                Error(LineOf(FilesOut, i), Quoted(d_.FilesOutNames[i]) +
                                               " lies in a folder that no [Dirs] entry makes: "
                                               "its copy fails");
        }
    }

    void CheckItems()
    {
        std::set<std::string> installed;
        std::size_t paired = std::min(d_.FilesInNames.size(), d_.FilesOutNames.size());
        for (std::size_t i = 0; i < paired; ++i) installed.insert(TFakeDisk::Key(d_.FilesOutNames[i]));
        for (std::size_t i = 0; i < d_.ItemsNames.size(); ++i) {
            if (installed.count(TFakeDisk::Key(d_.ItemsNames[i])) == 0)
                Error(LineOf(Items, i), "the item " + Quoted(d_.ItemsNames[i]) +
                                            " starts a file that no [FilesOut] entry installs");
            if (Raw(Items, d_.ItemsNames[i]).size() > ValueMax)
                Warning(LineOf(Items, i), "the caption of " + Quoted(d_.ItemsNames[i]) +
                                              " is cut to its first " + std::to_string(ValueMax) +
                                              " characters");
        }
    }

    void CheckAddOns()
    {
        for (std::size_t i = 0; i < d_.AddOnsNames.size(); ++i) {
            const std::string& name = d_.AddOnsNames[i];
            const std::string& file = d_.AddOnsValues[i];
            std::int32_t code = 0;
            if (!TryStrToInt(name, code))
                Error(LineOf(AddOns, i), "[AddOns] name " + Quoted(name) +
                                             " is not a whole number: the run stops there with \"'" +
                                             name + "' is not a valid integer value\"");
            else if (code < 0 || code > 2)
                Warning(LineOf(AddOns, i), "add-on " + name + " is never opened: only 0, 1 and 2 are");
            else if (!in_.Run.Files().FileExists(Shared.SourceDir + file))
                Error(LineOf(AddOns, i), "add-on " + Quoted(file) + " is not a file of the folder");
            if (Raw(AddOns, name).size() > ValueMax)
                Warning(LineOf(AddOns, i), "the value of add-on " + Quoted(name) +
                                               " is cut to its first " + std::to_string(ValueMax) +
                                               " characters");
        }
    }

    void CheckKeys()
    {
        if (d_.KeysValues.empty()) return;
        const std::string& base = d_.KeysValues[0];
        int baseLine = LineOf(Keys, 0);
        if (base.size() > ShortStringMax)
            Warning(baseLine, "the base key path is cut to its first " +
                                  std::to_string(ShortStringMax) + " characters");
        if (base.empty())
            Warning(baseLine, "the base key path is empty: the product's keys land directly "
                              "below HKEY_CURRENT_USER");
        else if (base[0] != '\\')
            Warning(baseLine, "the base key path " + Quoted(base) +
                                  " does not start with \"\\\": its subkeys land below a repeat "
                                  "of it (HKEY_CURRENT_USER\\" + base + "\\" + base + "\\Install)");
        for (std::size_t i = 1; i < d_.KeysNames.size(); ++i) {
            const std::string& section = d_.KeysNames[i];
            if (lines_.Find(section) == nullptr) {
                Error(LineOf(Keys, i), "[Keys] names a section [" + section +
                                           "] that the file lacks: the subkey " +
                                           Quoted(d_.KeysValues[i]) + " gets no values");
                continue;
            }
            for (const TProfileEntry* e : lines_.Listed(section))
                if (Raw(section, e->Name).size() > ShortStringMax)
                    Warning(e->Line, "the value of " + Quoted(e->Name) + " in [" + section +
                                         "] is cut to its first " + std::to_string(ShortStringMax) +
                                         " characters before it is written");
        }
    }

    // The commands as the engine builds them; one it had to cut lost its CR LF.
    void CheckCommands()
    {
        if (!EndsWithCrLf(CreateGroupCommand(d_.ProgGroup)))
            Error(SettingLine(IpiSetting::ProgGroup), "the create-group command passes 255 characters and is cut");
        if (!HasDestination()) return;
        for (std::size_t i = 0; i < d_.ItemsNames.size(); ++i)
            if (!EndsWithCrLf(AddItemCommand(in_.DestDir, d_.ItemsNames[i], d_.ItemsValues[i])))
                Error(LineOf(Items, i), "installed into " + in_.DestDir + ", the command for " +
                                            Quoted(d_.ItemsNames[i]) +
                                            " passes 255 characters and is cut");
        if (!EndsWithCrLf(UninstallItemCommand(in_.WindowsDir, in_.DestDir, d_.Application)))
            Error(SettingLine(IpiSetting::Application), "installed into " + in_.DestDir +
                                                  ", the uninstall item's command passes 255 "
                                                  "characters and is cut");
    }

    const TCheckInput& in_;
    const TInstallDescription& d_;
    const TProfileLines& lines_;
    TProfile profile_;
    TFindings findings_;
};

}  // namespace

TFindings CheckDescription(const TCheckInput& input) { return TChecker(input).Run(); }
