#include "DryRun.h"

#include "Description.h"
#include "Engine.h"
#include "MainDlg.h"
#include "Program.h"
#include "Shared.h"
#include "toolkit/Forms.h"

namespace {

const char* const ExeName = "Pellwick.exe";

}  // namespace

TDryRun::TDryRun(const TInstallerFolder& folder, const std::string& windowsDir, const TDateTime& now)
{
    ResetSharedState();
    InstallFailures.clear();
    Application() = TApplication();
    Application().Title = ApplicationTitle;
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
    InstallFailures.clear();
    Application() = TApplication();
}

bool TDryRun::Load()
{
    if (!LoadInstallDescription()) return false;
    ProductTitle = MakeProductTitle(InstallDescription.Application, InstallDescription.Version);
    return true;
}

bool TDryRun::Install(const TRunSettings& settings)
{
    UserName = Cut(settings.UserName);
    UserOrganization = Cut(settings.UserOrganization);
    TMainDialog wizard;
    wizard.Panel1.Hide();
    wizard.Panel4.Show();
    wizard.EditPath.SetText(settings.DestDir);
    WizardState = 600;
    wizard.NextBut.Click();
    return WizardState == 800;
}
