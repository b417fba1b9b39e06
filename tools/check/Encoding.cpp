#include "Encoding.h"

#include <cstdint>

#include "core/CharText.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace {

const char Utf8Mark[] = "\xEF\xBB\xBF";

// Code page 1252 at 0x80..0x9F, where it differs from Latin-1; the five
// codes it leaves unassigned map to the control character of that number,
// as the system's conversion does.
const std::uint16_t Western80[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t code)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// Length of the UTF-8 sequence at text[at], 0 when none starts there.
std::size_t Utf8Length(const std::string& text, std::size_t at)
{
    unsigned char c = static_cast<unsigned char>(text[at]);
    std::size_t length = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3
                                     : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    unsigned char next = static_cast<unsigned char>(text[at + 1 < text.size() ? at + 1 : at]);
    // Over-long forms and surrogates are no UTF-8.
    if ((c == 0xE0 && next < 0xA0) || (c == 0xED && next >= 0xA0) || (c == 0xF0 && next < 0x90) ||
        (c == 0xF4 && next >= 0x90))
        return 0;
    return length;
}

std::string Trimmed(const std::string& text)
{
    std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string ShownBySystem(const std::string& bytes, int codePage)
{
#ifdef _WIN32
    int wide = MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(),
                                   static_cast<int>(bytes.size()), nullptr, 0);
    if (wide <= 0) return "";
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(static_cast<UINT>(codePage), 0, bytes.data(), static_cast<int>(bytes.size()),
                        &text[0], wide);
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), wide, &out[0], size, nullptr, nullptr);
    return out;
#else
    iconv_t cd = iconv_open("UTF-8", ("CP" + std::to_string(codePage)).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) return "";
    std::string out;
    std::string in = bytes;
    char* from = &in[0];
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
        char* to = buffer;
        std::size_t room = sizeof buffer;
        std::size_t done = iconv(cd, &from, &left, &to, &room);
        out.append(buffer, static_cast<std::size_t>(to - buffer));
        if (done == static_cast<std::size_t>(-1) && room == sizeof buffer) {
            // A byte the code page has no character for: the system shows "?".
            out += '?';
            ++from;
            --left;
        }
    }
    iconv_close(cd);
    return out;
#endif
}

}  // namespace

std::string FileNamePart(const std::string& path, int codePage)
{
    std::size_t at = FindLastCharOf(path, "\\/", TCodePage(static_cast<unsigned>(codePage)));
    return at == std::string::npos ? path : path.substr(at + 1);
}

TUtf8Text FindUtf8(const std::string& content)
{
    TUtf8Text found;
    bool mark = content.compare(0, 3, Utf8Mark) == 0;
    std::size_t at = mark ? 3 : 0;
    int line = 1;
    std::size_t lineStart = at;
    int firstLine = 0;
    std::size_t firstStart = 0;
    bool valid = true;
    while (valid && at < content.size()) {
        char c = content[at];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && at + 1 < content.size() && content[at + 1] == '\n') ++at;
            ++at;
            ++line;
            lineStart = at;
            continue;
        }
        std::size_t length = Utf8Length(content, at);
        if (length == 0) {
            valid = false;  // not UTF-8: ANSI text, as it should be
            break;
        }
        if (length > 1 && firstLine == 0) {
            firstLine = line;
            firstStart = lineStart;
        }
        at += length;
    }
    found.Mark = mark;
    if (valid && firstLine != 0) {
        found.Line = firstLine;
        std::size_t end = content.find_first_of("\r\n", firstStart);
        found.Text = Trimmed(content.substr(firstStart, end == std::string::npos ? end : end - firstStart));
    }
    return found;
}

std::string ShownInCodePage(const std::string& bytes, int codePage)
{
    if (codePage != WesternCodePage) return ShownBySystem(bytes, codePage);
    std::string out;
    for (char c : bytes) {
        unsigned char u = static_cast<unsigned char>(c);
        AppendUtf8(out, u >= 0x80 && u < 0xA0 ? Western80[u - 0x80] : u);
    }
    return out;
}

std::string Utf8Start(const std::string& text, std::size_t max)
{
    std::size_t at = 0, characters = 0;
    while (at < text.size() && characters < max) {
        std::size_t length = Utf8Length(text, at);
        at += length == 0 ? 1 : length;
        ++characters;
    }
    return at >= text.size() ? text : text.substr(0, at) + "...";
}
