#include <windows.h>

#include "platform/win32/Win32Platform.h"

std::uint32_t TWin32Cleanup::Attributes(const std::string& path)
{
    return GetFileAttributesA(path.c_str());
}

unsigned long TWin32Cleanup::ClearAttributes(const std::string& path)
{
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) ? 0 : GetLastError();
}

unsigned long TWin32Cleanup::RemoveFile(const std::string& path)
{
    return DeleteFileA(path.c_str()) ? 0 : GetLastError();
}

unsigned long TWin32Cleanup::RemoveFolder(const std::string& path)
{
    return RemoveDirectoryA(path.c_str()) ? 0 : GetLastError();
}

bool TWin32Cleanup::DeleteAtRestart(const std::string& path)
{
    return MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

bool TWin32Cleanup::Windows9x()
{
    return (GetVersion() & 0x80000000) != 0;
}

std::string TWin32Cleanup::ShortPath(const std::string& path)
{
    char buffer[MAX_PATH + 1] = {};
    DWORD length = GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return std::string(buffer, length <= MAX_PATH ? length : 0);
}

unsigned long TWin32Cleanup::Rename(const std::string& from, const std::string& to)
{
    return MoveFileA(from.c_str(), to.c_str()) ? 0 : GetLastError();
}

unsigned long TWin32Cleanup::TryWrite(const std::string& folder)
{
    // A fresh name of the system's choosing, made and deleted at once.
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder.c_str(), "skv", 0, name) == 0) return GetLastError();
    DeleteFileA(name);
    return 0;
}

std::vector<std::string> TWin32Cleanup::Entries(const std::string& path)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

long TWin32Cleanup::DeleteValue(RegKey key, const std::string& name)
{
    return RegDeleteValueA(reinterpret_cast<HKEY>(key), name.c_str());
}

long TWin32Cleanup::DeleteSubKey(RegKey parent, const std::string& sub)
{
    return RegDeleteKeyA(reinterpret_cast<HKEY>(parent), sub.c_str());
}

long TWin32Cleanup::CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values)
{
    DWORD keys = 0, names = 0;
    LONG rc = RegQueryInfoKeyA(reinterpret_cast<HKEY>(key), nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &names,
                               nullptr, nullptr, nullptr, nullptr);
    subkeys = keys;
    values = names;
    return rc;
}
