// The installation run, in its fixed order of steps.
#include "engine/Engine.h"

#include <memory>


#include "engine/ListSeal.h"
#include "core/Paths.h"
#include "engine/Records.h"
#include "engine/WizardRules.h"
#include "engine/SharedCount.h"
#include "core/WizardText.h"
#include "core/CharText.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "core/SystemErrors.h"
#include "platform/Platform.h"

namespace {

// How often a refused [Items] command is sent, and the pause between.
const int ItemAttempts = 5;
const unsigned ItemRetryMilliseconds = 200;

const char* const SettingsUnreadable = "the settings for the registry could not be read from it: ";

// The words listed for a system error: ours, or the system's own.
std::string ReasonFor(unsigned long error)
{
    return CopyErrorText(error, Sys().Files->ErrorText(error));
}

// Whether a key as the installation list names keys is the counters'.
bool IsListedCountersKey(const std::string& listed)
{
    return listed.size() > 5 && AsciiUpper(listed.substr(0, 5)) == "HKCU\\" && IsCountersKey(listed.substr(5));
}

// Passes every call on to the registry service and lists in the run's
// installation list each key created and each value set, by its full path.
// A counter's value is not the product's: it lists the shared file that
// the count is for, which the run noted when it copied the file.
class TListingRegistry : public IRegistryApi {
public:
    TListingRegistry(IRegistryApi& registry, TListWriter& list,
                     std::vector<TSharedFile>& sharedFiles)
        : registry_(registry), list_(list), sharedFiles_(sharedFiles), saved_(Sys().Registry)
    {
        Sys().Registry = this;
    }
    ~TListingRegistry() override { Sys().Registry = saved_; }
    TListingRegistry(const TListingRegistry&) = delete;
    TListingRegistry& operator=(const TListingRegistry&) = delete;

    RegKey Root(RegRoot root) override
    {
        RegKey key = registry_.Root(root);
        Remember(key, root == RegRoot::LocalMachine ? "HKLM" : "HKCU");
        return key;
    }
    long CreateKey(RegKey parent, const std::string& sub, RegKey& result) override
    {
        long rc = registry_.CreateKey(parent, sub, result);
        if (rc == 0) list_.Add(TListKind::Key, Remember(result, PathOf(parent, sub)));
        return rc;
    }
    long OpenKey(RegKey parent, const std::string& sub, RegAccess access, RegKey& result) override
    {
        long rc = registry_.OpenKey(parent, sub, access, result);
        if (rc == 0) Remember(result, PathOf(parent, sub));
        return rc;
    }
    long QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                        std::uint32_t& size) override
    {
        return registry_.QueryValueInfo(key, name, type, size);
    }
    long QueryValueData(RegKey key, const std::string& name, RegType& type, std::string& data,
                        std::uint32_t size) override
    {
        return registry_.QueryValueData(key, name, type, data, size);
    }
    long SetDWordValue(RegKey key, const std::string& name, std::uint32_t value) override
    {
        long rc = registry_.SetDWordValue(key, name, value);
        if (rc == 0) list_.Add(TListKind::Value, name, PathOf(key, ""));
        return rc;
    }
    long SetStringValue(RegKey key, const std::string& name, const std::string& text) override
    {
        long rc = registry_.SetStringValue(key, name, text);
        if (rc != 0) return rc;
        std::string path = PathOf(key, "");
        if (!IsListedCountersKey(path)) {
            list_.Add(TListKind::Value, name, path);
        } else {
            // Each count is listed once, to be taken back once. A file left
            // in place goes with the last count only when installations
            // counted it before: one there before any count may be the
            // system's own. A surplus [SysFilesOut] name is counted, not copied.
            auto it = sharedFiles_.begin();
            while (it != sharedFiles_.end() && (it->Counted || it->Counter != name)) ++it;
            bool found = it != sharedFiles_.end();
            if (found) it->Counted = true;
            TListKind kind = (found && it->Copied) || text != "1" ? TListKind::SystemFile
                                                                 : TListKind::CountedFile;
            list_.Add(kind, found ? it->Path : Sys().Files->WindowsDirectory() + "\\" + name, name);
        }
        return rc;
    }
    void CloseKey(RegKey key) override
    {
        for (auto it = paths_.begin(); it != paths_.end(); ++it)
            if (it->first == key) {
                paths_.erase(it);
                break;
            }
        registry_.CloseKey(key);
    }

private:
    std::string PathOf(RegKey key, const std::string& sub)
    {
        std::string parent;
        for (const auto& p : paths_)
            if (p.first == key) parent = p.second;
        return JoinKeyPath(parent, sub);
    }
    const std::string& Remember(RegKey key, const std::string& path)
    {
        paths_.emplace_back(key, path);
        return path;
    }

    IRegistryApi& registry_;
    TListWriter& list_;
    std::vector<TSharedFile>& sharedFiles_;
    IRegistryApi* saved_;
    std::vector<std::pair<RegKey, std::string>> paths_;
};

}  // namespace

std::string ParentOf(const std::string& path)
{
    std::string::size_type cut = FindLastCharOf(path, "\\:");
    return cut == std::string::npos ? "" : path.substr(0, cut + 1);
}

const std::string& ListItem(const TStrings& list, std::size_t index)
{
    if (index >= list.size()) throw EError("List index out of bounds");
    return list[index];
}

std::string FailureReport(const std::vector<TInstallFailure>& failures, std::size_t maxShown)
{
    std::string text = "Not everything could be installed:\r\n";
    std::size_t shown = 0;
    for (const TInstallFailure& f : failures) {
        if (shown == maxShown) break;
        text += "\r\n" + f.Label + ShortenCaption(f.What);
        if (!f.Where.empty()) text += " -> " + ShortenCaption(f.Where);
        text += ": " + f.Reason;
        ++shown;
    }
    if (failures.size() > shown)
        text += "\r\n... and " + IntToStr(static_cast<std::int64_t>(failures.size() - shown)) +
                " more.";
    return text;
}

std::string CreateGroupCommand(const std::string& group)
{
    return Cut("[CreateGroup(" + CommandArgument(group) + ")]\r\n");
}

std::string AddItemCommand(const std::string& destDir, const std::string& file,
                           const std::string& caption)
{
    return Cut("[AddItem(" + CommandArgument(destDir + "\\" + file) + "," +
               CommandArgument(caption) + ")]\r\n");
}

std::string UninstallItemCommand(const std::string& windowsDir, const std::string& destDir,
                                 const std::string& application)
{
    return AddItemCommand(windowsDir, Cut(std::string(UninstallerName) + " " + destDir),
                          UninstallItemCaption(application));
}

std::string UninstallItemCaption(const std::string& application)
{
    return Cut("Uninstall " + application);
}

namespace {

// The end of every run, however it ends: a pause, the wizard brought to
// the front and the default cursor.
class TRunEnding {
public:
    explicit TRunEnding(IInstallView& view) : view_(view) {}
    ~TRunEnding()
    {
        view_.Pause(EndPauseMilliseconds);
        view_.RunEnded();
    }
    TRunEnding(const TRunEnding&) = delete;
    TRunEnding& operator=(const TRunEnding&) = delete;

private:
    IInstallView& view_;
    TCursorScope hourglass_{TCursor::HourGlass};
};

}  // namespace

TInstallRun::TInstallRun(const TInstallState& state, IInstallView& view)
    : state_(state), d_(state.InstallDescription), view_(view)
{
}

void TInstallRun::Perform(std::vector<TInstallFailure>& failures)
{
    failures_ = &failures;
    failures.clear();
    list_ = TListWriter();
    sharedFiles_.clear();
    copiedBytes_ = 0;
    std::string product = d_.Application + " " + d_.Version;
    view_.ShowProgressPage(Cut(WizardText::CopyingStart + product + WizardText::CopyingEnd));

    try {
        TRunEnding ending(view_);
        MakeDirectories();
        if (!d_.Expand) {
            std::string windowsDir = Sys().Files->WindowsDirectory();
            CopySystemFiles(windowsDir);
            CopyProductFiles();
            CopyRecordTemplate();
            CreateProgramGroup(windowsDir);
            UpdateRegistry();
            StartAddOns();
            if (view_.ProgressPosition() < 100) view_.SetProgressPosition(100);
            view_.SetStatusText(Cut(product + (failures.empty() ? WizardText::InstalledEnd
                                                                : WizardText::IncompleteEnd)));
            Sys().ProgramManager->Close();
        }
        view_.RunCompleted();
    } catch (...) {
        // A run stopped by an error still lists what it made and tells
        // what it could not do before; the error box follows.
        WriteList();
        ReportFailures();
        throw;
    }
    WriteList();
    ReportFailures();
}

void TInstallRun::UpdateRegistry()
{
    // A control file held open without sharing reads as empty: say so
    // rather than leave its registry settings out unnoticed.
    unsigned long readError =
        d_.KeysNames.size() > 1 ? Sys().Profiles->ReadError(state_.DescriptionPath) : 0;
    if (readError != 0)
        Fail(state_.DescriptionPath, "", SettingsUnreadable + ReasonFor(readError));
    {
        TListingRegistry listing(*Sys().Registry, list_, sharedFiles_);
        WriteRecords(state_, copiedBytes_, &view_);
    }
    RaiseMachineCounts();
    AdvanceProgress(1);
}

void TInstallRun::RaiseMachineCounts()
{
    // Counted as the counters of the user's key are: once per name, copied
    // or not; a file kept where it was is no one's to take away.
    std::string windowsDir = Sys().Files->WindowsDirectory();
    for (const std::string& name : d_.SysFilesOutNames) {
        std::string path = windowsDir + "\\" + name;
        bool copied = false;
        for (const TSharedFile& f : sharedFiles_) copied |= f.Counter == name && f.Copied;
        long rc = RaiseMachineCount(path, !copied && Sys().Files->FileExists(path));
        if (rc != 0)
            Fail(path, "", "its shared-use count could not be raised: " + ReasonFor(static_cast<unsigned long>(rc)));
        else
            view_.Note("machine count raised " + path);
    }
}

void TInstallRun::ForceDirectories(const std::string& path)
{
    std::string dir = DirectoryToMake(path);
    if (dir.size() < 3 || Sys().Files->DirectoryExists(dir)) return;
    // Only a drive alone ("  C:", say) is its own parent: nothing left to climb.
    std::string parent = ParentOf(dir);
    if (parent == dir) return;
    ForceDirectories(parent);
    bool made = Sys().Files->MakeDirectory(dir);
    if (made) list_.Add(TListKind::Folder, dir);
    view_.Note((made ? "directory made " : "directory not made ") + dir);
}

void TInstallRun::MakeDirectory(const std::string& path)
{
    if (Sys().Files->DirectoryExists(path))
        view_.Note("directory exists " + path);
    else
        ForceDirectories(path);
}

void TInstallRun::MakeDirectories()
{
    const std::string& dest = state_.DestDir;
    MakeDirectory(dest);
    for (std::size_t i = 0; i < d_.DirsNames.size(); ++i)
        MakeDirectory(ListItem(d_.DirsValues, i) == "0" ? d_.DirsNames[i]
                                                       : dest + "\\" + d_.DirsNames[i]);
}

void TInstallRun::AdvanceProgress(int step)
{
    view_.SetProgressPosition(view_.ProgressPosition() + step);
}

void TInstallRun::Fail(const std::string& what, const std::string& where,
                       const std::string& reason, const std::string& label)
{
    if (failures_ != nullptr) failures_->push_back({what, where, reason, label});
    view_.Note("not installed: " + label + what + (where.empty() ? "" : " -> " + where) + ": " +
               reason);
}

void TInstallRun::NoteCopy(const char* kind, const std::string& source, const std::string& dest,
                           unsigned long error, bool keepExisting)
{
    if (error == 0)
        view_.Note(kind + std::string(" copied ") + source + " -> " + dest);
    else if (error == ErrorFileExists && keepExisting)
        view_.Note(kind + std::string(" kept ") + dest + " (it exists)");
    else
        Fail(source, dest, ReasonFor(error));
}

bool TInstallRun::CopyOneFile(const std::string& source, const std::string& dest,
                              const std::string& flag, TFileFacts& facts)
{
    unsigned long error = 1;
    view_.ShowSource(ShortenCaption(Sys().Locale->Lower(source)));
    view_.ShowDestination(ShortenCaption(Sys().Locale->Lower(dest)));
    bool keepExisting = flag != "0";
    // The bytes would go to the device, and no file would be made.
    if (!DeviceNamePart(dest).empty()) {
        Fail(source, dest, DeviceTargetReason);
    } else if (!Sys().Files->SameFile(source, dest)) {  // a file already in place is not copied
        // A longer path would be cut, and the copy would land somewhere else.
        error = source.size() > MaxPathLength || dest.size() > MaxPathLength
                    ? ErrorFilenameTooLong
                    : Sys().Files->Copy(source, dest, keepExisting);
        NoteCopy("file", source, dest, error, keepExisting);
        if (error == 0) {
            facts = Sys().Files->FileFacts(dest);
            copiedBytes_ += facts.Size;
        }
    } else {
        view_.Note("file in place " + dest);
    }
    AdvanceProgress(state_.ProgressStep);
    view_.Pause(FilePauseMilliseconds);
    return error == 0;
}

void TInstallRun::CopySystemFiles(const std::string& windowsDir)
{
    for (std::size_t i = 0; i < d_.SysFilesInNames.size(); ++i) {
        const std::string& target = ListItem(d_.SysFilesOutNames, i);
        const std::string& flag = ListItem(d_.SysFilesOutValues, i);
        std::string dest = windowsDir + "\\" + target;
        TFileFacts facts;
        bool copied = CopyOneFile(state_.SourceDir + d_.SysFilesInNames[i], dest, flag, facts);
        sharedFiles_.push_back({dest, target, copied});
    }
}

void TInstallRun::CopyProductFiles()
{
    for (std::size_t i = 0; i < d_.FilesInNames.size(); ++i) {
        const std::string& target = ListItem(d_.FilesOutNames, i);
        const std::string& flag = ListItem(d_.FilesOutValues, i);
        std::string dest = state_.DestDir + "\\" + target;
        TFileFacts facts;
        if (!CopyOneFile(state_.SourceDir + d_.FilesInNames[i], dest, flag, facts)) continue;
        // Its size and time as copied: one the user changes since stays his.
        list_.Add(TListKind::File, dest);
        if (facts.LastWrite != 0) list_.AddStamp(FileStamp(facts.Size, facts.LastWrite));
    }
}

void TInstallRun::CopyRecordTemplate()
{
    // The uninstall record starts as a copy of the product's template.
    std::string templ = state_.SourceDir + RecordTemplateName;
    std::string record = state_.DestDir + "\\" + RecordCopyName;
    NoteCopy("record template", templ, record, Sys().Files->Copy(templ, record, true), true);
    AdvanceProgress(state_.ProgressStep);
}

void TInstallRun::CreateProgramGroup(const std::string& windowsDir)
{
    if (!view_.AsksProgramManager()) {
        MakeShortcuts(windowsDir);
        return;
    }
    IProgramManager& progman = *Sys().ProgramManager;
    const std::string& dest = state_.DestDir;
    std::string group = CreateGroupCommand(d_.ProgGroup);
    progman.Open();
    bool created = progman.Execute(group);
    if (created) list_.Add(TListKind::Group, d_.ProgGroup);
    // The titles of the items made, whose shortcuts the group's folder holds.
    std::vector<std::string> titles;
    if (!progman.IsOpen()) {
        // Nothing can be handed over; the items are left out with the group.
        Fail(d_.ProgGroup, "", "no program manager answered", "Program group ");
    } else {
        if (!created)
            Fail(d_.ProgGroup, "", "the program manager refused it", "Program group ");
        else
            view_.Note("program group made " + d_.ProgGroup);
        for (std::size_t i = 0; i < d_.ItemsNames.size(); ++i) {
            std::string item = AddItemCommand(dest, d_.ItemsNames[i], d_.ItemsValues[i]);
            bool accepted = false;
            for (int attempt = 0; attempt < ItemAttempts && !accepted; ++attempt) {
                if (attempt > 0) Sys().Clock->Sleep(ItemRetryMilliseconds);
                accepted = progman.Execute(item);
            }
            if (!accepted) {
                Fail(d_.ItemsValues[i], dest + "\\" + d_.ItemsNames[i],
                     "the program manager refused it", "Program item ");
            } else {
                // Listed by its title, the name its shortcut takes.
                titles.push_back(ItemTitle(d_.ItemsValues[i], d_.ItemsNames[i]));
                list_.Add(TListKind::Item, titles.back(), d_.ProgGroup);
                view_.Note("program item made " + d_.ItemsValues[i] + " -> " + dest + "\\" +
                           d_.ItemsNames[i]);
            }
        }
    }
    // Program managers differ in taking arguments on an item's command
    // line, so this one's answer is not looked at.
    bool uninstallItem = progman.Execute(UninstallItemCommand(windowsDir, dest, d_.Application));
    if (uninstallItem) {
        titles.push_back(UninstallItemCaption(d_.Application));
        list_.Add(TListKind::Item, titles.back(), d_.ProgGroup);
    }
    if (created) ListGroupFolder(titles);
    const char* why = progman.IsOpen() ? " (the program manager refused it; not counted as a failure)"
                                       : " (no program manager answered; not counted as a failure)";
    view_.Note((uninstallItem ? "uninstall item made Uninstall " : "uninstall item not made Uninstall ") +
               d_.Application + (uninstallItem ? "" : why));
}

void TInstallRun::ListGroupFolder(const std::vector<std::string>& titles)
{
    // A shell that keeps groups as folders made it in the user's Programs
    // folder or, for an administrator, in every user's: listed by its full
    // path, the uninstaller finds it wherever it is and needs no program
    // manager.
    IStartMenu* menu = Sys().StartMenu;
    if (menu == nullptr) return;
    std::string name = "\\" + ShellFileName(d_.ProgGroup);
    std::string folder = menu->ProgramsFolder();
    if (folder.empty() || !Sys().Files->DirectoryExists(folder + name)) folder = menu->CommonProgramsFolder();
    if (folder.empty() || !Sys().Files->DirectoryExists(folder + name)) return;
    folder += name;
    list_.Add(TListKind::GroupFolder, folder);
    for (const std::string& title : titles) {
        std::string link = folder + "\\" + ShortcutFileName(title);
        if (Sys().Files->FileExists(link)) list_.Add(TListKind::Shortcut, link);
    }
}

void TInstallRun::MakeShortcuts(const std::string& windowsDir)
{
    IStartMenu& menu = *Sys().StartMenu;
    // Every user's folder, which a service session can write too; Windows
    // 95 and 98 have only the user's.
    std::string folder = menu.CommonProgramsFolder();
    if (folder.empty()) folder = menu.ProgramsFolder();
    if (folder.empty()) return Fail(d_.ProgGroup, "", "the shell names no Programs folder", "Program group ");
    folder += "\\" + ShellFileName(d_.ProgGroup);
    // A folder that cannot be made fails each shortcut, with the reason.
    if (!Sys().Files->DirectoryExists(folder) && Sys().Files->MakeDirectory(folder))
        list_.Add(TListKind::GroupFolder, folder);
    view_.Note("program group " + folder);
    const std::string& dest = state_.DestDir;
    for (std::size_t i = 0; i <= d_.ItemsNames.size(); ++i) {
        // The uninstall item last, starting the uninstaller with the destination.
        bool last = i == d_.ItemsNames.size();
        std::string title = last ? UninstallItemCaption(d_.Application) : ItemTitle(d_.ItemsValues[i], d_.ItemsNames[i]);
        std::string target = (last ? windowsDir + "\\" + UninstallerName : dest + "\\" + d_.ItemsNames[i]);
        std::string link = folder + "\\" + ShortcutFileName(title);
        std::string arguments = last ? dest : "";
        unsigned long error =
            Sys().Shortcuts->CreateShortcut(link, target, arguments, DropTrailing(ParentOf(target), "\\"));
        if (error != 0) {
            Fail(title, link, ReasonFor(error), "Program item ");
        } else {
            list_.Add(TListKind::Shortcut, link);
            view_.Note("program item made " + link + " -> " + DropTrailing(target + " " + arguments, " "));
        }
    }
}

void TInstallRun::StartAddOns()
{
    for (std::size_t i = 0; i < d_.AddOnsValues.size(); ++i) {
        std::int32_t code = StrToInt(d_.AddOnsNames[i]);
        std::string file = state_.SourceDir + d_.AddOnsValues[i];
        if (code < 0 || code > 2) {
            view_.Note("add-on skipped " + file + " (not 0, 1 or 2)");
        } else if (!view_.OpensAddOns()) {
            view_.Note("add-on skipped " + file + " (add-ons are opened only with /ADDONS)");
        } else {
            Sys().Shell->Open(view_.OwnerWindow(), file);
            view_.Note("add-on opened " + file);
        }
    }
}

void TInstallRun::WriteList()
{
    if (list_.Lines.empty()) return;
    std::string path = state_.DestDir + "\\" + ListName;
    std::string earlier;
    if (!Sys().Files->ReadWholeFile(path, earlier)) earlier.clear();
    // An earlier list that is not the one the installations wrote was
    // changed since: none of it is carried on, and sealed, as theirs.
    if (!earlier.empty() && CheckListSeal(state_.DestDir, earlier) != TSealCheck::Matches) {
        view_.Note("earlier list dropped " + path + " (it does not match its digest)");
        earlier.clear();
    }
    std::string text = ListAppended(earlier, list_.Lines);
    unsigned long error = Sys().Files->WriteWholeFile(path, text);
    if (error != 0) {
        Fail(path, "", "the list of what was installed could not be written: " + ReasonFor(error));
        return;
    }
    long rc = StoreListSeal(state_.DestDir, text);
    if (rc != 0)
        Fail(path, "", "the digest of the list could not be stored: " + ReasonFor(static_cast<unsigned long>(rc)));
}

void TInstallRun::ReportFailures()
{
    // Told once the wizard is back in front with the normal cursor.
    if (failures_ != nullptr && !failures_->empty()) view_.ShowWarning(FailureReport(*failures_));
}

const char* const MachineBusy =
    "Another installation or removal is changing this computer. Try again once it has ended.";

std::string InstallTo(TInstallState& state, const std::string& typed, IInstallView& view)
{
    std::string kept = TypedDestination(typed);
    // Refused before anything is made or recorded for it.
    std::string refusal = DestinationRefusal(kept);
    if (!refusal.empty()) return refusal;
    // Two runs at once would count shared files twice, or remove what the
    // other makes. A dry run has no lock to take.
    std::unique_ptr<TMachineLockScope> lock;
    if (Sys().MachineLock != nullptr) {
        lock.reset(new TMachineLockScope(*Sys().MachineLock));
        if (!lock->Held()) return MachineBusy;
    }
    state.DestDir = Cut(kept);
    view.DestinationAccepted();
    TInstallRun(state, view).Perform(state.InstallFailures);
    return "";
}
