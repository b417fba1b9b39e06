#include "core/Text.h"

#include "core/CharText.h"
#include "core/Error.h"

EError::EError(const char* message) : message_(message) {}

std::string FormatMessage1(const char* pattern, const std::string& arg)
{
    std::string text(pattern);
    std::string::size_type at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, arg);
    return text;
}

std::string Cut(const std::string& text, std::size_t max)
{
    return CutBytes(text, max);
}

static int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool TryStrToInt(const std::string& text, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) return false;

    std::uint64_t magnitude = 0;
    if (text[i] == '$') {
        ++i;
        if (i >= text.size()) return false;
        for (; i < text.size(); ++i) {
            int d = HexDigit(text[i]);
            if (d < 0) return false;
            magnitude = magnitude * 16 + static_cast<unsigned>(d);
            if (magnitude > 0xFFFFFFFFull) return false;
        }
        std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        if (negative) bits = 0u - bits;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        magnitude = magnitude * 10 + static_cast<unsigned>(c - '0');
        if (magnitude > 2147483648ull) return false;
    }
    if (!negative && magnitude > 2147483647ull) return false;
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(magnitude))
                     : static_cast<std::int32_t>(magnitude);
    return true;
}

std::int32_t StrToIntDef(const std::string& text, std::int32_t def)
{
    std::int32_t value;
    return TryStrToInt(text, value) ? value : def;
}

std::int32_t StrToInt(const std::string& text)
{
    std::int32_t value;
    if (!TryStrToInt(text, value))
        throw EError(FormatMessage1("'%s' is not a valid integer value", text));
    return value;
}

std::int32_t ReadIntegerText(const std::string& text, std::int32_t def)
{
    std::string s = text;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X'))
        s = "$" + s.substr(2);
    return StrToIntDef(s, def);
}

std::string IntToStr(std::int64_t value)
{
    bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0ull - static_cast<std::uint64_t>(value)
                                       : static_cast<std::uint64_t>(value);
    // Divided by 10 in 16-bit pieces: a 32-bit processor has no 64-bit
    // division, and the compiler's routine for it is larger than this.
    char digits[20];
    char* first = digits + sizeof digits;
    do {
        std::uint32_t rest = 0;
        std::uint64_t quotient = 0;
        for (int shift = 48; shift >= 0; shift -= 16) {
            std::uint32_t part = (rest << 16) | static_cast<std::uint32_t>((magnitude >> shift) & 0xffff);
            quotient |= static_cast<std::uint64_t>(part / 10) << shift;
            rest = part % 10;
        }
        *--first = static_cast<char>('0' + rest);
        magnitude = quotient;
    } while (magnitude != 0);
    std::string text(first, digits + sizeof digits);
    return negative ? "-" + text : text;
}

std::string AsciiUpper(std::string text)
{
    for (std::size_t at = 0; at < text.size(); at = NextChar(text, at)) {
        char& c = text[at];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}
