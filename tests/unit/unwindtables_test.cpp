// The exes' search of the unwind tables: a wrong answer sends an exception
// to the wrong handler or ends the program. Tables laid out as GCC writes
// them, in each form it uses and some it does not.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/UnwindTables.h"

namespace {

const unsigned char Relative32 = 0x1b;  // what GCC writes for this target

// Tables written in place (a relative pointer needs its own address).
struct TTables {
    std::vector<unsigned char> Bytes;
    TTables() { Bytes.reserve(1024); }
    std::uintptr_t Base() const { return reinterpret_cast<std::uintptr_t>(Bytes.data()); }
    void Put(std::uint64_t value, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) Bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
    // An entry: its length word, then what body writes, padded to words.
    template <typename F> std::size_t Entry(F body)
    {
        std::size_t at = Bytes.size();
        Put(0, 4);
        body();
        while (Bytes.size() % 4 != 0) Put(0, 1);
        std::uint32_t length = static_cast<std::uint32_t>(Bytes.size() - at - 4);
        std::memcpy(&Bytes[at], &length, 4);
        return at;
    }
    // A common entry: augmentation "zR", "zPLR" (a personality through a
    // pointer) or "" (absolute pointers), in version 1 or 3.
    std::size_t Common(const std::string& augmentation, unsigned char form, int version = 1)
    {
        return Entry([&] {
            Put(0, 4);
            Put(static_cast<unsigned>(version), 1);
            for (char c : augmentation + '\0') Put(static_cast<unsigned char>(c), 1);
            Put(0x7c01, 2);  // code alignment 1, data alignment -4
            Put(version == 1 ? 8 : 0x0188, version == 1 ? 1 : 2);  // the return address column
            if (augmentation.empty()) return;
            Put(augmentation.size() - 1 + (augmentation.find('P') != std::string::npos ? 4 : 0), 1);
            for (char c : augmentation.substr(1)) c == 'P' ? Put(0x12349b, 5) : Put(form, 1);
        });
    }
    void Function(std::size_t common, unsigned char form, std::uintptr_t first, std::uint32_t size)
    {
        Entry([&] {
            Put(Bytes.size() - common, 4);
            std::uintptr_t place = Base() + Bytes.size();
            std::size_t width = form == 0 ? sizeof(void*) : 4;
            Put(form == 0 ? first : first - place, width);
            Put(size, width);
            Put(0, 1);
        });
    }
    // The start of the function found; None when none is.
    static constexpr std::uintptr_t None = ~std::uintptr_t(0);
    std::uintptr_t Find(std::uintptr_t pc)
    {
        std::uintptr_t start = 0;
        return FindUnwindEntry(Bytes.data(), pc, start) != nullptr ? start : None;
    }
};

TEST(UnwindTablesTest, FindsTheEntryWhoseFunctionHoldsTheAddressInEachForm)
{
    TTables t;
    std::size_t plain = t.Common("zR", Relative32), withHandler = t.Common("zPLR", Relative32);
    std::size_t old = t.Common("", 0x00), third = t.Common("zR", Relative32, 3);
    const std::uintptr_t code = t.Base() + 0x10000;
    t.Function(old, 0x00, 0, 0x200);  // a function the link left out
    t.Function(plain, Relative32, code + 0x100, 0x100);
    t.Function(withHandler, Relative32, code + 0x200, 0x10);
    t.Function(old, 0x00, code + 0x300, 4);
    t.Function(third, Relative32, code - 0x100, 0x20);  // below the tables
    t.Put(0, 4);
    struct Case {
        std::uintptr_t pc, start;  // start 0: none found
    } cases[] = {
        {code + 0x100, code + 0x100}, {code + 0x1ff, code + 0x100}, {code + 0x200, code + 0x200},
        {code + 0x20f, code + 0x200}, {code + 0x210, 0},            {code + 0xff, 0},
        {code + 0x303, code + 0x300}, {code + 0x304, 0},            {code - 0x100, code - 0x100},
        {code - 0xe1, code - 0x100},  {0x10, 0},  // the entry left at 0 is no function's
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.start == 0 ? TTables::None : c.start, t.Find(c.pc)) << std::hex << c.pc;
}

TEST(UnwindTablesTest, AFormItDoesNotReadEndsTheSearchRatherThanMisreading)
{
    for (unsigned char form : {0x30, 0x01, 0x50}) {  // relative to the data, LEB128, aligned
        TTables t;
        std::size_t odd = t.Common("zR", form);
        t.Function(odd, Relative32, t.Base() + 0x10000, 0x100);
        t.Put(0, 4);
        EXPECT_EQ(TTables::None, t.Find(t.Base() + 0x10008)) << int(form);
    }
    TTables empty;
    empty.Put(0, 4);
    EXPECT_EQ(TTables::None, empty.Find(0x1000));
}

// A catch table as GCC writes it for this target: call sites in LEB128,
// catch types through pointers relative to their place. Sites from the
// function's start: none, clean-ups, a catch of A then clean-ups, a
// catch (...), a gap (a call that may not throw), a catch of A alone, a
// dynamic throw(...) list.
struct TCatchTable {
    std::vector<unsigned char> Bytes;
    std::size_t TypesEnd = 0, CellA = 0;
    void Put(std::uint64_t value, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) Bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
    explicit TCatchTable(const void* typeA)
    {
        const unsigned char sites[] = {0x00, 0x10, 0x00, 0,  0x10, 0x10, 0x70, 0,  0x20, 0x10, 0x72, 1,
                                       0x30, 0x10, 0x74, 5,  0x50, 0x10, 0x76, 7,  0x60, 0x10, 0x78, 9};
        // Each action: a handler's number (1 A, 2 catch (...), 0 clean-ups,
        // -1 a throw(...) list) and the distance from its second byte to the next.
        const unsigned char actions[] = {1, 1, 0, 0, 2, 0, 1, 0, 0x7f, 0};
        Put(0xff, 1);                      // landing pads from the function's start
        Put(0x9b, 1);                      // types through pointers, relative, 32-bit
        std::size_t offsetAt = Bytes.size();
        Put(0, 1);                         // the types' end, filled in below
        Put(0x01, 1);                      // call sites in LEB128
        Put(sizeof sites, 1);
        for (unsigned char b : sites) Put(b, 1);
        for (unsigned char b : actions) Put(b, 1);
        Put(0, 4);                         // handler 2: catch (...)
        std::size_t aAt = Bytes.size();
        Put(0, 4);                         // handler 1: A, filled in below
        TypesEnd = Bytes.size();
        Bytes[offsetAt] = static_cast<unsigned char>(TypesEnd - offsetAt - 1);
        while (Bytes.size() % sizeof(void*) != 0) Put(0, 1);
        CellA = Bytes.size();
        Put(reinterpret_cast<std::uintptr_t>(typeA), sizeof(void*));
        auto distance = static_cast<std::int32_t>(CellA - aAt);
        std::memcpy(&Bytes[aAt], &distance, 4);
    }
};

struct TThrown {
    const void* Caught;  // the type whose handlers take it
    static bool Catches(const void* type, void* data)
    {
        return type == nullptr || type == static_cast<TThrown*>(data)->Caught;
    }
};

TEST(UnwindTablesTest, TheCatchTableSendsEachCallToItsLandingPad)
{
    static const int typeA = 0, typeB = 0;
    TCatchTable t(&typeA);
    const std::uintptr_t start = 0x401000;
    using K = TLandingKind;
    struct Case {
        std::uintptr_t ip;
        const void* thrown;
        K kind;
        std::uintptr_t pad;
        int selector;
    } cases[] = {
        {0x05, &typeA, K::Nothing, 0, 0},      {0x15, &typeA, K::Cleanup, 0x70, 0},
        {0x25, &typeA, K::Handler, 0x72, 1},   {0x25, &typeB, K::Cleanup, 0x72, 0},
        {0x35, &typeB, K::Handler, 0x74, 2},   {0x45, &typeA, K::Terminate, 0, 0},
        {0x55, &typeA, K::Handler, 0x76, 1},   {0x55, &typeB, K::Nothing, 0, 0},
        {0x65, &typeA, K::Terminate, 0, 0},    {0x75, &typeA, K::Terminate, 0, 0},
    };
    for (const Case& c : cases) {
        TThrown thrown{c.thrown};
        TLanding l = FindLanding(t.Bytes.data(), start, start + c.ip, TThrown::Catches, &thrown);
        EXPECT_EQ(c.kind, l.Kind) << std::hex << c.ip;
        if (c.kind == K::Cleanup || c.kind == K::Handler) EXPECT_EQ(start + c.pad, l.Pad) << std::hex << c.ip;
        EXPECT_EQ(c.selector, l.Selector) << std::hex << c.ip;
    }
}

}  // namespace
