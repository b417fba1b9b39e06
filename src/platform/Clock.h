// Time: the local date and time, and the blocking pause.
#pragma once

struct TDateTime {
    int Year = 0, Month = 0, Day = 0;
    int Hour = 0, Minute = 0, Second = 0;
};

class IClock {
public:
    virtual ~IClock() = default;
    virtual TDateTime Now() = 0;
    // Blocks the calling thread; no messages are handled meanwhile.
    virtual void Sleep(unsigned milliseconds) = 0;
};
