// GetFileTime and SetFileTime on open files, directories and links opened for themselves.
//
// Times are kept to 100 ns, the host's nanoseconds cut to FILETIME's unit. A creation
// time is accepted and left alone: Linux cannot set a birth time. A link's own times are
// its own; its target's stay as they are.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/files/file_times.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"

static int file_fd_of(HANDLE handle)
{
    HandleObject* object = handle_object(handle);
    if (object == nullptr || object->kind != HandleKind::file)
        return -1;
    return object->fd;
}

// GetFileTime: the creation, last access and last write times of an open file, each
// pointer may be null. Here creation is the birth time where the host keeps one, else
// the earlier of the last write and the last status change.
BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME last_access, LPFILETIME last_write)
{
    const int fd = file_fd_of(file);
    if (fd < 0)
        return fail_with(ERROR_INVALID_HANDLE);
    EntryStatus status;
    // A link opened for itself has no name to follow from its descriptor, so it reads as
    // a link without target: with its own times.
    const int failure = read_entry_status(fd, "", "", "", &status);
    if (failure != 0)
        return fail_with(windows_error_of(failure));
    if (creation != nullptr)
        set_filetime_value(creation, status.creation_time);
    if (last_access != nullptr)
        set_filetime_value(last_access, status.last_access_time);
    if (last_write != nullptr)
        set_filetime_value(last_write, status.last_write_time);
    return TRUE;
}

static const int64_t TICKS_PER_SECOND = 10000000;
static const int64_t SECONDS_1601_TO_1970 = 11644473600LL;

// A null time, and the values 0 and all ones, leave the time as it is, as on Windows.
static struct timespec host_time_of(const FILETIME* time)
{
    struct timespec host = {0, UTIME_OMIT};
    if (time == nullptr)
        return host;
    const uint64_t value = filetime_value(time);
    if (value == 0 || value == UINT64_MAX)
        return host;
    const int64_t ticks = static_cast<int64_t>(value & 0x7FFFFFFFFFFFFFFFull);
    host.tv_sec = static_cast<time_t>(ticks / TICKS_PER_SECOND - SECONDS_1601_TO_1970);
    host.tv_nsec = static_cast<long>(ticks % TICKS_PER_SECOND) * 100;
    return host;
}

// SetFileTime: sets the times given; a null time, 0 and all ones leave one as it is. Here
// the creation time is accepted and not set: Linux cannot set a birth time.
BOOL SetFileTime(HANDLE file, const FILETIME*, const FILETIME* last_access, const FILETIME* last_write)
{
    const int fd = file_fd_of(file);
    if (fd < 0)
        return fail_with(ERROR_INVALID_HANDLE);
    const struct timespec times[2] = {host_time_of(last_access), host_time_of(last_write)};
    // A link opened for itself: its descriptor takes no times, its path does.
    const std::string& link_path = handle_object(file)->link_path;
    const int result =
        link_path.empty() ? futimens(fd, times) : utimensat(AT_FDCWD, link_path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    if (result != 0)
        return fail_with_errno();
    return TRUE;
}
