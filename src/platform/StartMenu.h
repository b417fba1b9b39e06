// The Start menu as the shell keeps it: where its Programs folders are,
// what a shortcut in it points at, and shortcut files made without a
// shell process (the program manager is the wizard's way to the menu).
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
    // The file a shortcut (.lnk) points at, read without changing the
    // shortcut; false when it is no shortcut or cannot be read.
    virtual bool ShortcutTarget(const std::string& shortcut, std::string& target) = 0;
    // Writes the shortcut file shortcut (its folder must exist), starting
    // target with arguments (none when empty) in workingDir; 0 on success,
    // else the system's error number.
    virtual unsigned long CreateShortcut(const std::string& shortcut, const std::string& target,
                                         const std::string& arguments, const std::string& workingDir) = 0;
};
