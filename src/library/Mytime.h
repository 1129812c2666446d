#pragma once

#include <cstdint>

namespace lib {

// Seconds of the local clock, no time zone or daylight handling: 86400 × day + time of day,
// with day 1 = 1 January 1970 and every year divisible by 4 a leap year.
using LocalSeconds = std::uint32_t;

struct LocalTimeFields {
    int year = 1970;
    int month = 1;
    int day = 1;
    int hour = 0;
    int minute = 0;
    int second = 0;

    bool operator==(const LocalTimeFields&) const = default;
};

LocalSeconds toLocalSeconds(int year, int month, int day, int hour, int minute, int second);
LocalTimeFields fromLocalSeconds(LocalSeconds value);
LocalSeconds localSecondsNow();

// The date-time stored in files: days since 30 December 1899, the time of day in the fraction.
double toDateTime(LocalSeconds value);

} // namespace lib
