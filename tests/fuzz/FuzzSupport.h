// Helpers shared by the libFuzzer targets: failing a check the way the
// fuzzer records it, and the leak probe scripts/fuzz uses to make sure
// LeakSanitizer is watching every target.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace fuzz {

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

inline bool SameNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

}  // namespace fuzz
