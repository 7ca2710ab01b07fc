// Setting the times of a copied file, and the once-per-run probe of how the destination
// keeps a last write time.
#include "transfer/destination_times.h"

#include <cstdio>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "time/file_time.h"

// -1: not probed yet; 1: an odd second set on a destination reads back as the next even
// one; 0: times are kept as set.
static int32_t dest_even_seconds = -1;

// Adds one second to a calendar time whose milliseconds are dropped.
static void add_one_second(SYSTEMTIME* time)
{
    time->wMilliseconds = 0;
    if (++time->wSecond < 60)
        return;
    time->wSecond = 0;
    if (++time->wMinute < 60)
        return;
    time->wMinute = 0;
    if (++time->wHour < 24)
        return;
    time->wHour = 0;
    if (++time->wDay <= days_in_month(time->wYear, time->wMonth))
        return;
    time->wDay = 1;
    if (++time->wMonth <= 12)
        return;
    time->wMonth = 1;
    time->wYear++;
}

// The last write time rounded up to the next even second when its second is odd (the
// milliseconds go), carried through minutes, hours, days, months and years. A time
// that is already an even second comes back unchanged.
static uint64_t even_second_time(uint64_t file_time)
{
    const FILETIME time = file_time_of(file_time);
    SYSTEMTIME calendar;
    if (!FileTimeToSystemTime(&time, &calendar) || calendar.wSecond % 2 == 0)
        return file_time;
    add_one_second(&calendar);
    FILETIME rounded;
    if (!SystemTimeToFileTime(&calendar, &rounded))
        return file_time;
    return file_time_value(rounded);
}

// Sets an odd second on the destination and reads back what the file system kept.
static bool probe_even_seconds(HANDLE destination)
{
    SYSTEMTIME probe = {};
    probe.wYear = 2000;
    probe.wMonth = 1;
    probe.wDay = 1;
    probe.wHour = 1;
    probe.wMinute = 1;
    probe.wSecond = 1;
    probe.wMilliseconds = 1;
    FILETIME probe_time;
    SystemTimeToFileTime(&probe, &probe_time);
    if (!SetFileTime(destination, nullptr, nullptr, &probe_time)) {
        print_highlighted(stdout, text(MSG_CHANGE_DESTINATION_DATE_FAILED), walk.dest_path);
        return false;
    }
    FILETIME kept;
    if (!GetFileTime(destination, nullptr, nullptr, &kept)) {
        print_highlighted(stdout, text(MSG_GET_DESTINATION_DATE_FAILED), walk.dest_path);
        return false;
    }
    SYSTEMTIME kept_calendar = {};
    FileTimeToSystemTime(&kept, &kept_calendar);
    dest_even_seconds = kept_calendar.wSecond == 2 ? 1 : 0;
    return true;
}

bool set_destination_times(HANDLE destination)
{
    if (dest_even_seconds == -1 && !probe_even_seconds(destination))
        return false;
    const WIN32_FIND_DATAA& source = walk.current_level->find_data;
    FILETIME last_write = source.ftLastWriteTime;
    if (dest_even_seconds == 1)
        last_write = file_time_of(even_second_time(file_time_value(source.ftLastWriteTime)));
    if (!SetFileTime(destination, &source.ftCreationTime, &source.ftLastAccessTime, &last_write)) {
        print_highlighted(stdout, text(MSG_CHANGE_DESTINATION_DATE_FAILED), walk.dest_path);
        return false;
    }
    return true;
}
