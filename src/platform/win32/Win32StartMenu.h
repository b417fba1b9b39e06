// The Start menu through the shell: its folders by SHGetSpecialFolderLocation,
// shortcuts through IShellLink. COM lives as long as the object.
#pragma once
#include "platform/StartMenu.h"

class TWin32StartMenu : public IStartMenu {
public:
    TWin32StartMenu();
    ~TWin32StartMenu() override;
    TWin32StartMenu(const TWin32StartMenu&) = delete;
    TWin32StartMenu& operator=(const TWin32StartMenu&) = delete;

    std::string ProgramsFolder() override;
    std::string CommonProgramsFolder() override;
    bool ShortcutTarget(const std::string& shortcut, std::string& target) override;
    unsigned long CreateShortcut(const std::string& shortcut, const std::string& target,
                                 const std::string& workingDir) override;

private:
    bool comStarted_ = false;
};
