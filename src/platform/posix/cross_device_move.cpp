// Moves across file systems, done the way Windows does them: copy, then delete.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/posix/cross_device_move.h"
#include "platform/posix/dos_attributes.h"
#include "platform/posix/error_table.h"
#include "platform/posix/links.h"

static int copy_contents(int from, int to)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t got = read(from, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = write(to, buffer.data() + done, static_cast<size_t>(got - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                return put == 0 ? ENOSPC : errno;
            done += put;
        }
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
    const int to = failure != 0 ? -1 : open(destination.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (failure == 0 && to < 0)
        failure = errno;
    if (failure == 0)
        failure = copy_contents(from, to);
    if (failure == 0)
        failure = copy_properties(status, source.c_str(), to);
    if (to >= 0 && close(to) != 0 && failure == 0)
        failure = errno;
    close(from);
    if (failure != 0 && to >= 0)
        unlink(destination.c_str());
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
    if (unlink(source.c_str()) != 0) {
        const DWORD error = windows_error_of(errno);
        unlink(destination.c_str());
        return error;
    }
    return ERROR_SUCCESS;
}
