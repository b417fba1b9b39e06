// The payload's header, checksum and reader: see PackFormat.h.
#include "PackFormat.h"

#include <stdlib.h>
#include <string.h>
#include <zlib.h>

namespace {

const unsigned char Magic[8] = {'P', 'W', 'P', 'A', 'C', 'K', '1', '\n'};

void Put32(unsigned char* at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}
void Put64(unsigned char* at, uint64_t value)
{
    for (int i = 0; i < 8; ++i) at[i] = static_cast<unsigned char>(value >> (8 * i));
}
uint32_t Get32(const unsigned char* at)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}
uint64_t Get64(const unsigned char* at)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | at[i];
    return value;
}

// The bytes of the inflated stream, taken one field at a time.
class TEntryParser {
public:
    TEntryParser(TPackSink& sink, uint32_t entries) : sink_(sink), left_(entries) {}

    // Feeds inflated bytes; UnpackDone while more may follow.
    TUnpackResult Feed(const unsigned char* data, size_t size)
    {
        while (size > 0) {
            if (state_ == Data) {
                size_t take = fileLeft_ < size ? static_cast<size_t>(fileLeft_) : size;
                if (take > 0 && !sink_.Write(data, take)) return UnpackStopped;
                data += take;
                size -= take;
                fileLeft_ -= take;
                if (fileLeft_ == 0) {
                    if (!sink_.EndFile()) return UnpackStopped;
                    state_ = Kind;
                }
                continue;
            }
            if (state_ == Finished) return UnpackDamaged;  // bytes after the end
            field_[have_++] = *data++;
            --size;
            if (have_ < want_) continue;
            TUnpackResult step = Field();
            if (step != UnpackDone) return step;
        }
        return UnpackDone;
    }
    bool Finished_() const { return state_ == Finished && left_ == 0; }

private:
    enum TState { Kind, NameLength, Name, Size, Data, Finished };

    TUnpackResult Field()
    {
        switch (state_) {
        case Kind:
            kind_ = field_[0];
            if (kind_ == 'E') {
                state_ = Finished;
                return left_ == 0 ? UnpackDone : UnpackDamaged;
            }
            if ((kind_ != 'D' && kind_ != 'F') || left_ == 0) return UnpackDamaged;
            --left_;
            Expect(NameLength, 2);
            return UnpackDone;
        case NameLength: {
            unsigned length = field_[0] | (field_[1] << 8);
            if (length == 0 || length >= PackNameLimit) return UnpackBadName;
            Expect(Name, length);
            return UnpackDone;
        }
        case Name:
            memcpy(name_, field_, want_);
            name_[want_] = '\0';
            if (!SafePackName(name_, want_)) return UnpackBadName;
            if (kind_ == 'D') {
                if (!sink_.Folder(name_)) return UnpackStopped;
                Expect(Kind, 1);
            } else {
                Expect(Size, 8);
            }
            return UnpackDone;
        case Size:
            fileLeft_ = Get64(field_);
            if (!sink_.BeginFile(name_, fileLeft_)) return UnpackStopped;
            if (fileLeft_ == 0) {
                if (!sink_.EndFile()) return UnpackStopped;
                Expect(Kind, 1);
            } else {
                state_ = Data;
                have_ = 0;
                want_ = 1;
            }
            return UnpackDone;
        default:
            return UnpackDamaged;
        }
    }
    void Expect(TState state, unsigned bytes)
    {
        state_ = state;
        have_ = 0;
        want_ = bytes;
    }

    TPackSink& sink_;
    uint32_t left_;
    TState state_ = Kind;
    unsigned char field_[PackNameLimit + 8] = {};
    unsigned have_ = 0;
    unsigned want_ = 1;
    unsigned char kind_ = 0;
    char name_[PackNameLimit + 1] = {};
    uint64_t fileLeft_ = 0;
};

}  // namespace

void WritePackHeader(const TPackHeader& header, unsigned char out[PackHeaderSize])
{
    memset(out, 0, PackHeaderSize);
    memcpy(out, Magic, sizeof Magic);
    Put32(out + 8, PackHeaderSize);
    Put32(out + 12, 0);
    Put32(out + 16, header.Entries);
    Put32(out + 20, header.Crc);
    Put64(out + 24, header.Unpacked);
    Put64(out + 32, header.Packed);
    Put64(out + 40, header.FileBytes);
}

bool ReadPackHeader(const unsigned char in[PackHeaderSize], TPackHeader& header)
{
    if (memcmp(in, Magic, sizeof Magic) != 0 || Get32(in + 8) != PackHeaderSize || Get32(in + 12) != 0)
        return false;
    header.Entries = Get32(in + 16);
    header.Crc = Get32(in + 20);
    header.Unpacked = Get64(in + 24);
    header.Packed = Get64(in + 32);
    header.FileBytes = Get64(in + 40);
    return true;
}

uint32_t PackHeaderCrc(const unsigned char in[PackHeaderSize])
{
    unsigned char copy[PackHeaderSize];
    memcpy(copy, in, PackHeaderSize);
    Put32(copy + 20, 0);
    return PackCrc(0, copy, PackHeaderSize);
}

uint32_t PackCrc(uint32_t crc, const void* data, size_t size)
{
    const Bytef* bytes = static_cast<const Bytef*>(data);
    while (size > 0) {
        uInt take = size > 0x40000000u ? 0x40000000u : static_cast<uInt>(size);
        crc = static_cast<uint32_t>(crc32(crc, bytes, take));
        bytes += take;
        size -= take;
    }
    return crc;
}

bool SafePackName(const char* name, size_t length)
{
    if (length == 0 || length >= PackNameLimit || name[0] == '\\') return false;
    size_t partStart = 0;
    for (size_t i = 0; i <= length; ++i) {
        char c = i < length ? name[i] : '\\';
        if (c == '\0' || c == '/' || c == ':') return false;
        if (c != '\\') continue;
        size_t part = i - partStart;
        if (part == 0) return false;
        if (part == 1 && name[partStart] == '.') return false;
        if (part == 2 && name[partStart] == '.' && name[partStart + 1] == '.') return false;
        partStart = i + 1;
    }
    return true;
}

TUnpackResult Unpack(const TPackHeader& header, TPackSource& source, TPackSink& sink)
{
    // On the heap: zero-filled statics would be stored in the stub's file.
    const size_t inSize = 1u << 16, outSize = 1u << 18;
    unsigned char* in = static_cast<unsigned char*>(malloc(inSize));
    unsigned char* out = static_cast<unsigned char*>(malloc(outSize));
    z_stream stream;
    memset(&stream, 0, sizeof stream);
    if (in == nullptr || out == nullptr || inflateInit(&stream) != Z_OK) {
        free(in);
        free(out);
        return UnpackNoMemory;
    }
    TEntryParser parser(sink, header.Entries);
    uint64_t packedLeft = header.Packed;
    uint64_t done = 0;
    TUnpackResult result = UnpackDone;
    int status = Z_OK;
    while (status != Z_STREAM_END && result == UnpackDone) {
        if (stream.avail_in == 0) {
            if (packedLeft == 0) {
                result = UnpackDamaged;
                break;
            }
            size_t want = packedLeft < inSize ? static_cast<size_t>(packedLeft) : inSize;
            size_t got = source.Read(in, want);
            if (got == 0) {
                result = UnpackDamaged;
                break;
            }
            packedLeft -= got;
            stream.next_in = in;
            stream.avail_in = static_cast<uInt>(got);
        }
        stream.next_out = out;
        stream.avail_out = outSize;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            result = status == Z_MEM_ERROR ? UnpackNoMemory : UnpackDamaged;
            break;
        }
        size_t produced = outSize - stream.avail_out;
        done += produced;
        if (done > header.Unpacked) {
            result = UnpackDamaged;
            break;
        }
        result = parser.Feed(out, produced);
        sink.Progress(done, header.Unpacked);
    }
    inflateEnd(&stream);
    free(in);
    free(out);
    if (result == UnpackDone &&
        (!parser.Finished_() || done != header.Unpacked || packedLeft != 0 || stream.avail_in != 0))
        result = UnpackDamaged;
    return result;
}
