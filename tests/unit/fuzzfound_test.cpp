// Faults the fuzz targets (tests/fuzz) found, kept as unit tests.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/DateText.h"
#include "platform/doubles/FakePlatform.h"

namespace {

TLocaleFormats NamedLocale()
{
    TLocaleFormats f = TFakeLocale::UnitedStates();
    for (int i = 0; i < 12; ++i) {
        f.ShortMonthNames[i] = "<m" + std::to_string(i + 1) + ">";
        f.LongMonthNames[i] = "<month" + std::to_string(i + 1) + ">";
    }
    for (int i = 0; i < 7; ++i) {
        f.ShortDayNames[i] = "<d" + std::to_string(i) + ">";
        f.LongDayNames[i] = "<day" + std::to_string(i) + ">";
    }
    return f;
}

bool OneOf(const std::string& text, const std::string (&names)[7])
{
    for (const std::string& name : names)
        if (text == name) return true;
    return false;
}

// The day names for times no clock gives (a month or day out of range, or
// a year or day near the ends of int) must come from the locale's seven
// names, or be left out; the weekday reckoning must neither overflow nor
// index before or past its tables. Found by datetext_fuzz with the
// patterns "ddd"/"dddd": DateText.cpp DayOfWeek read offsets[-9] for month
// -20, and overflowed for year INT_MIN or day INT_MAX.
TEST(FuzzFoundTest, DayNamesOfImpossibleDatesStayInsideTheNameTables)
{
    const TLocaleFormats locale = NamedLocale();
    const TDateTime times[] = {
        {2000, -20, 1, 12, 0, 0},        // offsets[-9]
        {2000, -12, 1, 12, 0, 0},        // offsets[-1]
        {2000, 13, 1, 12, 0, 0},
        {2000, 5, -3000, 12, 0, 0},      // a negative remainder of 7
        {-5000, 5, 1, 12, 0, 0},
        {INT_MIN, 1, 1, 12, 0, 0},       // year - 1 overflows
        {2000, 5, INT_MAX, 12, 0, 0},    // the sum overflows
        {INT_MAX, INT_MAX, INT_MAX, 0, 0, 0},
        {INT_MIN, INT_MIN, INT_MIN, 0, 0, 0},
    };
    for (const TDateTime& t : times) {
        const std::string shortName = FormatDateTimeText("ddd", t, locale);
        const std::string longName = FormatDateTimeText("dddd", t, locale);
        EXPECT_TRUE(shortName.empty() || OneOf(shortName, locale.ShortDayNames))
            << t.Year << "-" << t.Month << "-" << t.Day << " gave " << shortName;
        EXPECT_TRUE(longName.empty() || OneOf(longName, locale.LongDayNames))
            << t.Year << "-" << t.Month << "-" << t.Day << " gave " << longName;
    }
}

// Real dates keep their weekday (the cases above must not be fixed at the
// cost of these).
TEST(FuzzFoundTest, DayNamesOfRealDates)
{
    const TLocaleFormats locale = NamedLocale();
    EXPECT_EQ("<day6>", FormatDateTimeText("dddd", {1997, 12, 6, 15, 15, 0}, locale));
    EXPECT_EQ("<d4>", FormatDateTimeText("ddd", {2003, 1, 2, 9, 5, 7}, locale));
    EXPECT_EQ("<day2>", FormatDateTimeText("dddd", {2000, 2, 29, 0, 0, 0}, locale));
    EXPECT_EQ("<d1>", FormatDateTimeText("ddd", {1, 1, 1, 0, 0, 0}, locale));
    EXPECT_EQ("<day5>", FormatDateTimeText("dddd", {9999, 12, 31, 0, 0, 0}, locale));
}

}  // namespace
