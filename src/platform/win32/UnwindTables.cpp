#include "UnwindTables.h"

#include <cstring>

// The tables are a run of entries, each a length word and an id word: a
// common entry (CIE, id 0) says how the pointers of the function entries
// (FDE, id = the distance back to their CIE) are written; a function
// entry starts with its function's first address and length. The forms
// are those of the DWARF exception-handling tables (LSB's "Exception Frames").
namespace {
// How a pointer is written: the low bits its form, the next how it is
// applied. GCC writes, for this target, function entries relative to
// their own place as signed 32-bit numbers, and the personality routine's
// address through a pointer.
const unsigned char FormMask = 0x0f;
const unsigned char ApplyMask = 0x70;
const unsigned char Absolute = 0x00;
const unsigned char RelativeToPlace = 0x10;

std::uint32_t Word(const unsigned char* at)
{
    std::uint32_t value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

template <typename T>
std::uintptr_t Take(const unsigned char*& at)
{
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    // Signed forms widen with their sign, as the pointer arithmetic wants.
    return static_cast<std::uintptr_t>(value);
}

std::uintptr_t ReadLeb128(const unsigned char*& at, bool isSigned)
{
    std::uintptr_t value = 0;
    unsigned shift = 0;
    unsigned char byte;
    do {
        byte = *at++;
        if (shift < 8 * sizeof value) value |= static_cast<std::uintptr_t>(byte & 0x7f) << shift;
        shift += 7;
    } while ((byte & 0x80) != 0);
    if (isSigned && (byte & 0x40) != 0 && shift < 8 * sizeof value) value |= ~std::uintptr_t(0) << shift;
    return value;
}

// The number at AT in FORM, AT moved past it; false for a form not known.
bool ReadNumber(const unsigned char*& at, unsigned char form, std::uintptr_t& value)
{
    switch (form & FormMask) {
    case 0x00: value = Take<std::uintptr_t>(at); return true;
    case 0x02: value = Take<std::uint16_t>(at); return true;
    case 0x03: value = Take<std::uint32_t>(at); return true;
    case 0x04: value = Take<std::uint64_t>(at); return true;
    case 0x0a: value = Take<std::int16_t>(at); return true;
    case 0x0b: value = Take<std::int32_t>(at); return true;
    case 0x0c: value = Take<std::int64_t>(at); return true;
    default: return false;
    }
}

bool ReadPointer(const unsigned char*& at, unsigned char form, std::uintptr_t& value)
{
    const unsigned char* place = at;
    if (!ReadNumber(at, form, value)) return false;
    switch (form & ApplyMask) {
    case Absolute: return true;
    case RelativeToPlace: value += reinterpret_cast<std::uintptr_t>(place); return true;
    // Relative to the code, the data or the function, or aligned: GCC
    // writes none of them for this target.
    default: return false;
    }
}

// The form of the function entries' pointers, from their common entry.
bool PointerForm(const unsigned char* common, unsigned char& form)
{
    if (Word(common + 4) != 0) return false;
    const unsigned char version = common[8];
    const char* augmentation = reinterpret_cast<const char*>(common + 9);
    form = Absolute;
    if (augmentation[0] != 'z') return augmentation[0] == '\0';
    const unsigned char* at = common + 9 + std::strlen(augmentation) + 1;
    ReadLeb128(at, false);                                // code alignment
    ReadLeb128(at, true);                                 // data alignment
    if (version == 1)                                     // return address column
        ++at;
    else
        ReadLeb128(at, false);
    ReadLeb128(at, false);                                // length of what follows
    for (const char* letter = augmentation + 1; *letter != '\0'; ++letter) {
        std::uintptr_t skipped;
        switch (*letter) {
        case 'R': form = *at; return true;
        case 'P':
            if ((*at & ApplyMask) > RelativeToPlace) return false;
            ++at;
            if (!ReadNumber(at, at[-1], skipped)) return false;
            break;
        case 'L': ++at; break;
        case 'S': case 'B': break;
        default: return false;
        }
    }
    return true;
}
}  // namespace

const unsigned char* FindUnwindEntry(const unsigned char* tables, std::uintptr_t pc,
                                     std::uintptr_t& start)
{
    for (const unsigned char* entry = tables;;) {
        const std::uint32_t length = Word(entry);
        // The end; or a 64-bit length, which GCC writes for no 32-bit target.
        if (length == 0 || length == 0xffffffff) return nullptr;
        const std::uint32_t common = Word(entry + 4);
        if (common != 0) {
            unsigned char form;
            const unsigned char* at = entry + 8;
            std::uintptr_t first, size;
            if (!PointerForm(entry + 4 - common, form) || !ReadPointer(at, form, first) ||
                !ReadNumber(at, form, size))
                return nullptr;
            // A function the link left out keeps its entry, at address 0.
            if (first != 0 && pc - first < size) {
                start = first;
                return entry;
            }
        }
        entry += 4 + length;
    }
}

namespace {
const unsigned char Omitted = 0xff;
const unsigned char Leb128 = 0x01;
const unsigned char ThroughPointer = 0x80;

std::size_t NumberSize(unsigned char form)
{
    switch (form & 0x07) {
    case 0x00: return sizeof(std::uintptr_t);
    case 0x02: return 2;
    case 0x03: return 4;
    case 0x04: return 8;
    default: return 0;
    }
}

// A call site's offsets: LEB128, as GCC writes them, or a fixed size.
bool ReadSiteNumber(const unsigned char*& at, unsigned char form, std::uintptr_t& value)
{
    if (form != Leb128) return ReadNumber(at, form, value);
    value = ReadLeb128(at, false);
    return true;
}

// The catch type of handler NUMBER: the types' table runs backwards from
// its end, one pointer in FORM each; 0 for "catch (...)", read as it stands.
bool CatchType(const unsigned char* typesEnd, unsigned char form, std::uintptr_t number, std::uintptr_t& type)
{
    std::size_t size = NumberSize(form);
    if (typesEnd == nullptr || size == 0) return false;
    const unsigned char* at = typesEnd - number * size;
    const unsigned char* place = at;
    if (!ReadNumber(at, form, type)) return false;
    if (type == 0) return true;
    switch (form & ApplyMask) {
    case Absolute: break;
    case RelativeToPlace: type += reinterpret_cast<std::uintptr_t>(place); break;
    default: return false;
    }
    if ((form & ThroughPointer) != 0) std::memcpy(&type, reinterpret_cast<const void*>(type), sizeof type);
    return true;
}
}  // namespace

// The table: how its pointers are written, then the call sites, each with
// its landing pad and first action, in the order of their code; then the
// actions, each a handler's number (0 for clean-ups) and the distance to
// the next. The forms are those of the Itanium C++ ABI's exception tables.
TLanding FindLanding(const unsigned char* table, std::uintptr_t functionStart, std::uintptr_t ip,
                     TCatches catches, void* data)
{
    TLanding landing;
    TLanding end;
    end.Kind = TLandingKind::Terminate;
    const unsigned char* at = table;
    std::uintptr_t padBase = functionStart;
    unsigned char form = *at++;
    if (form != Omitted && !ReadPointer(at, form, padBase)) return end;
    const unsigned char typeForm = *at++;
    const unsigned char* typesEnd = nullptr;
    if (typeForm != Omitted) {
        std::uintptr_t offset = ReadLeb128(at, false);
        typesEnd = at + offset;
    }
    const unsigned char siteForm = *at++;
    const std::uintptr_t sitesLength = ReadLeb128(at, false);
    const unsigned char* actions = at + sitesLength;
    while (at < actions) {
        std::uintptr_t start, length, pad, action;
        if (!ReadSiteNumber(at, siteForm, start) || !ReadSiteNumber(at, siteForm, length) ||
            !ReadSiteNumber(at, siteForm, pad))
            return end;
        action = ReadLeb128(at, false);
        if (ip < functionStart + start) break;  // the sites are in order: none holds ip
        if (ip - functionStart - start >= length) continue;
        if (pad == 0) return landing;
        landing.Pad = padBase + pad;
        if (action == 0) {
            landing.Kind = TLandingKind::Cleanup;
            return landing;
        }
        bool cleanup = false;
        for (const unsigned char* record = actions + action - 1;;) {
            const auto number = static_cast<std::intptr_t>(ReadLeb128(record, true));
            const unsigned char* from = record;
            const auto next = static_cast<std::intptr_t>(ReadLeb128(record, true));
            std::uintptr_t type;
            if (number > 0) {
                if (!CatchType(typesEnd, typeForm, static_cast<std::uintptr_t>(number), type)) return end;
                if (catches(reinterpret_cast<const void*>(type), data)) {
                    landing.Kind = TLandingKind::Handler;
                    landing.Selector = static_cast<int>(number);
                    return landing;
                }
            } else if (number == 0) {
                cleanup = true;
            } else {
                return end;  // a dynamic throw(...) list, which C++17 has no more
            }
            if (next == 0) break;
            record = from + next;
        }
        landing.Kind = cleanup ? TLandingKind::Cleanup : TLandingKind::Nothing;
        return landing;
    }
    return end;
}
