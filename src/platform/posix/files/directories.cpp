// CreateDirectoryA, CreateDirectoryExA and RemoveDirectoryA.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/files/dos_attributes.h"
#include "platform/posix/files/owned_directory.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"

// The host path a new directory gets: its parent must exist, the name must be free
// (a typed name also ignoring case: on Windows "A" and "a" are one name; a name from a
// search beside its twin is a directory of its own).
static DWORD new_directory_path(LPCSTR path_text, ResolvedPath* resolved)
{
    WindowsPath path;
    const DWORD error = resolve_path(path_text, &path, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    if (path.components.empty() || resolved->exists)
        return ERROR_ALREADY_EXISTS;
    return ERROR_SUCCESS;
}

static BOOL make_directory(const ResolvedPath& resolved, mode_t mode)
{
    const int failure = change_in_owned_directory(
        resolved.host, [&] { return mkdir(resolved.host.c_str(), mode) == 0 ? 0 : errno; });
    if (failure != 0)
        return fail_with(windows_error_for_path(failure, resolved.host.c_str()));
    return TRUE;
}

// CreateDirectoryA: makes one directory whose parent exists (ERROR_ALREADY_EXISTS when the
// name is taken). Here its mode is 0777 less the umask, and a typed name is taken also
// by an entry that differs from it only in case, as on Windows.
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES)
{
    ResolvedPath resolved;
    const DWORD error = new_directory_path(path, &resolved);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    if (!make_directory(resolved, 0777))
        return FALSE;
    note_directory_made(resolved.host);
    return TRUE;
}

// CreateDirectoryExA: CreateDirectoryA with the attributes of a template directory.
// The new directory takes the template's permission bits exactly (not filtered by the
// umask) and its stored attributes, as far as the file system keeps them; until the copy
// has filled it (finish_directory_copy) its owner may also write and search it, so that
// the copy of a read-only directory can take its files.
BOOL CreateDirectoryExA(LPCSTR template_directory, LPCSTR new_directory, LPSECURITY_ATTRIBUTES)
{
    ResolvedPath model;
    DWORD error = resolve_existing(template_directory, &model);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    struct stat model_status;
    if (stat(model.host.c_str(), &model_status) != 0)
        return fail_with(windows_error_for_path(errno, model.host.c_str()));
    ResolvedPath resolved;
    error = new_directory_path(new_directory, &resolved);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    const mode_t mode = (S_ISDIR(model_status.st_mode) ? model_status.st_mode & 07777 : 0777) | S_IRWXU;
    if (!make_directory(resolved, mode))
        return FALSE;
    chmod(resolved.host.c_str(), mode);
    DWORD stored = 0;
    if (read_stored_bits(model.host.c_str(), &stored))
        store_bits(resolved.host.c_str(), stored);
    // After the new directory's own changes, which move its time stamps.
    note_directory_made(resolved.host);
    return TRUE;
}

// A link to a directory goes as a link; the directory it points at stays. A read-only
// directory is refused, as Windows refuses it.
BOOL RemoveDirectoryA(LPCSTR path)
{
    ResolvedPath resolved;
    const DWORD error = resolve_existing(path, &resolved);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    struct stat entry, target;
    if (lstat(resolved.host.c_str(), &entry) != 0)
        return fail_with(windows_error_for_path(errno, resolved.host.c_str()));
    if (stat(resolved.host.c_str(), &target) != 0 || !S_ISDIR(target.st_mode))
        return fail_with(ERROR_DIRECTORY);
    if (S_ISLNK(entry.st_mode)) {
        confirm_parent_table(resolved.host);
        const int failure = change_in_owned_directory(
            resolved.host, [&] { return unlink(resolved.host.c_str()) == 0 ? 0 : errno; });
        if (failure != 0)
            return fail_with(windows_error_of(failure));
        note_entry_removed(resolved.host);
        return TRUE;
    }
    DWORD stored = 0;
    if (read_stored_bits(resolved.host.c_str(), &stored) && (stored & FILE_ATTRIBUTE_READONLY))
        return fail_with(ERROR_ACCESS_DENIED);
    forget_directory(resolved.host);
    confirm_parent_table(resolved.host);
    const int failure = change_in_owned_directory(
        resolved.host, [&] { return rmdir(resolved.host.c_str()) == 0 ? 0 : errno; });
    if (failure != 0)
        return fail_with(failure == EEXIST ? ERROR_DIR_NOT_EMPTY : windows_error_of(failure));
    note_entry_removed(resolved.host);
    return TRUE;
}

bool finish_directory_copy(const char* source_directory, const char* destination_directory)
{
    ResolvedPath source, destination;
    struct stat model, made;
    if (resolve_existing(source_directory, &source) != ERROR_SUCCESS ||
        resolve_existing(destination_directory, &destination) != ERROR_SUCCESS ||
        stat(source.host.c_str(), &model) != 0 || lstat(destination.host.c_str(), &made) != 0 ||
        !S_ISDIR(model.st_mode) || !S_ISDIR(made.st_mode))
        return false;
    if ((made.st_mode & 07777) == (model.st_mode & 07777))
        return true;
    return chmod(destination.host.c_str(), model.st_mode & 07777) == 0;
}
