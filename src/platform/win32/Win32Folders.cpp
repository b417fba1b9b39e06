// The drives and folders the destination's browser walks (the installer's).
#include <windows.h>

#include "core/CharText.h"
#include "platform/win32/Win32Platform.h"

namespace {

// The network name of a mapped drive. mpr.dll is loaded on demand from the
// system directory by its full path, never found by the search order.
bool NetworkName(const char* local, char* name, DWORD* size)
{
    using TGetConnection = DWORD(WINAPI*)(LPCSTR, LPSTR, LPDWORD);
    static TGetConnection getConnection = nullptr;
    static bool looked = false;
    if (!looked) {
        looked = true;
        auto mpr = static_cast<HMODULE>(LoadSystemLibrary("mpr.dll"));
        if (mpr != nullptr)
            getConnection = reinterpret_cast<TGetConnection>(
                reinterpret_cast<void*>(GetProcAddress(mpr, "WNetGetConnectionA")));
    }
    return getConnection != nullptr && getConnection(local, name, size) == NO_ERROR;
}

}  // namespace

std::vector<TDrive> TWin32Folders::Drives()
{
    std::vector<TDrive> drives;
    DWORD present = GetLogicalDrives();
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    for (int i = 0; i < 26; ++i) {
        if (!(present & (1u << i))) continue;
        char root[] = {static_cast<char>('A' + i), ':', '\\', '\0'};
        TDrive drive{static_cast<char>('a' + i), TDriveKind::Unknown, ""};
        char label[MAX_PATH] = {};
        switch (GetDriveTypeA(root)) {
        case DRIVE_REMOVABLE: drive.Kind = TDriveKind::Removable; break;
        case DRIVE_FIXED: drive.Kind = TDriveKind::Fixed; break;
        case DRIVE_REMOTE: drive.Kind = TDriveKind::Network; break;
        case DRIVE_CDROM: drive.Kind = TDriveKind::CDRom; break;
        case DRIVE_RAMDISK: drive.Kind = TDriveKind::RamDisk; break;
        default: break;
        }
        if (drive.Kind == TDriveKind::Network) {
            char local[] = {root[0], ':', '\0'};
            DWORD size = sizeof label;
            if (NetworkName(local, label, &size)) drive.Label = label;
        } else if (drive.Kind != TDriveKind::Removable) {
            if (GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr,
                                      nullptr, 0))
                drive.Label = label;
        }
        drives.push_back(drive);
    }
    SetErrorMode(mode);
    return drives;
}

std::string TWin32Folders::DriveDirectory(char letter)
{
    char drive[] = {letter, ':', '\0'};
    char buffer[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(drive, MAX_PATH, buffer, nullptr);
    if (length == 0 || length >= MAX_PATH) return std::string(1, letter) + ":\\";
    return std::string(buffer, length);
}

std::vector<std::string> TWin32Folders::Subdirectories(const std::string& path)
{
    std::vector<std::string> names;
    std::string pattern = path;
    if (pattern.empty() || FindLastCharOf(pattern, "\\") != pattern.size() - 1) pattern += '\\';
    pattern += "*.*";
    WIN32_FIND_DATAA found;
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    SetErrorMode(mode);
    if (search == INVALID_HANDLE_VALUE) return names;
    const DWORD skipped = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        std::string name = found.cFileName;
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || (found.dwFileAttributes & skipped))
            continue;
        if (name == "." || name == "..") continue;
        names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}
