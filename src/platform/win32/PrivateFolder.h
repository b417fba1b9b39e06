// A fresh folder of an unpredictable name that only the running account
// can write to, and its removal: where the single-file stub unpacks the
// installer and where Skorvel.exe runs its copy of itself from. Plain
// Win32, no C++ library and no exceptions, so that the stub can share it.
#pragma once

// Makes parent + prefix + 16 random letters, a folder that did not exist
// ("C:\TEMP\" + "pw" + "kdjeh..."), with room left in MAX_PATH for the
// names of what is made inside; parent ends with a backslash. Its
// access list grants the running account alone full control, inherited by
// what is made inside, where the system keeps such lists (NT); on 95, 98
// and ME the folder is plain. False when none could be made.
bool MakePrivateFolder(const char* parent, const char* prefix, char* folder, unsigned size);

// Removes the folder and everything in it; a file still in use (a program
// that has just ended) is tried again for a few seconds.
void RemovePrivateFolder(const char* folder);
