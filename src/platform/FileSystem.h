// Files and directories, as the program uses them.
#pragma once
#include <string>

class IFileSystem {
public:
    virtual ~IFileSystem() = default;
    virtual bool FileExists(const std::string& path) = 0;
    // True only when the attributes can be read and carry the directory bit.
    virtual bool DirectoryExists(const std::string& path) = 0;
    virtual bool MakeDirectory(const std::string& path) = 0;
    // CopyFileA; failIfExists keeps an existing destination. Returns 0 on
    // success, else the system's error code.
    virtual unsigned long Copy(const std::string& source, const std::string& dest,
                                   bool failIfExists) = 0;
    virtual std::string WindowsDirectory() = 0;
    // Reads the whole file as bytes; false when it cannot be opened.
    virtual bool ReadWholeFile(const std::string& path, std::string& content) = 0;
    virtual std::string CurrentDirectory() = 0;
    virtual bool ChangeDirectory(const std::string& path) = 0;
};
