// DeleteFileA and MoveFileA.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/cross_device_move.h"
#include "platform/posix/error_table.h"
#include "platform/posix/path_lookup.h"
#include "platform/posix/table_cache.h"

// A link goes as a link, whatever it points at (a link has no read-only bit of its own);
// a directory is refused and so is a read-only file, as on Windows.
BOOL DeleteFileA(LPCSTR file_name)
{
    ResolvedPath resolved;
    const DWORD error = resolve_existing(file_name, &resolved);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    struct stat entry;
    if (lstat(resolved.host.c_str(), &entry) != 0)
        return fail_with(windows_error_for_path(errno, resolved.host.c_str()));
    if (S_ISDIR(entry.st_mode))
        return fail_with(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(entry.st_mode) && (entry.st_mode & S_IWUSR) == 0)
        return fail_with(ERROR_ACCESS_DENIED);
    if (unlink(resolved.host.c_str()) != 0)
        return fail_with(windows_error_for_path(errno, resolved.host.c_str()));
    forget_parent_of(resolved.host);
    return TRUE;
}

// The destination must not exist; a new spelling of the source's own name (a change of
// case) is a rename of the source, not a clash.
static DWORD destination_of(LPCSTR new_name, const ResolvedPath& source, ResolvedPath* destination)
{
    WindowsPath path;
    const DWORD error = resolve_path(new_name, &path, destination);
    if (error != ERROR_SUCCESS)
        return error;
    if (path.components.empty())
        return ERROR_ALREADY_EXISTS;
    if (!destination->exists)
        return ERROR_SUCCESS;
    if (destination->host != source.host)
        return ERROR_ALREADY_EXISTS;
    *destination = ResolvedPath{literal_host_path(path, path.components.size()), false};
    return ERROR_SUCCESS;
}

BOOL MoveFileA(LPCSTR existing_name, LPCSTR new_name)
{
    ResolvedPath source, destination;
    DWORD error = resolve_existing(existing_name, &source);
    if (error == ERROR_SUCCESS)
        error = destination_of(new_name, source, &destination);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    const bool same_entry = destination.host == source.host;
    if (!same_entry && renameat2(AT_FDCWD, source.host.c_str(), AT_FDCWD, destination.host.c_str(), RENAME_NOREPLACE) != 0) {
        if (errno != EXDEV)
            return fail_with(windows_error_for_path(errno, destination.host.c_str()));
        error = move_across_devices(source.host, destination.host);
        if (error != ERROR_SUCCESS)
            return fail_with(error);
    }
    forget_parent_of(source.host);
    forget_parent_of(destination.host);
    return TRUE;
}
