// Files and directories, as the program uses them.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// A file's size in bytes and when it was last written, as the system's
// FILETIME (100 ns since 1601, UTC); both 0 when they cannot be read.
struct TFileFacts {
    std::uint64_t Size = 0;
    std::uint64_t LastWrite = 0;
};

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
    // Both in one look at the file: a copy's size and time are read once.
    virtual TFileFacts FileFacts(const std::string& path) = 0;
    // Whether two paths name one file once the system has normalised them
    // (case, "." and "..", doubled separators, blanks at the end).
    virtual bool SameFile(const std::string& a, const std::string& b) = 0;
    // The system's own words for an error code; empty when it has none.
    virtual std::string ErrorText(unsigned long error) = 0;
    virtual std::string WindowsDirectory() = 0;
    // Reads the whole file as bytes; false when it cannot be opened.
    virtual bool ReadWholeFile(const std::string& path, std::string& content) = 0;
    virtual std::string CurrentDirectory() = 0;
    // A path named relative to the current directory (or its drive's),
    // made whole as the system makes it; "" stays "", and so does a path
    // the system cannot make whole.
    virtual std::string FullPath(const std::string& path) = 0;
    // Makes path the process's current directory; 0 or the system's error.
    virtual unsigned long ChangeDirectory(const std::string& path) = 0;
    // Writes text at the end of the file, making the file where it is
    // missing; 0 or the system's error.
    virtual unsigned long AppendText(const std::string& path, const std::string& text) = 0;
    // The user's folder for temporary files, with its trailing backslash.
    virtual std::string TempDirectory() = 0;

    // Writes content as the whole file, replacing one that is there; 0 or
    // the system's error.
    virtual unsigned long WriteWholeFile(const std::string& path, const std::string& content) = 0;
};
