#pragma once

// The local wall-clock time for time stamps in diagnostics. It comes from one replaceable source
// so that tests can stamp lines with a time of their choosing.

#include <functional>

struct LocalDateTime {
    int year = 1970;
    int month = 1; // 1-12
    int day = 1;   // 1-31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

LocalDateTime CurrentLocalTime();

// An empty function restores the system clock. Set it before any stamp is taken, on the thread
// that writes diagnostics.
void SetLocalTimeSource(std::function<LocalDateTime()> source);
