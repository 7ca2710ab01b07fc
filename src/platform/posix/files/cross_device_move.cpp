// Moves across file systems, done the way Windows does them: copy, then delete.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/posix/files/cross_device_move.h"
#include "platform/posix/files/dos_attributes.h"
#include "platform/posix/files/holes.h"
#include "platform/posix/files/links.h"
#include "platform/posix/files/owned_directory.h"
#include "platform/posix/files/unnamed_files.h"
#include "platform/posix/system/error_table.h"

static int copy_contents(int from, int to, bool keeps_holes)
{
    std::vector<char> buffer(1 << 16);
    off_t size = 0;
    for (;;) {
        const ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        size_t put = 0;
        const size_t length = static_cast<size_t>(got);
        const int failure = keeps_holes ? write_keeping_holes(to, buffer.data(), length, &size, &put)
                                        : write_all(to, buffer.data(), length, &put);
        if (failure != 0)
            return failure;
    }
}

// Times to the nanosecond, permission bits, then the stored attributes; the new file's
// read-only bit is set last so that nothing before it is refused.
static int copy_properties(const struct stat& status, const char* source, int to)
{
    const struct timespec times[2] = {status.st_atim, status.st_mtim};
    DWORD stored = 0;
    if (read_stored_bits(source, &stored)) {
        const int failure = store_bits_on(to, stored);
        if (failure != 0)
            return failure;
    }
    if (futimens(to, times) != 0 || fchmod(to, status.st_mode & 07777) != 0)
        return errno;
    return 0;
}

// The copy is made without a name and takes it only once complete, and only while it
// is still free: a move cut off, even by SIGKILL, leaves no partial file under the name,
// and a file that appeared meanwhile is not replaced.
static int copy_file(const std::string& source, const std::string& destination)
{
    // Not blocking, and only a file: the entry may have become a FIFO since it was looked at.
    const int from = open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (from < 0)
        return errno;
    struct stat status;
    int failure = fstat(from, &status) == 0 ? 0 : errno;
    if (failure == 0 && !S_ISREG(status.st_mode))
        failure = EACCES;
    if (failure == 0 && fcntl(from, F_SETFL, fcntl(from, F_GETFL) & ~O_NONBLOCK) != 0)
        failure = errno;
    std::string temporary;
    const int to = failure != 0 ? -1 : create_unnamed_beside(destination, O_WRONLY, 0600, &temporary);
    if (failure == 0 && to < 0)
        failure = errno;
    if (failure == 0)
        failure = copy_contents(from, to, has_holes(from, status));
    if (failure == 0)
        failure = copy_properties(status, source.c_str(), to);
    if (failure == 0)
        failure = give_name(to, temporary, destination, false);
    else if (to >= 0)
        discard_unnamed(temporary);
    if (to >= 0 && close(to) != 0 && failure == 0) {
        failure = errno;
        unlink(destination.c_str());
    }
    close(from);
    return failure;
}

DWORD move_across_devices(const std::string& source, const std::string& destination)
{
    struct stat entry;
    if (lstat(source.c_str(), &entry) != 0)
        return windows_error_for_path(errno, source.c_str());
    // Windows moves directories within one volume only.
    if (S_ISDIR(entry.st_mode))
        return ERROR_NOT_SAME_DEVICE;
    // FIFOs, sockets and devices are never opened: copying one would block or act on it.
    if (!S_ISREG(entry.st_mode) && !S_ISLNK(entry.st_mode))
        return ERROR_ACCESS_DENIED;
    const int failure = S_ISLNK(entry.st_mode) ? copy_link_at(source, destination) : copy_file(source, destination);
    if (failure != 0)
        return failure == EEXIST ? ERROR_ALREADY_EXISTS : windows_error_of(failure);
    const int removed =
        change_in_owned_directory(source, [&] { return unlink(source.c_str()) == 0 ? 0 : errno; });
    if (removed != 0) {
        unlink(destination.c_str());
        return windows_error_of(removed);
    }
    return ERROR_SUCCESS;
}
