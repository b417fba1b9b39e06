// The exes' search of the unwind tables: a wrong answer sends an exception
// to the wrong handler or ends the program, so each form GCC writes is read
// here from tables laid out as it lays them out.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/win32/UnwindTables.h"

namespace {

// Tables written in place: a relative pointer needs its own address, so
// the buffer never moves.
class TTables {
public:
    TTables() { bytes_.reserve(1024); }
    std::uintptr_t Base() const { return reinterpret_cast<std::uintptr_t>(bytes_.data()); }
    const unsigned char* Data() const { return bytes_.data(); }

    // A common entry: AUGMENTATION ("zR", "zPLR" or "") with the pointer
    // form FORM, in the given version; its offset.
    std::size_t Common(const char* augmentation, unsigned char form, unsigned char version = 1)
    {
        std::size_t at = Begin();
        Word(0);
        Byte(version);
        for (const char* c = augmentation; *c != '\0'; ++c) Byte(static_cast<unsigned char>(*c));
        Byte(0);
        Byte(1);     // code alignment
        Byte(0x7c);  // data alignment -4
        if (version == 1) {
            Byte(8);
        } else {
            Byte(0x88);  // the return address column as a two-byte LEB128
            Byte(0x01);
        }
        if (augmentation[0] == 'z') {
            std::size_t letters = std::strlen(augmentation) - 1;
            bool personality = std::strchr(augmentation, 'P') != nullptr;
            Byte(static_cast<unsigned char>(letters + (personality ? 4 : 0)));
            for (const char* c = augmentation + 1; *c != '\0'; ++c) {
                if (*c == 'P') {
                    Byte(0x9b);  // through a pointer, relative, signed 32 bits
                    Word(0x1234);
                } else {
                    Byte(form);
                }
            }
        }
        End(at);
        return at;
    }

    // A function entry for [first, first + size), in COMMON's form.
    void Function(std::size_t common, unsigned char form, std::uintptr_t first, std::uint32_t size)
    {
        std::size_t at = Begin();
        Word(static_cast<std::uint32_t>(bytes_.size() - common));
        std::uintptr_t place = Base() + bytes_.size();
        if (form == 0x00) {
            for (std::size_t i = 0; i < sizeof first; ++i) Byte(static_cast<unsigned char>(first >> (8 * i)));
            for (std::size_t i = 0; i < sizeof first; ++i) Byte(i < 4 ? static_cast<unsigned char>(size >> (8 * i)) : 0);
        } else {
            Word(static_cast<std::uint32_t>(first == 0 ? 0 - place : first - place));
            Word(size);
        }
        Byte(0);  // no augmentation data
        End(at);
    }

    void Terminator() { Word(0); }

private:
    std::size_t Begin()
    {
        std::size_t at = bytes_.size();
        Word(0);
        return at;
    }
    void End(std::size_t at)
    {
        while (bytes_.size() % 4 != 0) Byte(0);  // DW_CFA_nop
        std::uint32_t length = static_cast<std::uint32_t>(bytes_.size() - at - 4);
        std::memcpy(&bytes_[at], &length, 4);
    }
    void Byte(unsigned char b) { bytes_.push_back(b); }
    void Word(std::uint32_t w)
    {
        for (int i = 0; i < 4; ++i) Byte(static_cast<unsigned char>(w >> (8 * i)));
    }

    std::vector<unsigned char> bytes_;
};

const unsigned char Relative32 = 0x1b;  // what GCC writes for this target

TEST(UnwindTablesTest, FindsTheEntryWhoseFunctionHoldsTheAddressInEachForm)
{
    TTables t;
    std::size_t plain = t.Common("zR", Relative32);
    std::size_t withHandler = t.Common("zPLR", Relative32);
    std::size_t old = t.Common("", 0x00);
    std::size_t third = t.Common("zR", Relative32, 3);
    const std::uintptr_t code = t.Base() + 0x10000;
    t.Function(plain, Relative32, 0, 0x200);  // a function the link left out
    t.Function(plain, Relative32, code + 0x100, 0x100);
    t.Function(withHandler, Relative32, code + 0x200, 0x10);
    t.Function(old, 0x00, code + 0x300, 4);
    t.Function(third, Relative32, code - 0x100, 0x20);  // below the tables
    t.Terminator();

    struct Case {
        std::uintptr_t pc;
        std::uintptr_t start;  // 0: none found
    } cases[] = {
        {code + 0x100, code + 0x100}, {code + 0x1ff, code + 0x100},
        {code + 0x200, code + 0x200}, {code + 0x20f, code + 0x200},
        {code + 0x210, 0},            {code + 0xff, 0},
        {code + 0x303, code + 0x300}, {code + 0x304, 0},
        {code - 0x100, code - 0x100}, {code - 0xe1, code - 0x100},
        {0x10, 0},  // the entry left at address 0 is no function's
    };
    for (const Case& c : cases) {
        std::uintptr_t start = 0;
        const unsigned char* entry = FindUnwindEntry(t.Data(), c.pc, start);
        EXPECT_EQ(c.start != 0, entry != nullptr) << std::hex << c.pc - code;
        if (entry != nullptr) {
            EXPECT_EQ(c.start, start) << std::hex << c.pc - code;
            // The entry itself: its common entry lies back the distance it says.
            std::uint32_t back;
            std::memcpy(&back, entry + 4, 4);
            EXPECT_GT(back, 0u);
        }
    }
}

TEST(UnwindTablesTest, AFormItDoesNotReadEndsTheSearchRatherThanMisreading)
{
    struct Case {
        const char* what;
        unsigned char form;
    } cases[] = {
        {"relative to the data", 0x30},
        {"an unsigned LEB128", 0x01},
        {"aligned", 0x50},
    };
    for (const Case& c : cases) {
        TTables t;
        std::size_t odd = t.Common("zR", c.form);
        const std::uintptr_t code = t.Base() + 0x10000;
        t.Function(odd, Relative32, code, 0x100);
        t.Terminator();
        std::uintptr_t start = 0;
        EXPECT_EQ(nullptr, FindUnwindEntry(t.Data(), code + 8, start)) << c.what;
    }
    TTables empty;
    empty.Terminator();
    std::uintptr_t start = 0;
    EXPECT_EQ(nullptr, FindUnwindEntry(empty.Data(), 0x1000, start));
}

}  // namespace
