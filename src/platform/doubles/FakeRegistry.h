// An in-memory registry behind the Reg* service, with the system's error
// codes, and switches to refuse access the way a standard user is refused.
#pragma once
#include <map>
#include <memory>
#include <string>

#include "platform/Registry.h"

class TFakeRegistry : public IRegistryApi {
public:
    TFakeRegistry();
    ~TFakeRegistry() override;

    RegKey Root(RegRoot root) override;
    long CreateKey(RegKey parent, const std::string& sub, RegKey& result) override;
    long OpenKey(RegKey parent, const std::string& sub, RegAccess access, RegKey& result) override;
    long QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                        std::uint32_t& size) override;
    long QueryValueData(RegKey key, const std::string& name, RegType& type, std::string& data,
                        std::uint32_t size) override;
    long SetStringValue(RegKey key, const std::string& name, const std::string& text) override;
    long SetDWordValue(RegKey key, const std::string& name, std::uint32_t value) override;
    void CloseKey(RegKey key) override;
    // The removals of ICleanup on this registry (TFakeCleanup). A key with
    // subkeys is refused, as Windows NT refuses it.
    long DeleteValue(RegKey key, const std::string& name);
    long DeleteSubKey(RegKey parent, const std::string& sub);
    long CountContents(RegKey key, std::uint32_t& subkeys, std::uint32_t& values);

    // Set-up and inspection for tests; paths are relative to the root, no
    // leading "\".
    void SetValue(RegRoot root, const std::string& path, const std::string& name, RegType type,
                  const std::string& data);
    void SetString(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& text);
    void SetDWord(RegRoot root, const std::string& path, const std::string& name,
                  std::uint32_t value);
    bool KeyExists(RegRoot root, const std::string& path) const;
    bool GetString(RegRoot root, const std::string& path, const std::string& name,
                   std::string& text) const;
    // False when the value is missing or no REG_DWORD.
    bool GetDWord(RegRoot root, const std::string& path, const std::string& name,
                  std::uint32_t& value) const;
    // Removes a key with everything below it.
    void DeleteKey(RegRoot root, const std::string& path);
    std::size_t ValueCount(RegRoot root, const std::string& path) const;
    // Keys below path (path included) may be read but not created, opened
    // for writing or written.
    void DenyWrite(RegRoot root, const std::string& path);
    // Reading the data of this value fails after its size was read.
    void FailDataRead(const std::string& name) { failDataRead_ = name; }
    // Keys opened and not yet closed.
    std::size_t OpenHandles() const { return handles_.size(); }

    struct Node;

private:
    Node* Walk(Node* from, const std::string& sub, bool create, long& rc, bool forWrite);
    Node* NodeOf(RegKey key);
    const Node* Find(RegRoot root, const std::string& path) const;
    RegKey NewHandle(Node* node);

    std::unique_ptr<Node> currentUser_, localMachine_;
    std::map<RegKey, Node*> handles_;
    RegKey nextHandle_ = 0x1000;
    std::string failDataRead_;
};
