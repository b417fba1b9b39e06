#include "engine/SharedCount.h"

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
    TOpenKey key(api, RegRoot::LocalMachine, SharedDllsKey, RegAccess::Read);
    return key.Result() != 0 ? -1 : CountIn(api, key.Key(), path);
}

long RaiseMachineCount(const std::string& path, bool wasThere)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey made = 0;
    long rc = api.CreateKey(api.Root(RegRoot::LocalMachine), SharedDllsKey, made);
    if (rc != 0) return rc;
    TOpenKey key(api, made);
    std::int32_t count = CountIn(api, made, path);
    if (count < 0) count = wasThere ? 1 : 0;
    return api.SetDWordValue(made, path, static_cast<std::uint32_t>(count) + 1);
}

long LowerMachineCount(const std::string& path)
{
    IRegistryApi& api = *Sys().Registry;
    TOpenKey key(api, RegRoot::LocalMachine, SharedDllsKey, RegAccess::Full);
    if (key.Result() != 0) return key.Result();
    std::int32_t count = CountIn(api, key.Key(), path);
    if (count > 1) return api.SetDWordValue(key.Key(), path, static_cast<std::uint32_t>(count - 1));
    return count >= 0 ? Sys().Cleanup->DeleteValue(key.Key(), path) : 0;
}
