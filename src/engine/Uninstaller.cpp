#include "engine/Uninstaller.h"

#include "engine/Removal.h"
#include "core/Error.h"
#include "platform/Platform.h"

namespace {

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
    TUninstallArgs args = ParseUninstallArgs(Sys().Desktop->CommandLine());
    TRunLog log(files.FullPath(UninstallLogPath(args)));
    args.DestDir = files.FullPath(args.DestDir);
    // Started from the product's folder (its program item), this process
    // would hold that folder as its current directory, and it could not go.
    std::string windowsDir = files.WindowsDirectory();
    if (!windowsDir.empty()) files.ChangeDirectory(windowsDir);
    std::string programs = Sys().StartMenu != nullptr ? Sys().StartMenu->ProgramsFolder() : "";
    return RunUninstaller(args, programs, log);
}
