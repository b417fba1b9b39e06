// pellwick-pack's work, apart from main so that tests can run it: an
// installer folder packed into the payload (src/stub/PackFormat.h), the
// payload put into the stub as its last section, and the payload read back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One folder or file of the installer folder.
struct TPackEntry {
    std::string Name;    // relative, "\" between parts
    std::string Source;  // the file on disk; empty for a folder
    bool IsFolder = false;
    std::uint64_t Size = 0;
};

// Every folder and file below dir, sorted by name so that the same folder
// gives the same payload. Raises EError when it cannot be read.
std::vector<TPackEntry> ListInstallerFolder(const std::string& dir);

struct TPackStats {
    std::uint64_t FileBytes = 0;  // the files' contents together
    std::uint64_t Unpacked = 0;   // the stream before compression
    std::uint64_t Packed = 0;     // after, with the header
    std::uint32_t Entries = 0;
};

// The payload of entries: header and deflated stream. level is zlib's.
std::string MakePayload(const std::vector<TPackEntry>& entries, int level, TPackStats& stats);

// The stub with the payload as its last section, ".pwpack", which the
// image's size and the headers account for; the payload is padded to the
// file alignment, so that the signature that follows starts on it.
// Raises EError when the stub is no PE image with room for one section.
std::string AttachPayload(const std::string& stub, const std::string& payload);

// The payload inside a setup exe (the ".pwpack" section's raw data), or
// "" when it has none.
std::string PayloadOf(const std::string& setup);
// Where the payload lies in the file, from the exe's headers alone; false
// when it has none.
bool PayloadPlace(const std::string& headers, std::uint64_t& offset, std::uint64_t& size);

// The folders and files of a payload, read as the stub reads them.
struct TUnpackedEntry {
    std::string Name;
    bool IsFolder = false;
    std::string Content;
};
// Checks the checksum first, then inflates; raises EError naming what is
// wrong (the stub's own test of a damaged download).
std::vector<TUnpackedEntry> ReadPayload(const std::string& payload);
