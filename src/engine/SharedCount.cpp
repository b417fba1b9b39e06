#include "SharedCount.h"

#include "core/Text.h"
#include "platform/Platform.h"

const char* const SharedDllsKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";

namespace {

// The count as a number: REG_DWORD as Windows keeps it, or the digits some
// installers write as text.
std::int32_t CountIn(IRegistryApi& api, RegKey key, const std::string& path)
{
    RegType type;
    std::uint32_t size = 0;
    std::string data;
    if (api.QueryValueInfo(key, path, type, size) != 0 || size == 0 ||
        api.QueryValueData(key, path, type, data, size) != 0)
        return -1;
    if (type == RegType::DWord && data.size() >= 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = n << 8 | static_cast<unsigned char>(data[i]);
        return n > 0x7fffffff ? 0x7fffffff : static_cast<std::int32_t>(n);
    }
    if (type == RegType::String) return ReadIntegerText(data.substr(0, data.find('\0')), -1);
    return -1;
}

}  // namespace

std::int32_t MachineCount(const std::string& path)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    if (api.OpenKey(api.Root(RegRoot::LocalMachine), SharedDllsKey, RegAccess::Read, key) != 0) return -1;
    std::int32_t count = CountIn(api, key, path);
    api.CloseKey(key);
    return count;
}

long RaiseMachineCount(const std::string& path, bool wasThere)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    long rc = api.CreateKey(api.Root(RegRoot::LocalMachine), SharedDllsKey, key);
    if (rc != 0) return rc;
    std::int32_t count = CountIn(api, key, path);
    if (count < 0) count = wasThere ? 1 : 0;
    rc = api.SetDWordValue(key, path, static_cast<std::uint32_t>(count) + 1);
    api.CloseKey(key);
    return rc;
}

long LowerMachineCount(const std::string& path)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    long rc = api.OpenKey(api.Root(RegRoot::LocalMachine), SharedDllsKey, RegAccess::Full, key);
    if (rc != 0) return rc;
    std::int32_t count = CountIn(api, key, path);
    if (count > 1)
        rc = api.SetDWordValue(key, path, static_cast<std::uint32_t>(count - 1));
    else if (count >= 0)
        rc = Sys().Cleanup->DeleteValue(key, path);
    api.CloseKey(key);
    return rc;
}
