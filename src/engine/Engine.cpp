// The installation run, in its fixed order of steps.
#include "Engine.h"

#include "Paths.h"
#include "Records.h"
#include "WizardText.h"
#include "core/CharText.h"
#include "core/Error.h"
#include "platform/Platform.h"

namespace {

const std::size_t CaptionMax = 40;
// How often a refused [Items] command is sent, and the pause between.
const int ItemAttempts = 5;
const unsigned ItemRetryMilliseconds = 200;

const unsigned long ErrorFileExists = 80;
const unsigned long ErrorFilenameTooLong = 206;
const char* const SettingsUnreadable = "the settings for the registry could not be read from it: ";

// The words listed for a system error: ours, or the system's own.
std::string ReasonFor(unsigned long error)
{
    return CopyErrorText(error, Sys().Files->ErrorText(error));
}

}  // namespace

std::string ShortenCaption(const std::string& caption)
{
    if (caption.size() <= CaptionMax) return caption;
    // The last 37 bytes, one fewer where the first would be a second byte.
    std::size_t at = caption.size() - (CaptionMax - 3);
    if (CharStart(caption, at) != at) ++at;
    return "..." + caption.substr(at);
}

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

std::string CopyErrorText(unsigned long error, const std::string& systemText)
{
    switch (error) {
    case 2: return "the file was not found";
    case 3: return "the folder was not found";
    case 5: return "access was denied";
    case 32: return "the file is in use";
    case 80: return "the file exists";
    case 112: return "the disk is full";
    case 206: return "the path is too long";
    default: break;
    }
    // The system's message is a sentence of its own: lower-case its first
    // letter and drop its full stop and line break to fit the list.
    std::string text = systemText;
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.'))
        text.pop_back();
    if (text.empty())
        return "an unknown system error (" + IntToStr(static_cast<std::int64_t>(error)) + ")";
    if (text.size() > 1 && text[0] >= 'A' && text[0] <= 'Z' && !(text[1] >= 'A' && text[1] <= 'Z'))
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
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

std::string CommandArgument(const std::string& argument)
{
    // The program manager splits arguments at commas and ends them at
    // parentheses, and a bracket ends the command, unless they are quoted.
    if (FindCharOf(argument, ",()[]") == std::string::npos) return argument;
    return "\"" + argument + "\"";
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
                          Cut("Uninstall " + application));
}

namespace {

// The end of every run, however it ends: a pause, the wizard brought to
// the front and the default cursor.
class TRunEnding {
public:
    explicit TRunEnding(IInstallView& view) : view_(view) {}
    ~TRunEnding()
    {
        Sys().Clock->Sleep(EndPauseMilliseconds);
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
        // A run stopped by an error still tells what it could not do
        // before; the error box follows.
        ReportFailures();
        throw;
    }
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
    WriteRecords(state_);
    AdvanceProgress(1);
}

void TInstallRun::ForceDirectories(const std::string& path)
{
    std::string dir = DirectoryToMake(path);
    if (dir.size() < 3 || Sys().Files->DirectoryExists(dir)) return;
    // Only a drive alone ("  C:", say) is its own parent: nothing left to climb.
    std::string parent = ParentOf(dir);
    if (parent == dir) return;
    ForceDirectories(parent);
    Sys().Files->MakeDirectory(dir);
}

void TInstallRun::MakeDirectories()
{
    const std::string& dest = state_.DestDir;
    if (!Sys().Files->DirectoryExists(dest)) ForceDirectories(dest);
    for (std::size_t i = 0; i < d_.DirsNames.size(); ++i)
        ForceDirectories(ListItem(d_.DirsValues, i) == "0" ? d_.DirsNames[i]
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
}

void TInstallRun::CopyOneFile(const std::string& source, const std::string& dest,
                              const std::string& flag)
{
    view_.ShowSource(ShortenCaption(Sys().Locale->Lower(source)));
    view_.ShowDestination(ShortenCaption(Sys().Locale->Lower(dest)));
    bool keepExisting = flag != "0";
    // The bytes would go to the device, and no file would be made.
    if (!DeviceNamePart(dest).empty()) {
        Fail(source, dest, DeviceTargetReason);
    } else if (!Sys().Files->SameFile(source, dest)) {  // a file already in place is not copied
        // A longer path would be cut, and the copy would land somewhere else.
        unsigned long error = source.size() > MaxPathLength || dest.size() > MaxPathLength
                                  ? ErrorFilenameTooLong
                                  : Sys().Files->Copy(source, dest, keepExisting);
        if (error != 0 && !(error == ErrorFileExists && keepExisting))
            Fail(source, dest, ReasonFor(error));
    }
    AdvanceProgress(state_.ProgressStep);
    Sys().Clock->Sleep(FilePauseMilliseconds);
}

void TInstallRun::CopySystemFiles(const std::string& windowsDir)
{
    for (std::size_t i = 0; i < d_.SysFilesInNames.size(); ++i) {
        const std::string& target = ListItem(d_.SysFilesOutNames, i);
        const std::string& flag = ListItem(d_.SysFilesOutValues, i);
        CopyOneFile(state_.SourceDir + d_.SysFilesInNames[i], windowsDir + "\\" + target, flag);
    }
}

void TInstallRun::CopyProductFiles()
{
    for (std::size_t i = 0; i < d_.FilesInNames.size(); ++i) {
        const std::string& target = ListItem(d_.FilesOutNames, i);
        const std::string& flag = ListItem(d_.FilesOutValues, i);
        CopyOneFile(state_.SourceDir + d_.FilesInNames[i], state_.DestDir + "\\" + target, flag);
    }
}

void TInstallRun::CopyRecordTemplate()
{
    // The uninstall record starts as a copy of the product's template.
    std::string templ = state_.SourceDir + RecordTemplateName;
    std::string record = state_.DestDir + "\\" + RecordCopyName;
    unsigned long error = Sys().Files->Copy(templ, record, true);
    if (error != 0 && error != ErrorFileExists) Fail(templ, record, ReasonFor(error));
    AdvanceProgress(state_.ProgressStep);
}

void TInstallRun::CreateProgramGroup(const std::string& windowsDir)
{
    IProgramManager& progman = *Sys().ProgramManager;
    const std::string& dest = state_.DestDir;
    std::string group = CreateGroupCommand(d_.ProgGroup);
    progman.Open();
    bool created = progman.Execute(group);
    if (!progman.IsOpen()) {
        // Nothing can be handed over; the items are left out with the group.
        Fail(d_.ProgGroup, "", "no program manager answered", "Program group ");
    } else {
        if (!created) Fail(d_.ProgGroup, "", "the program manager refused it", "Program group ");
        for (std::size_t i = 0; i < d_.ItemsNames.size(); ++i) {
            std::string item = AddItemCommand(dest, d_.ItemsNames[i], d_.ItemsValues[i]);
            bool accepted = false;
            for (int attempt = 0; attempt < ItemAttempts && !accepted; ++attempt) {
                if (attempt > 0) Sys().Clock->Sleep(ItemRetryMilliseconds);
                accepted = progman.Execute(item);
            }
            if (!accepted)
                Fail(d_.ItemsValues[i], dest + "\\" + d_.ItemsNames[i],
                     "the program manager refused it", "Program item ");
        }
    }
    // Program managers differ in taking arguments on an item's command
    // line, so this one's answer is not looked at.
    progman.Execute(UninstallItemCommand(windowsDir, dest, d_.Application));
}

void TInstallRun::StartAddOns()
{
    for (std::size_t i = 0; i < d_.AddOnsValues.size(); ++i) {
        std::int32_t code = StrToInt(d_.AddOnsNames[i]);
        if (code >= 0 && code <= 2)
            Sys().Shell->Open(view_.OwnerWindow(), state_.SourceDir + d_.AddOnsValues[i]);
    }
}

void TInstallRun::ReportFailures()
{
    // Told once the wizard is back in front with the normal cursor.
    if (failures_ != nullptr && !failures_->empty()) view_.ShowWarning(FailureReport(*failures_));
}
