// The date-and-time text written into the registry and the uninstall record.
#pragma once
#include <string>

#include "platform/Clock.h"
#include "platform/Locale.h"

// The long time format the locale's settings make: "h" or "hh", ":mm:ss",
// and " AMPM" unless the locale uses the 24-hour clock.
std::string LongTimeFormat(const TLocaleFormats& locale);
// Formats a time by a date/time pattern (d, dd, ddd, dddd, m, mm, mmm, mmmm,
// yy, yyyy, h, hh, n, nn, s, ss, AMPM, am/pm, a/p, "/" and ":" as the
// locale's separators, quoted literals); m after h means minutes.
std::string FormatDateTimeText(const std::string& pattern, const TDateTime& time,
                               const TLocaleFormats& locale);
// The short date, then a blank and the long time unless it is 00:00:00.
std::string DateTimeText(const TDateTime& time, const TLocaleFormats& locale);
