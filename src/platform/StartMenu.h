// The Start menu as the shell keeps it: where its Programs folder is and
// what a shortcut in it points at. Only tools read it; the installer
// reaches the Start menu through the program manager alone.
#pragma once
#include <string>

class IStartMenu {
public:
    virtual ~IStartMenu() = default;
    // The current user's Programs folder (the shell folder the program
    // manager makes its groups in), without a trailing "\"; "" when the
    // shell cannot say.
    virtual std::string ProgramsFolder() = 0;
    // The file a shortcut (.lnk) points at, read without changing the
    // shortcut; false when it is no shortcut or cannot be read.
    virtual bool ShortcutTarget(const std::string& shortcut, std::string& target) = 0;
};
