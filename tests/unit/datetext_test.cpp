// The date-and-time text of the Install "Date" values: the locale's short
// date, a blank and the long time built from the locale's clock settings.
#include <gtest/gtest.h>

#include <string>

#include "engine/DateText.h"
#include "platform/doubles/FakePlatform.h"

namespace {

struct LocaleCase {
    const char* shortDate;
    const char* dateSeparator;
    const char* timeSeparator;
    bool leadingZero;
    bool clock24;
    const char* morning;
    const char* afternoon;
    TDateTime time;
    const char* expected;
};

TLocaleFormats Locale(const LocaleCase& c)
{
    TLocaleFormats f = TFakeLocale::UnitedStates();
    f.ShortDate = c.shortDate;
    f.DateSeparator = c.dateSeparator;
    f.TimeSeparator = c.timeSeparator;
    f.HourLeadingZero = c.leadingZero;
    f.Clock24 = c.clock24;
    f.Morning = c.morning;
    f.Afternoon = c.afternoon;
    return f;
}

void ExpectTexts(const LocaleCase* begin, const LocaleCase* end)
{
    for (const LocaleCase* c = begin; c != end; ++c) {
        const TDateTime& t = c->time;
        EXPECT_EQ(c->expected, DateTimeText(t, Locale(*c)))
            << c->shortDate << (c->clock24 ? " 24h" : " 12h")
            << (c->leadingZero ? " hh " : " h ") << t.Year << "-" << t.Month << "-" << t.Day
            << " " << t.Hour << ":" << t.Minute << ":" << t.Second;
    }
}

const TDateTime QuarterPastThree{1997, 12, 6, 15, 15, 0};
const TDateTime MorningTime{2003, 1, 2, 9, 5, 7};

TEST(DateTextTest, TwelveHourClockFollowsLeadingZeroAndDesignators)
{
    const LocaleCase cases[] = {
        {"M/d/yy", "/", ":", false, false, "AM", "PM", QuarterPastThree, "12/6/97 3:15:00 PM"},
        {"M/d/yy", "/", ":", true, false, "AM", "PM", QuarterPastThree, "12/6/97 03:15:00 PM"},
        {"M/d/yyyy", "/", ":", false, false, "AM", "PM", MorningTime, "1/2/2003 9:05:07 AM"},
        {"M/d/yyyy", "/", ":", true, false, "AM", "PM", MorningTime, "1/2/2003 09:05:07 AM"},
        // The hours after midnight and after noon read 12.
        {"M/d/yyyy", "/", ":", false, false, "AM", "PM", {1997, 12, 6, 0, 30, 0},
         "12/6/1997 12:30:00 AM"},
        {"M/d/yyyy", "/", ":", true, false, "AM", "PM", {1997, 12, 6, 12, 0, 1},
         "12/6/1997 12:00:01 PM"},
        {"M/d/yyyy", "/", ":", false, false, "AM", "PM", {1997, 12, 6, 23, 59, 59},
         "12/6/1997 11:59:59 PM"},
        // The locale's own designators, and the fallbacks when it gives none.
        {"M/d/yyyy", "/", ":", false, false, "vorm.", "nachm.", MorningTime,
         "1/2/2003 9:05:07 vorm."},
        {"M/d/yyyy", "/", ":", false, false, "vorm.", "nachm.", {2003, 1, 2, 21, 5, 7},
         "1/2/2003 9:05:07 nachm."},
        {"M/d/yyyy", "/", ":", false, false, "", "", MorningTime, "1/2/2003 9:05:07 am"},
        {"M/d/yyyy", "/", ":", false, false, "", "", {2003, 1, 2, 21, 5, 7},
         "1/2/2003 9:05:07 pm"},
    };
    ExpectTexts(std::begin(cases), std::end(cases));
}

TEST(DateTextTest, TwentyFourHourClockHasNoDesignatorAndKeepsTheHour)
{
    const LocaleCase cases[] = {
        {"dd/MM/yyyy", ".", ":", true, true, "AM", "PM", QuarterPastThree, "06.12.1997 15:15:00"},
        {"d/M/yyyy", ".", ".", false, true, "AM", "PM", MorningTime, "2.1.2003 9.05.07"},
        {"dd/MM/yyyy", ".", ":", true, true, "AM", "PM", MorningTime, "02.01.2003 09:05:07"},
        {"dd/MM/yyyy", ".", ":", true, true, "AM", "PM", {1997, 12, 6, 0, 30, 0},
         "06.12.1997 00:30:00"},
        {"d/M/yyyy", ".", ":", false, true, "AM", "PM", {1997, 12, 6, 0, 0, 5},
         "6.12.1997 0:00:05"},
        {"d/M/yyyy", ".", ":", false, true, "AM", "PM", {1997, 12, 6, 23, 59, 59},
         "6.12.1997 23:59:59"},
    };
    ExpectTexts(std::begin(cases), std::end(cases));
}

TEST(DateTextTest, ShortDateUsesLocaleSeparatorZeroPaddingAndFallback)
{
    const LocaleCase cases[] = {
        {"MM/dd/yyyy", "/", ":", false, false, "AM", "PM", MorningTime, "01/02/2003 9:05:07 AM"},
        {"yyyy/MM/dd", "-", ":", true, true, "AM", "PM", MorningTime, "2003-01-02 09:05:07"},
        {"d/M/yy", "/", ":", true, true, "AM", "PM", {2005, 3, 4, 10, 0, 0}, "4/3/05 10:00:00"},
        // No short date from the locale: m/d/yy.
        {"", "/", ":", false, false, "AM", "PM", QuarterPastThree, "12/6/97 3:15:00 PM"},
        {"", "-", ":", false, false, "AM", "PM", MorningTime, "1-2-03 9:05:07 AM"},
    };
    ExpectTexts(std::begin(cases), std::end(cases));
}

TEST(DateTextTest, MidnightLeavesOutTheBlankAndTheTime)
{
    const TDateTime midnight{1997, 12, 6, 0, 0, 0};
    const LocaleCase cases[] = {
        {"M/d/yyyy", "/", ":", false, false, "AM", "PM", midnight, "12/6/1997"},
        {"dd/MM/yyyy", ".", ":", true, true, "AM", "PM", midnight, "06.12.1997"},
        {"", "/", ":", true, false, "AM", "PM", midnight, "12/6/97"},
        // One second later the time is back.
        {"M/d/yyyy", "/", ":", false, false, "AM", "PM", {1997, 12, 6, 0, 0, 1},
         "12/6/1997 12:00:01 AM"},
        {"dd/MM/yyyy", ".", ":", true, true, "AM", "PM", {1997, 12, 6, 0, 1, 0},
         "06.12.1997 00:01:00"},
    };
    ExpectTexts(std::begin(cases), std::end(cases));
}

}  // namespace
