// File time values and the length of a month.
#include "time/file_time.h"

uint64_t file_time_value(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

FILETIME file_time_of(uint64_t value)
{
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(value);
    time.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return time;
}

int days_in_month(int year, int month)
{
    if (month == 2)
        return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0) ? 29 : 28;
    // January, March, May, July, August, October and December have 31 days.
    return ((month ^ (month >> 3)) & 1) != 0 ? 31 : 30;
}
