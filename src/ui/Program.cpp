#include "ui/Program.h"

#include "engine/CommandLine.h"
#include "ui/InstWait.h"
#include "ui/MainDlg.h"
#include "ui/MainWin.h"
#include "ui/SilentRun.h"
#include "core/WizardText.h"
#include "platform/Platform.h"

int RunProgram()
{
    std::vector<std::string> args;
    bool fit = Sys().Desktop->Arguments(args);
    TCommandLine line = ParseCommandLine(args);
    if (!fit && line.Error.empty())
        line.Error = "an argument holds a character this system's code page cannot hold";
    if (line.Silent) return RunSilent(line);
    if (line.Help) {
        Sys().Desktop->ShowMessage(UsageText, ApplicationTitle, TMsgIcon::Information);
        return ExitInstalled;
    }

    // Splash: shown and painted at once, since no message loop runs while
    // the program waits.
    WaitDialog = new TWaitDialog();
    WaitDialog->CreateForm();
    WaitDialog->BringToFront();
    WaitDialog->Repaint();
    Sys().Clock->Sleep(SplashMilliseconds);
    delete WaitDialog;
    WaitDialog = nullptr;

    Application().Title = ApplicationTitle;
    MainWindow = new TMainWindow();
    Application().MainForm = MainWindow;
    MainWindow->CreateForm();
    Application().Run();

    delete MainDialog;
    MainDialog = nullptr;
    Application().MainForm = nullptr;
    delete MainWindow;
    MainWindow = nullptr;
    return ExitInstalled;
}
