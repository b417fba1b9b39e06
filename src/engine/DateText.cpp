#include "engine/DateText.h"

#include <cctype>

namespace {

std::string TwoDigits(int value)
{
    std::string text = std::to_string(value % 100);
    return text.size() < 2 ? "0" + text : text;
}

// Day of week, 0 = Sunday (Sakamoto's rule on the Gregorian calendar).
// Whatever the numbers, the result stays within 0..6.
int DayOfWeek(int year, int month, int day)
{
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    long long y = year;
    if (month < 3) y -= 1;
    int m = static_cast<int>(((static_cast<long long>(month) - 1) % 12 + 12) % 12);
    long long v = y + y / 4 - y / 100 + y / 400 + offsets[m] + day;
    return static_cast<int>((v % 7 + 7) % 7);
}

std::size_t RunOf(const std::string& s, std::size_t at)
{
    char c = static_cast<char>(std::tolower(static_cast<unsigned char>(s[at])));
    std::size_t end = at;
    while (end < s.size() && std::tolower(static_cast<unsigned char>(s[end])) == c) ++end;
    return end - at;
}

bool StartsWithNoCase(const std::string& s, std::size_t at, const char* word)
{
    for (std::size_t i = 0; word[i] != '\0'; ++i)
        if (at + i >= s.size() ||
            std::tolower(static_cast<unsigned char>(s[at + i])) != word[i])
            return false;
    return true;
}

}  // namespace

std::string LongTimeFormat(const TLocaleFormats& locale)
{
    std::string format = locale.HourLeadingZero ? "hh" : "h";
    format += ":mm:ss";
    if (!locale.Clock24) format += " AMPM";
    return format;
}

std::string FormatDateTimeText(const std::string& pattern, const TDateTime& t,
                               const TLocaleFormats& locale)
{
    // A 12-hour clock when the pattern names morning and afternoon.
    bool twelveHour = false;
    for (std::size_t i = 0; i < pattern.size(); ++i)
        if (StartsWithNoCase(pattern, i, "ampm") || StartsWithNoCase(pattern, i, "am/pm") ||
            StartsWithNoCase(pattern, i, "a/p"))
            twelveHour = true;

    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(pattern[i])));
        if (pattern[i] == '"' || pattern[i] == '\'') {
            std::size_t end = pattern.find(pattern[i], i + 1);
            if (end == std::string::npos) end = pattern.size();
            out += pattern.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "ampm")) {
            out += t.Hour < 12 ? (locale.Morning.empty() ? "am" : locale.Morning)
                               : (locale.Afternoon.empty() ? "pm" : locale.Afternoon);
            i += 4;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "am/pm")) {
            out += t.Hour < 12 ? pattern.substr(i, 2) : pattern.substr(i + 3, 2);
            i += 5;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "a/p")) {
            out += t.Hour < 12 ? pattern.substr(i, 1) : pattern.substr(i + 2, 1);
            i += 3;
            continue;
        }
        std::size_t run = RunOf(pattern, i);
        switch (c) {
        case 'd':
            if (run == 1) out += std::to_string(t.Day);
            else if (run == 2) out += TwoDigits(t.Day);
            else if (run == 3) out += locale.ShortDayNames[DayOfWeek(t.Year, t.Month, t.Day)];
            else out += locale.LongDayNames[DayOfWeek(t.Year, t.Month, t.Day)];
            break;
        case 'm':
            if (afterHour && run <= 2) {
                out += run == 1 ? std::to_string(t.Minute) : TwoDigits(t.Minute);
            } else if (run == 1) {
                out += std::to_string(t.Month);
            } else if (run == 2) {
                out += TwoDigits(t.Month);
            } else if (t.Month >= 1 && t.Month <= 12) {
                out += run == 3 ? locale.ShortMonthNames[t.Month - 1]
                                : locale.LongMonthNames[t.Month - 1];
            }
            break;
        case 'y': out += run <= 2 ? TwoDigits(t.Year) : std::to_string(t.Year); break;
        case 'h': {
            int hour = t.Hour;
            if (twelveHour) hour = hour % 12 == 0 ? 12 : hour % 12;
            out += run == 1 ? std::to_string(hour) : TwoDigits(hour);
            break;
        }
        case 'n': out += run == 1 ? std::to_string(t.Minute) : TwoDigits(t.Minute); break;
        case 's': out += run == 1 ? std::to_string(t.Second) : TwoDigits(t.Second); break;
        case '/': out += locale.DateSeparator; run = 1; break;
        case ':': out += locale.TimeSeparator; run = 1; break;
        default: out += pattern[i]; run = 1; break;
        }
        if (c == 'h') afterHour = true;
        else if (c != ':' && c != ' ' && c != '.') afterHour = false;
        i += run;
    }
    return out;
}

std::string DateTimeText(const TDateTime& time, const TLocaleFormats& locale)
{
    std::string text =
        FormatDateTimeText(locale.ShortDate.empty() ? "m/d/yy" : locale.ShortDate, time, locale);
    if (time.Hour != 0 || time.Minute != 0 || time.Second != 0)
        text += " " + FormatDateTimeText(LongTimeFormat(locale), time, locale);
    return text;
}
