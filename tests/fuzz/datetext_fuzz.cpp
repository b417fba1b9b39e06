// The date formatter: FormatDateTimeText with arbitrary patterns, locale
// settings and times, DateTimeText with arbitrary locales. Times are any
// integers, not only the ones a clock gives: out-of-range months and days
// must give some text, never a read past the name tables. For real dates
// the names and numbers are checked against a second calendar reckoning.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/DateText.h"
#include "FuzzSupport.h"

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

int WeekDay(int y, int m, int d)  // 0 = Sunday; 1970-01-01 was a Thursday
{
    std::int64_t days = DaysFromCivil(y, static_cast<unsigned>(m), static_cast<unsigned>(d));
    return static_cast<int>(((days + 4) % 7 + 7) % 7);
}

bool IsRealDate(const TDateTime& t)
{
    static const int lengths[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.Year < 1 || t.Year > 9999 || t.Month < 1 || t.Month > 12 || t.Day < 1) return false;
    bool leap = (t.Year % 4 == 0 && t.Year % 100 != 0) || t.Year % 400 == 0;
    int length = t.Month == 2 && !leap ? 28 : lengths[t.Month - 1];
    return t.Day <= length;
}

int Field(FuzzedDataProvider& in, int low, int high)
{
    // Mostly in range, sometimes anything at all.
    return in.ConsumeBool() ? in.ConsumeIntegralInRange(low, high) : in.ConsumeIntegral<int>();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::LeakProbe();
    FuzzedDataProvider in(data, size);
    const std::string pattern = in.ConsumeRandomLengthString(200);

    TLocaleFormats locale;
    locale.ShortDate = in.ConsumeRandomLengthString(40);
    locale.DateSeparator = in.ConsumeRandomLengthString(4);
    locale.TimeSeparator = in.ConsumeRandomLengthString(4);
    locale.Morning = in.ConsumeRandomLengthString(8);
    locale.Afternoon = in.ConsumeRandomLengthString(8);
    locale.HourLeadingZero = in.ConsumeBool();
    locale.Clock24 = in.ConsumeBool();
    for (int i = 0; i < 12; ++i) {
        locale.ShortMonthNames[i] = "<m" + std::to_string(i + 1) + ">";
        locale.LongMonthNames[i] = "<month" + std::to_string(i + 1) + ">";
    }
    for (int i = 0; i < 7; ++i) {
        locale.ShortDayNames[i] = "<d" + std::to_string(i) + ">";
        locale.LongDayNames[i] = "<day" + std::to_string(i) + ">";
    }

    TDateTime t;
    t.Year = Field(in, 1, 9999);
    t.Month = Field(in, 1, 12);
    t.Day = Field(in, 1, 31);
    t.Hour = Field(in, 0, 23);
    t.Minute = Field(in, 0, 59);
    t.Second = Field(in, 0, 59);

    FormatDateTimeText(pattern, t, locale);
    const std::string text = DateTimeText(t, locale);
    const std::string date =
        FormatDateTimeText(locale.ShortDate.empty() ? "m/d/yy" : locale.ShortDate, t, locale);
    fuzz::Check(text.compare(0, date.size(), date) == 0,
                "the date and time text does not start with the short date", fuzz::Show(text));
    const bool midnight = t.Hour == 0 && t.Minute == 0 && t.Second == 0;
    fuzz::Check(midnight == (text.size() == date.size()),
                "the time is shown exactly when it is not midnight", fuzz::Show(text));

    // A pattern without letters, quotes or separators is copied as it is.
    bool plain = true;
    for (char c : pattern)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '"' || c == '\'' ||
            c == '/' || c == ':')
            plain = false;
    if (plain)
        fuzz::Check(FormatDateTimeText(pattern, t, locale) == pattern,
                    "a plain pattern was not copied", fuzz::Show(pattern));

    fuzz::Check(FormatDateTimeText("yyyy", t, locale) == std::to_string(t.Year),
                "the four-digit year is wrong");
    fuzz::Check(FormatDateTimeText("\"d\"'m'", t, locale) == "dm", "quoted letters were not kept");
    if (t.Month >= 1 && t.Month <= 12)
        fuzz::Check(FormatDateTimeText("mmmm", t, locale) == locale.LongMonthNames[t.Month - 1] &&
                        FormatDateTimeText("mmm", t, locale) ==
                            locale.ShortMonthNames[t.Month - 1],
                    "the month name is wrong", std::to_string(t.Month));
    if (IsRealDate(t)) {
        const int day = WeekDay(t.Year, t.Month, t.Day);
        fuzz::Check(FormatDateTimeText("dddd", t, locale) == locale.LongDayNames[day] &&
                        FormatDateTimeText("ddd", t, locale) == locale.ShortDayNames[day],
                    "the day name is wrong",
                    std::to_string(t.Year) + "-" + std::to_string(t.Month) + "-" +
                        std::to_string(t.Day) + " gave " + FormatDateTimeText("dddd", t, locale));
    }
    if (t.Hour >= 0 && t.Hour <= 23 && t.Minute >= 0 && t.Minute <= 59) {
        const int h12 = t.Hour % 12 == 0 ? 12 : t.Hour % 12;
        const std::string ampm = FormatDateTimeText("h:nn am/pm", t, locale);
        const std::string expected = std::to_string(h12) + locale.TimeSeparator +
                                     (t.Minute < 10 ? "0" : "") + std::to_string(t.Minute) +
                                     (t.Hour < 12 ? " am" : " pm");
        fuzz::Check(ampm == expected, "the 12-hour time is wrong",
                    fuzz::Show(ampm) + " instead of " + fuzz::Show(expected));
    }
    return 0;
}
