#include "library/Mytime.h"

#include <algorithm>
#include <array>
#include <ctime>
#include <limits>

namespace lib {
namespace {

constexpr std::array<int, 12> monthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

bool isLeap(int year)
{
    return year % 4 == 0;
}

int daysInYear(int year)
{
    return isLeap(year) ? 366 : 365;
}

int daysInMonth(int year, int month)
{
    return monthDays[static_cast<std::size_t>(month - 1)] + (month == 2 && isLeap(year) ? 1 : 0);
}

} // namespace

LocalSeconds toLocalSeconds(int year, int month, int day, int hour, int minute, int second)
{
    // Keeps the loops short and the tables in range whatever a damaged record holds.
    year = std::clamp(year, 1970, 2106);
    month = std::clamp(month, 1, 12);
    std::int64_t days = day;
    for (int y = 1970; y < year; ++y)
        days += daysInYear(y);
    for (int m = 1; m < month; ++m)
        days += daysInMonth(year, m);
    const std::int64_t total = days * 86400 + std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second;
    return static_cast<LocalSeconds>(std::clamp<std::int64_t>(total, 0, std::numeric_limits<LocalSeconds>::max()));
}

LocalTimeFields fromLocalSeconds(LocalSeconds value)
{
    LocalTimeFields fields;
    std::uint32_t remainder = value % 86400;
    fields.hour = static_cast<int>(remainder / 3600);
    remainder %= 3600;
    fields.minute = static_cast<int>(remainder / 60);
    fields.second = static_cast<int>(remainder % 60);

    int day = static_cast<int>(value / 86400);
    fields.year = 1970;
    while (day > daysInYear(fields.year))
        day -= daysInYear(fields.year++);
    fields.month = 1;
    while (day > daysInMonth(fields.year, fields.month))
        day -= daysInMonth(fields.year, fields.month++);
    fields.day = day;
    return fields;
}

LocalSeconds localSecondsNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return toLocalSeconds(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec);
}

double toDateTime(LocalSeconds value)
{
    // Day 1 of the local seconds, 1 January 1970, is day 25569 of the stored date-times.
    constexpr double daysBeforeFirstDay = 25568.0;
    return daysBeforeFirstDay + value / 86400.0;
}

} // namespace lib
