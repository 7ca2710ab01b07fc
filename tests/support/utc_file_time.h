// A moment of the calendar in UTC as a FILETIME value: 100 ns steps since 1601.
#pragma once

#include <cstdint>
#include <ctime>

inline uint64_t utc_file_time(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                              int millisecond = 0)
{
    struct tm fields = {};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<uint64_t>(timegm(&fields) + 11644473600ll) * 10000000ull +
           static_cast<uint64_t>(millisecond) * 10000ull;
}
