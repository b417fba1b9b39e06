#include <windows.h>

#include "core/SystemErrors.h"
#include "platform/win32/Win32Platform.h"

namespace {

// FILE_FLAG_OPEN_REPARSE_POINT where the system knows it (Windows 2000 and
// later, where links exist at all); Windows 95 and 98 are given no flag
// they do not know.
DWORD OpenReparsePointFlag()
{
    DWORD version = GetVersion();
    bool nt5 = (version & 0x80000000) == 0 && LOBYTE(LOWORD(version)) >= 5;
    return nt5 ? FILE_FLAG_OPEN_REPARSE_POINT : 0;
}

}  // namespace

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

namespace {

// A file's size and times, into data; false when they cannot be read.
bool ReadFileData(const std::string& path, WIN32_FIND_DATAA& data)
{
    // GetFileAttributesExA reads the size without opening a search, where
    // the system has it (98 and NT 4 on; looked up, since 95 lacks it).
    using TGetAttributesEx = BOOL(WINAPI*)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
    static const TGetAttributesEx getAttributes = reinterpret_cast<TGetAttributesEx>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFileAttributesExA")));
    // WIN32_FILE_ATTRIBUTE_DATA is the first fields of WIN32_FIND_DATAA,
    // size included: one buffer serves both calls.
    if (getAttributes != nullptr) return getAttributes(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
    HANDLE search = FindFirstFileA(path.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return false;
    FindClose(search);
    return true;
}

}  // namespace

TFileFacts TWin32FileSystem::FileFacts(const std::string& path)
{
    WIN32_FIND_DATAA data;
    if (!ReadFileData(path, data)) return {};
    return {(static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                data.ftLastWriteTime.dwLowDateTime};
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

unsigned long TWin32FileSystem::ChangeDirectory(const std::string& path)
{
    // A drive without a medium must fail quietly, not ask the user.
    UINT mode = SetErrorMode(SEM_FAILCRITICALERRORS);
    unsigned long error = SetCurrentDirectoryA(path.c_str()) ? 0 : GetLastError();
    SetErrorMode(mode);
    return error;
}

namespace {

// The system's full path of path; "" when it cannot make one.
std::string SystemFullPath(const std::string& path)
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(buffer, length) : "";
}

}  // namespace

std::string TWin32FileSystem::FullPath(const std::string& path)
{
    std::string full = path.empty() ? "" : SystemFullPath(path);
    return full.empty() ? path : full;
}

bool TWin32FileSystem::SameFile(const std::string& a, const std::string& b)
{
    std::string fullA = SystemFullPath(a);
    return !fullA.empty() && lstrcmpiA(fullA.c_str(), SystemFullPath(b).c_str()) == 0;
}

std::string TWin32FileSystem::ErrorText(unsigned long error)
{
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, error, 0, buffer, sizeof buffer, nullptr);
    return std::string(buffer, length < sizeof buffer ? length : 0);
}

unsigned long TWin32FileSystem::AppendText(const std::string& path, const std::string& text)
{
    // Opened for appending only and shared for writing: each write goes to
    // the end as it is then, so two runs into one file both keep their
    // lines. Held open for the next line, which comes soon and often; the
    // system closes it when the program ends.
    if (appendFile_ == nullptr || path != appendPath_) {
        if (appendFile_ != nullptr) CloseHandle(appendFile_);
        appendFile_ = nullptr;
        // A log is never written through a link: one planted where the log
        // goes (a shared temporary folder) would send an administrator's
        // lines into a file of the planter's choosing. A link that is there
        // is refused; one made between the look and the open is opened
        // itself, not followed, and refused too.
        DWORD attributes = GetFileAttributesA(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return ErrorLinkRefused;
        HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | OpenReparsePointFlag(),
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE) return GetLastError();
        BY_HANDLE_FILE_INFORMATION info;
        if (GetFileInformationByHandle(file, &info) &&
            ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) || info.nNumberOfLinks > 1)) {
            CloseHandle(file);
            return ErrorLinkRefused;
        }
        appendFile_ = file;
        appendPath_ = path;
    }
    DWORD written = 0;
    if (!WriteFile(appendFile_, text.data(), static_cast<DWORD>(text.size()), &written, nullptr))
        return GetLastError();
    return 0;
}

std::string TWin32FileSystem::TempDirectory()
{
    // GetTempPath2A (Windows 11, and 10 with recent updates) gives SYSTEM
    // C:\Windows\SystemTemp, which users cannot write, where GetTempPathA
    // gives C:\Windows\Temp, which they can; for anyone else both agree.
    using TGetTempPath = DWORD(WINAPI*)(DWORD, LPSTR);
    TGetTempPath getTempPath = reinterpret_cast<TGetTempPath>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetTempPath2A")));
    if (getTempPath == nullptr) getTempPath = GetTempPathA;
    char buffer[MAX_PATH + 1] = {};
    DWORD length = getTempPath(sizeof buffer, buffer);
    return std::string(buffer, length <= MAX_PATH ? length : 0);
}

unsigned long TWin32FileSystem::WriteWholeFile(const std::string& path, const std::string& content)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD written = 0;
    unsigned long error = 0;
    if (!WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr))
        error = GetLastError();
    else if (written != content.size())
        error = ERROR_DISK_FULL;
    CloseHandle(file);
    return error;
}
