// Rules for destinations and target names as users and control files write
// them: what Windows will make of a path, decided without touching a disk.
#pragma once
#include <string>

// The directory a creation step makes of path: the path without its
// trailing backslashes ("C:\New\\" and "C:\New\" both name C:\New).
std::string DirectoryToMake(const std::string& path);

// A typed destination without the blanks and full stops at its end, which
// Windows would drop from the folder's name but not from the paths of the
// files in it ("." and ".." stay).
std::string TypedDestination(const std::string& text);

// The first part of path ("aux" of "lib\aux\x.h", "com1.log" of
// "logs\com1.log") that Windows reads as a device rather than a file or
// folder, with or without an extension; empty when there is none.
std::string DeviceNamePart(const std::string& path);

// Why a destination cannot be a folder: the user's warning, naming the path
// and the reason, or empty when it may be one. isFile says whether the
// path names an existing file.
std::string FolderRefusal(const std::string& path, bool isFile);

// The destination for a directory picked in the destination page's list:
// the directory, then the Directory setting less its first three characters.
std::string DestinationFor(const std::string& directory, const std::string& setting);

// The reason listed for a target name that would land in a device.
extern const char* const DeviceTargetReason;
