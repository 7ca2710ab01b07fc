// CreateFileA: files, directories (with FILE_FLAG_BACKUP_SEMANTICS), links themselves
// (with FILE_FLAG_OPEN_REPARSE_POINT) and CONIN$.
//
// Share modes are accepted and not enforced: POSIX has no mandatory sharing, and the
// program only asks for the sharing it needs itself.
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <cstring>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/console_device.h"
#include "platform/posix/dos_attributes.h"
#include "platform/posix/error_table.h"
#include "platform/posix/handles.h"
#include "platform/posix/path_lookup.h"
#include "platform/posix/table_cache.h"

struct OpenRequest {
    DWORD access;
    DWORD disposition;
    DWORD flags;
};

static HANDLE fail_open(DWORD code)
{
    SetLastError(code);
    return INVALID_HANDLE_VALUE;
}

static HANDLE new_file_handle(int fd, bool is_directory)
{
    HandleObject* object = new_handle_object(HandleKind::file, fd);
    if (object == nullptr) {
        close(fd);
        return fail_open(ERROR_NOT_ENOUGH_MEMORY);
    }
    object->is_directory = is_directory;
    return object;
}

// Windows opens a directory only for its backup semantics, and never to create it.
static HANDLE open_directory(const ResolvedPath& resolved, const OpenRequest& request)
{
    if ((request.flags & FILE_FLAG_BACKUP_SEMANTICS) == 0)
        return fail_open(ERROR_ACCESS_DENIED);
    if (request.disposition == CREATE_NEW)
        return fail_open(ERROR_FILE_EXISTS);
    if (request.disposition != OPEN_EXISTING && request.disposition != OPEN_ALWAYS)
        return fail_open(ERROR_ACCESS_DENIED);
    const int fd = open(resolved.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    return new_file_handle(fd, true);
}

static int open_flags_of(const OpenRequest& request)
{
    // O_NONBLOCK: an entry that became a FIFO since it was checked must not block open().
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    const bool reads = (request.access & GENERIC_READ) != 0;
    const bool writes = (request.access & GENERIC_WRITE) != 0;
    flags |= reads && writes ? O_RDWR : (writes ? O_WRONLY : O_RDONLY);
    if (request.disposition == CREATE_NEW)
        flags |= O_CREAT | O_EXCL;
    else if (request.disposition == CREATE_ALWAYS)
        flags |= O_CREAT | O_TRUNC;
    else if (request.disposition == OPEN_ALWAYS)
        flags |= O_CREAT;
    else if (request.disposition == TRUNCATE_EXISTING)
        flags |= O_TRUNC;
    if (request.flags & FILE_FLAG_WRITE_THROUGH)
        flags |= O_DSYNC;
    return flags;
}

// What an existing entry allows before anything is opened: read-only files refuse
// writers, a dangling link cannot be opened, a link that loops cannot be resolved,
// CREATE_NEW refuses any entry, and only files and directories open at all: a FIFO
// would block open() and a device may act on being opened.
static DWORD check_existing(const ResolvedPath& resolved, const OpenRequest& request, struct stat* target,
                            bool target_known)
{
    if (request.disposition == CREATE_NEW)
        return ERROR_FILE_EXISTS;
    if (!target_known && stat(resolved.host.c_str(), target) != 0) {
        if (errno == ELOOP)
            return ERROR_CANT_RESOLVE_FILENAME;
        const bool opens = request.disposition == OPEN_EXISTING || request.disposition == TRUNCATE_EXISTING;
        return opens ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    }
    if (!S_ISREG(target->st_mode) && !S_ISDIR(target->st_mode))
        return ERROR_ACCESS_DENIED;
    const bool writes = (request.access & GENERIC_WRITE) != 0 || request.disposition == CREATE_ALWAYS ||
                        request.disposition == TRUNCATE_EXISTING;
    if (!S_ISDIR(target->st_mode) && writes && (target->st_mode & S_IWUSR) == 0)
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// A created or replaced file takes the attributes it was created with, plus archive as
// Windows adds it; what cannot be stored stays at the defaults (SetFileAttributesA is
// the call that reports it).
static void apply_creation_attributes(int fd, const ResolvedPath& resolved, DWORD attributes, bool existed)
{
    const char* slash = strrchr(resolved.host.c_str(), '/');
    const char* name = slash != nullptr ? slash + 1 : resolved.host.c_str();
    const DWORD wanted = (attributes | FILE_ATTRIBUTE_ARCHIVE) & STORED_FILE_BITS;
    if (existed || wanted != default_bits(name, false))
        store_bits_on(fd, wanted);
    struct stat status;
    if (existed && (attributes & FILE_ATTRIBUTE_READONLY) && fstat(fd, &status) == 0)
        fchmod(fd, status.st_mode & ~0222u);
}

// The entry opened is a file after all (it may have been replaced since it was checked).
// O_NONBLOCK stays: the host ignores it for regular files, so reads and writes wait as
// usual, and clearing it would cost a host call per file.
static bool keep_only_files(int fd, struct stat* status)
{
    if (fstat(fd, status) != 0 || !S_ISREG(status->st_mode)) {
        close(fd);
        return false;
    }
    return true;
}

// Sequential reading widens the host's read-ahead, which only a file longer than its
// default window gains from; writes take no advice.
static const off_t READ_AHEAD_WORTH_ASKING = 256 * 1024;

static void advise_sequential(int fd, const OpenRequest& request, const struct stat& status)
{
    if ((request.flags & FILE_FLAG_SEQUENTIAL_SCAN) && (request.access & GENERIC_READ) &&
        status.st_size > READ_AHEAD_WORTH_ASKING)
        posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
}

static HANDLE open_file(const ResolvedPath& resolved, const OpenRequest& request)
{
    const mode_t mode = (request.flags & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    const int flags = open_flags_of(request);
    const int fd = open(resolved.host.c_str(), flags, mode);
    if (fd < 0) {
        if (errno == EEXIST && request.disposition == CREATE_NEW)
            return fail_open(ERROR_FILE_EXISTS);
        if (errno == ENXIO)
            return fail_open(ERROR_ACCESS_DENIED);
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    }
    struct stat status;
    if (!keep_only_files(fd, &status))
        return fail_open(ERROR_ACCESS_DENIED);
    const bool replaced = resolved.exists && request.disposition == CREATE_ALWAYS;
    if (!resolved.exists || replaced)
        apply_creation_attributes(fd, resolved, request.flags & 0xFFFF, resolved.exists);
    if (!resolved.exists)
        note_entry_added(resolved.host, DT_REG);
    advise_sequential(fd, request, status);
    const bool reports_existing = request.disposition == CREATE_ALWAYS || request.disposition == OPEN_ALWAYS;
    HANDLE handle = new_file_handle(fd, false);
    if (handle != INVALID_HANDLE_VALUE)
        SetLastError(resolved.exists && reports_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return handle;
}

// FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never what it leads to (which may lie
// outside the tree, or be missing): the handle holds the link unfollowed, for its own
// times. It is never replaced or truncated through such a handle.
static bool names_link(const ResolvedPath& resolved, bool target_known)
{
    struct stat entry;
    return resolved.exists && !target_known && lstat(resolved.host.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode);
}

static HANDLE open_link_itself(const ResolvedPath& resolved, const OpenRequest& request)
{
    const bool opens = request.disposition == OPEN_EXISTING || request.disposition == OPEN_ALWAYS;
    if (!opens)
        return fail_open(request.disposition == CREATE_NEW ? ERROR_FILE_EXISTS : ERROR_ACCESS_DENIED);
    const int fd = open(resolved.host.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return fail_open(windows_error_for_path(errno, resolved.host.c_str()));
    HANDLE handle = new_file_handle(fd, false);
    if (handle != INVALID_HANDLE_VALUE)
        handle_object(handle)->link_path = resolved.host;
    return handle;
}

// The path as written is read first: when it names an entry, that is the one the lookup
// would find, and unless it is a link its status is what the open checks.
static DWORD resolve_followed(LPCSTR file_name, WindowsPath* path, ResolvedPath* resolved, struct stat* target,
                              bool* target_known)
{
    const DWORD parse_error = parse_windows_path(file_name, false, path);
    if (parse_error != ERROR_SUCCESS)
        return parse_error;
    const size_t count = path->components.size();
    resolved->host = literal_host_path(*path, count);
    if (resolved->host.size() > LONGEST_HOST_PATH || count == 0)
        return resolve_components(*path, count, resolved);
    if (lstat(resolved->host.c_str(), target) == 0) {
        resolved->exists = true;
        *target_known = !S_ISLNK(target->st_mode);
        return ERROR_SUCCESS;
    }
    return resolve_unspelled(*path, count, errno, resolved);
}

HANDLE CreateFileA(LPCSTR file_name, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD creation_disposition,
                   DWORD flags_and_attributes, HANDLE)
{
    if (file_name == nullptr)
        return fail_open(ERROR_INVALID_PARAMETER);
    if (strcasecmp(file_name, "CONIN$") == 0)
        return open_console_device();
    const OpenRequest request{access, creation_disposition, flags_and_attributes};
    if (creation_disposition < CREATE_NEW || creation_disposition > TRUNCATE_EXISTING ||
        (creation_disposition == TRUNCATE_EXISTING && (access & GENERIC_WRITE) == 0))
        return fail_open(ERROR_INVALID_PARAMETER);
    WindowsPath path;
    ResolvedPath resolved;
    struct stat target;
    bool target_known = false;
    const DWORD error = resolve_followed(file_name, &path, &resolved, &target, &target_known);
    if (error != ERROR_SUCCESS)
        return fail_open(error);
    if ((flags_and_attributes & FILE_FLAG_OPEN_REPARSE_POINT) && names_link(resolved, target_known))
        return open_link_itself(resolved, request);
    if (!resolved.exists)
        return request.disposition == OPEN_EXISTING || request.disposition == TRUNCATE_EXISTING
                   ? fail_open(ERROR_FILE_NOT_FOUND)
                   : open_file(resolved, request);
    const DWORD refused = check_existing(resolved, request, &target, target_known);
    if (refused != ERROR_SUCCESS)
        return fail_open(refused);
    if (S_ISDIR(target.st_mode))
        return open_directory(resolved, request);
    return open_file(resolved, request);
}
