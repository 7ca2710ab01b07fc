// The date and time formatters and the column printers built on them.
#include "console/date_display.h"

#include <cstdio>

#include "platform/platform.h"
#include "records/run_settings.h"
#include "time/file_time.h"

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

// Two digits of a value below 100.
static char* put_two(char* at, unsigned value)
{
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
}

// At least four digits: a year past 9999 takes five, as "%04u" gives it.
static char* put_year(char* at, unsigned year)
{
    if (year >= 10000)
        *at++ = static_cast<char>('0' + year / 10000);
    at = put_two(at, year / 100 % 100);
    return put_two(at, year % 100);
}

static char* put_date(char* at, const SYSTEMTIME& t, char separator)
{
    at = settings.year_4_digits ? put_year(at, t.wYear) : put_two(at, t.wYear % 100u);
    if (separator != 0)
        *at++ = separator;
    at = put_two(at, t.wMonth);
    if (separator != 0)
        *at++ = separator;
    return put_two(at, t.wDay);
}

static char* put_time(char* at, const SYSTEMTIME& t, int mode)
{
    const char separator = mode == TIME_COMPACT ? '\0' : ':';
    at = put_two(at, t.wHour);
    if (separator != 0)
        *at++ = separator;
    at = put_two(at, t.wMinute);
    if (separator != 0)
        *at++ = separator;
    at = put_two(at, t.wSecond);
    if (mode == TIME_COMPACT || mode == TIME_SECONDS)
        return at;
    *at++ = '.';
    return put_two(at, t.wMilliseconds / 10u);
}

// The listing writes a line per entry: its dates are put by hand, not through printf.
static int advance(char** cursor, char* end)
{
    const int written = static_cast<int>(end - *cursor);
    *cursor = end;
    return written;
}

// A buffer of 16 characters holds every form.
int format_date(uint64_t file_time, char** cursor, char separator)
{
    return advance(cursor, put_date(*cursor, local_calendar(file_time), separator));
}

int format_time(uint64_t file_time, char** cursor, int mode)
{
    return advance(cursor, put_time(*cursor, local_calendar(file_time), mode));
}

int format_date_column(uint64_t file_time, char** cursor)
{
    const SYSTEMTIME t = local_calendar(file_time);
    char* at = put_date(*cursor, t, '-');
    *at++ = ' ';
    return advance(cursor, put_time(at, t, TIME_HUNDREDTHS));
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
