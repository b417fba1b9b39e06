#include "engine/ListSeal.h"

#include "core/CharText.h"
#include "core/Sha256.h"
#include "core/SystemErrors.h"
#include "platform/Platform.h"

const char* const ListSealsKey = "SOFTWARE\\Brenvolt\\Skorvel\\Lists";

namespace {

// The value's name: the destination as the system matches names, without
// regard to case and without a trailing backslash.
std::string SealName(std::string destDir)
{
    return Sys().Locale->Lower(DropTrailing(destDir, "\\"));
}


// The digest of the list's lines: a line ends the same with CR LF or LF
// alone, as the list is read, so an editor or a checkout that changes
// only the line ends does not make the list a stranger.
std::string DigestOf(const std::string& text)
{
    std::string lines;
    lines.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
    return Sha256Hex(lines);
}

}  // namespace

long StoreListSeal(const std::string& destDir, const std::string& text)
{
    IRegistryApi& api = *Sys().Registry;
    RegKey made = 0;
    long rc = api.CreateKey(api.Root(RegRoot::LocalMachine), ListSealsKey, made);
    TOpenKey key(api, rc == 0 ? made : 0);
    return rc != 0 ? rc : api.SetStringValue(key.Key(), SealName(destDir), DigestOf(text));
}

TSealCheck CheckListSeal(const std::string& destDir, const std::string& text)
{
    IRegistryApi& api = *Sys().Registry;
    TOpenKey key(api, RegRoot::LocalMachine, ListSealsKey, RegAccess::Read);
    if (key.Result() != 0) return TSealCheck::Missing;
    std::string name = SealName(destDir), data;
    RegType type;
    std::uint32_t size = 0;
    if (api.QueryValueInfo(key.Key(), name, type, size) != 0 || type != RegType::String ||
        api.QueryValueData(key.Key(), name, type, data, size) != 0)
        return TSealCheck::Missing;
    std::string::size_type nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data == DigestOf(text) ? TSealCheck::Matches : TSealCheck::Differs;
}

long ForgetListSeal(const std::string& destDir)
{
    TOpenKey key(*Sys().Registry, RegRoot::LocalMachine, ListSealsKey, RegAccess::Full);
    long rc = key.Result();
    if (rc != 0) return rc == static_cast<long>(ErrorFileNotFound) ? 0 : rc;
    rc = Sys().Cleanup->DeleteValue(key.Key(), SealName(destDir));
    return rc == static_cast<long>(ErrorFileNotFound) ? 0 : rc;
}

bool MayChangeListSeals()
{
    TOpenKey key(*Sys().Registry, RegRoot::LocalMachine, ListSealsKey, RegAccess::Full);
    return key.Result() != static_cast<long>(ErrorAccessDenied);
}
