// What the uninstaller takes away through: files, folders and registry
// entries. The installer makes things and never removes them, so only the
// uninstaller links an implementation.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Registry.h"

// Attribute bits as GetFileAttributesA gives them.
constexpr std::uint32_t AttrReadOnly = 0x1, AttrHidden = 0x2, AttrSystem = 0x4,
                        AttrDirectory = 0x10, AttrReparsePoint = 0x400;
constexpr std::uint32_t AttrNone = 0xFFFFFFFF;  // no such file or folder

class ICleanup {
public:
    virtual ~ICleanup() = default;
    // GetFileAttributesA of the name itself: a junction, a symbolic link
    // or a mount point carries AttrReparsePoint. AttrNone when missing.
    virtual std::uint32_t Attributes(const std::string& path) = 0;
    // Clears the read-only, hidden and system attributes, which keep a
    // file from being deleted; 0 or the system's error.
    virtual unsigned long ClearAttributes(const std::string& path) = 0;
    // DeleteFileA, and RemoveDirectoryA (an empty folder only); 0 or the
    // system's error.
    virtual unsigned long RemoveFile(const std::string& path) = 0;
    virtual unsigned long RemoveFolder(const std::string& path) = 0;
    // Has the system delete the file, or the empty folder, when it next
    // starts (MoveFileExA): NT only, which keeps the names in the registry.
    virtual bool DeleteAtRestart(const std::string& path) = 0;
    // Whether the system is Windows 95, 98 or ME, which has no MoveFileEx
    // and reads what goes at the restart from WININIT.INI instead.
    virtual bool Windows9x() = 0;
    // The short 8.3 form of an existing path, as WININIT.INI takes it; ""
    // when the system gives none.
    virtual std::string ShortPath(const std::string& path) = 0;
    // MoveFileA within a folder: gives a file, even a running program, a
    // new name; ErrorAlreadyExists when that name is taken. 0 or the error.
    virtual unsigned long Rename(const std::string& from, const std::string& to) = 0;
    // Makes a file in folder and deletes it again: 0 where this account
    // may write there, else the system's error (access denied).
    virtual unsigned long TryWrite(const std::string& folder) = 0;
    // Names of everything in a folder, files and folders, hidden ones too.
    virtual std::vector<std::string> Entries(const std::string& path) = 0;

    // Keys of the registry service (IRegistryApi). RegDeleteValueA.
    virtual long DeleteValue(RegKey key, const std::string& name) = 0;
    // RegDeleteKeyA of a key that must be empty: Windows 9x would take
    // the subkeys along, so callers count first.
    virtual long DeleteSubKey(RegKey parent, const std::string& sub) = 0;
    // RegQueryInfoKeyA: how many subkeys and values the key holds.
    virtual long CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values) = 0;
};
