// Date argument parsing.
#include "driver/dates.h"

#include "driver/numbers.h"
#include "platform/platform.h"
#include "time/file_time.h"

static bool step_over(char** cursor, char first, char second)
{
    if (**cursor != first && **cursor != second)
        return false;
    (*cursor)++;
    return true;
}

// Years below 100 are two-digit years: 0 to 79 mean 2000 to 2079, 80 to 99 the 1900s.
static bool read_date_part(char** cursor, SYSTEMTIME* time)
{
    uint32_t year = read_unsigned(cursor, 10);
    if (year < 100)
        year += year < 80 ? 2000 : 1900;
    else if (year <= 1600 || year > 30827)
        return false;
    if (!step_over(cursor, '-', '/'))
        return false;
    const uint32_t month = read_unsigned(cursor, 10);
    if (month < 1 || month > 12 || !step_over(cursor, '-', '/'))
        return false;
    const uint32_t day = read_unsigned(cursor, 10);
    if (day < 1 || day > static_cast<uint32_t>(days_in_month(static_cast<int>(year), static_cast<int>(month))))
        return false;
    time->wYear = static_cast<WORD>(year);
    time->wMonth = static_cast<WORD>(month);
    time->wDay = static_cast<WORD>(day);
    return true;
}

// Up to three digits after the '.' give the milliseconds, filled up on the right with
// zeros (.5 is 500); the digits after them are read over and dropped.
static void read_fraction(char** cursor, SYSTEMTIME* time)
{
    char* p = *cursor;
    int milliseconds = 0;
    int taken = 0;
    for (; taken < 3 && is_decimal_digit(p[taken]); taken++)
        milliseconds = milliseconds * 10 + (p[taken] - '0');
    for (int filled = taken; filled < 3; filled++)
        milliseconds *= 10;
    while (is_decimal_digit(*p))
        p++;
    time->wMilliseconds = static_cast<WORD>(milliseconds);
    *cursor = p;
}

static bool read_time_part(char** cursor, SYSTEMTIME* time)
{
    const uint32_t hour = read_unsigned(cursor, 10);
    if (hour > 23 || !step_over(cursor, ':', ':'))
        return false;
    const uint32_t minute = read_unsigned(cursor, 10);
    if (minute > 59 || !step_over(cursor, ':', ':'))
        return false;
    const uint32_t second = read_unsigned(cursor, 10);
    if (second > 59)
        return false;
    time->wHour = static_cast<WORD>(hour);
    time->wMinute = static_cast<WORD>(minute);
    time->wSecond = static_cast<WORD>(second);
    if (step_over(cursor, '.', '.'))
        read_fraction(cursor, time);
    return true;
}

int parse_date(uint64_t* target, char** cursor, int mode)
{
    SYSTEMTIME time;
    GetLocalTime(&time);
    if (mode == DATE_END_OF_DAY)
        time.wMilliseconds = 999;
    else if (mode == DATE_START_OF_DAY)
        time.wMilliseconds = 0;

    char* p = *cursor;
    if (*p != ',' && *p != '&' && !read_date_part(&p, &time))
        return 0;
    if (step_over(&p, ',', '&')) {
        if (!read_time_part(&p, &time))
            return 0;
    } else if (mode == DATE_TIME_REQUIRED) {
        return 0;
    } else if (mode == DATE_END_OF_DAY) {
        time.wHour = 23;
        time.wMinute = 59;
        time.wSecond = 59;
    } else {
        time.wHour = 0;
        time.wMinute = 0;
        time.wSecond = 0;
    }

    FILETIME local, utc;
    if (!SystemTimeToFileTime(&time, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return 0;
    *target = file_time_value(utc);
    *cursor = p;
    return 1;
}
