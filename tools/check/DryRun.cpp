#include "DryRun.h"

#include "engine/Description.h"
#include "engine/Engine.h"
#include "core/Paths.h"
#include "engine/Shared.h"
#include "engine/WizardRules.h"
#include "core/WizardText.h"
#include "core/Error.h"

namespace {

const char* const ExeName = "Pellwick.exe";

}  // namespace

TDryRun::TDryRun(const TInstallerFolder& folder, const std::string& windowsDir, const TDateTime& now)
{
    ResetSharedState();
    folder.PutOn(base_.Disk);
    base_.Disk.MakeDirs(windowsDir);
    files_.WindowsDir = windowsDir;
    base_.Clock.Time = now;
    desktop_.Exe = folder.SourceDir() + ExeName;

    TPlatform& p = Sys();
    p.Files = &files_;
    p.Registry = &registry_;
    p.Profiles = &profiles_;
    p.ProgramManager = &progman_;
    p.Shell = &shell_;
    p.Desktop = &desktop_;
}

TDryRun::~TDryRun()
{
    ResetSharedState();
}

bool TDryRun::Load()
{
    if (!LoadInstallDescription()) return false;
    Shared.ProductTitle = MakeProductTitle(Shared.InstallDescription.Application,
                                           Shared.InstallDescription.Version);
    return true;
}

bool TDryRun::Install(const TRunSettings& settings)
{
    Shared.UserName = Cut(settings.UserName);
    Shared.UserOrganization = Cut(settings.UserOrganization);
    TRecordingView view(desktop_, ApplicationTitle);
    try {
        // As the destination page does before it lets the run start.
        std::string refusal = InstallTo(Shared, settings.DestDir, view);
        if (!refusal.empty()) {
            desktop_.ShowMessage(refusal, ApplicationTitle, TMsgIcon::Warning);
            return false;
        }
    } catch (const EError& e) {
        // The box the wizard's Next button would show, as the toolkit
        // shows an error that reaches it.
        desktop_.ShowMessage(e.Message() + ".", ApplicationTitle, TMsgIcon::Stop);
    }
    return view.Completed;
}
