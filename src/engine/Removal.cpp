#include "engine/Removal.h"

#include <algorithm>
#include <cstring>

#include "core/CharText.h"
#include "engine/ListSeal.h"
#include "engine/RecordNames.h"
#include "engine/RestartRemoval.h"
#include "engine/SharedCount.h"
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
const char* const ListChanged =
    "The list of what was installed, %s, is not the one the installation wrote: it was "
    "changed since, or its digest was never stored. Skorvel removes nothing by a list it "
    "cannot trust. Nothing was removed.";
const char* const Busy =
    "Another installation or removal is changing this computer. Nothing was removed: try "
    "again once it has ended.";
const char* const NoRights =
    "Removing %s needs an administrator's rights, which this account does not have: its "
    "entry in the list of installed programs could not be removed. Nothing was removed.";
const char* const NoFolderRights =
    "Removing %s needs an administrator's rights, which this account does not have: its "
    "shared files in the Windows folder could not be removed. Nothing was removed.";
}  // namespace RemovalText

namespace {

const std::size_t EntriesNamed = 3;

const char* const InUseAtRestart = "it is in use; it goes when Windows restarts";
const char* const FolderAtRestart = "it goes when Windows restarts, after what is in it";
const char* const Outside = "it lies outside what the installation made, so it was not touched";
const char* const KeyNotEmpty = "it holds entries the installation did not make";
const char* const GroupNotEmpty = "it holds items the installation did not make";
const char* const FolderNotEmpty = "it holds files the installation did not make: ";
const char* const BehindALink = "it lies behind a link to another place, which Skorvel does not follow";
const char* const ALinkFolder = "it is a link to another folder, which Skorvel does not follow";
const char* const NoMachineCount =
    "no shared-use count of the machine's holds it, so other products may need it";
const char* const GroupGone = "it is no longer there";
const char* const Changed = "changed since it was installed";

bool Gone(unsigned long error) { return IsGoneError(error); }

// The deepest first: a key or folder goes only when nothing is left in
// it. The longer name first, names of one length in the list's order: an
// insertion sort keeps that order in a few instructions, where
// std::stable_sort brings its merge buffers into the uninstaller.
void DeepestFirst(std::vector<std::string>& names)
{
    for (std::size_t i = 1; i < names.size(); ++i)
        for (std::size_t j = i; j > 0 && names[j - 1].size() < names[j].size(); --j)
            names[j - 1].swap(names[j]);
}

bool StartsWithText(const std::string& text, const std::string& head)
{
    return text.size() >= head.size() && AsciiUpper(text.substr(0, head.size())) == AsciiUpper(head);
}

// The root and path of a key as the list names it, when the key lies
// where this installation's keys lie (TRegistryPlaces).
bool KeyOf(const std::string& listed, const TRegistryPlaces& places, bool forValues, RegRoot& root,
           std::string& sub)
{
    if (!places.Allows(listed, forValues)) return false;
    root = StartsWithText(listed, "HKLM\\") ? RegRoot::LocalMachine : RegRoot::CurrentUser;
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
    if (CheckListSeal(destDir_, text) != TSealCheck::Matches)
        throw EError(FormatMessage1(RemovalText::ListChanged, listPath_));
    if (!list_.Read(text)) throw EError(FormatMessage1(RemovalText::BadList, listPath_));
    counted_.assign(list_.Entries.size(), 0);
    windowsDir_ = files.WindowsDirectory();
    places_.reset(new TRegistryPlaces(list_, *Sys().Locale));
    // The record only names the product: a run stopped before it was
    // written leaves a list alone, and the list is enough to remove by.
    if (hasRecord) {
        TProfile record(*Sys().Profiles, recordPath_);
        displayName_ = record.ReadString(UninstallSection, "DisplayName", "");
    } else if (!places_->UninstallEntry().empty()) {
        TRegistry entry(*Sys().Registry);
        entry.SetRoot(RegRoot::LocalMachine);
        if (entry.OpenKeyReadOnly("\\" + places_->UninstallEntry().substr(5)))
            displayName_ = entry.ReadString("DisplayName");
    }
    // Blanks at its end (no version) would show in the question.
    while (!displayName_.empty() && displayName_.back() == ' ') displayName_.pop_back();
    if (displayName_.empty()) displayName_ = destDir_;
}

void TRemoval::CheckRights()
{
    std::string name = displayName_.empty() ? destDir_ : displayName_;
    if (!MayChangeListSeals()) throw EError(FormatMessage1(RemovalText::NoRights, name));
    const std::string& entry = places_->UninstallEntry();
    if (!entry.empty()) {
        TOpenKey key(*Sys().Registry, RegRoot::LocalMachine, entry.substr(5), RegAccess::Full);
        if (key.Result() == static_cast<long>(ErrorAccessDenied))
            throw EError(FormatMessage1(RemovalText::NoRights, name));
    }
    // A shared file at its last count would be left with its count gone.
    if (SharedFileGoes() && Sys().Cleanup->TryWrite(windowsDir_) == ErrorAccessDenied)
        throw EError(FormatMessage1(RemovalText::NoFolderRights, name));
}

bool TRemoval::SharedFileGoes()
{
    ILocale& locale = *Sys().Locale;
    TRegistry counters(*Sys().Registry);
    std::string countersKey = "\\" + CountersKeyPath();
    const std::vector<TListEntry>& all = list_.Entries;
    for (const TListEntry& e : all) {
        if (e.Kind != TListKind::SystemFile || !IsDirectlyIn(e.Name, windowsDir_, locale) ||
            !IsPlainPart(e.Of) || !Sys().Files->FileExists(e.Name))
            continue;
        // Each time the file is listed, one count of each kind goes.
        std::int32_t listed = 0;
        for (const TListEntry& f : all)
            listed += (f.Kind == TListKind::SystemFile || f.Kind == TListKind::CountedFile) && f.Of == e.Of;
        std::int32_t count = 0;
        try {
            count = counters.ReadInteger(countersKey, e.Of, 0);
        } catch (const EError&) {
            continue;
        }
        std::int32_t machine = MachineCount(e.Name);
        if (machine >= 0 && count <= listed && machine <= listed) return true;
    }
    return false;
}

void TRemoval::Perform()
{
    RemoveProgramGroups();
    RemoveGroupFolders();
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

// Most reasons are fixed texts: one std::string made here, not one at each call.
void TRemoval::Leave(const std::string& what, const char* reason, bool atRestart)
{
    Leave(what, std::string(reason), atRestart);
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

bool TRemoval::IsLink(const std::string& path)
{
    std::uint32_t attributes = Sys().Cleanup->Attributes(path);
    return attributes != AttrNone && (attributes & AttrReparsePoint) != 0;
}

bool TRemoval::BehindLink(const std::string& path, const std::string& base)
{
    std::vector<std::string> parts = PathParts(path);
    std::size_t from = PathParts(base).size();
    std::string folder = parts.empty() ? "" : parts[0];
    for (std::size_t i = 1; i + 1 < parts.size(); ++i) {
        folder += "\\" + parts[i];
        if (i + 1 >= from && IsLink(folder)) return true;
    }
    return false;
}

bool TRemoval::ChangedSinceCopied(const TListEntry& file)
{
    // The user's data in a file the installation copied stays his.
    IFileSystem& files = *Sys().Files;
    if (file.Stamp.empty() || !files.FileExists(file.Name)) return false;
    std::uint64_t size = 0, time = 0;
    if (!ReadFileStamp(file.Stamp, size, time)) return true;
    TFileFacts facts = files.FileFacts(file.Name);
    if (facts.Size != size) return true;
    // FAT keeps local times, which the system turns into UTC by today's
    // daylight bias: after a change of season each file seems an hour off.
    const std::uint64_t hour = 36000000000ull;
    std::uint64_t now = facts.LastWrite;
    return now != time && now != time + hour && now + hour != time;
}

unsigned long TRemoval::TryDelete(const std::string& path)
{
    ICleanup& cleanup = *Sys().Cleanup;
    // Files copied from a CD keep its read-only attribute, which would
    // keep them from going for good.
    std::uint32_t attributes = cleanup.Attributes(path);
    if (attributes != AttrNone && (attributes & AttrReparsePoint) == 0 &&
        (attributes & (AttrReadOnly | AttrHidden | AttrSystem)) != 0)
        cleanup.ClearAttributes(path);
    return cleanup.RemoveFile(path);
}

bool TRemoval::DeleteOne(const std::string& path)
{
    unsigned long error = TryDelete(path);
    if (error == 0 || Gone(error)) {
        if (error == 0) Done(path);
        return true;
    }
    // Open without sharing gives a sharing violation; a running program
    // or a loaded DLL, access denied.
    if ((error == ErrorSharingViolation || error == ErrorAccessDenied) && RemoveAtRestart(path)) {
        atRestart_.push_back(path);
        Leave(path, InUseAtRestart, true);
        return true;
    }
    Leave(path, Reason(error));
    return false;
}

bool TRemoval::RemoveUninstaller(const std::string& path)
{
    unsigned long error = TryDelete(path);
    if (error == 0 || Gone(error)) {
        if (error == 0) Done(path);
        return true;
    }
    if (error == ErrorSharingViolation || error == ErrorAccessDenied) {
        // It runs (the uninstaller waiting for this copy). Under another
        // name it leaves its own free at once: a reinstallation before the
        // restart puts a fresh one there, which the restart must keep.
        std::string aside = MoveAside(path);
        if (!aside.empty()) {
            if (RemoveAtRestart(aside)) {
                selfAtRestart_ = true;
                Note("moved " + path + " to " + aside + ", removed at the next restart");
                return true;
            }
            Sys().Cleanup->Rename(aside, path);
        }
        if (RemoveAtRestart(path)) {
            selfAtRestart_ = true;
            Note("removed at the next restart " + path);
            return true;
        }
    }
    Leave(path, Reason(error));
    return false;
}

std::string TRemoval::MoveAside(const std::string& path)
{
    std::string::size_type slash = FindLastCharOf(path, "\\");
    if (slash == std::string::npos) return "";
    // "~" and four letters of its name, a number, ".tmp": an 8.3 name,
    // as WININIT.INI wants them.
    std::string head = path.substr(0, slash + 1) + "~" + path.substr(slash + 1, 4);
    for (int n = 1; n < 1000; ++n) {
        std::string number = IntToStr(n);
        std::string name = head + std::string(3 - number.size(), '0') + number + ".tmp";
        unsigned long error = Sys().Cleanup->Rename(path, name);
        if (error == 0) return name;
        if (error != ErrorAlreadyExists && error != ErrorFileExists) return "";
    }
    return "";
}

bool TRemoval::EmptiesAtRestart(const std::string& folder)
{
    ILocale& locale = *Sys().Locale;
    std::vector<std::string> names = Sys().Cleanup->Entries(folder);
    for (const std::string& name : names) {
        bool due = false;
        for (const std::string& a : atRestart_) due |= locale.SameText(a, folder + "\\" + name);
        if (!due) return false;
    }
    return !names.empty();
}

void TRemoval::RemoveProgramGroups()
{
    ILocale& locale = *Sys().Locale;
    IProgramManager& progman = *Sys().ProgramManager;
    const std::vector<TListEntry>& all = list_.Entries;
    for (auto g = all.rbegin(); g != all.rend(); ++g) {
        if (g->Kind != TListKind::Group) continue;
        const std::string& group = g->Name;
        // One name, as the installation gave it: "." or ".." would reach
        // the whole Programs folder or Start menu, "\" another group.
        if (!IsPlainPart(ShellFileName(group)) || FindCharOf(group, "\\") != std::string::npos) {
            Leave("Program group " + group, Outside);
            continue;
        }
        // A group whose folder is listed goes by its folder's entries,
        // wherever the shell made it, without the program manager.
        bool folderListed = false;
        for (const TListEntry& f : all)
            if (f.Kind == TListKind::GroupFolder) {
                std::vector<std::string> parts = PathParts(f.Name);
                folderListed |= !parts.empty() && locale.SameText(parts.back(), ShellFileName(group));
            }
        if (folderListed) continue;
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
            if (asFolder && (!IsPlainPart(ShortcutFileName(i->Name)) || IsLink(folder)))
                Leave(folder + "\\" + ShortcutFileName(i->Name), Outside);
            else if (asFolder)
                DeleteOne(folder + "\\" + ShortcutFileName(i->Name));
            else if (progman.Execute("[DeleteItem(" + CommandArgument(i->Name) + ")]\r\n"))
                Done("program item " + i->Name);
        }
        if (!asFolder) {
            if (progman.Execute("[DeleteGroup(" + CommandArgument(group) + ")]\r\n"))
                Done("program group " + group);
            else
                Leave("Program group " + group, "the program manager refused it");
        } else if (IsLink(folder) || !Sys().Cleanup->Entries(folder).empty()) {
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
        if (!IsPlainBelow(e->Name, destDir_, locale))
            Leave(e->Name, Outside);
        else if (BehindLink(e->Name, destDir_))
            Leave(e->Name, BehindALink);
        else if (ChangedSinceCopied(*e))
            Leave(e->Name, Changed);
        else if (!DeleteOne(e->Name))
            remaining_.Add(TListKind::File, e->Name).Stamp = e->Stamp;
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
        if (!uninstallEntry || e.Kind != TListKind::Key || !KeyOf(e.Name, *places_, false, root, sub))
            continue;
        TRegistry entry(api);
        entry.SetRoot(root);
        if (!entry.OpenKeyReadOnly("\\" + sub)) continue;
        std::string command = entry.ReadString("UninstallString");
        // The uninstaller's name, a blank, the destination, as the entry is written.
        std::string::size_type name = AsciiUpper(command).find(AsciiUpper(UninstallerName));
        std::string::size_type dest = name == std::string::npos ? name : name + std::strlen(UninstallerName) + 1;
        if (dest <= command.size() && SamePath(command.substr(dest), destDir_, *Sys().Locale)) continue;
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
        if (!KeyOf(e->Of, *places_, true, root, sub)) {
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
    DeepestFirst(keys);
    for (const std::string& listed : keys) {
        RegRoot root;
        std::string sub;
        if (!KeyOf(listed, *places_, false, root, sub)) {
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

void TRemoval::SaveProgress()
{
    TInstallList left;
    for (std::size_t i = 0; i < list_.Entries.size(); ++i)
        if (!counted_[i]) left.Entries.push_back(list_.Entries[i]);
    std::string text = left.Text();
    unsigned long error = Sys().Files->WriteWholeFile(listPath_, text);
    if (error == 0) error = static_cast<unsigned long>(StoreListSeal(destDir_, text));
    // Only what the list still holds is counted down: on failure the run
    // stops here rather than risk counting twice.
    if (error != 0) throw EError(listPath_ + ": " + Reason(error));
}

void TRemoval::CountDownSharedFiles()
{
    ILocale& locale = *Sys().Locale;
    std::string exe = uninstaller_.empty() ? Sys().Desktop->ExePath() : uninstaller_;
    TRegistry counters(*Sys().Registry);
    std::string countersKey = "\\" + CountersKeyPath();
    const std::vector<TListEntry>& all = list_.Entries;
    for (std::size_t at = all.size(); at-- > 0;) {
        const TListEntry& e = all[at];
        if (e.Kind != TListKind::SystemFile && e.Kind != TListKind::CountedFile) continue;
        // A shared file lies directly in the Windows folder, under its own
        // name; a counter is one name of the counters' key.
        if (!IsDirectlyIn(e.Name, windowsDir_, locale) || !IsPlainPart(e.Of)) {
            Leave(e.Name, Outside);
            continue;
        }
        std::int32_t count = 0;
        try {
            count = counters.ReadInteger(countersKey, e.Of, 0);
        } catch (const EError& error) {
            Leave("Shared-use count " + e.Of, error.Message());
            continue;
        }
        std::int32_t machine = MachineCount(e.Name);
        // The file goes when no count anywhere holds it after this one:
        // not the user's (another product of his), not the machine's
        // (another account's). Without the machine's count nobody can tell.
        bool last = e.Kind == TListKind::SystemFile && count <= 1 && machine <= 1;
        if (last && machine < 0) {
            Leave(e.Name, NoMachineCount);
            last = false;
        }
        if (last) {
            // The count goes only once the file's deletion is done or due.
            bool gone = Sys().Files->SameFile(e.Name, exe) ? RemoveUninstaller(e.Name) : DeleteOne(e.Name);
            if (!gone) {
                remaining_.Entries.push_back(e);
                continue;
            }
        }
        // Struck from the list before it is counted down: a run killed in
        // between leaves a count too high (the file stays), never one too low.
        counted_[at] = 1;
        SaveProgress();
        if (count > 1) {
            counters.WriteString(countersKey, e.Of, IntToStr(count - 1));
            Note("counted down " + e.Of + " to " + IntToStr(count - 1));
        } else if (count == 1) {
            TOpenKey key(*Sys().Registry, RegRoot::CurrentUser, CountersKeyPath(), RegAccess::Full);
            if (key.Result() == 0) Sys().Cleanup->DeleteValue(key.Key(), e.Of);
            Note("counted down " + e.Of + " to 0");
        }
        if (machine > 0) {
            long rc = LowerMachineCount(e.Name);
            if (rc != 0)
                Leave("Shared-use count " + e.Name, Reason(static_cast<unsigned long>(rc)));
            else
                Note("machine count lowered " + e.Name + " to " + IntToStr(machine - 1));
        }
    }
}

void TRemoval::RemoveListAndRecord()
{
    if (remaining_.Entries.empty()) {
        DeleteOne(listPath_);
        DeleteOne(recordPath_);
        long rc = ForgetListSeal(destDir_);
        if (rc != 0) Leave("The digest of " + listPath_, Reason(static_cast<unsigned long>(rc)));
        return;
    }
    // What a second run may still remove stays listed, with the record.
    std::string text = remaining_.Text();
    unsigned long error = Sys().Files->WriteWholeFile(listPath_, text);
    if (error == 0) error = static_cast<unsigned long>(StoreListSeal(destDir_, text));
    if (error != 0) Leave(listPath_, Reason(error));
}

void TRemoval::RemoveGroupFolders()
{
    ILocale& locale = *Sys().Locale;
    // A group's folder is one name directly in a Programs folder, the
    // user's or every user's, and its shortcuts lie directly in it.
    std::vector<std::string> programs{programsFolder_};
    if (Sys().StartMenu != nullptr) {
        programs.push_back(Sys().StartMenu->ProgramsFolder());
        programs.push_back(Sys().StartMenu->CommonProgramsFolder());
    }
    auto isGroupFolder = [&](const std::string& folder) {
        for (const std::string& p : programs)
            if (!p.empty() && IsDirectlyIn(folder, p, locale) && !IsLink(folder)) return true;
        return false;
    };
    const std::vector<TListEntry>& all = list_.Entries;
    for (auto e = all.rbegin(); e != all.rend(); ++e) {
        if (e->Kind != TListKind::Shortcut) continue;
        std::string folder = e->Name.substr(0, FindLastCharOf(e->Name, "\\") == std::string::npos
                                                   ? 0
                                                   : FindLastCharOf(e->Name, "\\"));
        bool listedFolder = false;
        for (const TListEntry& g : all)
            listedFolder |= g.Kind == TListKind::GroupFolder && SamePath(g.Name, folder, locale);
        bool lnk = e->Name.size() > 4 && AsciiUpper(e->Name.substr(e->Name.size() - 4)) == ".LNK";
        if (!listedFolder || !lnk || !isGroupFolder(folder) || !IsDirectlyIn(e->Name, folder, locale))
            Leave(e->Name, Outside);
        else
            DeleteOne(e->Name);
    }
    for (auto e = all.rbegin(); e != all.rend(); ++e) {
        if (e->Kind != TListKind::GroupFolder) continue;
        if (!isGroupFolder(e->Name)) {
            Leave(e->Name, Outside);
        } else if (!Sys().Files->DirectoryExists(e->Name)) {
            Leave("Program group " + e->Name, GroupGone);
        } else if (!Sys().Cleanup->Entries(e->Name).empty()) {
            Leave("Program group " + e->Name, GroupNotEmpty);
        } else {
            unsigned long error = Sys().Cleanup->RemoveFolder(e->Name);
            if (error == 0)
                Done(e->Name);
            else if (!Gone(error))
                Leave(e->Name, Reason(error));
        }
    }
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
    DeepestFirst(folders);
    // Folders outside the destination ([Dirs] by full path) go when empty,
    // but never one that holds the system's or the shell's folders, nor one
    // in a Programs folder (groups go by their own entries).
    std::vector<std::string> kept{windowsDir_, programsFolder_};
    if (Sys().StartMenu != nullptr) {
        kept.push_back(Sys().StartMenu->ProgramsFolder());
        kept.push_back(Sys().StartMenu->CommonProgramsFolder());
    }
    auto mayGo = [&](const std::string& folder) {
        if (SamePath(folder, destDir_, locale)) return !IsLink(folder);
        if (IsPlainBelow(folder, destDir_, locale))
            return !BehindLink(folder, destDir_) && !IsLink(folder);
        if (folder.size() < 3 || !IsPlainBelow(folder, folder.substr(0, 2), locale) || IsLink(folder))
            return false;
        for (const std::string& k : kept) {
            if (k.empty()) continue;
            if (SamePath(folder, k, locale) || IsBelow(k, folder, locale)) return false;
            if (k != windowsDir_ && IsBelow(folder, k, locale)) return false;
        }
        return true;
    };
    for (const std::string& folder : folders) {
        if (!mayGo(folder)) {
            Leave(folder, IsLink(folder) ? ALinkFolder : Outside);
            continue;
        }
        unsigned long error = cleanup.RemoveFolder(folder);
        if (error == 0) {
            Done(folder);
        } else if (error == ErrorDirNotEmpty) {
            // Named only within the product's folder: outside it, a
            // folder of the author's [Dirs] may well be shared.
            if (!IsBelow(folder, destDir_, locale) && !locale.SameText(folder, destDir_)) continue;
            // Set to go after its files, it is gone once they are.
            if (EmptiesAtRestart(folder) && RemoveAtRestart(folder)) {
                atRestart_.push_back(folder);
                leftFolders.push_back(folder);
                Leave(folder, FolderAtRestart, true);
                continue;
            }
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
