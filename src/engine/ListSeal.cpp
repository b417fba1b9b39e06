#include "ListSeal.h"

#include "core/Sha256.h"
#include "platform/Platform.h"

const char* const ListSealsKey = "SOFTWARE\\Brenvolt\\Skorvel\\Lists";

namespace {

const long ErrorNotFound = 2;
const long ErrorAccessDenied = 5;

// The value's name: the destination as the system matches names, without
// regard to case and without a trailing backslash.
std::string SealName(std::string destDir)
{
    while (!destDir.empty() && destDir.back() == '\\') destDir.pop_back();
    return Sys().Locale->Lower(destDir);
}

class TKeyCloser {
public:
    TKeyCloser(IRegistryApi& api, RegKey key) : api_(api), key_(key) {}
    ~TKeyCloser()
    {
        if (key_ != 0) api_.CloseKey(key_);
    }
    TKeyCloser(const TKeyCloser&) = delete;
    TKeyCloser& operator=(const TKeyCloser&) = delete;

private:
    IRegistryApi& api_;
    RegKey key_;
};

}  // namespace

long StoreListSeal(const std::string& destDir, const std::string& text)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    long rc = api.CreateKey(api.Root(RegRoot::LocalMachine), ListSealsKey, key);
    TKeyCloser closer(api, rc == 0 ? key : 0);
    return rc != 0 ? rc : api.SetStringValue(key, SealName(destDir), Sha256Hex(text));
}

TSealCheck CheckListSeal(const std::string& destDir, const std::string& text)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    if (api.OpenKey(api.Root(RegRoot::LocalMachine), ListSealsKey, RegAccess::Read, key) != 0)
        return TSealCheck::Missing;
    TKeyCloser closer(api, key);
    std::string name = SealName(destDir), data;
    RegType type;
    std::uint32_t size = 0;
    if (api.QueryValueInfo(key, name, type, size) != 0 || type != RegType::String ||
        api.QueryValueData(key, name, type, data, size) != 0)
        return TSealCheck::Missing;
    std::string::size_type nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data == Sha256Hex(text) ? TSealCheck::Matches : TSealCheck::Differs;
}

long ForgetListSeal(const std::string& destDir)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    long rc = api.OpenKey(api.Root(RegRoot::LocalMachine), ListSealsKey, RegAccess::Full, key);
    if (rc != 0) return rc == ErrorNotFound ? 0 : rc;
    TKeyCloser closer(api, key);
    rc = Sys().Cleanup->DeleteValue(key, SealName(destDir));
    return rc == ErrorNotFound ? 0 : rc;
}

bool MayChangeListSeals()
{
    IRegistryApi& api = *Sys().Registry;
    RegKey key = 0;
    long rc = api.OpenKey(api.Root(RegRoot::LocalMachine), ListSealsKey, RegAccess::Full, key);
    TKeyCloser closer(api, rc == 0 ? key : 0);
    return rc != ErrorAccessDenied;
}
