// CopyFiles: the installation run, in its fixed order of steps.
#include "Engine.h"

#include "MainDlg.h"
#include "Paths.h"
#include "Shared.h"
#include "core/Error.h"
#include "platform/Platform.h"

std::vector<TInstallFailure> InstallFailures;

const char* const UninstallerName = "Skorvel.exe";
const char* const RecordTemplateName = "Pellwick.up_";
const char* const RecordCopyName = "Pellwick.upi";

namespace WizardText {
const char* const CopyingStart = "Pellwick is now copying the ";
const char* const CopyingEnd = " files to the selected destination.";
const char* const InstalledEnd = " was installed successfuly. Please select next to continue.";
const char* const IncompleteEnd =
    " was not installed completely. Please select next to continue.";
const char* const FinalIncompleteStart = "Pellwick could not install all of ";
const char* const FinalIncompleteEnd = "; some files or program items are missing.";
}  // namespace WizardText

namespace {

const std::size_t CaptionMax = 40;
// How often a refused [Items] command is sent, and the pause between.
const int ItemAttempts = 5;
const unsigned ItemRetryMilliseconds = 200;

const unsigned long ErrorFileExists = 80;
const unsigned long ErrorFilenameTooLong = 206;

}  // namespace

std::string ShortenCaption(const std::string& caption)
{
    if (caption.size() <= CaptionMax) return caption;
    return "..." + caption.substr(caption.size() - (CaptionMax - 3));
}

std::string ParentOf(const std::string& path)
{
    std::string::size_type cut = path.find_last_of("\\:");
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
    if (text.empty()) return "an unknown system error (" + IntToStr(static_cast<std::int64_t>(error)) + ")";
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
    if (argument.find_first_of(",()[]") == std::string::npos) return argument;
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

void TMainDialog::ForceDirectories(const std::string& path)
{
    std::string dir = DirectoryToMake(path);
    if (dir.size() < 3 || Sys().Files->DirectoryExists(dir)) return;
    // Only a drive alone ("  C:", say) is its own parent: nothing left to climb.
    std::string parent = ParentOf(dir);
    if (parent == dir) return;
    ForceDirectories(parent);
    Sys().Files->MakeDirectory(dir);
}

void TMainDialog::ShowPath(TLabel& label, const std::string& path)
{
    label.SetCaption(Sys().Locale->Lower(path));
    label.SetCaption(ShortenCaption(label.Caption()));
    label.Repaint();
}

void TMainDialog::AdvanceProgress(int step)
{
    ProgressBar.SetPosition(ProgressBar.Position() + step);
}

void TMainDialog::CopyOneFile(const std::string& source, const std::string& dest,
                              const std::string& flag)
{
    ShowPath(SourceLabel, source);
    ShowPath(DestinationLabel, dest);
    bool keepExisting = flag != "0";
    // The bytes would go to the device, and no file would be made.
    if (!DeviceNamePart(dest).empty()) {
        InstallFailures.push_back({source, dest, DeviceTargetReason});
    } else if (!Sys().Files->SameFile(source, dest)) {  // a file already in place is not copied
        // A longer path would be cut, and the copy would land somewhere else.
        unsigned long error = source.size() > MaxPathLength || dest.size() > MaxPathLength
                                  ? ErrorFilenameTooLong
                                  : Sys().Files->Copy(source, dest, keepExisting);
        if (error != 0 && !(error == ErrorFileExists && keepExisting))
            InstallFailures.push_back({source, dest, CopyErrorText(error, Sys().Files->ErrorText(error))});
    }
    AdvanceProgress(ProgressStep);
    Sys().Clock->Sleep(FilePauseMilliseconds);
}

void TMainDialog::CreateProgramGroup(const std::string& windowsDir)
{
    const TInstallDescription& d = InstallDescription;
    IProgramManager& progman = *Sys().ProgramManager;
    std::string group = CreateGroupCommand(d.ProgGroup);
    progman.Open();
    bool created = progman.Execute(group);
    if (!progman.IsOpen()) {
        // Nothing can be handed over; the items are left out with the group.
        InstallFailures.push_back({d.ProgGroup, "", "no program manager answered", "Program group "});
    } else {
        if (!created)
            InstallFailures.push_back({d.ProgGroup, "", "the program manager refused it", "Program group "});
        for (std::size_t i = 0; i < d.ItemsNames.size(); ++i) {
            std::string item = AddItemCommand(DestDir, d.ItemsNames[i], d.ItemsValues[i]);
            bool accepted = false;
            for (int attempt = 0; attempt < ItemAttempts && !accepted; ++attempt) {
                if (attempt > 0) Sys().Clock->Sleep(ItemRetryMilliseconds);
                accepted = progman.Execute(item);
            }
            if (!accepted)
                InstallFailures.push_back({d.ItemsValues[i], DestDir + "\\" + d.ItemsNames[i],
                                           "the program manager refused it", "Program item "});
        }
    }
    // Program managers differ in taking arguments on an item's command
    // line, so this one's answer is not looked at.
    progman.Execute(UninstallItemCommand(windowsDir, DestDir, d.Application));
}

void TMainDialog::StartAddOns()
{
    const TInstallDescription& d = InstallDescription;
    for (std::size_t i = 0; i < d.AddOnsValues.size(); ++i) {
        std::int32_t code = StrToInt(d.AddOnsNames[i]);
        if (code >= 0 && code <= 2) Sys().Shell->Open(Handle(), SourceDir + d.AddOnsValues[i]);
    }
}

namespace {

// Raises a flag for the life of a scope.
class TFlagScope {
public:
    explicit TFlagScope(bool& flag) : flag_(flag) { flag_ = true; }
    ~TFlagScope() { flag_ = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& flag_;
};

// The end of every run, however it ends: a pause, the wizard brought to
// the front and the default cursor.
class TRunEnding {
public:
    explicit TRunEnding(TForm& wizard) : wizard_(wizard)
    {
        Sys().Desktop->SetCursor(TCursor::HourGlass);
    }
    ~TRunEnding()
    {
        Sys().Clock->Sleep(EndPauseMilliseconds);
        wizard_.BringToFront();
        Sys().Desktop->SetCursor(TCursor::Default);
    }
    TRunEnding(const TRunEnding&) = delete;
    TRunEnding& operator=(const TRunEnding&) = delete;

private:
    TForm& wizard_;
};

}  // namespace

void TMainDialog::CopyFiles(TControl& sender)
{
    const TInstallDescription& d = InstallDescription;
    std::string product = d.Application + " " + d.Version;
    InstallFailures.clear();

    Panel4.Hide();
    InfoLabel.SetCaption(Cut(WizardText::CopyingStart + product + WizardText::CopyingEnd));
    InfoLabel.Repaint();
    Panel5.Show();
    Panel5.Repaint();

    try {
        TFlagScope busy(installing_);
        TRunEnding ending(*this);
        if (!Sys().Files->DirectoryExists(DestDir)) ForceDirectories(DestDir);
        for (std::size_t i = 0; i < d.DirsNames.size(); ++i)
            ForceDirectories(ListItem(d.DirsValues, i) == "0" ? d.DirsNames[i]
                                                             : DestDir + "\\" + d.DirsNames[i]);
        if (!d.Expand) {
            std::string windowsDir = Sys().Files->WindowsDirectory();
            for (std::size_t i = 0; i < d.SysFilesInNames.size(); ++i) {
                const std::string& target = ListItem(d.SysFilesOutNames, i);
                const std::string& flag = ListItem(d.SysFilesOutValues, i);
                CopyOneFile(SourceDir + d.SysFilesInNames[i], windowsDir + "\\" + target, flag);
            }
            for (std::size_t i = 0; i < d.FilesInNames.size(); ++i) {
                const std::string& target = ListItem(d.FilesOutNames, i);
                const std::string& flag = ListItem(d.FilesOutValues, i);
                CopyOneFile(SourceDir + d.FilesInNames[i], DestDir + "\\" + target, flag);
            }

            // The uninstall record starts as a copy of the product's template.
            std::string templ = SourceDir + RecordTemplateName;
            std::string record = DestDir + "\\" + RecordCopyName;
            unsigned long error = Sys().Files->Copy(templ, record, true);
            if (error != 0 && error != ErrorFileExists)
                InstallFailures.push_back({templ, record, CopyErrorText(error, Sys().Files->ErrorText(error))});
            AdvanceProgress(ProgressStep);

            CreateProgramGroup(windowsDir);
            UpdateRegistry(sender);
            StartAddOns();
            if (ProgressBar.Position() < 100) ProgressBar.SetPosition(100);
            InfoLabel.SetCaption(Cut(product + (InstallFailures.empty() ? WizardText::InstalledEnd
                                                                        : WizardText::IncompleteEnd)));
            Sys().ProgramManager->Close();
        }
        WizardState = 800;
        PrevBut.SetEnabled(false);
    } catch (...) {
        // A run stopped by an error still tells what it could not do
        // before; the error box follows.
        ReportFailures();
        throw;
    }
    ReportFailures();
}

void TMainDialog::ReportFailures()
{
    // Told once the wizard is back in front with the normal cursor.
    if (!InstallFailures.empty())
        Sys().Desktop->ShowMessage(FailureReport(InstallFailures), Application().Title,
                                   TMsgIcon::Warning);
}
