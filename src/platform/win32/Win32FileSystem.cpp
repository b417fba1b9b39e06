#include <windows.h>

#include "platform/win32/Win32Platform.h"

bool TWin32FileSystem::FileExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TWin32FileSystem::DirectoryExists(const std::string& path)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool TWin32FileSystem::MakeDirectory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

unsigned long TWin32FileSystem::Copy(const std::string& source, const std::string& dest,
                                         bool failIfExists)
{
    if (CopyFileA(source.c_str(), dest.c_str(), failIfExists ? TRUE : FALSE)) return 0;
    return GetLastError();
}

std::string TWin32FileSystem::WindowsDirectory()
{
    char buffer[MAX_PATH] = {};
    UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

bool TWin32FileSystem::ReadWholeFile(const std::string& path, std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    content.clear();
    char chunk[16384];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0)
        content.append(chunk, got);
    CloseHandle(file);
    return ok;
}

std::string TWin32FileSystem::CurrentDirectory()
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

bool TWin32FileSystem::ChangeDirectory(const std::string& path)
{
    return SetCurrentDirectoryA(path.c_str()) != FALSE;
}
