// An installer folder read from the real disk, to be laid onto the disk
// double under the Windows path the installer would see it at.
#pragma once
#include <string>
#include <vector>

#include "platform/doubles/FakeDisk.h"

struct TFolderFile {
    std::string Name;     // relative to the folder, "\" between parts
    std::string Content;  // left empty past ContentLimit: only names matter then
};

class TInstallerFolder {
public:
    // Files larger than this are laid down empty; only the description,
    // the template and the notices are read, and those are small.
    static constexpr std::size_t ContentLimit = 4u << 20;

    // Reads every file below dir; raises EError when it cannot be read.
    // The folder's Windows path is its absolute path as Windows gives it,
    // or, on other systems, as Wine shows it (drive Z:).
    static TInstallerFolder Read(const std::string& dir);

    // A folder made in memory, for tests.
    TInstallerFolder(std::string sourceDir, std::vector<TFolderFile> files);

    // The folder's Windows path, with its trailing backslash.
    const std::string& SourceDir() const { return sourceDir_; }
    const std::vector<TFolderFile>& Files() const { return files_; }
    void PutOn(TFakeDisk& disk) const;

private:
    std::string sourceDir_;
    std::vector<TFolderFile> files_;
};

// The Windows form of an absolute path: "/" made "\", and on systems
// without drive letters the Z: drive that Wine maps the root to.
std::string WindowsPathOf(const std::string& absolutePath);
