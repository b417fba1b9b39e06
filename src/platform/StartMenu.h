// The Start menu as the shell keeps it: where its Programs folders are.
// Shortcut files are a service of their own (Shortcuts.h), which the
// uninstaller does without.
#pragma once
#include <string>

class IStartMenu {
public:
    virtual ~IStartMenu() = default;
    // The current user's Programs folder (the shell folder the program
    // manager makes its groups in), without a trailing "\"; "" when the
    // shell cannot say.
    virtual std::string ProgramsFolder() = 0;
    // The Programs folder every user sees (NT 4 and later), the same way;
    // "" where the system has none (Windows 95 and 98).
    virtual std::string CommonProgramsFolder() = 0;
};
