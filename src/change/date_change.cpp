// Setting the last-write time (/D) of the selected entries.
#include "change/date_change.h"

#include <cstdio>

#include "change/change_prompt.h"
#include "console/date_display.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "time/file_time.h"
#include "walk/name_forms.h"

// The present time with a four-digit year and milliseconds, whatever /Y says.
static void print_change_line(const FILETIME& last_write, const char* path)
{
    const SYSTEMTIME t = local_calendar(file_time_value(last_write));
    printf(MSG_DATE_CHANGE_LINE, static_cast<short>(t.wYear), static_cast<short>(t.wMonth),
           static_cast<short>(t.wDay), static_cast<short>(t.wHour), static_cast<short>(t.wMinute),
           static_cast<short>(t.wSecond), static_cast<short>(t.wMilliseconds), path);
}

static int set_attributes(const char* path, DWORD attributes)
{
    if (SetFileAttributesA(path, attributes))
        return 1;
    print_highlighted(stdout, text(MSG_CHANGE_ATTRIBUTES_FAILED), path);
    return 0;
}

// Only the last-write time is given; the others stay as they are. A directory handle
// needs the backup flag; sharing with readers only keeps a writer elsewhere out. A link
// is opened itself, so that its own time changes and never its target's, which may lie
// outside the tree or be missing.
static int set_last_write_time(const char* path, DWORD attributes)
{
    DWORD flags = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? FILE_FLAG_BACKUP_SEMANTICS : 0;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
        flags |= FILE_FLAG_OPEN_REPARSE_POINT;
    HANDLE entry = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING, flags, nullptr);
    if (entry == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        print_highlighted(stdout, text(MSG_DATE_CANNOT_OPEN), path, static_cast<int>(code),
                          static_cast<unsigned long>(code));
        return 0;
    }
    const FILETIME new_time = file_time_of(settings.new_date);
    int result = 1;
    if (!SetFileTime(entry, nullptr, nullptr, &new_time)) {
        print_highlighted(stdout, text(MSG_CHANGE_DATE_FAILED), path);
        result = 0;
    }
    if (!CloseHandle(entry)) {
        print_highlighted(stdout, text(MSG_DATE_CLOSE_FAILED), path);
        result = 0;
    }
    return result;
}

int change_date()
{
    walk.pause_counter++;
    const char* path = chosen_path();
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    print_change_line(entry.ftLastWriteTime, path);
    int result = 1;
    if (!change_confirmed(&result))
        return result;
    // A read-only entry refuses the writer that sets its time: it is unlocked for the
    // change and locked again whatever became of it.
    const DWORD attributes = entry.dwFileAttributes;
    const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only && !set_attributes(path, attributes & ~FILE_ATTRIBUTE_READONLY))
        return 0;
    result = set_last_write_time(path, attributes);
    if (read_only && !set_attributes(path, attributes))
        return 0;
    return result;
}
