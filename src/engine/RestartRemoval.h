// What goes when Windows next starts: a file in use, and a folder that
// empties only then. NT keeps the names MoveFileEx gives it in the
// registry; Windows 95, 98 and ME have no MoveFileEx and read them from
// the [rename] section of WININIT.INI in the Windows folder. Either
// carries them out in the order given, so a folder follows its files.
#pragma once
#include <string>

// Sets path to go at the next restart; false when the system took nothing.
bool RemoveAtRestart(const std::string& path);

// WININIT.INI's text with "NUL=<shortPath>" at the end of its [rename]
// section, the section added at the end where there is none. The file is
// edited as text: every line of the section has the key NUL, which the
// profile functions would take for one entry.
std::string WininitWithRemoval(const std::string& text, const std::string& shortPath);
