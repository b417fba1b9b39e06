// The Start menu through the shell: its folders by SHGetSpecialFolderLocation,
// shortcuts through IShellLink. ole32.dll is loaded from the system folder
// when the first shortcut is made or read, and COM started then, for as
// long as the shortcuts' object lives: neither exe imports it, and the
// wizard, which asks the program manager, never loads it.
#pragma once
#include "platform/Shortcuts.h"
#include "platform/StartMenu.h"

class TWin32StartMenu : public IStartMenu {
public:
    std::string ProgramsFolder() override;
    std::string CommonProgramsFolder() override;
};

class TWin32Shortcuts : public IShortcuts {
public:
    TWin32Shortcuts() = default;
    ~TWin32Shortcuts() override;
    TWin32Shortcuts(const TWin32Shortcuts&) = delete;
    TWin32Shortcuts& operator=(const TWin32Shortcuts&) = delete;

    bool ShortcutTarget(const std::string& shortcut, std::string& target) override;
    unsigned long CreateShortcut(const std::string& shortcut, const std::string& target,
                                 const std::string& arguments, const std::string& workingDir) override;

private:
    // A new shell link object (an IShellLinkA) in *link; 0 or the error.
    long NewLink(void** link);

    void* createInstance_ = nullptr;  // ole32.dll's CoCreateInstance, once loaded
    void* uninitialize_ = nullptr;
    bool comStarted_ = false;
};
