// The screen, the mouse cursor, message boxes and the process itself.
#pragma once
#include <string>
#include <vector>

enum class TCursor { Default, HourGlass };

enum class TMsgIcon { None, Stop, Warning, Information };

class IDesktop {
public:
    virtual ~IDesktop() = default;
    virtual int ScreenWidth() = 0;
    virtual int ScreenHeight() = 0;
    virtual void SetCursor(TCursor cursor) = 0;
    // A modal box with one OK button, owned by the active window.
    virtual void ShowMessage(const std::string& text, const std::string& caption,
                            TMsgIcon icon) = 0;
    // A modal question with Yes and No buttons; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // The full path of the running executable.
    virtual std::string ExePath() = 0;
    // The arguments the program was started with, as the system splits a
    // command line; false when one holds a character the system's code
    // page cannot hold.
    virtual bool Arguments(std::vector<std::string>& args) = 0;
    // The whole command line in the system's code page, the program's own
    // name first, as the system hands it over (blanks and quotes kept).
    virtual std::string CommandLine() = 0;
    // The system shows no box of its own for a failing drive or a missing
    // DLL; a run nobody watches would wait on it for ever.
    virtual void QuietSystemErrors() = 0;
};
