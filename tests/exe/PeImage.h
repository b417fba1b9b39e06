// Just enough of the PE format to read what Windows reads from Pellwick.exe
// before it runs a line of it: the header's link time and the resources
// (the manifest above all). Native, for tests of the cross-built exe.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class TPeImage {
public:
    // Reads the file; Error() says what was wrong when it is not a PE image.
    explicit TPeImage(const std::string& path);
    const std::string& Error() const { return error_; }

    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }
    // The COFF header's TimeDateStamp.
    std::uint32_t LinkTime() const { return linkTime_; }
    // The resource directory's TimeDateStamp.
    std::uint32_t ResourceTime() const { return resourceTime_; }
    // The debug directory's size (0: none).
    std::uint32_t DebugDirectorySize() const { return debugSize_; }
    // The data of resource type/id, first language; false when absent.
    bool Resource(std::uint32_t type, std::uint32_t id, std::string& data) const;

private:
    std::uint32_t U16(std::size_t at) const;
    std::uint32_t U32(std::size_t at) const;
    // The file offset of a relative virtual address; 0 when outside any section.
    std::size_t Offset(std::uint32_t rva) const;
    // The entry for id in the resource directory at dir (offsets from the
    // resource section's start); 0 when absent.
    std::uint32_t Entry(std::uint32_t dir, std::uint32_t id) const;

    struct TSection {
        std::uint32_t Rva, Size, Raw, RawSize;
    };
    std::vector<std::uint8_t> bytes_;
    std::vector<TSection> sections_;
    std::string error_;
    std::uint32_t linkTime_ = 0, resourceTime_ = 0, debugSize_ = 0;
    std::size_t resources_ = 0;
};

const std::uint32_t ResourceManifest = 24;  // RT_MANIFEST
// The manifest the loader reads when it creates the process.
const std::uint32_t ProcessManifestId = 1;  // CREATEPROCESS_MANIFEST_RESOURCE_ID
