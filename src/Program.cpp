#include "Program.h"

#include "InstWait.h"
#include "MainDlg.h"
#include "MainWin.h"
#include "platform/Platform.h"

const char* const ApplicationTitle = "Pellwick 2.1";

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
