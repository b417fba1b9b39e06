#include "engine/Uninstaller.h"

#include "engine/Removal.h"
#include "engine/RecordNames.h"
#include "core/Error.h"
#include "core/ShownText.h"
#include "platform/Platform.h"

namespace {

// Runs the removal from a copy of this exe in a folder of its own, with
// the same line and current folder, and waits for it: code is then the
// copy's exit code. False, with the reason logged, when no copy could be
// made or started: the removal then runs in place.
bool RunFromPrivateCopy(const std::string& line, const std::string& currentDir, TRunLog& log, int& code)
{
    IPrivateCopy* privateCopy = Sys().PrivateCopy;
    if (privateCopy == nullptr) return false;
    IFileSystem& files = *Sys().Files;
    std::string exe = Sys().Desktop->ExePath();
    std::string folder = privateCopy->MakeFolder();
    if (folder.empty()) {
        log.Line("no folder for a private copy could be made in " + files.TempDirectory() + "; running in place");
        return false;
    }
    std::string copy = folder + "\\" + UninstallerName;
    unsigned long error = files.Copy(exe, copy, true);
    unsigned long exitCode = 0;
    if (error == 0) {
        log.Line("running from a private copy, " + copy);
        error = privateCopy->RunAndWait(copy, PrivateCopyLine(line, copy, exe), currentDir, exitCode);
    }
    privateCopy->RemoveFolder(folder);
    if (error != 0) {
        log.Line(copy + ": " + CopyErrorText(error, files.ErrorText(error)) + "; running in place");
        return false;
    }
    code = static_cast<int>(exitCode);
    return true;
}

class TUninstallRun {
public:
    TUninstallRun(const TUninstallArgs& args, TRunLog& log)
        : args_(args), log_(log)
    {
    }

    // A box unless silent; the log has it either way.
    void Tell(const std::string& text, TMsgIcon icon)
    {
        log_.Line(text);
        if (!args_.Silent) Sys().Desktop->ShowMessage(text, RemovalText::Caption, icon);
    }

    int Finish(int code)
    {
        log_.Line("exit code " + IntToStr(code));
        return code;
    }

private:
    const TUninstallArgs& args_;
    TRunLog& log_;
};

}  // namespace

int RunUninstaller(const TUninstallArgs& args, const std::string& programsFolder, TRunLog& log)
{
    TUninstallRun run(args, log);
    if (!args.Error.empty() || args.Help) {
        run.Tell(args.Error.empty() ? UninstallUsage : args.Error + "\r\n\r\n" + UninstallUsage,
                 args.Error.empty() ? TMsgIcon::Information : TMsgIcon::Stop);
        return run.Finish(ExitNothingDone);
    }
    TRemoval removal(args.DestDir, programsFolder);
    if (!args.Original.empty()) removal.UninstallerAt(args.Original);
    try {
        removal.Load();
    } catch (const EError& error) {
        run.Tell(error.Message(), TMsgIcon::Stop);
        return run.Finish(ExitNothingDone);
    }
    log.Line("removing " + removal.DisplayName() + " from " + args.DestDir);
    if (!args.Silent &&
        !Sys().Desktop->AskYesNo(FormatMessage1(RemovalText::Question, removal.DisplayName()),
                                 RemovalText::Caption)) {
        log.Line("not removed: the answer was No");
        return run.Finish(ExitNothingDone);
    }
    // One change to the machine at a time, held to the last removal. The
    // question may have been open a long time: the list is read again.
    TMachineLockScope lock(*Sys().MachineLock);
    if (!lock.Held()) {
        run.Tell(RemovalText::Busy, TMsgIcon::Stop);
        return run.Finish(ExitMachineBusy);
    }
    try {
        removal.Load();
        removal.CheckRights();
    } catch (const EError& error) {
        run.Tell(error.Message(), TMsgIcon::Stop);
        return run.Finish(ExitNothingDone);
    }
    // Each step goes to the log as it is done.
    removal.WriteTo(&log);
    try {
        removal.Perform();
    } catch (const EError& error) {
        // What was removed before stays removed; the rest is told.
        run.Tell(error.Message(), TMsgIcon::Stop);
        return run.Finish(ExitStopped);
    }
    run.Tell(RemovalReport(removal.DisplayName(), removal.Left()),
             removal.Left().empty() ? TMsgIcon::Information : TMsgIcon::Warning);
    bool atRestart = removal.SelfAtRestart(), stays = false;
    for (const TLeftBehind& l : removal.Left()) (l.AtRestart ? atRestart : stays) = true;
    return run.Finish(stays ? ExitSomethingLeft : atRestart ? ExitRemovedAtRestart : ExitRemoved);
}

std::string UninstallLogPath(const TUninstallArgs& args)
{
    if (!args.LogPath.empty() || !args.Silent) return args.LogPath;
    return DefaultLogPath("Skorvel.log");
}

int RunSkorvel()
{
    IFileSystem& files = *Sys().Files;
    std::string line = Sys().Desktop->CommandLine();
    TUninstallArgs args = ParseUninstallArgs(line);
    TRunLog log(files.FullPath(UninstallLogPath(args)));
    args.DestDir = files.FullPath(args.DestDir);
    args.Original = files.FullPath(args.Original);
    // Started from the product's folder (its program item), this process
    // would hold that folder as its current directory, and it could not go.
    std::string started = files.CurrentDirectory();
    std::string windowsDir = files.WindowsDirectory();
    if (!windowsDir.empty()) files.ChangeDirectory(windowsDir);
    // The exe that was started, in the Windows folder, is a shared file
    // the removal may have to delete: a copy does the work while it waits.
    int code = 0;
    if (args.Original.empty() && args.Error.empty() && !args.Help &&
        RunFromPrivateCopy(line, started, log, code))
        return code;
    std::string programs = Sys().StartMenu != nullptr ? Sys().StartMenu->ProgramsFolder() : "";
    return RunUninstaller(args, programs, log);
}
