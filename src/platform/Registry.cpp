#include "platform/Registry.h"

#include "core/Error.h"
#include "core/Text.h"

namespace {

bool IsRelative(const std::string& path) { return path.empty() || path[0] != '\\'; }

std::string WithoutLeadingSlash(const std::string& path)
{
    return IsRelative(path) ? path : path.substr(1);
}

}  // namespace

TRegistry::TRegistry(IRegistryApi& api) : api_(api) {}

TRegistry::TRegistry(IRegistryApi& api, const std::string& keyPath) : api_(api)
{
    OpenKey(keyPath, true);
}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRoot(RegRoot root)
{
    if (root == root_) return;
    root_ = root;
    CloseKey();
}

RegKey TRegistry::BaseKey(bool relative)
{
    return (current_ == 0 || !relative) ? api_.Root(root_) : current_;
}

void TRegistry::ChangeKey(RegKey key, const std::string& path)
{
    CloseKey();
    current_ = key;
    currentPath_ = path;
}

void TRegistry::CloseKey()
{
    if (current_ != 0) api_.CloseKey(current_);
    current_ = 0;
    currentPath_.clear();
}

bool TRegistry::Open(const std::string& keyPath, bool canCreate, RegAccess access)
{
    bool relative = IsRelative(keyPath);
    std::string sub = WithoutLeadingSlash(keyPath);
    RegKey key = 0;
    long rc = (!canCreate || sub.empty()) ? api_.OpenKey(BaseKey(relative), sub, access, key)
                                          : api_.CreateKey(BaseKey(relative), sub, key);
    if (rc != 0) return false;
    if (current_ != 0 && relative) sub = currentPath_ + "\\" + sub;
    ChangeKey(key, sub);
    return true;
}

bool TRegistry::OpenKey(const std::string& keyPath, bool canCreate)
{
    return Open(keyPath, canCreate, RegAccess::Full);
}

bool TRegistry::OpenKeyReadOnly(const std::string& keyPath, bool wide)
{
    // Systems without a 64-bit view may refuse the flag: then ask without.
    if (wide && Open(keyPath, false, RegAccess::Read64)) return true;
    return Open(keyPath, false, RegAccess::Read);
}

bool TRegistry::ValueExists(const std::string& name)
{
    RegType type;
    std::uint32_t size;
    return current_ != 0 && api_.QueryValueInfo(current_, name, type, size) == 0;
}

std::string TRegistry::ReadString(const std::string& name)
{
    RegType type;
    std::uint32_t size = 0;
    if (current_ == 0 || api_.QueryValueInfo(current_, name, type, size) != 0 || size == 0)
        return "";
    std::string data;
    if (api_.QueryValueData(current_, name, type, data, size) != 0)
        throw EError(FormatMessage1("Failed to get data for '%s'", name));
    if (type != RegType::String && type != RegType::ExpandString)
        throw EError(FormatMessage1("Invalid data type for '%s'", name));
    std::string::size_type nul = data.find('\0');
    if (nul != std::string::npos) data.resize(nul);
    return data;
}

RegKey TRegistry::GetKey(const std::string& keyPath)
{
    bool relative = IsRelative(keyPath);
    RegKey key = 0;
    if (api_.OpenKey(BaseKey(relative), WithoutLeadingSlash(keyPath), RegAccess::Full, key) != 0) return 0;
    return key;
}

void TRegistry::CreateKey(const std::string& keyPath)
{
    bool relative = IsRelative(keyPath);
    RegKey key = 0;
    if (api_.CreateKey(BaseKey(relative), WithoutLeadingSlash(keyPath), key) != 0)
        throw EError(FormatMessage1("Failed to create key %s", keyPath));
    api_.CloseKey(key);
}

void TRegistry::WriteValue(const std::string& keyPath, const std::string& name, const std::string* text,
                           std::uint32_t value)
{
    CreateKey(keyPath);
    RegKey key = GetKey(keyPath);
    if (key == 0) return;
    TOpenKey closer(api_, key);
    long rc = text != nullptr ? api_.SetStringValue(key, name, *text) : api_.SetDWordValue(key, name, value);
    if (rc != 0) throw EError(FormatMessage1("Failed to set data for '%s'", name));
}

void TRegistry::WriteString(const std::string& keyPath, const std::string& name,
                            const std::string& text)
{
    WriteValue(keyPath, name, &text, 0);
}

void TRegistry::WriteDWord(const std::string& keyPath, const std::string& name, std::uint32_t value)
{
    WriteValue(keyPath, name, nullptr, value);
}

bool TRegistry::ReadDWord(const std::string& name, std::uint32_t& value)
{
    RegType type;
    std::uint32_t size = 0;
    std::string data;
    if (current_ == 0 || api_.QueryValueInfo(current_, name, type, size) != 0 ||
        type != RegType::DWord || size != 4 || api_.QueryValueData(current_, name, type, data, 4) != 0 ||
        data.size() != 4)
        return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data[i]);
    return true;
}

std::int32_t TRegistry::ReadInteger(const std::string& keyPath, const std::string& name,
                                    std::int32_t def)
{
    RegKey key = GetKey(keyPath);
    if (key == 0) return def;
    TOpenKey closer(api_, key);
    // Read through the open-key operations, then put the caller's key back.
    RegKey saved = current_;
    current_ = key;
    struct Restore {
        RegKey& slot;
        RegKey value;
        ~Restore() { slot = value; }
    } restore{current_, saved};
    if (!ValueExists(name)) return def;
    return ReadIntegerText(ReadString(name), def);
}

void TRegistry::WriteInteger(const std::string& keyPath, const std::string& name,
                             std::int32_t value)
{
    WriteString(keyPath, name, IntToStr(value));
}
