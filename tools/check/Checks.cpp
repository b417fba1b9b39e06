#include "Checks.h"

#include <cctype>
#include <set>

#include "engine/Description.h"
#include "engine/Engine.h"
#include "core/Paths.h"
#include "engine/Records.h"

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

// A Directory setting the destination page cannot take apart as a drive
// root and a rest: what the page shows, and what a pick in its list makes.
std::string NoDriveRootWords(const std::string& directory)
{
    bool drive = directory.size() >= 2 && directory[1] == ':';
    bool relative = !drive && directory[0] != '\\';
    std::string text = "Directory " + Quoted(directory) +
                       " does not start with a drive root such as \"c:\\\": the destination page "
                       "shows it as it stands";
    if (relative)
        text += ", and accepted there it installs below the current folder (c:\\ unless the user "
                "moved the directory list) while the records name the relative path";
    text += "; a folder picked in the list drops the setting's first three characters, taken for a "
            "drive root (c:\\ gives " + Quoted(DestinationFor("c:\\", directory)) + ")";
    if (directory.compare(0, 2, "\\\\") == 0) return text;
    std::string full = drive ? directory.substr(0, 2) + "\\" + directory.substr(2)
                             : "c:" + std::string(relative ? "\\" : "") + directory;
    return text + "; write it as " + Quoted(full);
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
        CheckShift(SysFilesIn, SysFilesOut, d_.SysFilesInNames, d_.SysFilesOutNames);
        CheckShift(FilesIn, FilesOut, d_.FilesInNames, d_.FilesOutNames);
        CheckEncoding();
        CheckInlineComments();
        CheckSources(SysFilesIn, d_.SysFilesInNames);
        CheckSources(FilesIn, d_.FilesInNames);
        CheckNotices(StartInfo, d_.StartInfoNames);
        CheckNotices(EndInfo, d_.EndInfoNames);
        CheckTemplate();
        CheckDirs();
        CheckDeviceNames(SysFilesOut, d_.SysFilesOutNames);
        CheckDeviceNames(FilesOut, d_.FilesOutNames);
        // A destination the page refuses installs nothing: said once, and
        // what follows from it (no folder made, no copy) left out.
        bool refused = CheckRefusedDestination();
        if (!refused) CheckDestinations();
        CheckItems();
        CheckAddOns();
        CheckKeys();
        if (!refused) CheckCommands();
        CheckUninstaller();
        SortByLine(findings_);
        return findings_;
    }

private:
    void Error(int line, const std::string& text) { findings_.push_back({line, TSeverity::Error, text}); }
    void Warning(int line, const std::string& text)
    {
        findings_.push_back({line, TSeverity::Warning, text});
    }
    // A finding quoting text saved as UTF-8, and what it shows as.
    void Utf8Warning(int line, const std::string& text)
    {
        findings_.push_back({line, TSeverity::Warning, text, true});
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
        if (in_.Strict && !d_.Expand && d_.Publisher.empty())
            Warning(lines_.HeaderLine(Settings),
                    "no Publisher in [Settings]: the uninstall entry names no publisher, and the "
                    "Apps list and winget show none");
        if (d_.Expand)
            Warning(SettingLine(IpiSetting::Expand),
                    "Expand is set: the installation only creates the directories; nothing is "
                    "copied and no group, registry entry or add-on is made");
        if (d_.Directory.empty())
            Warning(SettingLine(IpiSetting::Directory),
                    "Directory is empty: the destination page starts with no path");
        else if (!StartsWithDriveRoot(d_.Directory))
            Warning(SettingLine(IpiSetting::Directory), NoDriveRootWords(d_.Directory));
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

    // In-names and Out-names pair by position, so a line left out of one
    // list (or added at the wrong place) pairs every file after it with
    // another file's name. A copy keeps its file name unless its author
    // renames it: where the names differ and one of them stands at another
    // position whose own pair differs too, the lists are out of step.
    void CheckShift(const char* in, const char* out, const TStrings& ins, const TStrings& outs)
    {
        auto name = [&](const std::string& path) { return AsciiUpper(FileNamePart(path, in_.CodePage)); };
        auto paired = [&](std::size_t i) {
            return i < ins.size() && i < outs.size() && name(ins[i]) == name(outs[i]);
        };
        // Where else an In-name's file name stands among the unpaired
        // Out-names, and an Out-name's among the In-names; npos for nowhere.
        auto elsewhere = [&](const TStrings& list, std::size_t skip, const std::string& wanted) {
            for (std::size_t j = 0; j < list.size(); ++j)
                if (j != skip && !paired(j) && name(list[j]) == wanted) return j;
            return std::string::npos;
        };
        std::size_t count = std::min(ins.size(), outs.size());
        std::size_t differing = 0, first = std::string::npos;
        std::vector<std::size_t> renamed;
        for (std::size_t i = 0; i < count; ++i) {
            if (paired(i)) continue;
            ++differing;
            bool shifted = elsewhere(outs, i, name(ins[i])) != std::string::npos ||
                           elsewhere(ins, i, name(outs[i])) != std::string::npos;
            if (!shifted) renamed.push_back(i);
            else if (first == std::string::npos) first = i;
        }
        std::string inSection = "[" + std::string(in) + "]";
        if (first != std::string::npos) {
            std::string text = inSection + " and [" + out +
                               "] pair by position and are out of step here: " + Quoted(ins[first]) +
                               " (line " + std::to_string(LineOf(in, first)) +
                               ") pairs with this line and is written as " + Quoted(outs[first]);
            std::size_t own = elsewhere(outs, first, name(ins[first]));
            std::size_t owner = elsewhere(ins, first, name(outs[first]));
            if (own != std::string::npos)
                text += ", while its own name stands on line " + std::to_string(LineOf(out, own));
            else
                text += ", the name meant for " + Quoted(ins[owner]) + " (line " +
                        std::to_string(LineOf(in, owner)) + ")";
            Error(LineOf(out, first), text + "; " + std::to_string(differing) + " of " +
                                          std::to_string(ins.size()) +
                                          " copies land under another file's name");
        }
        if (!in_.Strict) return;
        // A lone renamed pair is legal, and often meant.
        for (std::size_t i : renamed)
            Warning(LineOf(out, i), Quoted(ins[i]) + " (" + inSection + " line " +
                                        std::to_string(LineOf(in, i)) + ") is installed under another name, " +
                                        Quoted(outs[i]));
    }

    // What a file saved as UTF-8 shows as: what names the file ("the file",
    // "notice ...") and who reads it ("Windows reads", "the wizard shows").
    std::string Utf8Words(const TUtf8Text& utf8, const std::string& what, const std::string& reader,
                          const std::string& header) const
    {
        std::string text = what;
        if (utf8.Mark) {
            text += " starts with a UTF-8 byte-order mark, which " + reader + " as the characters \"" +
                    ShownInCodePage("\xEF\xBB\xBF", in_.CodePage) + "\" in front of its first line";
            if (!header.empty())
                text += ": " + header + " is then no section header, and the section is never read";
        }
        if (utf8.Line != 0) {
            std::string line = Utf8Start(utf8.Text, 40);
            std::string shown = ShownInCodePage(line, in_.CodePage);
            text += std::string(utf8.Mark ? "; it is" : " is") + " saved as UTF-8, and " + reader +
                    " it in the machine's ANSI code page: its line " + std::to_string(utf8.Line) + " \"" + line +
                    "\" shows as " + (shown.empty() ? "other characters" : "\"" + shown + "\"") +
                    " in code page " + std::to_string(in_.CodePage);
        }
        return text + "; save it as ANSI (Notepad: Save As, Encoding ANSI)";
    }

    // Windows reads the control file in the machine's ANSI code page, and
    // takes a UTF-8 byte-order mark for three characters of its first line
    // (Wine knows the mark and skips it).
    void CheckEncoding()
    {
        std::string content;
        in_.Run.Files().ReadWholeFile(Shared.DescriptionPath, content);
        TUtf8Text utf8 = FindUtf8(content);
        if (!utf8.Found()) return;
        std::string header;
        std::size_t at = content.find_first_not_of(" \t", 3);
        if (utf8.Mark && at != std::string::npos && content[at] == '[') {
            std::size_t end = content.find_first_of("]\r\n", at);
            header = content.substr(at, end == std::string::npos || content[end] != ']' ? end - at : end - at + 1);
        }
        // A mark in front of a section header hides the whole section: that
        // ships broken ([Settings] hidden: an unnamed product into c:\tmp).
        if (!header.empty()) {
            std::string text = Utf8Words(utf8, "the file", "Windows reads", header);
            if (AsciiUpper(header) == "[SETTINGS]")
                text.insert(text.find("; save it as ANSI"),
                            " (the product installs with no name, into c:\\tmp)");
            Error(1, text);
            return;
        }
        Utf8Warning(utf8.Mark ? 1 : utf8.Line, Utf8Words(utf8, "the file", "Windows reads", header));
    }

    // Only a ";" that starts a line makes it a comment: one after a value
    // is part of the value.
    void CheckInlineComments()
    {
        std::set<std::string> done;
        for (const std::string& section : ValueSections()) {
            if (!done.insert(AsciiUpper(section)).second) continue;
            for (const TProfileEntry* e : lines_.Listed(section)) {
                // Never read, or quoted: the author meant the value whole.
                if (lines_.Entry(section, e->Name) != e || e->Quoted) continue;
                std::size_t semicolon = e->Value.find(';');
                while (semicolon != std::string::npos && semicolon > 0 && e->Value[semicolon - 1] != ' ' &&
                       e->Value[semicolon - 1] != '\t')
                    semicolon = e->Value.find(';', semicolon + 1);
                if (semicolon == std::string::npos) continue;
                Warning(e->Line, "a \";\" after a value starts no comment: " + Quoted(e->Name) + " in [" +
                                     section + "] is read as \"" + e->Value +
                                     "\"; put the comment on a line of its own");
            }
        }
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
            else if (FindUtf8(bytes).Found())
                Utf8Warning(LineOf(section, i), Utf8Words(FindUtf8(bytes), "notice " + Quoted(names[i]),
                                                          "the wizard shows", ""));
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

    // The default destination as the destination page holds it against
    // Windows' rules for folder names (a part ending in a blank, a device
    // name, a character such as "|"): refused, nothing is installed.
    bool CheckRefusedDestination()
    {
        if (!HasDestination() || in_.DestDir != Cut(d_.Directory)) return false;
        std::string refusal = FolderRefusal(TypedDestination(in_.DestDir), false);
        if (refusal.empty()) return false;
        for (char& c : refusal)
            if (c == '\r' || c == '\n') c = ' ';
        Error(SettingLine(IpiSetting::Directory),
              "the destination page refuses Directory " + Quoted(d_.Directory) + ", saying: " + refusal +
                  " The user must type another folder; with /S nothing is installed");
        return true;
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

    // $NAME and $ORG are replaced under their own value names only; under
    // another one the placeholder itself is written.
    void CheckPlaceholder(const std::string& section, const TProfileEntry& e)
    {
        std::string value = AsciiUpper(e.Value), name = AsciiUpper(e.Name);
        bool misplaced = (value == "$NAME" && name != "NAME") || (value == "$ORG" && name != "ORGANIZATION");
        if (!misplaced) return;
        Warning(e.Line, Quoted(e.Name + "=" + e.Value) + " in [" + section + "] writes the text " +
                            Quoted(e.Value) + ": only the value names \"Name\" ($NAME) and \"Organization\" "
                            "($ORG) are replaced by what the user typed");
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
            for (const TProfileEntry* e : lines_.Listed(section)) {
                if (Raw(section, e->Name).size() > ShortStringMax)
                    Warning(e->Line, "the value of " + Quoted(e->Name) + " in [" + section +
                                         "] is cut to its first " + std::to_string(ShortStringMax) +
                                         " characters before it is written");
                if (lines_.Entry(section, e->Name) == e) CheckPlaceholder(section, *e);
            }
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

    // The uninstall entry and the uninstall item start the uninstaller from
    // the Windows directory; only a system file of that name puts it there.
    // Out-names past the In-names copy nothing and do not count.
    void CheckUninstaller()
    {
        if (d_.Expand) return;
        const std::string wanted = AsciiUpper(UninstallerName);
        std::size_t paired = std::min(d_.SysFilesInNames.size(), d_.SysFilesOutNames.size());
        for (std::size_t i = 0; i < paired; ++i)
            if (AsciiUpper(FileNamePart(d_.SysFilesOutNames[i], in_.CodePage)) == wanted) return;
        int line = lines_.HeaderLine(SysFilesOut) != 0 ? lines_.HeaderLine(SysFilesOut)
                                                       : lines_.HeaderLine(SysFilesIn);
        Warning(line, std::string("no system file installs ") + UninstallerName +
                          ": the uninstall entry would point at nothing; add \"" + UninstallerName +
                          "=\" to [" + SysFilesIn + "] and to [" + SysFilesOut + "], and put " +
                          UninstallerName + " beside Pellwick.exe");
    }

    const TCheckInput& in_;
    const TInstallDescription& d_;
    const TProfileLines& lines_;
    TProfile profile_;
    TFindings findings_;
};

}  // namespace

TFindings CheckDescription(const TCheckInput& input) { return TChecker(input).Run(); }
