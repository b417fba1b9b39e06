// The shared platform test groups run under Wine against the real profile
// functions and the real registry.
#include <windows.h>

#include "TestEnv.h"
#include "platform/win32/Win32Platform.h"

namespace {

HKEY RootOf(RegRoot root)
{
    return root == RegRoot::LocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

void SetRaw(RegRoot root, const std::string& path, const std::string& name, DWORD type,
            const void* data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(RootOf(root), path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

class TRealEnv : public TTestEnv {
public:
    TRealEnv()
    {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        dir_ = std::string(temp) + "pellwick-platform-tests";
        CreateDirectoryA(dir_.c_str(), nullptr);
    }
    bool IsReal() const override { return true; }
    IProfileFiles& Profiles() override { return profiles_; }
    IFileSystem& Files() override { return files_; }
    ICleanup& Cleanup() override { return cleanup_; }
    std::string ScratchFile(const std::string& name) override { return dir_ + "\\" + name; }
    std::string MissingDirFile() override { return dir_ + "\\no\\such\\dir\\record.upi"; }
    void PutFile(const std::string& path, const std::string& bytes) override
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string GetFile(const std::string& path) override
    {
        std::string content;
        files_.ReadWholeFile(path, content);
        return content;
    }
    void RemoveFile(const std::string& path) override { DeleteFileA(path.c_str()); }
    void Lock(const std::string& path) override
    {
        lock_ = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    void Unlock(const std::string&) override
    {
        if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
        lock_ = INVALID_HANDLE_VALUE;
    }

    IRegistryApi& Registry() override { return registry_; }
    void SetDWord(RegRoot root, const std::string& path, const std::string& name,
                  std::uint32_t value) override
    {
        DWORD v = value;
        SetRaw(root, path, name, REG_DWORD, &v, sizeof v);
    }
    void SetExpandString(RegRoot root, const std::string& path, const std::string& name,
                         const std::string& text) override
    {
        SetRaw(root, path, name, REG_EXPAND_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    void SetString(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& text) override
    {
        SetRaw(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    bool GetString(RegRoot root, const std::string& path, const std::string& name,
                   std::string& text) override
    {
        HKEY key;
        if (RegOpenKeyExA(RootOf(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        char buffer[2048] = {};
        DWORD size = sizeof buffer - 1, type = 0;
        LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                   reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return false;
        text = buffer;
        return true;
    }
    bool KeyExists(RegRoot root, const std::string& path) override
    {
        HKEY key;
        if (RegOpenKeyExA(RootOf(root), path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    void DeleteTree(RegRoot root, const std::string& path) override
    {
        RegDeleteTreeA(RootOf(root), path.c_str());
        RegDeleteKeyA(RootOf(root), path.c_str());
    }

private:
    std::string dir_;
    HANDLE lock_ = INVALID_HANDLE_VALUE;
    TWin32ProfileFiles profiles_;
    TWin32Registry registry_;
    TWin32FileSystem files_;
    TWin32Cleanup cleanup_;
};

}  // namespace

TTestEnv& TestEnv()
{
    static TRealEnv env;
    return env;
}
