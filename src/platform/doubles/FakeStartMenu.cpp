#include "platform/doubles/FakeStartMenu.h"

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
