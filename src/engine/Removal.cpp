#include "Removal.h"

#include <algorithm>
#include <cstring>

#include "CharText.h"
#include "RecordNames.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "core/SystemErrors.h"
#include "platform/Platform.h"

namespace RemovalText {
const char* const Caption = "Skorvel";
const char* const Question = "Remove %s and all of its components?";
const char* const NoDestination =
    "No folder was named: start Skorvel.exe with the folder of the product to remove, "
    "as the list of installed programs does.";
const char* const NothingLeft = "There is nothing left to remove in %s.";
const char* const NoList =
    "%s holds no list of what was installed (the product was installed by an earlier "
    "Pellwick), so Skorvel cannot tell what is the product's. Nothing was removed.";
const char* const BadList =
    "The list of what was installed, %s, cannot be read. Nothing was removed.";
}  // namespace RemovalText

namespace {

const std::size_t EntriesNamed = 3;

const char* const InUseAtRestart = "it is in use; it goes when Windows restarts";
const char* const Outside = "it lies outside what the installation made, so it was not touched";
const char* const KeyNotEmpty = "it holds entries the installation did not make";
const char* const GroupNotEmpty = "it holds items the installation did not make";
const char* const FolderNotEmpty = "it holds files the installation did not make: ";

bool Gone(unsigned long error) { return IsGoneError(error); }

bool StartsWithText(const std::string& text, const std::string& head)
{
    return text.size() >= head.size() && AsciiUpper(text.substr(0, head.size())) == AsciiUpper(head);
}

// The root and path of a key as the list names it. Only keys an
// installation writes are taken: any below HKEY_CURRENT_USER, and an
// uninstall entry below HKEY_LOCAL_MACHINE.
bool KeyOf(const std::string& listed, RegRoot& root, std::string& sub)
{
    if (StartsWithText(listed, "HKCU\\")) {
        root = RegRoot::CurrentUser;
    } else if (StartsWithText(listed, "HKLM\\") &&
               StartsWithText(listed.substr(5), UninstallKeyPrefix) &&
               listed.size() > 5 + std::string(UninstallKeyPrefix).size()) {
        root = RegRoot::LocalMachine;
    } else {
        return false;
    }
    sub = listed.substr(5);
    return !sub.empty();
}

// The three kinds of keys, removed at three steps: the product's, its
// uninstall entry, and the shared counters' keys once counted down.
enum TKeyGroup { ProductKeys, UninstallEntryKeys, CounterKeys };

TKeyGroup GroupOf(const std::string& listed)
{
    if (StartsWithText(listed, "HKLM\\")) return UninstallEntryKeys;
    std::string counters = "HKCU" + std::string(UninstallerKey);
    return StartsWithText(listed + "\\", counters) ? CounterKeys : ProductKeys;
}

// Whether two paths name one folder, part by part without regard to case
// ("c:\App\" and "C:\app").
bool SamePath(const std::string& a, const std::string& b)
{
    std::vector<std::string> x = PathParts(a), y = PathParts(b);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (!Sys().Locale->SameText(x[i], y[i])) return false;
    return true;
}


}  // namespace

TRemoval::TRemoval(std::string destDir, std::string programsFolder)
    : destDir_(std::move(destDir)), programsFolder_(std::move(programsFolder))
{
    listPath_ = destDir_ + "\\" + ListName;
    recordPath_ = destDir_ + "\\" + RecordName;
}

void TRemoval::Load()
{
    if (destDir_.empty()) throw EError(RemovalText::NoDestination);
    IFileSystem& files = *Sys().Files;
    bool hasRecord = files.FileExists(recordPath_);
    std::string text;
    if (!files.ReadWholeFile(listPath_, text)) {
        if (files.FileExists(listPath_)) throw EError(FormatMessage1(RemovalText::BadList, listPath_));
        throw EError(FormatMessage1(hasRecord ? RemovalText::NoList : RemovalText::NothingLeft, destDir_));
    }
    if (!list_.Read(text)) throw EError(FormatMessage1(RemovalText::BadList, listPath_));
    if (!hasRecord) throw EError(FormatMessage1(RemovalText::NothingLeft, destDir_));
    TProfile record(*Sys().Profiles, recordPath_);
    displayName_ = record.ReadString(UninstallSection, "DisplayName", "");
    // Blanks at its end (no version) would show in the question.
    while (!displayName_.empty() && displayName_.back() == ' ') displayName_.pop_back();
    if (displayName_.empty()) displayName_ = destDir_;
}

void TRemoval::Perform()
{
    RemoveProgramGroups();
    RemoveFiles();
    RemoveRegistry(ProductKeys);
    RemoveRegistry(UninstallEntryKeys);
    CountDownSharedFiles();
    RemoveRegistry(CounterKeys);
    RemoveListAndRecord();
    RemoveFolders();
}

void TRemoval::Leave(const std::string& what, const std::string& reason, bool atRestart)
{
    left_.push_back({what, reason, atRestart});
    Note("left " + what + ": " + reason);
}

void TRemoval::Done(const std::string& what) { Note("removed " + what); }

void TRemoval::Note(const std::string& line)
{
    log_.push_back(line);
    if (runLog_ != nullptr) runLog_->Line(line);
}

std::string TRemoval::Reason(unsigned long error)
{
    return CopyErrorText(error, Sys().Files->ErrorText(error));
}

bool TRemoval::DeleteOne(const std::string& path)
{
    ICleanup& cleanup = *Sys().Cleanup;
    unsigned long error = cleanup.RemoveFile(path);
    if (error == 0 || Gone(error)) {
        if (error == 0) Done(path);
        return true;
    }
    // Open without sharing gives a sharing violation; a running program
    // or a loaded DLL, access denied.
    if ((error == ErrorSharingViolation || error == ErrorAccessDenied) && cleanup.DeleteAtRestart(path)) {
        Leave(path, InUseAtRestart, true);
        return true;
    }
    Leave(path, Reason(error));
    return false;
}

void TRemoval::RemoveProgramGroups()
{
    ILocale& locale = *Sys().Locale;
    IProgramManager& progman = *Sys().ProgramManager;
    const std::vector<TListEntry>& all = list_.Entries;
    for (auto g = all.rbegin(); g != all.rend(); ++g) {
        if (g->Kind != TListKind::Group) continue;
        const std::string& group = g->Name;
        std::string folder = programsFolder_ + "\\" + ShellFileName(group);
        bool asFolder = !programsFolder_.empty() && IsBelow(folder, programsFolder_, locale) &&
                        Sys().Files->DirectoryExists(folder);
        // Where groups are no folders, the program manager removes them;
        // a shell that keeps them as folders is spared its window.
        if (!asFolder) {
            progman.Open();
            if (!progman.IsOpen()) {
                Leave("Program group " + group, "no program manager answered");
                continue;
            }
            // Refused: no such group, so nothing of it is left to remove.
            if (!progman.Execute("[ShowGroup(" + CommandArgument(group) + ",1)]\r\n")) continue;
        }
        for (auto i = all.rbegin(); i != all.rend(); ++i) {
            if (i->Kind != TListKind::Item || i->Of != group) continue;
            if (asFolder)
                DeleteOne(folder + "\\" + ShortcutFileName(i->Name));
            else if (progman.Execute("[DeleteItem(" + CommandArgument(i->Name) + ")]\r\n"))
                Done("program item " + i->Name);
        }
        if (!asFolder) {
            if (progman.Execute("[DeleteGroup(" + CommandArgument(group) + ")]\r\n"))
                Done("program group " + group);
            else
                Leave("Program group " + group, "the program manager refused it");
        } else if (!Sys().Cleanup->Entries(folder).empty()) {
            Leave("Program group " + group, GroupNotEmpty);
        } else if (Sys().Cleanup->RemoveFolder(folder) == 0) {
            Done(folder);
        }
    }
    progman.Close();
}

void TRemoval::RemoveFiles()
{
    ILocale& locale = *Sys().Locale;
    const std::vector<TListEntry>& all = list_.Entries;
    for (auto e = all.rbegin(); e != all.rend(); ++e) {
        if (e->Kind != TListKind::File) continue;
        if (!IsBelow(e->Name, destDir_, locale))
            Leave(e->Name, Outside);
        else if (!DeleteOne(e->Name))
            remaining_.Add(TListKind::File, e->Name);
    }
}

void TRemoval::RemoveRegistry(int keyGroup)
{
    bool uninstallEntry = keyGroup == UninstallEntryKeys;
    IRegistryApi& api = *Sys().Registry;
    const std::vector<TListEntry>& all = list_.Entries;
    // An uninstall entry that a later installation of the product in
    // another folder has taken over is that installation's now.
    std::vector<std::string> taken;
    for (const TListEntry& e : all) {
        RegRoot root;
        std::string sub;
        if (!uninstallEntry || e.Kind != TListKind::Key || !KeyOf(e.Name, root, sub)) continue;
        TRegistry entry(api);
        entry.SetRoot(root);
        if (!entry.OpenKeyReadOnly("\\" + sub)) continue;
        std::string command = entry.ReadString("UninstallString");
        // The uninstaller's name, a blank, the destination, as the entry is written.
        std::string::size_type name = AsciiUpper(command).find(AsciiUpper(UninstallerName));
        std::string::size_type dest = name == std::string::npos ? name : name + std::strlen(UninstallerName) + 1;
        if (dest <= command.size() && SamePath(command.substr(dest), destDir_)) continue;
        if (!command.empty()) {
            taken.push_back(e.Name);
            Leave(e.Name, "it now stands for the installation that " + command + " removes");
        }
    }
    auto isTaken = [&taken](const std::string& key) {
        return std::find(taken.begin(), taken.end(), key) != taken.end();
    };
    for (auto e = all.rbegin(); e != all.rend(); ++e) {
        if (e->Kind != TListKind::Value || GroupOf(e->Of) != keyGroup) continue;
        if (isTaken(e->Of)) continue;
        RegRoot root;
        std::string sub;
        if (!KeyOf(e->Of, root, sub)) {
            Leave(e->Of + "\\" + e->Name, Outside);
            continue;
        }
        TOpenKey key(api, root, sub, RegAccess::Full);
        long rc = key.Result() == 0 ? Sys().Cleanup->DeleteValue(key.Key(), e->Name) : key.Result();
        if (rc == 0) {
            Done(e->Of + " " + e->Name);
        } else if (!Gone(static_cast<unsigned long>(rc))) {
            Leave(e->Of + " " + e->Name, Reason(static_cast<unsigned long>(rc)));
            remaining_.Add(TListKind::Value, e->Name, e->Of);
        }
    }
    // The deepest keys first: a key goes only when nothing is left in it.
    std::vector<std::string> keys;
    for (auto e = all.rbegin(); e != all.rend(); ++e)
        if (e->Kind == TListKind::Key && GroupOf(e->Name) == keyGroup && !isTaken(e->Name))
            keys.push_back(e->Name);
    std::stable_sort(keys.begin(), keys.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    for (const std::string& listed : keys) {
        RegRoot root;
        std::string sub;
        if (!KeyOf(listed, root, sub)) {
            Leave(listed, Outside);
            continue;
        }
        std::uint32_t subkeys = 0, values = 0;
        {
            TOpenKey key(api, root, sub, RegAccess::Read);
            if (key.Result() != 0) continue;  // gone already
            Sys().Cleanup->CountContents(key.Key(), subkeys, values);
        }
        if (subkeys != 0 || values != 0) {
            // The shared counters' keys hold other products' counts.
            if (keyGroup != CounterKeys) Leave(listed, KeyNotEmpty);
            continue;
        }
        long rc = Sys().Cleanup->DeleteSubKey(api.Root(root), sub);
        if (rc == 0)
            Done(listed);
        else if (!Gone(static_cast<unsigned long>(rc)))
            Leave(listed, Reason(static_cast<unsigned long>(rc)));
    }
}

void TRemoval::CountDownSharedFiles()
{
    ILocale& locale = *Sys().Locale;
    std::string windowsDir = Sys().Files->WindowsDirectory();
    std::string exe = Sys().Desktop->ExePath();
    TRegistry counters(*Sys().Registry);
    std::string countersKey = "\\" + CountersKeyPath();
    const std::vector<TListEntry>& all = list_.Entries;
    for (auto e = all.rbegin(); e != all.rend(); ++e) {
        if (e->Kind != TListKind::SystemFile && e->Kind != TListKind::CountedFile) continue;
        std::int32_t count = 0;
        try {
            count = counters.ReadInteger(countersKey, e->Of, 0);
        } catch (const EError& error) {
            Leave("Shared-use count " + e->Of, error.Message());
            continue;
        }
        // Without a count nobody can tell who else uses the file.
        if (count <= 0) continue;
        if (count > 1) {
            counters.WriteString(countersKey, e->Of, IntToStr(count - 1));
            Note("counted down " + e->Of + " to " + IntToStr(count - 1));
            continue;
        }
        TOpenKey key(*Sys().Registry, RegRoot::CurrentUser, CountersKeyPath(), RegAccess::Full);
        if (key.Result() == 0) Sys().Cleanup->DeleteValue(key.Key(), e->Of);
        Note("counted down " + e->Of + " to 0");
        if (e->Kind != TListKind::SystemFile) continue;
        if (!IsBelow(e->Name, windowsDir, locale)) {
            Leave(e->Name, Outside);
            continue;
        }
        // The uninstaller itself, shipped as a shared file, is running.
        if (Sys().Files->SameFile(e->Name, exe) && Sys().Cleanup->DeleteAtRestart(e->Name))
            Note("removed at the next restart " + e->Name);
        else
            DeleteOne(e->Name);
    }
}

void TRemoval::RemoveListAndRecord()
{
    if (remaining_.Entries.empty()) {
        DeleteOne(listPath_);
        DeleteOne(recordPath_);
        return;
    }
    // What a second run may still remove stays listed, with the record.
    unsigned long error = Sys().Files->WriteWholeFile(listPath_, remaining_.Text());
    if (error != 0) Leave(listPath_, Reason(error));
}

void TRemoval::RemoveFolders()
{
    ILocale& locale = *Sys().Locale;
    ICleanup& cleanup = *Sys().Cleanup;
    std::vector<std::string> folders;
    for (auto e = list_.Entries.rbegin(); e != list_.Entries.rend(); ++e)
        if (e->Kind == TListKind::Folder) folders.push_back(e->Name);
    bool destListed = false;
    for (const std::string& folder : folders) destListed |= locale.SameText(folder, destDir_);
    if (!destListed) folders.push_back(destDir_);
    std::vector<std::string> leftFolders;
    std::stable_sort(folders.begin(), folders.end(), [](const std::string& a, const std::string& b) {
        return a.size() > b.size();
    });
    for (const std::string& folder : folders) {
        std::vector<std::string> parts = PathParts(folder);
        bool dots = false;
        for (const std::string& part : parts) dots |= part.find_first_not_of('.') == std::string::npos;
        if (parts.size() < 2 || dots) {
            Leave(folder, Outside);
            continue;
        }
        unsigned long error = cleanup.RemoveFolder(folder);
        if (error == 0) {
            Done(folder);
        } else if (error == ErrorDirNotEmpty) {
            // Named only within the product's folder: outside it, a
            // folder of the author's [Dirs] may well be shared.
            if (!IsBelow(folder, destDir_, locale) && !locale.SameText(folder, destDir_)) continue;
            // A folder left for what is in a subfolder is named once.
            std::vector<std::string> names;
            for (const std::string& name : cleanup.Entries(folder)) {
                bool told = false;
                for (const std::string& f : leftFolders) told |= locale.SameText(f, folder + "\\" + name);
                if (!told) names.push_back(name);
            }
            leftFolders.push_back(folder);
            if (names.empty()) continue;
            std::string shown;
            for (std::size_t i = 0; i < names.size() && i < EntriesNamed; ++i)
                shown += (i == 0 ? "" : ", ") + names[i];
            if (names.size() > EntriesNamed)
                shown += " and " + IntToStr(static_cast<std::int64_t>(names.size() - EntriesNamed)) + " more";
            Leave(folder, FolderNotEmpty + shown);
        } else if (!Gone(error)) {
            Leave(folder, Reason(error));
        }
    }
}

std::string RemovalReport(const std::string& displayName, const std::vector<TLeftBehind>& left,
                          std::size_t maxShown)
{
    if (left.empty()) return displayName + " was removed.";
    std::string text = displayName + " was removed, but for what follows:\r\n";
    std::size_t shown = 0;
    for (const TLeftBehind& l : left) {
        if (shown == maxShown) break;
        text += "\r\n" + ShortenCaption(l.What) + ": " + l.Reason;
        ++shown;
    }
    if (left.size() > shown)
        text += "\r\n... and " + IntToStr(static_cast<std::int64_t>(left.size() - shown)) + " more.";
    return text;
}
