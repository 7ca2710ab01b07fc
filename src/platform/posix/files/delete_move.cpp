// DeleteFileA and MoveFileA.
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/files/cross_device_move.h"
#include "platform/posix/files/owned_directory.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/searches.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"

// A link goes as a link, whatever it points at (a link has no read-only bit of its own);
// a directory is refused and so is a read-only file, as on Windows.
// The path as written is read first: when it names an entry, that entry is the one the
// lookup would find, and its status is the one the checks below need. resolved->host
// holds the path as written on the host.
static DWORD entry_to_delete(const WindowsPath& path, ResolvedPath* resolved, struct stat* entry)
{
    const size_t count = path.components.size();
    resolved->exists = true;
    DWORD error = ERROR_SUCCESS;
    if (count == 0 || resolved->host.size() > LONGEST_HOST_PATH)
        error = resolve_components(path, count, resolved);
    else if (lstat(resolved->host.c_str(), entry) == 0)
        return ERROR_SUCCESS;
    else
        error = resolve_unspelled(path, count, errno, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    if (!resolved->exists)
        return ERROR_FILE_NOT_FOUND;
    return lstat(resolved->host.c_str(), entry) == 0 ? ERROR_SUCCESS
                                                     : windows_error_for_path(errno, resolved->host.c_str());
}

static int unlink_entry(const std::string& host, const SearchedParent& parent)
{
    return unlinkat(parent.directory_fd(), parent.name_in(host), 0) == 0 ? 0 : errno;
}

// DeleteFileA: removes a file; a directory and a read-only file fail with
// ERROR_ACCESS_DENIED. A link goes as a link, whatever it points at.
BOOL DeleteFileA(LPCSTR file_name)
{
    WindowsPath path;
    const DWORD parse_error = parse_windows_path(file_name, false, &path);
    if (parse_error != ERROR_SUCCESS)
        return fail_with(parse_error);
    ResolvedPath resolved;
    struct stat entry;
    SearchedParent parent;
    // A file of the directory being read is read and removed relative to the search's
    // descriptor; one it does not hold goes by its path.
    resolved.host = literal_host_path(path, path.components.size());
    if (!searched_entry_status(path, resolved.host, &parent, &entry)) {
        const DWORD error = entry_to_delete(path, &resolved, &entry);
        if (error != ERROR_SUCCESS)
            return fail_with(error);
    }
    if (S_ISDIR(entry.st_mode))
        return fail_with(ERROR_ACCESS_DENIED);
    if (!S_ISLNK(entry.st_mode) && (entry.st_mode & S_IWUSR) == 0)
        return fail_with(ERROR_ACCESS_DENIED);
    const int failure = change_in_owned_directory(resolved.host, [&] { return unlink_entry(resolved.host, parent); });
    if (failure != 0)
        return fail_with(windows_error_for_path(failure, resolved.host.c_str()));
    // The directory's table is dropped rather than edited: editing it would first need
    // a look at the directory, to know that nobody else changed it, and the lookups that
    // follow a deletion name entries that exist, which need no table.
    if (parent.fd >= 0)
        forget_directory_identity(parent.device, parent.inode);
    else
        forget_parent_of(resolved.host);
    return TRUE;
}

// The destination must not exist; a new spelling of the source's own name (a change of
// case, typed: a name from a search finds only itself) is a rename of the source, not a
// clash.
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

// A rename changes two directories, each of which may be one of the owner's read-only ones.
static int rename_as_owner(const std::string& source, const std::string& destination)
{
    return change_in_owned_directory(source, [&] {
        return change_in_owned_directory(destination, [&] {
            return renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0 ? 0
                                                                                                            : errno;
        });
    });
}

// MoveFileA: renames a file or directory; a destination that exists fails the call. A
// file moved to another file system is copied with its times and attributes, then its
// source deleted, as Windows does.
BOOL MoveFileA(LPCSTR existing_name, LPCSTR new_name)
{
    ResolvedPath source, destination;
    DWORD error = resolve_existing(existing_name, &source);
    if (error == ERROR_SUCCESS)
        error = destination_of(new_name, source, &destination);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    const bool renamed_in_place = destination.host == source.host;
    const int failure = renamed_in_place ? 0 : rename_as_owner(source.host, destination.host);
    if (failure != 0) {
        if (failure != EXDEV)
            return fail_with(windows_error_for_path(failure, destination.host.c_str()));
        error = move_across_devices(source.host, destination.host);
        if (error != ERROR_SUCCESS)
            return fail_with(error);
    }
    forget_parent_of(source.host);
    forget_parent_of(destination.host);
    return TRUE;
}
