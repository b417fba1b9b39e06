#include "ui/SilentRun.h"

#include "engine/DateText.h"
#include "engine/Description.h"
#include "core/Paths.h"
#include "engine/WizardRules.h"
#include "core/WizardText.h"
#include "engine/Shared.h"
#include "core/Error.h"
#include "platform/Platform.h"

namespace {

// What the run shows, written to the log.
class TLogView : public IInstallView {
public:
    TLogView(TRunLog& log, const TCommandLine& line) : log_(log), line_(line) {}
    void ShowProgressPage(const std::string&) override {}
    void ShowSource(const std::string&) override {}
    void ShowDestination(const std::string&) override {}
    int ProgressPosition() const override { return position_; }
    void SetProgressPosition(int position) override { position_ = position; }
    void SetStatusText(const std::string&) override {}
    void RunCompleted() override {}
    void RunEnded() override {}
    void ShowWarning(const std::string& text) override { log_.Line(text); }
    void* OwnerWindow() override { return nullptr; }
    void Note(const std::string& line) override { log_.Line(line); }
    void Pause(unsigned) override {}
    bool OpensAddOns() override { return line_.AddOns; }
    // No window, and no shell that a service session may lack.
    bool AsksProgramManager() override { return false; }
    // The user's entries once the destination is taken: the registered
    // owner's, or those the command line gives.
    void DestinationAccepted() override
    {
        TInstallState& s = Shared;
        ReadRegisteredOwner(*Sys().Registry, s.UserName, s.UserOrganization);
        if (line_.HasName) s.UserName = line_.Name;
        if (line_.HasOrg) s.UserOrganization = line_.Org;
        log_.Line("destination " + s.DestDir + ", name \"" + s.UserName + "\", organisation \"" +
                  s.UserOrganization + "\"");
    }

private:
    TRunLog& log_;
    const TCommandLine& line_;
    int position_ = 0;
};

const char* const DefaultLogName = "Pellwick.log";
const char* const MissingDescription = "No IPI, exiting instalation.";

const char* ExitMeaning(TExitCode code)
{
    switch (code) {
    case ExitInstalled: return "installed";
    case ExitIncomplete: return "installed, but not completely";
    case ExitNothingDone: return "nothing done";
    case ExitMachineBusy: return "another installation or removal was running: nothing done";
    default: return "stopped by an error";
    }
}

TExitCode Ending(TRunLog& log, TExitCode code)
{
    log.Line("exit code " + IntToStr(code) + " (" + ExitMeaning(code) + ")");
    return code;
}

TExitCode Install(TRunLog& log, const TCommandLine& line)
{
    if (!line.Error.empty()) return log.Line(line.Error), Ending(log, ExitNothingDone);
    if (line.Help) return log.Line(UsageText), Ending(log, ExitNothingDone);

    TInstallState& s = Shared;
    if (!LoadInstallDescription()) return log.Line(MissingDescription), Ending(log, ExitNothingDone);
    const TInstallDescription& d = s.InstallDescription;
    s.ProductTitle = MakeProductTitle(d.Application, d.Version);
    log.Line("control file " + s.DescriptionPath + ": " + s.ProductTitle);

    // The destination page's rules, on the destination the administrator
    // gave or the one the product proposes.
    TLogView view(log, line);
    std::string refusal = InstallTo(s, line.HasDest ? line.Dest : d.Directory, view);
    if (refusal == MachineBusy) return log.Line(refusal), Ending(log, ExitMachineBusy);
    if (!refusal.empty()) return log.Line(refusal), Ending(log, ExitNothingDone);
    return Ending(log, s.InstallFailures.empty() ? ExitInstalled : ExitIncomplete);
}

}  // namespace

TExitCode RunSilent(const TCommandLine& line)
{
    Sys().Desktop->QuietSystemErrors();
    std::string path = line.LogPath.empty() ? DefaultLogPath(DefaultLogName) : line.LogPath;
    TRunLog log(path);
    // Nowhere to say what happened: nothing is done either.
    if (path.empty() || !log.Start(std::string(ApplicationTitle) + ": silent installation, " +
                   DateTimeText(Sys().Clock->Now(), Sys().DateFormats->Formats())))
        return ExitNothingDone;
    TExitCode code;
    try {
        code = Install(log, line);
    } catch (const std::exception& e) {
        // Where the wizard shows its error box; what was done before it
        // stays done and is in the log.
        log.Line("stopped: " + std::string(e.what()) + ".");
        code = Ending(log, ExitStopped);
    }
    if (Sys().ProgramManager != nullptr) Sys().ProgramManager->Close();
    return code;
}
