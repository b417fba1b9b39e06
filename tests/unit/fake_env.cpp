// The shared platform test groups run natively against the doubles.
#include "TestEnv.h"
#include "platform/doubles/FakePlatform.h"

namespace {

class TFakeEnv : public TTestEnv {
public:
    bool IsReal() const override { return false; }
    IProfileFiles& Profiles() override { return profiles_; }
    IFileSystem& Files() override { return files_; }
    ICleanup& Cleanup() override { return cleanup_; }
    std::string ScratchFile(const std::string& name) override { return "C:\\SCRATCH\\" + name; }
    std::string MissingDirFile() override { return "C:\\NO\\SUCH\\DIR\\record.upi"; }
    void PutFile(const std::string& path, const std::string& bytes) override
    {
        disk_.Put(path, bytes);
    }
    std::string GetFile(const std::string& path) override { return disk_.Get(path); }
    void RemoveFile(const std::string& path) override { disk_.Remove(path); }
    void Lock(const std::string& path) override { disk_.Find(path)->Locked = true; }
    void Unlock(const std::string& path) override { disk_.Find(path)->Locked = false; }

    IRegistryApi& Registry() override { return registry_; }
    void SetDWord(RegRoot root, const std::string& path, const std::string& name,
                  std::uint32_t value) override
    {
        registry_.SetDWord(root, path, name, value);
    }
    void SetExpandString(RegRoot root, const std::string& path, const std::string& name,
                         const std::string& text) override
    {
        registry_.SetValue(root, path, name, RegType::ExpandString, text + '\0');
    }
    void SetString(RegRoot root, const std::string& path, const std::string& name,
                   const std::string& text) override
    {
        registry_.SetString(root, path, name, text);
    }
    bool GetString(RegRoot root, const std::string& path, const std::string& name,
                   std::string& text) override
    {
        return registry_.GetString(root, path, name, text);
    }
    bool KeyExists(RegRoot root, const std::string& path) override
    {
        return registry_.KeyExists(root, path);
    }
    void DeleteTree(RegRoot root, const std::string& path) override { registry_.DeleteKey(root, path); }

private:
    TFakeDisk disk_ = ScratchDisk();
    static TFakeDisk ScratchDisk()
    {
        TFakeDisk disk;
        disk.MakeDirs("C:\\SCRATCH");
        return disk;
    }
    TFakeProfileFiles profiles_{disk_};
    TFakeFileSystem files_{disk_};
    TFakeRegistry registry_;
    TFakeCleanup cleanup_{disk_, registry_};
};

}  // namespace

TTestEnv& TestEnv()
{
    static TFakeEnv env;
    return env;
}
