#include <windows.h>

#include "platform/win32/Win32Platform.h"

namespace {

std::string Info(LCTYPE type)
{
    char buffer[128] = {};
    int length = GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, type, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer) : std::string();
}

}  // namespace

TLocaleFormats TWin32DateFormats::Formats()
{
    TLocaleFormats f;
    f.ShortDate = Info(LOCALE_SSHORTDATE);
    f.DateSeparator = Info(LOCALE_SDATE);
    f.TimeSeparator = Info(LOCALE_STIME);
    f.HourLeadingZero = Info(LOCALE_ITLZERO) == "1";
    f.Clock24 = Info(LOCALE_ITIME) == "1";
    f.Morning = Info(LOCALE_S1159);
    f.Afternoon = Info(LOCALE_S2359);
    for (int i = 0; i < 12; ++i) {
        f.ShortMonthNames[i] = Info(LOCALE_SABBREVMONTHNAME1 + i);
        f.LongMonthNames[i] = Info(LOCALE_SMONTHNAME1 + i);
    }
    // The system counts days from Monday; ours from Sunday.
    for (int i = 0; i < 7; ++i) {
        f.ShortDayNames[(i + 1) % 7] = Info(LOCALE_SABBREVDAYNAME1 + i);
        f.LongDayNames[(i + 1) % 7] = Info(LOCALE_SDAYNAME1 + i);
    }
    return f;
}
