// Helpers shared by the libFuzzer targets: failing a check the way the
// fuzzer records it, and the leak probe scripts/fuzz uses to make sure
// LeakSanitizer is watching every target.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/CharText.h"

namespace fuzz {

// The code pages a target runs its input in: one single-byte, and the four
// whose second bytes may be "\\", "|", "[" or "]".
inline TCodePage PickCodePage(unsigned index)
{
    static const unsigned numbers[] = {1252, 932, 936, 949, 950};
    return TCodePage(numbers[index % 5]);
}

// The length of the character at text[at] in page, by the rule the system
// applies: a lead byte takes the next byte when there is one from 0x40 up.
inline std::size_t CharLength(const std::string& text, std::size_t at, const TCodePage& page)
{
    return page.IsLead(text[at]) && at + 1 < text.size() &&
                   static_cast<unsigned char>(text[at + 1]) >= 0x40
               ? 2
               : 1;
}

// Prints what went wrong and aborts: libFuzzer saves the input as a crash.
[[noreturn]] inline void Fail(const std::string& what, const std::string& detail = "")
{
    std::fprintf(stderr, "\nFUZZ CHECK FAILED: %s\n", what.c_str());
    if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
    std::fflush(stderr);
    std::abort();
}

inline void Check(bool ok, const std::string& what, const std::string& detail = "")
{
    if (!ok) Fail(what, detail);
}

// A printable form of a text for failure messages.
inline std::string Show(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c >= 32 && c < 127 && c != '"' && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02x", c);
            out += buf;
        }
    }
    return out + "\"";
}

// With PELLWICK_FUZZ_LEAK_PROBE set, every input leaks one block, so a
// target that LeakSanitizer does not watch is noticed (scripts/fuzz).
inline void LeakProbe()
{
    static const bool enabled = std::getenv("PELLWICK_FUZZ_LEAK_PROBE") != nullptr;
    if (!enabled) return;
    char* volatile block = static_cast<char*>(std::malloc(64));
    std::memset(block, 0x5a, 64);
    block = nullptr;
}

// The blanks the profile functions trim: space and tab.
inline std::string TrimBlanks(const std::string& s)
{
    std::size_t begin = 0, end = s.size();
    while (begin < end && (s[begin] == ' ' || s[begin] == '\t')) ++begin;
    while (end > begin && (s[end - 1] == ' ' || s[end - 1] == '\t')) --end;
    return s.substr(begin, end - begin);
}

// A value as read back: trimmed, and without one pair of matching quotes.
inline std::string AsRead(const std::string& written)
{
    std::string v = TrimBlanks(written);
    if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
        return v.substr(1, v.size() - 2);
    return v;
}

inline std::string Without(std::string text, const char* chars, std::size_t nchars)
{
    std::string out;
    for (char c : text)
        if (std::memchr(chars, c, nchars) == nullptr) out += c;
    return out;
}

// Equal without regard to the case of a..z, where a second byte of a
// character is never a letter.
inline bool SameNoCase(const std::string& a, const std::string& b, const TCodePage& page = TCodePage())
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size();) {
        std::size_t n = CharLength(a, i, page);
        if (n != CharLength(b, i, page)) return false;
        char x = a[i], y = b[i];
        if (n == 1 && x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (n == 1 && y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y || (n == 2 && a[i + 1] != b[i + 1])) return false;
        i += n;
    }
    return true;
}

// The first c in text that is a character of its own, or npos.
inline std::size_t FindChar(const std::string& text, char c, const TCodePage& page)
{
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, page))
        if (text[i] == c && CharLength(text, i, page) == 1) return i;
    return std::string::npos;
}

// Text that ends in a whole character: without blanks around it and without
// a last lead byte that has no second byte (the system would pair it with
// whatever follows it in a file).
inline std::string WholeName(std::string text, const TCodePage& page)
{
    for (;;) {
        text = TrimBlanks(text);
        std::size_t last = std::string::npos;
        for (std::size_t i = 0; i < text.size(); i += CharLength(text, i, page)) last = i;
        if (last == std::string::npos || !page.IsLead(text[last]) || CharLength(text, last, page) == 2)
            return text;
        text.pop_back();
    }
}

}  // namespace fuzz
