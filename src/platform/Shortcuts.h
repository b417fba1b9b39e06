// Shortcut files (.lnk) read and made without a shell process (the program
// manager is the wizard's way to the Start menu): the installer's and the
// checker's.
#pragma once
#include <string>

class IShortcuts {
public:
    virtual ~IShortcuts() = default;
    // The file a shortcut (.lnk) points at, read without changing the
    // shortcut; false when it is no shortcut or cannot be read.
    virtual bool ShortcutTarget(const std::string& shortcut, std::string& target) = 0;
    // Writes the shortcut file shortcut (its folder must exist), starting
    // target with arguments (none when empty) in workingDir; 0 on success,
    // else the system's error number.
    virtual unsigned long CreateShortcut(const std::string& shortcut, const std::string& target,
                                         const std::string& arguments, const std::string& workingDir) = 0;
};
