#include "platform/doubles/FakePlatform.h"

bool TFakeFileSystem::MakeDirectory(const std::string& path)
{
    std::string dir = TFakeDisk::DirOf(path);
    if (disk_.DirExists(path) || disk_.FileExists(path)) return false;
    if (!dir.empty() && !disk_.DirExists(dir)) return false;
    disk_.MakeDir(path);
    return true;
}

unsigned long TFakeFileSystem::Copy(const std::string& source, const std::string& dest,
                                        bool failIfExists)
{
    const TFakeDisk::File* from = disk_.Find(source);
    if (from == nullptr) return 2;  // ERROR_FILE_NOT_FOUND
    if (failIfExists && disk_.FileExists(dest)) return 80;  // ERROR_FILE_EXISTS
    std::string dir = TFakeDisk::DirOf(dest);
    if (!dir.empty() && !disk_.DirExists(dir)) return 3;  // ERROR_PATH_NOT_FOUND
    if (dest.size() >= 260 || source.size() >= 260) return 206;  // ERROR_FILENAME_EXCED_RANGE
    std::string content = from->Content;
    return disk_.Write(dest, content) ? 0 : 5;  // ERROR_ACCESS_DENIED
}

bool TFakeFileSystem::ReadWholeFile(const std::string& path, std::string& content)
{
    const TFakeDisk::File* file = disk_.Find(path);
    if (file == nullptr) return false;
    content = file->Content;
    return true;
}

bool TFakeFileSystem::ChangeDirectory(const std::string& path)
{
    if (!disk_.DirExists(path)) return false;
    Current = path;
    return true;
}

TFakePlatform::TFakePlatform() : saved_(Sys())
{
    TPlatform& p = Sys();
    p.Profiles = &Profiles;
    p.Registry = &Registry;
    p.Files = &Files;
    p.Clock = &Clock;
    p.Desktop = &Desktop;
}

TFakePlatform::~TFakePlatform() { Sys() = saved_; }
