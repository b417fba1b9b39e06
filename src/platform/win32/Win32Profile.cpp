#include <windows.h>

#include <vector>

#include "platform/win32/Win32Platform.h"

std::string TWin32ProfileFiles::KeyNameBuffer(const std::string& path,
                                              const std::string& section, std::size_t size)
{
    // The A function leaves the tail of a too-small buffer as it was, so
    // the buffer starts out zeroed.
    std::vector<char> buffer(size, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                            static_cast<DWORD>(size), path.c_str());
    std::size_t end = length + 1 < size ? length + 1 : size;
    return std::string(buffer.data(), end);
}

std::string TWin32ProfileFiles::ReadValue(const std::string& path, const std::string& section,
                                          const std::string& key, const std::string& def,
                                          std::size_t size)
{
    std::vector<char> buffer(size, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(),
                                            buffer.data(), static_cast<DWORD>(size), path.c_str());
    return std::string(buffer.data(), length);
}

bool TWin32ProfileFiles::WriteValue(const std::string& path, const std::string& section,
                                    const std::string& key, const std::string& value)
{
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(),
                                      path.c_str()) != FALSE;
}

std::string TWin32ProfileFiles::SectionBuffer(const std::string& path, const std::string& section)
{
    // A too-small buffer is filled to size - 2; read again in a larger one
    // until the section fits.
    const std::size_t largest = std::size_t(1) << 24;
    for (std::size_t size = 32768;; size *= 2) {
        std::vector<char> buffer(size, '\0');
        DWORD length = GetPrivateProfileSectionA(section.c_str(), buffer.data(),
                                                 static_cast<DWORD>(size), path.c_str());
        if (length + 2 < size || size >= largest) {
            std::size_t end = length + 1 < size ? length + 1 : size;
            return std::string(buffer.data(), end);
        }
    }
}

unsigned long TWin32ProfileFiles::ReadError(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return 0;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 0 : error;
}
