// What the shared platform test groups need from the place they run: the
// doubles natively, the real API under Wine. The same cases run on both,
// so the doubles cannot drift from the real thing.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Cleanup.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Registry.h"

class TTestEnv {
public:
    virtual ~TTestEnv() = default;
    virtual bool IsReal() const = 0;

    virtual IProfileFiles& Profiles() = 0;
    virtual IFileSystem& Files() = 0;
    virtual ICleanup& Cleanup() = 0;
    // A path for a scratch file in an existing directory.
    virtual std::string ScratchFile(const std::string& name) = 0;
    // A path in a directory that does not exist.
    virtual std::string MissingDirFile() = 0;
    virtual void PutFile(const std::string& path, const std::string& bytes) = 0;
    virtual std::string GetFile(const std::string& path) = 0;
    virtual void RemoveFile(const std::string& path) = 0;
    // Holds the file open without sharing, as another program may, until
    // Unlock.
    virtual void Lock(const std::string& path) = 0;
    virtual void Unlock(const std::string& path) = 0;

    virtual IRegistryApi& Registry() = 0;
    // Direct set-up and inspection; paths without a leading "\".
    virtual void SetDWord(RegRoot root, const std::string& path, const std::string& name,
                          std::uint32_t value) = 0;
    virtual void SetExpandString(RegRoot root, const std::string& path, const std::string& name,
                                 const std::string& text) = 0;
    virtual void SetString(RegRoot root, const std::string& path, const std::string& name,
                           const std::string& text) = 0;
    virtual bool GetString(RegRoot root, const std::string& path, const std::string& name,
                           std::string& text) = 0;
    virtual bool KeyExists(RegRoot root, const std::string& path) = 0;
    virtual void DeleteTree(RegRoot root, const std::string& path) = 0;
};

TTestEnv& TestEnv();
