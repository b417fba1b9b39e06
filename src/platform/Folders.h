// The drives and folders the destination's browser walks: the installer's
// alone, so that the uninstaller links none of it.
#pragma once
#include <string>
#include <vector>

enum class TDriveKind { Unknown, Removable, Fixed, Network, CDRom, RamDisk };

struct TDrive {
    char Letter;        // 'a'..'z'
    TDriveKind Kind;
    std::string Label;  // volume label or network name; empty for removable drives
};

class IFolders {
public:
    virtual ~IFolders() = default;
    // The drives present among a: to z:.
    virtual std::vector<TDrive> Drives() = 0;
    // The current directory the process keeps for a drive ("C:" if none).
    virtual std::string DriveDirectory(char letter) = 0;
    // Names of the subdirectories of path, hidden and system ones left
    // out, in no particular order.
    virtual std::vector<std::string> Subdirectories(const std::string& path) = 0;
};
