// An in-memory disk of Windows paths, shared by the file-system and
// profile doubles. Names are matched without regard to case and kept as
// they were first written, as Windows keeps them.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>

class TFakeDisk {
public:
    struct File {
        std::string Content;
        bool ReadOnly = false;
        bool Locked = false;  // held open by another program without sharing
        // A program that runs: deleting it is refused, renaming it is not.
        bool Running = false;
        // The last part of its name as it was made; writing over the file
        // keeps it.
        std::string Name;
        // When it was last written: each write on the disk a tick later.
        std::uint64_t WriteTime = 0;
    };

    // Drive roots ("C:\") always exist.
    bool DirExists(const std::string& path) const;
    void MakeDir(const std::string& path);
    // Makes the directory and all its parents.
    void MakeDirs(const std::string& path);
    bool FileExists(const std::string& path) const;
    // Writes a file, making its directories.
    void Put(const std::string& path, const std::string& content, bool readOnly = false);
    const File* Find(const std::string& path) const;
    File* Find(const std::string& path);
    // Writes a file only when its directory exists and it is not read-only.
    bool Write(const std::string& path, const std::string& content);
    std::string Get(const std::string& path) const;
    void Remove(const std::string& path) { files_.erase(Key(path)); }
    void RemoveDir(const std::string& path) { dirs_.erase(Key(path)); }
    // Every file, by key (its name as made is the File's Name).
    const std::map<std::string, File>& Files() const { return files_; }
    // Every directory made, by key, and the last part of its name as made.
    const std::set<std::string>& Dirs() const { return dirs_; }
    std::string Spelling(const std::string& dirKey) const;

    // "C:\a\b" of "C:\a\b\c"; "" when there is no directory part.
    static std::string DirOf(const std::string& path);
    // The last part of a path, as written.
    static std::string NameOf(const std::string& path);
    // The name the system would use: without case, with doubled
    // backslashes as one, without trailing backslashes or blanks.
    static std::string Key(std::string path);

private:
    std::map<std::string, File> files_;
    std::set<std::string> dirs_;
    std::map<std::string, std::string> spelling_;
    std::uint64_t clock_ = 0x01D0000000000000;
};
