// Forms (top-level windows) and the application object.
#pragma once
#include <string>

#include "toolkit/Controls.h"

enum class TBorderStyle { None, Dialog };
enum class TFormPosition { Designed, ScreenCenter };
enum class TModalResult { None, Ok, Cancel };

class TForm : public TControl {
public:
    // A form that must act on its destruction does so in its own
    // destructor, while all of it still exists: there is no OnDestroy.
    TForm() : TControl(TControlKind::Form, nullptr) {}
    ~TForm() override;

    TBorderStyle BorderStyle = TBorderStyle::Dialog;
    TFormPosition Position = TFormPosition::Designed;
    bool StayOnTop = false;
    bool Maximized = false;
    bool HasSystemMenu = true;
    int Icon = 0;  // resource id of the window icon, 0 for none

    TNotifyEvent OnCreate;
    TNotifyEvent OnShow;
    // Runs when the window is being closed by the window manager.
    TNotifyEvent OnClose;

    // Creates the windows of the form and its controls, hidden, then runs
    // OnCreate; a form visible from creation is shown afterwards.
    void CreateForm();
    bool Created() const { return created_; }
    // Shows the form modally; returns when ModalResult is set, the form is
    // closed or the application terminates.
    TModalResult ShowModal();
    void BringToFront();
    void Close();
    TModalResult ModalResult = TModalResult::None;

    // Called by the backend.
    void Showing();
    void Closing();

private:
    bool created_ = false;
    bool shown_ = false;
};

class TApplication {
public:
    std::string Title;
    TForm* MainForm = nullptr;
    bool Terminated() const { return terminated_; }
    // Asks the message loops to end.
    void Terminate();
    void Run();
    // The default error box: message + ".", the title as caption, stop icon.
    void ShowException(const std::string& message);

private:
    bool terminated_ = false;
};

TApplication& Application();
