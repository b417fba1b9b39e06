#include "Program.h"

#include "InstWait.h"
#include "MainDlg.h"
#include "MainWin.h"
#include "WizardText.h"
#include "platform/Platform.h"

void RunProgram()
{
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
}
