#include <windows.h>

#include <vector>

#include "platform/win32/Win32Platform.h"

namespace {

HKEY H(RegKey key) { return reinterpret_cast<HKEY>(key); }

RegType TypeOf(DWORD type)
{
    switch (type) {
    case REG_NONE: return RegType::None;
    case REG_SZ: return RegType::String;
    case REG_EXPAND_SZ: return RegType::ExpandString;
    case REG_BINARY: return RegType::Binary;
    case REG_DWORD: return RegType::DWord;
    case REG_MULTI_SZ: return RegType::MultiString;
    default: return RegType::Other;
    }
}

}  // namespace

// Whether this 32-bit process runs on 64-bit Windows. Windows 95 and NT 4
// lack IsWow64Process: it is looked up, and without it there is no other
// view.
bool UnderWow64()
{
    typedef BOOL(WINAPI * TIsWow64Process)(HANDLE, PBOOL);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    TIsWow64Process isWow64 =
        kernel == nullptr ? nullptr
                          : reinterpret_cast<TIsWow64Process>(
                                reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 != nullptr && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

unsigned long RegistryRights(RegAccess access, bool underWow64)
{
    switch (access) {
    case RegAccess::Full: return KEY_ALL_ACCESS;
    case RegAccess::Read64: return KEY_READ | (underWow64 ? KEY_WOW64_64KEY : 0);
    case RegAccess::CreateSubKey: return KEY_CREATE_SUB_KEY;
    default: return KEY_READ;
    }
}

RegKey TWin32Registry::Root(RegRoot root)
{
    return reinterpret_cast<RegKey>(root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE
                                                                  : HKEY_CURRENT_USER);
}

long TWin32Registry::CreateKey(RegKey parent, const std::string& sub, RegKey& result)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG rc = RegCreateKeyExA(H(parent), sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition);
    result = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return rc;
}

long TWin32Registry::OpenKey(RegKey parent, const std::string& sub, RegAccess access,
                             RegKey& result)
{
    REGSAM rights = RegistryRights(access, access == RegAccess::Read64 && UnderWow64());
    HKEY key = nullptr;
    LONG rc = RegOpenKeyExA(H(parent), sub.c_str(), 0, rights, &key);
    result = rc == ERROR_SUCCESS ? reinterpret_cast<RegKey>(key) : 0;
    return rc;
}

long TWin32Registry::QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                                    std::uint32_t& size)
{
    DWORD rawType = 0, rawSize = 0;
    LONG rc = RegQueryValueExA(H(key), name.c_str(), nullptr, &rawType, nullptr, &rawSize);
    type = TypeOf(rawType);
    size = rawSize;
    return rc;
}

long TWin32Registry::QueryValueData(RegKey key, const std::string& name, RegType& type,
                                    std::string& data, std::uint32_t size)
{
    std::vector<BYTE> buffer(size + 1, 0);
    DWORD rawType = 0, rawSize = size;
    LONG rc = RegQueryValueExA(H(key), name.c_str(), nullptr, &rawType, buffer.data(), &rawSize);
    type = TypeOf(rawType);
    data.assign(reinterpret_cast<const char*>(buffer.data()), rc == ERROR_SUCCESS ? rawSize : 0);
    return rc;
}

long TWin32Registry::SetStringValue(RegKey key, const std::string& name,
                                    const std::string& text)
{
    return RegSetValueExA(H(key), name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

long TWin32Registry::SetDWordValue(RegKey key, const std::string& name, std::uint32_t value)
{
    DWORD data = value;
    return RegSetValueExA(H(key), name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data);
}

void TWin32Registry::CloseKey(RegKey key) { RegCloseKey(H(key)); }
