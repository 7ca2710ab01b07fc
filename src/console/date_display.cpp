// The date and time formatters and the column printers built on them.
#include "console/date_display.h"

#include <cstdio>

#include "driver/run_settings.h"
#include "platform/platform.h"

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

// The calendar fields of a file time in local time, with the bias in force now. A time
// the system cannot convert shows as zeros rather than as what a buffer held before.
SYSTEMTIME local_calendar(uint64_t file_time)
{
    const FILETIME utc = file_time_of(file_time);
    FILETIME local;
    SYSTEMTIME calendar = {};
    if (FileTimeToLocalFileTime(&utc, &local))
        FileTimeToSystemTime(&local, &calendar);
    return calendar;
}

static int advance(char** cursor, int written)
{
    *cursor += written;
    return written;
}

// A buffer of 16 characters holds every form.
int format_date(uint64_t file_time, char** cursor, char separator)
{
    const SYSTEMTIME t = local_calendar(file_time);
    const unsigned short year = settings.year_4_digits ? t.wYear : static_cast<unsigned short>(t.wYear % 100);
    const unsigned short month = t.wMonth;
    const unsigned short day = t.wDay;
    if (settings.year_4_digits) {
        if (separator != 0)
            return advance(cursor, snprintf(*cursor, 16, "%04hu%c%02hu%c%02hu", year, separator, month, separator, day));
        return advance(cursor, snprintf(*cursor, 16, "%04hu%02hu%02hu", year, month, day));
    }
    if (separator != 0)
        return advance(cursor, snprintf(*cursor, 16, "%02hu%c%02hu%c%02hu", year, separator, month, separator, day));
    return advance(cursor, snprintf(*cursor, 16, "%02hu%02hu%02hu", year, month, day));
}

int format_time(uint64_t file_time, char** cursor, int mode)
{
    const SYSTEMTIME t = local_calendar(file_time);
    const unsigned short hour = t.wHour;
    const unsigned short minute = t.wMinute;
    const unsigned short second = t.wSecond;
    if (mode == TIME_COMPACT)
        return advance(cursor, snprintf(*cursor, 16, "%02hu%02hu%02hu", hour, minute, second));
    if (mode == TIME_SECONDS)
        return advance(cursor, snprintf(*cursor, 16, "%02hu:%02hu:%02hu", hour, minute, second));
    const unsigned short hundredths = static_cast<unsigned short>(t.wMilliseconds / 10);
    return advance(cursor, snprintf(*cursor, 16, "%02hu:%02hu:%02hu.%02hu", hour, minute, second, hundredths));
}

void print_date(uint64_t file_time)
{
    char buffer[16];
    char* cursor = buffer;
    format_date(file_time, &cursor, '-');
    *cursor++ = ' ';
    *cursor = '\0';
    fputs(buffer, stdout);
}

void print_time(uint64_t file_time, char following)
{
    char buffer[16];
    char* cursor = buffer;
    format_time(file_time, &cursor, TIME_SECONDS);
    *cursor++ = following;
    *cursor = '\0';
    fputs(buffer, stdout);
}

void print_time_fraction(uint64_t file_time, const char* suffix)
{
    char buffer[16];
    char* cursor = buffer;
    format_time(file_time, &cursor, TIME_HUNDREDTHS);
    printf("%s%s", buffer, suffix);
}
