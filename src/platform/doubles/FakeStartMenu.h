// A Start menu of shortcuts held in memory, over the disk double: each
// shortcut is a file on the disk, its target kept here.
#pragma once
#include <map>
#include <string>

#include "platform/Shortcuts.h"
#include "platform/StartMenu.h"
#include "platform/doubles/FakeDisk.h"

class TFakeStartMenu : public IStartMenu, public IShortcuts {
public:
    explicit TFakeStartMenu(TFakeDisk& disk) : disk_(disk) {}
    std::string ProgramsFolder() override { return Programs; }
    std::string CommonProgramsFolder() override { return CommonPrograms; }
    bool ShortcutTarget(const std::string& shortcut, std::string& target) override;
    // Fails with 3 (path not found) where the shortcut's folder is missing.
    unsigned long CreateShortcut(const std::string& shortcut, const std::string& target,
                                 const std::string& arguments, const std::string& workingDir) override;

    // Puts a shortcut file on the disk, pointing at target.
    void AddShortcut(const std::string& shortcut, const std::string& target);

    std::string Programs =
        "C:\\WINDOWS\\Profiles\\User\\Start Menu\\Programs";
    std::string CommonPrograms =
        "C:\\WINDOWS\\Profiles\\All Users\\Start Menu\\Programs";
    // The working folder and the arguments of each shortcut made, by TFakeDisk::Key.
    std::map<std::string, std::string> WorkingDirs, Arguments;

private:
    TFakeDisk& disk_;
    std::map<std::string, std::string> targets_;  // by TFakeDisk::Key
};
