// Private-profile (INI) files: the thin service and the accessor the
// program reads its description and writes its uninstall record through.
#pragma once
#include <string>

#include "core/Text.h"

// The system's profile functions, one call each. Implemented over
// GetPrivateProfileStringA/WritePrivateProfileStringA, and by a double.
class IProfileFiles {
public:
    virtual ~IProfileFiles() = default;
    // The key names of a section exactly as the system hands them over:
    // each name followed by one NUL, the list by one more, cut to fit a
    // buffer of size bytes the way GetPrivateProfileStringA cuts it.
    virtual std::string KeyNameBuffer(const std::string& path, const std::string& section,
                                      std::size_t size) = 0;
    // The value of a key, or def; at most size - 1 characters.
    virtual std::string ReadValue(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& def,
                                  std::size_t size) = 0;
    virtual bool WriteValue(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value) = 0;
    // The whole section as GetPrivateProfileSectionA hands it over: each
    // line ("name=value", or a line without "=" as it stands; comments left
    // out) followed by one NUL, the list by one more.
    virtual std::string SectionBuffer(const std::string& path, const std::string& section) = 0;
    // 0 when the file can be read or is not there at all; otherwise the
    // system's error (32 while another program holds it without sharing).
    // Reads of a file that cannot be opened give the defaults, and nothing
    // else tells them from a file that holds no such entries.
    virtual unsigned long ReadError(const std::string& path) = 0;
};

// Splits a key-name buffer into names, an empty one included.
TStrings SplitNameBuffer(const std::string& buffer);
// The key names of a section buffer, an empty one included, as a key
// listing into a buffer of size bytes would give them.
TStrings NamesOfSectionBuffer(const std::string& buffer, std::size_t size);

// A profile file named by path. Opening touches no file; every operation
// finds the file by its path again.
class TProfile {
public:
    static constexpr std::size_t NameBufferSize = 8192;
    static constexpr std::size_t ValueBufferSize = 1024;

    TProfile(IProfileFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    void ReadSection(const std::string& section, TStrings& names) const;
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // ReadString for each of names, in one read of the section where its
    // lines leave no doubt of what ReadString would give.
    void ReadValues(const std::string& section, const TStrings& names, const std::string& def,
                    TStrings& values) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key,
                             std::int32_t def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;
    // Raises "Unable to write to %s" when the system refuses the write.
    void WriteString(const std::string& section, const std::string& key,
                     const std::string& value) const;

private:
    IProfileFiles& files_;
    std::string path_;
};
