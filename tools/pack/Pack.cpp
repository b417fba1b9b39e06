// Packing an installer folder behind the stub: see Pack.h.
#include "Pack.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/Error.h"
#include "PackFormat.h"

namespace fs = std::filesystem;

namespace {

void Put16(std::string& to, unsigned value)
{
    to += static_cast<char>(value & 0xFF);
    to += static_cast<char>((value >> 8) & 0xFF);
}
void Put64(std::string& to, std::uint64_t value)
{
    for (int i = 0; i < 8; ++i) to += static_cast<char>((value >> (8 * i)) & 0xFF);
}
std::uint32_t Get32(const std::string& bytes, std::size_t at)
{
    if (at + 4 > bytes.size()) throw EError("the stub's headers are cut short");
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}
unsigned Get16(const std::string& bytes, std::size_t at)
{
    if (at + 2 > bytes.size()) throw EError("the stub's headers are cut short");
    return static_cast<unsigned char>(bytes[at]) | (static_cast<unsigned char>(bytes[at + 1]) << 8);
}
void Set32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
void Set16(std::string& bytes, std::size_t at, unsigned value)
{
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
std::uint32_t AlignUp(std::uint64_t value, std::uint32_t alignment)
{
    std::uint64_t aligned = (value + alignment - 1) / alignment * alignment;
    if (aligned > 0xFFFFFFFFu) throw EError("the payload is too large for one exe (4 GB)");
    return static_cast<std::uint32_t>(aligned);
}

// Deflates what is fed into it, appending to out.
class TDeflater {
public:
    TDeflater(int level, std::string& out) : out_(out)
    {
        std::memset(&stream_, 0, sizeof stream_);
        if (deflateInit(&stream_, level) != Z_OK) throw EError("zlib could not start");
    }
    ~TDeflater() { deflateEnd(&stream_); }
    void Feed(const char* data, std::size_t size) { Run(data, size, Z_NO_FLUSH); }
    void Finish() { Run(nullptr, 0, Z_FINISH); }
    std::uint64_t In() const { return in_; }

private:
    void Run(const char* data, std::size_t size, int flush)
    {
        in_ += size;
        stream_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream_.avail_in = static_cast<uInt>(size);
        unsigned char buffer[1 << 16];
        int status;
        do {
            stream_.next_out = buffer;
            stream_.avail_out = sizeof buffer;
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) throw EError("zlib failed");
            out_.append(reinterpret_cast<char*>(buffer), sizeof buffer - stream_.avail_out);
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
    }
    z_stream stream_;
    std::string& out_;
    std::uint64_t in_ = 0;
};

std::string Relative(const fs::path& path, const fs::path& root)
{
    std::string name;
    for (const fs::path& part : path.lexically_relative(root)) {
        if (!name.empty()) name += '\\';
        name += part.string();
    }
    return name;
}

}  // namespace

std::vector<TPackEntry> ListInstallerFolder(const std::string& dir)
{
    std::error_code error;
    if (!fs::is_directory(dir, error)) throw EError(dir + ": no folder");
    std::vector<TPackEntry> entries;
    fs::path root(dir);
    for (fs::recursive_directory_iterator it(root, error), end; it != end; it.increment(error)) {
        if (error) break;
        TPackEntry entry;
        entry.Name = Relative(it->path(), root);
        if (!SafePackName(entry.Name.c_str(), entry.Name.size()))
            throw EError(it->path().string() + ": a name the setup cannot hold (" +
                         std::to_string(PackNameLimit) + " bytes at most, no \"/\" or \":\")");
        if (it->is_directory(error)) {
            entry.IsFolder = true;
        } else if (it->is_regular_file(error)) {
            entry.Source = it->path().string();
            entry.Size = it->file_size(error);
        } else {
            continue;
        }
        entries.push_back(entry);
    }
    if (error) throw EError(dir + ": " + error.message());
    // Sorted by name: a folder comes before what it holds.
    std::sort(entries.begin(), entries.end(),
              [](const TPackEntry& a, const TPackEntry& b) { return a.Name < b.Name; });
    return entries;
}

std::string MakePayload(const std::vector<TPackEntry>& entries, int level, TPackStats& stats)
{
    stats = TPackStats();
    std::string payload(PackHeaderSize, '\0');
    TDeflater deflater(level, payload);
    std::vector<char> buffer(1 << 20);
    for (const TPackEntry& entry : entries) {
        std::string head(1, entry.IsFolder ? 'D' : 'F');
        Put16(head, static_cast<unsigned>(entry.Name.size()));
        head += entry.Name;
        if (!entry.IsFolder) {
            std::ifstream in(entry.Source, std::ios::binary);
            if (!in) throw EError(entry.Source + ": cannot be read");
            in.seekg(0, std::ios::end);
            std::uint64_t size = static_cast<std::uint64_t>(in.tellg());
            in.seekg(0);
            Put64(head, size);
            deflater.Feed(head.data(), head.size());
            std::uint64_t left = size;
            while (left > 0) {
                std::size_t take = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
                if (!in.read(buffer.data(), static_cast<std::streamsize>(take)))
                    throw EError(entry.Source + ": cannot be read");
                deflater.Feed(buffer.data(), take);
                left -= take;
            }
            stats.FileBytes += size;
        } else {
            deflater.Feed(head.data(), head.size());
        }
        ++stats.Entries;
    }
    deflater.Feed("E", 1);
    deflater.Finish();
    TPackHeader header;
    header.Entries = stats.Entries;
    header.Unpacked = deflater.In();
    header.Packed = payload.size() - PackHeaderSize;
    header.FileBytes = stats.FileBytes;
    unsigned char bytes[PackHeaderSize];
    WritePackHeader(header, bytes);
    header.Crc = PackCrc(PackHeaderCrc(bytes), payload.data() + PackHeaderSize, header.Packed);
    WritePackHeader(header, bytes);
    std::memcpy(&payload[0], bytes, PackHeaderSize);
    stats.Unpacked = header.Unpacked;
    stats.Packed = payload.size();
    return payload;
}

namespace {

struct TPeLayout {
    std::size_t FileHeader = 0;      // of IMAGE_FILE_HEADER
    std::size_t Optional = 0;        // of the optional header
    std::size_t Sections = 0;        // of the first section header
    unsigned SectionCount = 0;
    std::uint32_t FileAlignment = 0, SectionAlignment = 0, SizeOfHeaders = 0;
};

TPeLayout LayoutOf(const std::string& image)
{
    if (image.size() < 0x40 || image[0] != 'M' || image[1] != 'Z') throw EError("the stub is no exe");
    TPeLayout pe;
    std::uint32_t nt = Get32(image, 0x3C);
    if (Get32(image, nt) != 0x00004550) throw EError("the stub is no PE image");
    pe.FileHeader = nt + 4;
    pe.SectionCount = Get16(image, pe.FileHeader + 2);
    unsigned optionalSize = Get16(image, pe.FileHeader + 16);
    pe.Optional = pe.FileHeader + 20;
    if (Get16(image, pe.Optional) != 0x10B) throw EError("the stub is no 32-bit PE image");
    pe.Sections = pe.Optional + optionalSize;
    pe.SectionAlignment = Get32(image, pe.Optional + 32);
    pe.FileAlignment = Get32(image, pe.Optional + 36);
    pe.SizeOfHeaders = Get32(image, pe.Optional + 60);
    return pe;
}

}  // namespace

std::string AttachPayload(const std::string& stub, const std::string& payload)
{
    TPeLayout pe = LayoutOf(stub);
    // A signed stub would lose its signature here, and it would not cover
    // the payload: sign the setup, not the stub.
    if (Get32(stub, pe.Optional + 128 + 4) != 0) throw EError("the stub is signed: pack the unsigned stub");
    std::size_t header = pe.Sections + 40 * pe.SectionCount;
    if (header + 40 > pe.SizeOfHeaders) throw EError("the stub's headers have no room for one more section");
    std::uint32_t lastEnd = 0, virtualEnd = 0;
    for (unsigned i = 0; i < pe.SectionCount; ++i) {
        std::size_t at = pe.Sections + 40 * i;
        if (std::memcmp(stub.data() + at, PackSectionName, 8) == 0) throw EError("the stub holds a payload already");
        lastEnd = std::max(lastEnd, Get32(stub, at + 20) + Get32(stub, at + 16));
        virtualEnd = std::max(virtualEnd, AlignUp(Get32(stub, at + 12) + static_cast<std::uint64_t>(Get32(stub, at + 8)),
                                                  pe.SectionAlignment));
    }
    if (lastEnd != stub.size()) throw EError("the stub has data after its last section");
    std::string image = stub;
    std::uint32_t raw = AlignUp(payload.size(), pe.FileAlignment);
    // The loader maps the section's first page only: the stub reads the
    // payload from its file, and a large product is no burden on memory.
    std::uint32_t mapped = pe.SectionAlignment;
    std::string section(40, '\0');
    std::memcpy(&section[0], PackSectionName, 8);
    Set32(section, 8, mapped);
    Set32(section, 12, virtualEnd);
    Set32(section, 16, raw);
    Set32(section, 20, static_cast<std::uint32_t>(image.size()));
    Set32(section, 36, 0x40000040u);  // initialised data, readable
    image.replace(header, 40, section);
    Set16(image, pe.FileHeader + 2, pe.SectionCount + 1);
    Set32(image, pe.Optional + 56, virtualEnd + AlignUp(mapped, pe.SectionAlignment));  // SizeOfImage
    Set32(image, pe.Optional + 64, 0);  // the checksum, which signing sets
    image += payload;
    image.append(raw - payload.size(), '\0');
    return image;
}

bool PayloadPlace(const std::string& headers, std::uint64_t& offset, std::uint64_t& size)
{
    TPeLayout pe = LayoutOf(headers);
    for (unsigned i = 0; i < pe.SectionCount; ++i) {
        std::size_t at = pe.Sections + 40 * i;
        if (at + 40 > headers.size()) throw EError("the stub's headers are cut short");
        if (std::memcmp(headers.data() + at, PackSectionName, 8) != 0) continue;
        size = Get32(headers, at + 16);
        offset = Get32(headers, at + 20);
        return true;
    }
    return false;
}

std::string PayloadOf(const std::string& setup)
{
    std::uint64_t offset = 0, size = 0;
    if (!PayloadPlace(setup, offset, size)) return "";
    if (offset + size > setup.size()) throw EError("the payload is cut short");
    return setup.substr(offset, size);
}

namespace {

class TStringSource : public TPackSource {
public:
    TStringSource(const std::string& bytes, std::size_t at, std::size_t size) : bytes_(bytes), at_(at), end_(at + size) {}
    size_t Read(void* buffer, size_t size) override
    {
        size_t take = std::min(size, end_ - at_);
        std::memcpy(buffer, bytes_.data() + at_, take);
        at_ += take;
        return take;
    }

private:
    const std::string& bytes_;
    std::size_t at_, end_;
};

class TListSink : public TPackSink {
public:
    std::vector<TUnpackedEntry> Entries;
    bool Folder(const char* name) override
    {
        Entries.push_back({name, true, ""});
        return true;
    }
    bool BeginFile(const char* name, uint64_t) override
    {
        Entries.push_back({name, false, ""});
        return true;
    }
    bool Write(const void* data, size_t size) override
    {
        Entries.back().Content.append(static_cast<const char*>(data), size);
        return true;
    }
    bool EndFile() override { return true; }
    void Progress(uint64_t, uint64_t) override {}
};

}  // namespace

std::vector<TUnpackedEntry> ReadPayload(const std::string& payload)
{
    TPackHeader header;
    if (payload.size() < PackHeaderSize ||
        !ReadPackHeader(reinterpret_cast<const unsigned char*>(payload.data()), header))
        throw EError("no payload header");
    if (header.Packed > payload.size() - PackHeaderSize) throw EError("the payload is cut short");
    std::uint32_t crc = PackCrc(PackHeaderCrc(reinterpret_cast<const unsigned char*>(payload.data())),
                                payload.data() + PackHeaderSize, header.Packed);
    if (crc != header.Crc) throw EError("the payload's checksum does not match");
    TStringSource source(payload, PackHeaderSize, header.Packed);
    TListSink sink;
    switch (Unpack(header, source, sink)) {
    case UnpackDone:
        return sink.Entries;
    case UnpackBadName:
        throw EError("the payload holds a name that leaves its folder");
    case UnpackNoMemory:
        throw EError("out of memory");
    default:
        throw EError("the payload does not inflate to its entries");
    }
}
