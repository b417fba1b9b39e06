// The registry: the thin service over the Reg* functions and the accessor
// the program reads and writes keys through.
#pragma once
#include <cstdint>
#include <string>

enum class RegRoot { CurrentUser, LocalMachine };

// An open key of the service; 0 is no key.
using RegKey = std::uintptr_t;

enum class RegType { None, String, ExpandString, Binary, DWord, MultiString, Other };

// Rights a key is opened with. Read64 reads the 64-bit view where the
// system has one; CreateSubKey only the right to make keys below it.
enum class RegAccess { Full, Read, Read64, CreateSubKey };

// One call per Reg* function. Results are Win32 error codes (0 = success).
class IRegistryApi {
public:
    virtual ~IRegistryApi() = default;
    virtual RegKey Root(RegRoot root) = 0;
    // RegCreateKeyExA with full access: creates sub and its missing parents.
    virtual long CreateKey(RegKey parent, const std::string& sub, RegKey& result) = 0;
    // RegOpenKeyExA with the given rights.
    virtual long OpenKey(RegKey parent, const std::string& sub, RegAccess access,
                         RegKey& result) = 0;
    // RegQueryValueExA without a buffer: type and size in bytes.
    virtual long QueryValueInfo(RegKey key, const std::string& name, RegType& type,
                                std::uint32_t& size) = 0;
    // RegQueryValueExA into a buffer of size bytes.
    virtual long QueryValueData(RegKey key, const std::string& name, RegType& type,
                                std::string& data, std::uint32_t size) = 0;
    // RegSetValueExA with REG_SZ and the text's terminating NUL.
    virtual long SetStringValue(RegKey key, const std::string& name,
                                const std::string& text) = 0;
    // RegSetValueExA with REG_DWORD.
    virtual long SetDWordValue(RegKey key, const std::string& name, std::uint32_t value) = 0;
    virtual void CloseKey(RegKey key) = 0;
};

// A key of the service held open for one scope and closed at its end: the
// one guard every caller opens keys through.
class TOpenKey {
public:
    // Opens sub below parent with the given rights; Result() tells how.
    TOpenKey(IRegistryApi& api, RegKey parent, const std::string& sub, RegAccess access)
        : api_(api)
    {
        rc_ = api_.OpenKey(parent, sub, access, key_);
        if (rc_ != 0) key_ = 0;
    }
    // As above, below one of the roots.
    TOpenKey(IRegistryApi& api, RegRoot root, const std::string& sub, RegAccess access)
        : TOpenKey(api, api.Root(root), sub, access)
    {
    }
    // Takes over a key already open (0: none).
    TOpenKey(IRegistryApi& api, RegKey key) : api_(api), key_(key), rc_(0) {}
    ~TOpenKey()
    {
        if (key_ != 0) api_.CloseKey(key_);
    }
    TOpenKey(const TOpenKey&) = delete;
    TOpenKey& operator=(const TOpenKey&) = delete;
    long Result() const { return rc_; }
    RegKey Key() const { return key_; }

private:
    IRegistryApi& api_;
    RegKey key_ = 0;
    long rc_ = 0;
};

// A registry accessor: a root key (HKEY_CURRENT_USER at first) and at most
// one open key. A key path that starts with "\" is taken below the root
// (that one "\" dropped); any other below the open key, or the root when
// no key is open. Errors are raised as EError with the system's texts.
class TRegistry {
public:
    explicit TRegistry(IRegistryApi& api);
    // Opens (creating where needed) keyPath at once; failure is silent.
    TRegistry(IRegistryApi& api, const std::string& keyPath);
    ~TRegistry();
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;

    RegRoot Root() const { return root_; }
    bool HasOpenKey() const { return current_ != 0; }
    const std::string& CurrentPath() const { return currentPath_; }

    // Switching to another root closes the open key.
    void SetRoot(RegRoot root);
    // Opens keyPath, creating it and its parents when canCreate; an empty
    // path opens the base key itself. The new key replaces the open one.
    bool OpenKey(const std::string& keyPath, bool canCreate);
    // As OpenKey without creating, asking only for read access (in the
    // 64-bit view when wide).
    bool OpenKeyReadOnly(const std::string& keyPath, bool wide = false);
    void CloseKey();

    // Values of the open key. A missing or empty value reads as "".
    std::string ReadString(const std::string& name);
    bool ValueExists(const std::string& name);

    // Values under a key path taken by the path rule; the open key stays.
    void WriteString(const std::string& keyPath, const std::string& name,
                     const std::string& text);
    std::int32_t ReadInteger(const std::string& keyPath, const std::string& name,
                             std::int32_t def);
    void WriteInteger(const std::string& keyPath, const std::string& name,
                      std::int32_t value);
    // A REG_DWORD value, where WriteInteger writes text.
    void WriteDWord(const std::string& keyPath, const std::string& name, std::uint32_t value);
    // A REG_DWORD value of the open key; false when there is none of that type.
    bool ReadDWord(const std::string& name, std::uint32_t& value);

private:
    RegKey BaseKey(bool relative);
    RegKey GetKey(const std::string& keyPath);
    void CreateKey(const std::string& keyPath);
    void ChangeKey(RegKey key, const std::string& path);
    // A string value where text is given, else the REG_DWORD value.
    void WriteValue(const std::string& keyPath, const std::string& name, const std::string* text,
                    std::uint32_t value);
    bool Open(const std::string& keyPath, bool canCreate, RegAccess access);

    IRegistryApi& api_;
    RegRoot root_ = RegRoot::CurrentUser;
    RegKey current_ = 0;
    std::string currentPath_;
};
