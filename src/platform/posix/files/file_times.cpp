// Calendar and file times: SYSTEMTIME against FILETIME, UTC against local time.
//
// FILETIME counts 100 ns since 1601-01-01 UTC. Local time uses the bias in force now,
// as Windows does, so a summer time shown in winter is an hour off.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/posix/files/file_times.h"
#include "platform/posix/system/clock.h"

static const uint64_t TICKS_PER_SECOND = 10000000;
static const uint64_t TICKS_PER_DAY = TICKS_PER_SECOND * 86400;
static const uint64_t LARGEST_FILETIME = 0x7FFFFFFFFFFFFFFFull;

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
static int64_t days_from_civil(int64_t year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned year_of_era = static_cast<unsigned>(year - era * 400);
    const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
    return era * 146097 + static_cast<int64_t>(day_of_era) - 719468;
}

static void civil_from_days(int64_t days, int64_t* year, unsigned* month, unsigned* day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const unsigned day_of_era = static_cast<unsigned>(days - era * 146097);
    const unsigned year_of_era = (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
    const unsigned day_of_year = day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
    const unsigned month_index = (5 * day_of_year + 2) / 153;
    *day = day_of_year - (153 * month_index + 2) / 5 + 1;
    *month = month_index < 10 ? month_index + 3 : month_index - 9;
    *year = static_cast<int64_t>(year_of_era) + era * 400 + (*month <= 2);
}

static const int64_t DAYS_1601_TO_1970 = 134774;

static bool is_leap_year(unsigned year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

static unsigned month_length(unsigned year, unsigned month)
{
    static const unsigned lengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && is_leap_year(year) ? 29 : lengths[month - 1];
}

uint64_t filetime_value(const FILETIME* time)
{
    return (static_cast<uint64_t>(time->dwHighDateTime) << 32) | time->dwLowDateTime;
}

void set_filetime_value(FILETIME* time, uint64_t value)
{
    time->dwLowDateTime = static_cast<DWORD>(value);
    time->dwHighDateTime = static_cast<DWORD>(value >> 32);
}

// Host seconds of 1601-01-01 and of 30828-01-01, the ends of what a FILETIME shows.
static const int64_t FIRST_FILETIME_SECOND = -DAYS_1601_TO_1970 * 86400;
static const int64_t END_OF_30827_SECOND = 910670515200;

// Times outside the years a FILETIME shows are clamped, not dropped: a file system may
// hold them (tmpfs takes any 64-bit second), and such a file must still be listed and
// selected. The early end is 100 ns past 1601, since a FILETIME of 0 means "no time".
uint64_t filetime_from_unix(int64_t seconds, long nanoseconds)
{
    if (seconds < FIRST_FILETIME_SECOND || (seconds == FIRST_FILETIME_SECOND && nanoseconds < 100))
        return 1;
    if (seconds >= END_OF_30827_SECOND)
        return static_cast<uint64_t>(END_OF_30827_SECOND - FIRST_FILETIME_SECOND) * TICKS_PER_SECOND - 1;
    return static_cast<uint64_t>(seconds - FIRST_FILETIME_SECOND) * TICKS_PER_SECOND +
           static_cast<uint64_t>(nanoseconds) / 100;
}

// The bias is asked of the host at most once a second: without TZ, tzset checks the
// host's zone file again on every call, two host calls per converted time. A change of
// TZ is seen at once: the bias belongs to the zone TZ names.
static const uint64_t BIAS_LIFETIME_MS = 1000;
static int64_t bias_seconds = 0;
static uint64_t bias_read_ms = 0;
static bool bias_known = false;
static char bias_zone[256];   // the TZ text the bias was read under
static bool bias_zone_set = false;

static bool zone_unchanged(const char* zone)
{
    if ((zone != nullptr) != bias_zone_set)
        return false;
    return zone == nullptr || (strlen(zone) < sizeof bias_zone && strcmp(zone, bias_zone) == 0);
}

static void remember_zone(const char* zone)
{
    bias_zone_set = zone != nullptr;
    if (zone != nullptr)
        snprintf(bias_zone, sizeof bias_zone, "%s", zone);
}

// Seconds east of UTC in force now, in the zone that TZ or the host names.
int64_t current_utc_offset_seconds()
{
    const char* zone = getenv("TZ");
    const uint64_t now_ms = coarse_milliseconds();
    if (bias_known && zone_unchanged(zone) && now_ms - bias_read_ms < BIAS_LIFETIME_MS)
        return bias_seconds;
    tzset();
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    bias_seconds = local.tm_gmtoff;
    bias_read_ms = now_ms;
    bias_known = true;
    remember_zone(zone);
    return bias_seconds;
}

// SystemTimeToFileTime: a calendar time of the years 1601 to 30827 as 100 ns units since
// 1601; a field out of range fails with ERROR_INVALID_PARAMETER; wDayOfWeek is not read.
BOOL SystemTimeToFileTime(const SYSTEMTIME* system_time, LPFILETIME file_time)
{
    const SYSTEMTIME& t = *system_time;
    if (t.wYear < 1601 || t.wYear > 30827 || t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 ||
        t.wDay > month_length(t.wYear, t.wMonth) || t.wHour > 23 || t.wMinute > 59 || t.wSecond > 59 ||
        t.wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t days = days_from_civil(t.wYear, t.wMonth, t.wDay) + DAYS_1601_TO_1970;
    const uint64_t seconds = static_cast<uint64_t>(days) * 86400 + t.wHour * 3600u + t.wMinute * 60u + t.wSecond;
    set_filetime_value(file_time, seconds * TICKS_PER_SECOND + t.wMilliseconds * 10000ull);
    return TRUE;
}

// FileTimeToSystemTime: the calendar time of a FILETIME, its day of the week included; a
// value with the top bit set fails with ERROR_INVALID_PARAMETER, as on Windows.
BOOL FileTimeToSystemTime(const FILETIME* file_time, LPSYSTEMTIME system_time)
{
    const uint64_t value = filetime_value(file_time);
    if (value > LARGEST_FILETIME) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t days = value / TICKS_PER_DAY;
    const uint64_t rest = value % TICKS_PER_DAY;
    int64_t year;
    unsigned month, day;
    civil_from_days(static_cast<int64_t>(days) - DAYS_1601_TO_1970, &year, &month, &day);
    system_time->wYear = static_cast<WORD>(year);
    system_time->wMonth = static_cast<WORD>(month);
    system_time->wDay = static_cast<WORD>(day);
    system_time->wDayOfWeek = static_cast<WORD>((days + 1) % 7); // 1601-01-01 was a Monday
    system_time->wHour = static_cast<WORD>(rest / (TICKS_PER_SECOND * 3600));
    system_time->wMinute = static_cast<WORD>(rest / (TICKS_PER_SECOND * 60) % 60);
    system_time->wSecond = static_cast<WORD>(rest / TICKS_PER_SECOND % 60);
    system_time->wMilliseconds = static_cast<WORD>(rest % TICKS_PER_SECOND / 10000);
    return TRUE;
}

// Moves a time by the current bias; a result before 1601 or past the largest FILETIME fails.
static BOOL shift_by_offset(const FILETIME* from, LPFILETIME to, int64_t offset_seconds)
{
    const int64_t shift = offset_seconds * static_cast<int64_t>(TICKS_PER_SECOND);
    const uint64_t value = filetime_value(from);
    if (value > LARGEST_FILETIME || (shift < 0 && value < static_cast<uint64_t>(-shift)) ||
        (shift > 0 && value + static_cast<uint64_t>(shift) > LARGEST_FILETIME)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    set_filetime_value(to, value + static_cast<uint64_t>(shift));
    return TRUE;
}

// FileTimeToLocalFileTime: UTC to local time by the bias in force now, not the one of the
// time's own date, as on Windows. Here the bias is TZ's, else the host zone's.
BOOL FileTimeToLocalFileTime(const FILETIME* file_time, LPFILETIME local_file_time)
{
    return shift_by_offset(file_time, local_file_time, current_utc_offset_seconds());
}

// LocalFileTimeToFileTime: local time to UTC by the same current bias.
BOOL LocalFileTimeToFileTime(const FILETIME* local_file_time, LPFILETIME file_time)
{
    return shift_by_offset(local_file_time, file_time, -current_utc_offset_seconds());
}

static void system_time_now(LPSYSTEMTIME time, bool local)
{
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    FILETIME utc;
    set_filetime_value(&utc, filetime_from_unix(now.tv_sec, now.tv_nsec));
    if (local)
        FileTimeToLocalFileTime(&utc, &utc);
    FileTimeToSystemTime(&utc, time);
}

// GetLocalTime: now, as a local calendar time to the millisecond, by the current bias.
void GetLocalTime(LPSYSTEMTIME time)
{
    system_time_now(time, true);
}

// GetSystemTime: now, as a UTC calendar time to the millisecond.
void GetSystemTime(LPSYSTEMTIME time)
{
    system_time_now(time, false);
}
