// The screen, the mouse cursor, message boxes and the process itself.
#pragma once
#include <string>

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
};
