// Texts both programs show or hand to the shell, stated once for the
// installer, the uninstaller and the checker: a label's shortened caption,
// an argument for the program manager, the words for a system error, and
// the names the shell gives a program group's folder and an item's
// shortcut file.
#pragma once
#include <string>

// A label caption of more than 40 characters becomes "..." and its last 37.
std::string ShortenCaption(const std::string& caption);

// An argument as the program manager reads it: quoted when it holds a
// comma or a parenthesis, as it stands otherwise.
std::string CommandArgument(const std::string& argument);

// The reason text for a copy error code; systemText (the system's own
// words for it) where there is no sentence of our own.
std::string CopyErrorText(unsigned long error, const std::string& systemText);

// A program item's title as the program manager gives it: its caption, or
// without one the name of its file less the extension.
std::string ItemTitle(const std::string& caption, const std::string& file);
// The name the shell gives a group's folder or an item's shortcut where it
// keeps groups as folders: each character a file name cannot hold
// (<>:"/\|?*) made "_", walked by character in the system's code page.
std::string ShellFileName(const std::string& name);
// The shortcut file of an item with the given title in its group's folder.
std::string ShortcutFileName(const std::string& title);
