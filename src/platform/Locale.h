// What the program takes from the system's locales: the user's default
// locale compares texts, the system's default locale formats dates.
#pragma once
#include <string>

#include "core/CharText.h"

struct TLocaleFormats {
    std::string ShortDate;     // e.g. "M/d/yyyy"; "" when the locale gives none
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    bool HourLeadingZero = false;
    bool Clock24 = false;
    std::string Morning = "AM";    // "" when the locale gives none
    std::string Afternoon = "PM";
    std::string ShortMonthNames[12];
    std::string LongMonthNames[12];
    std::string ShortDayNames[7];  // Sunday first
    std::string LongDayNames[7];
};

class ILocale {
public:
    virtual ~ILocale() = default;
    // Lower case by the system's ANSI rules (CharLowerBuffA).
    virtual std::string Lower(const std::string& text) = 0;
    // Whole strings equal without regard to case, for the user's default
    // locale (CompareStringA).
    virtual bool SameText(const std::string& a, const std::string& b) = 0;
    // The system's ANSI code page, which every name and text is in.
    virtual TCodePage CodePage() = 0;
};

// The system's default locale as it writes dates: the installer's and the
// checker's, which date the records and read them back.
class IDateFormats {
public:
    virtual ~IDateFormats() = default;
    // The formats of the system's default locale, which date the records
    // whoever runs the installation.
    virtual TLocaleFormats Formats() = 0;
};
