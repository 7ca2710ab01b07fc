// Files that get their name only once they are complete.
//
// A file made to take a name (CreateFileA with CREATE_ALWAYS, the copy of a move to
// another file system) is made without one (O_TMPFILE) and linked under its name when
// it is complete, through /proc/self/fd/N with AT_SYMLINK_FOLLOW, which an ordinary user
// may do (AT_EMPTY_PATH needs a capability). A run killed before that, even by SIGKILL,
// leaves nothing under the name, and the kernel frees the blocks.
//
// Where the file system cannot make a file without a name (EOPNOTSUPP; EISDIR from
// kernels before 3.11; some network and FUSE file systems) or /proc is not mounted, the
// file is made under a temporary name in the same directory, ".<name>.<pid>-<n>.orva-part",
// and renamed at the end: a killed run may leave that name behind, but never a file
// under the real name that looks complete.
//
// A power loss: with write through (FILE_FLAG_WRITE_THROUGH) the file's data and status
// are synced before it takes its name, so that the name, if the disk kept it, holds the
// whole file. Without it, what reaches the disk before the name does is the file
// system's choice, and after a power loss the name may hold less than was written.
#include "platform/posix/files/unnamed_files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/magic.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include "platform/posix/files/owned_directory.h"
#include "platform/posix/searches/table_cache.h"

// /proc/self/fd, opened once; -1 when there is no /proc, -2 before the first look.
static int proc_fd_directory = -2;

// A child of fork() has a /proc/self of its own: the parent's descriptor would name the
// parent's files.
static void forget_proc_fd_directory()
{
    if (proc_fd_directory >= 0)
        close(proc_fd_directory);
    proc_fd_directory = -2;
}

static int proc_fd_directory_now()
{
    static bool fork_handled = false;
    if (!fork_handled)
        fork_handled = pthread_atfork(nullptr, nullptr, forget_proc_fd_directory) == 0;
    if (proc_fd_directory != -2)
        return proc_fd_directory;
    proc_fd_directory = open("/proc/self/fd", O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct statfs file_system;
    if (proc_fd_directory >= 0 && (fstatfs(proc_fd_directory, &file_system) != 0 ||
                                   file_system.f_type != PROC_SUPER_MAGIC)) {
        close(proc_fd_directory);
        proc_fd_directory = -1;
    }
    return proc_fd_directory;
}

static bool cannot_be_unnamed(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

// NAME_MAX less room for the dot and the number.
static const size_t LONGEST_NAME_KEPT = 200;

static std::string temporary_name_beside(const std::string& host_path)
{
    static unsigned attempt = 0;
    const size_t slash = host_path.find_last_of('/');
    const size_t name_start = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = host_path.substr(name_start, LONGEST_NAME_KEPT);
    char number[48];
    snprintf(number, sizeof number, ".%ld-%u.orva-part", static_cast<long>(getpid()), attempt++);
    return host_path.substr(0, name_start) + "." + name + number;
}

// Names taken by another run's leftovers are passed over.
static const int TEMPORARY_NAME_ATTEMPTS = 100;

static int create_under_temporary_name(const std::string& host_path, int access_flags, mode_t mode,
                                       std::string* temporary)
{
    for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS; attempt++) {
        *temporary = temporary_name_beside(host_path);
        const int fd = open(temporary->c_str(), access_flags | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

static int create_beside(const std::string& host_path, int access_flags, mode_t mode, std::string* temporary)
{
    temporary->clear();
    if (proc_fd_directory_now() >= 0) {
        const int fd = open(parent_of(host_path).c_str(), access_flags | O_TMPFILE | O_CLOEXEC, mode);
        if (fd >= 0 || !cannot_be_unnamed(errno))
            return fd;
    }
    return create_under_temporary_name(host_path, access_flags, mode, temporary);
}

// Links the unnamed file as name; EEXIST when it is taken.
static int link_unnamed(int fd, const std::string& name)
{
    char number[16];
    snprintf(number, sizeof number, "%d", fd);
    return linkat(proc_fd_directory_now(), number, AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0 : errno;
}

static int rename_over(const std::string& from, const std::string& to)
{
    if (rename(from.c_str(), to.c_str()) == 0)
        return 0;
    const int failure = errno;
    unlink(from.c_str());
    return failure;
}

// The name was taken meanwhile: the file is linked beside it and renamed over it, which
// replaces it in one step.
static int link_over(int fd, const std::string& host_path)
{
    for (int attempt = 0; attempt < TEMPORARY_NAME_ATTEMPTS; attempt++) {
        const std::string beside = temporary_name_beside(host_path);
        const int failure = link_unnamed(fd, beside);
        if (failure == 0)
            return rename_over(beside, host_path);
        if (failure != EEXIST)
            return failure;
    }
    return EEXIST;
}

// File systems that cannot refuse to replace in a rename (EINVAL: some network and FUSE
// ones) link the file under the name instead; those without hard links as well check
// the name first, the best they allow.
static int rename_without_replacing(const std::string& from, const std::string& to)
{
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    int failure = errno;
    if (failure == EINVAL) {
        failure = link(from.c_str(), to.c_str()) == 0 ? 0 : errno;
        struct stat taken;
        if (failure != 0 && failure != EEXIST)
            failure = lstat(to.c_str(), &taken) == 0 ? EEXIST : (rename(from.c_str(), to.c_str()) == 0 ? 0 : errno);
    }
    unlink(from.c_str());
    return failure;
}

// An owner's read-only directory takes the new file as root's would (see owned_directory.h).
int create_unnamed_beside(const std::string& host_path, int access_flags, mode_t mode, std::string* temporary)
{
    int fd = -1;
    const int failure = change_in_owned_directory(host_path, [&] {
        fd = create_beside(host_path, access_flags, mode, temporary);
        return fd >= 0 ? 0 : errno;
    });
    errno = failure;
    return fd;
}

static int name_file(int fd, const std::string& temporary, const std::string& host_path, bool replaces)
{
    if (!temporary.empty())
        return replaces ? rename_over(temporary, host_path) : rename_without_replacing(temporary, host_path);
    const int failure = link_unnamed(fd, host_path);
    return failure == EEXIST && replaces ? link_over(fd, host_path) : failure;
}

void discard_unnamed(const std::string& temporary)
{
    if (!temporary.empty())
        unlink(temporary.c_str());
}

int give_name(int fd, const std::string& temporary, const std::string& host_path, bool replaces)
{
    return change_in_owned_directory(host_path, [&] { return name_file(fd, temporary, host_path, replaces); });
}
