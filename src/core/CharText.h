// Text in the system's ANSI code page, walked by character. On Japanese,
// Chinese and Korean Windows a character is one or two bytes, and the second
// byte of two may be any byte from 0x40 up: "\", "|", "[" and "]" among them.
// Every rule that looks for a separator in a name, or cuts one, steps over
// whole characters with these helpers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

class TCodePage {
public:
    // Code page 1252 and every other single-byte page: one byte a character.
    TCodePage() = default;
    // The lead bytes of the double-byte pages 932, 936, 949 and 950; any
    // other number is taken as single-byte.
    explicit TCodePage(unsigned number);

    unsigned Number() const { return number_; }
    bool IsLead(char byte) const
    {
        unsigned char b = static_cast<unsigned char>(byte);
        return (lead_[b >> 5] >> (b & 31)) & 1u;
    }
    // For a system that reports its lead bytes one by one.
    void SetLead(unsigned char byte) { lead_[byte >> 5] |= 1u << (byte & 31); }
    void SetNumber(unsigned number) { number_ = number; }

private:
    unsigned number_ = 1252;
    std::uint32_t lead_[8] = {};
};

// The code page of the running system: set where the platform services are
// installed, from the locale service; single-byte until then.
extern TCodePage RunningCodePage;
inline const TCodePage& AnsiCodePage() { return RunningCodePage; }
inline void UseAnsiCodePage(const TCodePage& page) { RunningCodePage = page; }

// Where the character after the one at byte `at` starts. A lead byte at the
// very end, or before a byte below 0x40, stands alone.
std::size_t NextChar(const std::string& text, std::size_t at,
                     const TCodePage& page = AnsiCodePage());
// Where the character holding byte `at` (< text.size()) starts: `at`, or
// one before when `at` is a second byte.
std::size_t CharStart(const std::string& text, std::size_t at,
                      const TCodePage& page = AnsiCodePage());
// The first / last single-byte character from `set` (never the second byte
// of a character); npos when there is none.
std::size_t FindCharOf(const std::string& text, const char* set, std::size_t from = 0,
                       const TCodePage& page = AnsiCodePage());
std::size_t FindLastCharOf(const std::string& text, const char* set,
                           const TCodePage& page = AnsiCodePage());
// The text without the characters from `set` at its end.
std::string DropTrailing(const std::string& text, const char* set,
                         const TCodePage& page = AnsiCodePage());
// The first `max` bytes of text, one less when the cut would split a
// character.
std::string CutBytes(const std::string& text, std::size_t max,
                     const TCodePage& page = AnsiCodePage());
