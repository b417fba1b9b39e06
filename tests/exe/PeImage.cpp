#include "PeImage.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {
// Offsets in the headers (Microsoft's "PE Format").
const std::size_t DosNewHeader = 0x3C;        // e_lfanew
const std::size_t CoffSections = 6;           // after "PE\0\0"
const std::size_t CoffTime = 8;
const std::size_t CoffOptionalSize = 20;
const std::size_t OptionalStart = 24;
const std::uint32_t Pe32Magic = 0x10B;
const std::size_t Pe32DataDirectories = 96;   // from the optional header's start
const std::size_t Pe32DirectoryCount = 92;
const std::uint32_t DirectoryResource = 2;
const std::uint32_t DirectoryDebug = 6;
const std::size_t SectionHeaderSize = 40;
const std::uint32_t SubdirectoryBit = 0x80000000u;
}  // namespace

TPeImage::TPeImage(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error_ = "cannot open " + path;
        return;
    }
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (bytes_.size() < 0x40 || bytes_[0] != 'M' || bytes_[1] != 'Z') {
        error_ = path + " is not an MZ image";
        return;
    }
    std::size_t pe = U32(DosNewHeader);
    if (pe + OptionalStart > bytes_.size() || U32(pe) != 0x00004550u) {
        error_ = path + " has no PE header";
        return;
    }
    linkTime_ = U32(pe + CoffTime);
    std::size_t sectionCount = U16(pe + CoffSections);
    std::size_t optional = pe + OptionalStart;
    std::size_t optionalSize = U16(pe + CoffOptionalSize);
    if (U16(optional) != Pe32Magic) {
        error_ = path + " is not a 32-bit image";
        return;
    }
    std::size_t table = optional + optionalSize;
    for (std::size_t i = 0; i < sectionCount; ++i) {
        std::size_t h = table + i * SectionHeaderSize;
        if (h + SectionHeaderSize > bytes_.size()) break;
        sections_.push_back({U32(h + 12), U32(h + 8), U32(h + 20), U32(h + 16)});
    }
    std::uint32_t directories = U32(optional + Pe32DirectoryCount);
    auto directory = [&](std::uint32_t n, std::uint32_t& rva, std::uint32_t& size) {
        rva = size = 0;
        if (n >= directories) return;
        rva = U32(optional + Pe32DataDirectories + 8 * n);
        size = U32(optional + Pe32DataDirectories + 8 * n + 4);
    };
    std::uint32_t rva = 0, size = 0;
    directory(DirectoryDebug, rva, size);
    debugSize_ = size;
    directory(DirectoryResource, rva, size);
    if (rva != 0) {
        resources_ = Offset(rva);
        if (resources_ != 0) resourceTime_ = U32(resources_ + 4);
    }
}

std::uint32_t TPeImage::U16(std::size_t at) const
{
    if (at + 2 > bytes_.size()) return 0;
    return bytes_[at] | bytes_[at + 1] << 8;
}

std::uint32_t TPeImage::U32(std::size_t at) const
{
    if (at + 4 > bytes_.size()) return 0;
    return bytes_[at] | bytes_[at + 1] << 8 | bytes_[at + 2] << 16 |
           static_cast<std::uint32_t>(bytes_[at + 3]) << 24;
}

std::size_t TPeImage::Offset(std::uint32_t rva) const
{
    for (const TSection& s : sections_)
        if (rva >= s.Rva && rva < s.Rva + std::max(s.Size, s.RawSize)) return s.Raw + (rva - s.Rva);
    return 0;
}

std::uint32_t TPeImage::Entry(std::uint32_t dir, std::uint32_t id) const
{
    // IMAGE_RESOURCE_DIRECTORY: 16 bytes, then named entries, then id entries.
    std::size_t at = resources_ + dir;
    std::uint32_t named = U16(at + 12), ids = U16(at + 14);
    for (std::uint32_t i = 0; i < named + ids; ++i) {
        std::size_t e = at + 16 + 8 * i;
        std::uint32_t name = U32(e);
        if (!(name & SubdirectoryBit) && name == id) return U32(e + 4);
    }
    return 0;
}

bool TPeImage::Resource(std::uint32_t type, std::uint32_t id, std::string& data) const
{
    if (resources_ == 0) return false;
    std::uint32_t types = Entry(0, type);
    if (!(types & SubdirectoryBit)) return false;
    std::uint32_t ids = Entry(types & ~SubdirectoryBit, id);
    if (!(ids & SubdirectoryBit)) return false;
    // The first language.
    std::size_t languages = resources_ + (ids & ~SubdirectoryBit);
    if (U16(languages + 12) + U16(languages + 14) == 0) return false;
    std::uint32_t leaf = U32(languages + 16 + 4);
    if (leaf & SubdirectoryBit) return false;
    std::size_t entry = resources_ + leaf;  // IMAGE_RESOURCE_DATA_ENTRY
    std::size_t at = Offset(U32(entry));
    std::uint32_t size = U32(entry + 4);
    if (at == 0 || at + size > bytes_.size()) return false;
    data.assign(reinterpret_cast<const char*>(&bytes_[at]), size);
    return true;
}
