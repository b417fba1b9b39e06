#include "platform/doubles/FakeRegistry.h"

#include <vector>

#include "core/CharText.h"
#include "core/Text.h"

namespace {

const long ErrorFileNotFound = 2;
const long ErrorAccessDenied = 5;
const long ErrorInvalidHandle = 6;
const long ErrorInvalidParameter = 87;
const long ErrorBadPathname = 161;
const std::size_t MaxKeyNameLength = 255;
const long ErrorMoreData = 234;

const RegKey CurrentUserHandle = 0x80000001;
const RegKey LocalMachineHandle = 0x80000002;

std::vector<std::string> Segments(const std::string& path)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0, end; at < path.size(); at = end + 1) {
        end = FindCharOf(path, "\\", at);
        if (end == std::string::npos) end = path.size();
        if (end > at) parts.push_back(path.substr(at, end - at));
    }
    return parts;
}

}  // namespace

struct TFakeRegistry::Node {
    struct Value {
        std::string Name;
        RegType Type = RegType::String;
        std::string Data;  // raw bytes; strings with their NUL
    };
    std::map<std::string, Value> Values;
    std::map<std::string, std::unique_ptr<Node>> Keys;
    bool ReadOnly = false;
};

TFakeRegistry::TFakeRegistry()
    : currentUser_(std::make_unique<Node>()), localMachine_(std::make_unique<Node>())
{
}

TFakeRegistry::~TFakeRegistry() = default;

RegKey TFakeRegistry::Root(RegRoot root)
{
    return root == RegRoot::LocalMachine ? LocalMachineHandle : CurrentUserHandle;
}

TFakeRegistry::Node* TFakeRegistry::NodeOf(RegKey key)
{
    if (key == CurrentUserHandle) return currentUser_.get();
    if (key == LocalMachineHandle) return localMachine_.get();
    auto it = handles_.find(key);
    return it == handles_.end() ? nullptr : it->second;
}

RegKey TFakeRegistry::NewHandle(Node* node)
{
    RegKey handle = nextHandle_;
    nextHandle_ += 4;
    handles_[handle] = node;
    return handle;
}

TFakeRegistry::Node* TFakeRegistry::Walk(Node* node, const std::string& sub, bool create,
                                         long& rc, bool forWrite)
{
    rc = 0;
    if (!sub.empty() && sub[0] == '\\') {
        rc = ErrorBadPathname;
        return nullptr;
    }
    for (const std::string& part : Segments(sub)) {
        if (part.size() > MaxKeyNameLength) {
            rc = ErrorInvalidParameter;
            return nullptr;
        }
        auto it = node->Keys.find(AsciiUpper(part));
        if (it == node->Keys.end()) {
            if (!create) {
                rc = ErrorFileNotFound;
                return nullptr;
            }
            if (node->ReadOnly) {
                rc = ErrorAccessDenied;
                return nullptr;
            }
            auto child = std::make_unique<Node>();
            child->ReadOnly = node->ReadOnly;
            it = node->Keys.emplace(AsciiUpper(part), std::move(child)).first;
        }
        node = it->second.get();
    }
    if (forWrite && node->ReadOnly) {
        rc = ErrorAccessDenied;
        return nullptr;
    }
    return node;
}

long TFakeRegistry::CreateKey(RegKey parent, const std::string& sub, RegKey& result)
{
    result = 0;
    Node* from = NodeOf(parent);
    if (from == nullptr) return ErrorInvalidHandle;
    long rc;
    Node* node = Walk(from, sub, true, rc, true);
    if (node == nullptr) return rc;
    result = NewHandle(node);
    return 0;
}

long TFakeRegistry::OpenKey(RegKey parent, const std::string& sub, RegAccess access,
                            RegKey& result)
{
    result = 0;
    Node* from = NodeOf(parent);
    if (from == nullptr) return ErrorInvalidHandle;
    long rc;
    Node* node = Walk(from, sub, false, rc,
                      access == RegAccess::Full || access == RegAccess::CreateSubKey);
    if (node == nullptr) return rc;
    result = NewHandle(node);
    return 0;
}

long TFakeRegistry::QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                                   std::uint32_t& size)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    auto it = node->Values.find(AsciiUpper(name));
    if (it == node->Values.end()) return ErrorFileNotFound;
    type = it->second.Type;
    size = static_cast<std::uint32_t>(it->second.Data.size());
    return 0;
}

long TFakeRegistry::QueryValueData(RegKey key, const std::string& name, RegType& type,
                                   std::string& data, std::uint32_t size)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    auto it = node->Values.find(AsciiUpper(name));
    if (it == node->Values.end()) return ErrorFileNotFound;
    if (!failDataRead_.empty() && AsciiUpper(failDataRead_) == AsciiUpper(name))
        return ErrorAccessDenied;
    type = it->second.Type;
    if (it->second.Data.size() > size) return ErrorMoreData;
    data = it->second.Data;
    return 0;
}

long TFakeRegistry::SetStringValue(RegKey key, const std::string& name, const std::string& text)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    if (node->ReadOnly) return ErrorAccessDenied;
    Node::Value& value = node->Values[AsciiUpper(name)];
    value.Name = name;
    value.Type = RegType::String;
    value.Data = text + '\0';
    return 0;
}

long TFakeRegistry::SetDWordValue(RegKey key, const std::string& name, std::uint32_t v)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    if (node->ReadOnly) return ErrorAccessDenied;
    Node::Value& value = node->Values[AsciiUpper(name)];
    value.Name = name;
    value.Type = RegType::DWord;
    value.Data.clear();
    for (int i = 0; i < 4; ++i) value.Data += static_cast<char>((v >> (8 * i)) & 0xFF);
    return 0;
}

void TFakeRegistry::CloseKey(RegKey key) { handles_.erase(key); }

long TFakeRegistry::DeleteValue(RegKey key, const std::string& name)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    if (node->ReadOnly) return ErrorAccessDenied;
    return node->Values.erase(AsciiUpper(name)) != 0 ? 0 : ErrorFileNotFound;
}

long TFakeRegistry::DeleteSubKey(RegKey parent, const std::string& sub)
{
    Node* node = NodeOf(parent);
    if (node == nullptr) return ErrorInvalidHandle;
    std::vector<std::string> parts = Segments(sub);
    if (parts.empty()) return ErrorBadPathname;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        auto it = node->Keys.find(AsciiUpper(parts[i]));
        if (it == node->Keys.end()) return ErrorFileNotFound;
        node = it->second.get();
    }
    auto it = node->Keys.find(AsciiUpper(parts.back()));
    if (it == node->Keys.end()) return ErrorFileNotFound;
    if (!it->second->Keys.empty() || it->second->ReadOnly) return ErrorAccessDenied;
    node->Keys.erase(it);
    return 0;
}

long TFakeRegistry::CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values)
{
    Node* node = NodeOf(key);
    if (node == nullptr) return ErrorInvalidHandle;
    subkeys = static_cast<std::uint32_t>(node->Keys.size());
    values = static_cast<std::uint32_t>(node->Values.size());
    return 0;
}

void TFakeRegistry::SetValue(RegRoot root, const std::string& path, const std::string& name,
                             RegType type, const std::string& data)
{
    long rc;
    Node* node = Walk(NodeOf(Root(root)), path, true, rc, false);
    Node::Value& value = node->Values[AsciiUpper(name)];
    value.Name = name;
    value.Type = type;
    value.Data = data;
}

void TFakeRegistry::SetString(RegRoot root, const std::string& path, const std::string& name,
                              const std::string& text)
{
    SetValue(root, path, name, RegType::String, text + '\0');
}

void TFakeRegistry::SetDWord(RegRoot root, const std::string& path, const std::string& name,
                             std::uint32_t v)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
    SetValue(root, path, name, RegType::DWord, bytes);
}

const TFakeRegistry::Node* TFakeRegistry::Find(RegRoot root, const std::string& path) const
{
    const Node* node = root == RegRoot::LocalMachine ? localMachine_.get() : currentUser_.get();
    for (const std::string& part : Segments(path)) {
        auto it = node->Keys.find(AsciiUpper(part));
        if (it == node->Keys.end()) return nullptr;
        node = it->second.get();
    }
    return node;
}

bool TFakeRegistry::KeyExists(RegRoot root, const std::string& path) const
{
    return Find(root, path) != nullptr;
}

bool TFakeRegistry::GetString(RegRoot root, const std::string& path, const std::string& name,
                              std::string& text) const
{
    const Node* node = Find(root, path);
    if (node == nullptr) return false;
    auto it = node->Values.find(AsciiUpper(name));
    if (it == node->Values.end()) return false;
    text = it->second.Data;
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return true;
}

bool TFakeRegistry::GetDWord(RegRoot root, const std::string& path, const std::string& name,
                             std::uint32_t& value) const
{
    const Node* node = Find(root, path);
    if (node == nullptr) return false;
    auto it = node->Values.find(AsciiUpper(name));
    if (it == node->Values.end() || it->second.Type != RegType::DWord || it->second.Data.size() != 4)
        return false;
    value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(it->second.Data[i]);
    return true;
}

std::size_t TFakeRegistry::ValueCount(RegRoot root, const std::string& path) const
{
    const Node* node = Find(root, path);
    return node == nullptr ? 0 : node->Values.size();
}

void TFakeRegistry::DenyWrite(RegRoot root, const std::string& path)
{
    long rc;
    Node* node = Walk(NodeOf(Root(root)), path, true, rc, false);
    node->ReadOnly = true;
}

void TFakeRegistry::DeleteKey(RegRoot root, const std::string& path)
{
    std::vector<std::string> parts = Segments(path);
    if (parts.empty()) return;
    std::string last = AsciiUpper(parts.back());
    parts.pop_back();
    std::string parent;
    for (const std::string& part : parts) parent += part + "\\";
    Node* node = const_cast<Node*>(Find(root, parent));
    if (node != nullptr) node->Keys.erase(last);
}
