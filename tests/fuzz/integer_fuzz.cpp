// The whole-number and truth parsers: TryStrToInt, StrToIntDef, StrToInt,
// ReadIntegerText and IntToStr, checked against a second, independent
// reading of the same rules; and TProfile::ReadInteger/ReadBool over the
// profile double, with the text as the value of an entry.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "core/Error.h"
#include "core/Text.h"
#include "platform/Profile.h"
#include "platform/doubles/FakeDisk.h"
#include "platform/doubles/FakeProfileFiles.h"

namespace {

// Leading blanks, an optional sign, then decimal digits, or "$" and
// hexadecimal digits; nothing may follow. Decimal must fit 32 signed bits
// (down to -2147483648); hexadecimal may use all 32 bits, and a minus
// negates it modulo 2^32.
bool Reference(const std::string& text, std::int32_t& value)
{
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    bool negative = false;
    if (text[i] == '+' || text[i] == '-') negative = text[i++] == '-';
    bool hex = i < text.size() && text[i] == '$';
    if (hex) ++i;
    std::string digits = text.substr(i);
    if (digits.empty()) return false;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.find_first_not_of(allowed) != std::string::npos) return false;
    std::size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    if (digits.size() > (hex ? 8u : 10u)) return false;
    std::uint64_t magnitude = std::stoull(digits, nullptr, hex ? 16 : 10);
    if (hex) {
        std::uint32_t bits = static_cast<std::uint32_t>(magnitude);
        if (negative) bits = ~bits + 1u;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    std::int64_t signedValue = negative ? -static_cast<std::int64_t>(magnitude)
                                        : static_cast<std::int64_t>(magnitude);
    if (signedValue < INT32_MIN || signedValue > INT32_MAX) return false;
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

std::int32_t ReferenceInteger(const std::string& text, std::int32_t def)
{
    std::string s = text;
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
    std::int32_t value;
    return Reference(s, value) ? value : def;
}

void CheckParse(const std::string& text, std::int32_t def)
{
    std::int32_t expected = 0, got = 0;
    const bool ok = Reference(text, expected);
    fuzz::Check(TryStrToInt(text, got) == ok, "TryStrToInt accepts the wrong texts",
                fuzz::Show(text) + (ok ? " was refused" : " was accepted"));
    if (ok)
        fuzz::Check(got == expected, "TryStrToInt gives the wrong value",
                    fuzz::Show(text) + " gave " + std::to_string(got) + ", not " +
                        std::to_string(expected));
    fuzz::Check(StrToIntDef(text, def) == (ok ? expected : def), "StrToIntDef is wrong",
                fuzz::Show(text));
    try {
        std::int32_t v = StrToInt(text);
        fuzz::Check(ok && v == expected, "StrToInt accepted a text it should refuse",
                    fuzz::Show(text));
    } catch (const EError& e) {
        fuzz::Check(!ok, "StrToInt refused a whole number", fuzz::Show(text));
        fuzz::Check(e.Message() == "'" + text + "' is not a valid integer value",
                    "StrToInt raised the wrong message", fuzz::Show(e.Message()));
    }
    fuzz::Check(ReadIntegerText(text, def) == ReferenceInteger(text, def),
                "ReadIntegerText is wrong", fuzz::Show(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LeakProbe();
    FuzzedDataProvider in(data, size);
    const std::int32_t def = in.ConsumeIntegral<std::int32_t>();
    const std::int64_t wide = in.ConsumeIntegral<std::int64_t>();
    const std::string text = in.ConsumeRemainingBytesAsString();

    CheckParse(text, def);

    // IntToStr writes what std::to_string writes, and 32-bit values parse back.
    fuzz::Check(IntToStr(wide) == std::to_string(wide), "IntToStr is wrong",
                std::to_string(wide) + " gave " + IntToStr(wide));
    std::int32_t back = 0;
    const std::int32_t narrow = static_cast<std::int32_t>(wide);
    fuzz::Check(TryStrToInt(IntToStr(narrow), back) && back == narrow,
                "IntToStr does not parse back", std::to_string(narrow));

    // Through the profile: the entry's value as read (trimmed, unquoted,
    // cut to 1023 characters) is what the integer and truth are read from.
    // Line breaks would end the entry and NULs end a value, so they are left out.
    static const char stops[] = "\r\n\0";
    const std::string entry = fuzz::Without(text, stops, sizeof stops - 1);
    TFakeDisk disk;
    disk.Put("C:\\SETUP\\n.ini", "[S]\r\nk=" + entry + "\r\n");
    TFakeProfileFiles files(disk);
    TProfile profile(files, "C:\\SETUP\\n.ini");
    const std::string raw = Cut(fuzz::AsRead(entry), TProfile::ValueBufferSize - 1);
    const std::int32_t asInteger = profile.ReadInteger("S", "k", def);
    fuzz::Check(asInteger == ReferenceInteger(raw, def), "ReadInteger is wrong",
                fuzz::Show(entry) + " gave " + std::to_string(asInteger));
    for (bool truthDef : {false, true})
        fuzz::Check(profile.ReadBool("S", "k", truthDef) == (ReferenceInteger(raw, truthDef) != 0),
                    "ReadBool is wrong", fuzz::Show(entry));
    fuzz::Check(profile.ReadInteger("S", "missing", def) == def,
                "a missing entry does not give the default");
    return 0;
}
