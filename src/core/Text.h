// Pure text rules shared by every part of the program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

using TStrings = std::vector<std::string>;

// Settings, paths and user entries are held in texts of at most 255 chars.
constexpr std::size_t ShortStringMax = 255;

// The first max bytes of text, never half a character.
std::string Cut(const std::string& text, std::size_t max = ShortStringMax);

// Whole-number conversion: leading blanks, an optional sign, then decimal
// digits or "$" and hexadecimal digits; nothing may follow. Decimal values
// must fit a signed 32-bit integer; hexadecimal ones may use all 32 bits.
bool TryStrToInt(const std::string& text, std::int32_t& value);
std::int32_t StrToIntDef(const std::string& text, std::int32_t def);
// As TryStrToInt, raising "'%s' is not a valid integer value" on failure.
std::int32_t StrToInt(const std::string& text);

// Profile and registry integers: a text longer than two characters that
// starts with "0x" or "0X" is hexadecimal.
std::int32_t ReadIntegerText(const std::string& text, std::int32_t def);

std::string IntToStr(std::int64_t value);

// Upper-cases a..z only; used for matching names the way the profile
// services do.
std::string AsciiUpper(std::string text);
