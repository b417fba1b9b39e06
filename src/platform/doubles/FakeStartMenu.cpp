#include "platform/doubles/FakeStartMenu.h"

#include "core/CharText.h"

bool TFakeStartMenu::ShortcutTarget(const std::string& shortcut, std::string& target)
{
    // A shortcut removed from the disk is gone, whatever was kept for it.
    auto it = targets_.find(TFakeDisk::Key(shortcut));
    if (it == targets_.end() || !disk_.FileExists(shortcut)) return false;
    target = it->second;
    return true;
}

void TFakeStartMenu::AddShortcut(const std::string& shortcut, const std::string& target)
{
    disk_.Put(shortcut, "L");
    targets_[TFakeDisk::Key(shortcut)] = target;
}

unsigned long TFakeStartMenu::CreateShortcut(const std::string& shortcut, const std::string& target,
                                             const std::string& arguments, const std::string& workingDir)
{
    std::size_t slash = FindLastCharOf(shortcut, "\\");
    if (slash == std::string::npos || !disk_.DirExists(shortcut.substr(0, slash))) return 3;
    AddShortcut(shortcut, target);
    WorkingDirs[TFakeDisk::Key(shortcut)] = workingDir;
    Arguments[TFakeDisk::Key(shortcut)] = arguments;
    return 0;
}
