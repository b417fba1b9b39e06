// The payload pellwick-pack puts behind the stub, and the reader both the
// stub and the pack tool's own checks use. Portable and free of the C++
// library (the stub links none of it): plain buffers, zlib for the
// compression and the checksum.
//
// The payload is the raw data of the exe's last section, ".pwpack", so
// that an Authenticode signature, which hashes every section, covers it.
// It starts with a header of PackHeaderSize bytes, little-endian:
//
//   0  "PWPACK1\n"      magic
//   8  u32 48            header size
//  12  u32 0             flags (none yet)
//  16  u32 entries       folders and files in the stream
//  20  u32 crc           CRC-32 of the header with this field zeroed,
//                        followed by the packed stream
//  24  u64 unpacked      bytes of the stream once inflated
//  32  u64 packed        bytes of the packed stream after the header
//  40  u64 files         bytes of the files' contents together
//
// then the packed stream: one zlib (deflate) stream of the entries, each
//
//   u8 kind ('D' a folder, 'F' a file), u16 name length, the name (parts
//   joined by "\", relative to the installer folder, as the system's ANSI
//   code page spells it), and for a file u64 size and its bytes;
//
// ended by one u8 'E'. The checksum is checked over the whole payload
// before anything is written; a name that could leave the folder (empty
// parts, ".", "..", a drive, a leading "\") is refused.
#pragma once
#include <stddef.h>
#include <stdint.h>

const char PackSectionName[8] = {'.', 'p', 'w', 'p', 'a', 'c', 'k', '\0'};
const unsigned PackHeaderSize = 48;
const unsigned PackNameLimit = 240;

struct TPackHeader {
    uint32_t Entries = 0;
    uint32_t Crc = 0;
    uint64_t Unpacked = 0;
    uint64_t Packed = 0;
    uint64_t FileBytes = 0;
};

void WritePackHeader(const TPackHeader& header, unsigned char out[PackHeaderSize]);
// False when the bytes are no header of this format.
bool ReadPackHeader(const unsigned char in[PackHeaderSize], TPackHeader& header);
// The checksum's start: the CRC-32 of the header with its crc field zeroed.
uint32_t PackHeaderCrc(const unsigned char in[PackHeaderSize]);
// Continues a CRC-32 over more bytes (zlib's crc32).
uint32_t PackCrc(uint32_t crc, const void* data, size_t size);

// A name as the stream may hold it: not empty, below PackNameLimit bytes,
// no NUL, "/" or ":", no empty, "." or ".." part, no leading "\".
bool SafePackName(const char* name, size_t length);

// Where the reader takes the packed stream from.
class TPackSource {
public:
    // Up to size bytes into buffer; 0 at the end or on an error.
    virtual size_t Read(void* buffer, size_t size) = 0;
};

// What the reader makes of the entries. Names come NUL-terminated. Each
// returns false to stop.
class TPackSink {
public:
    virtual bool Folder(const char* name) = 0;
    virtual bool BeginFile(const char* name, uint64_t size) = 0;
    virtual bool Write(const void* data, size_t size) = 0;
    virtual bool EndFile() = 0;
    // done of total unpacked bytes, now and then.
    virtual void Progress(uint64_t done, uint64_t total) = 0;
};

enum TUnpackResult {
    UnpackDone = 0,
    UnpackDamaged,   // the stream does not inflate or does not parse
    UnpackBadName,   // a name that could leave the folder
    UnpackStopped,   // the sink said stop (a write failed)
    UnpackNoMemory,
};

// Inflates the packed stream of header from source into sink. The caller
// has checked the checksum first.
TUnpackResult Unpack(const TPackHeader& header, TPackSource& source, TPackSink& sink);
