// Symbolic links met in a walk: copied and compared by their target text, never followed.
#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/files/links.h"
#include "platform/posix/files/owned_directory.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"

// A link's target text; Linux keeps at most PATH_MAX - 1 bytes of it. 0 or the errno.
static int read_target(const std::string& link, std::string* target)
{
    target->resize(PATH_MAX);
    const ssize_t length = readlink(link.c_str(), target->data(), target->size());
    if (length < 0)
        return errno;
    if (static_cast<size_t>(length) == target->size())
        return ENAMETOOLONG;
    target->resize(static_cast<size_t>(length));
    return 0;
}

int copy_link_at(const std::string& source, const std::string& destination)
{
    struct stat link;
    std::string target;
    if (lstat(source.c_str(), &link) != 0)
        return errno;
    const int failure = read_target(source, &target);
    if (failure != 0)
        return failure;
    const int made = change_in_owned_directory(
        destination, [&] { return symlink(target.c_str(), destination.c_str()) == 0 ? 0 : errno; });
    if (made != 0)
        return made;
    // The times are the link's own, kept where the file system keeps them; a link that
    // cannot take them is a link all the same, with the same target.
    const struct timespec times[2] = {link.st_atim, link.st_mtim};
    utimensat(AT_FDCWD, destination.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return 0;
}

// Copies a link as a link, with its own times (Windows: CopyFileExA with
// COPY_FILE_COPY_SYMLINK). The destination must not exist.
BOOL copy_symbolic_link(LPCSTR source, LPCSTR destination)
{
    ResolvedPath from;
    DWORD error = resolve_existing(source, &from);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    WindowsPath path;
    ResolvedPath to;
    error = resolve_path(destination, &path, &to);
    if (error == ERROR_SUCCESS && (path.components.empty() || to.exists))
        error = ERROR_ALREADY_EXISTS;
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    const int failure = copy_link_at(from.host, to.host);
    if (failure != 0)
        return fail_with(failure == EEXIST ? ERROR_ALREADY_EXISTS : windows_error_for_path(failure, to.host.c_str()));
    note_entry_added(to.host, DT_LNK);
    return TRUE;
}

// The target text of a link named by a Windows path; *is_link false when the entry is
// no link. ERROR_SUCCESS or the Windows code of the failure.
static DWORD target_of(LPCSTR windows_path, std::string* target, bool* is_link)
{
    ResolvedPath resolved;
    const DWORD error = resolve_existing(windows_path, &resolved);
    if (error != ERROR_SUCCESS)
        return error;
    const int failure = read_target(resolved.host, target);
    *is_link = failure != EINVAL;
    return failure == 0 || failure == EINVAL ? ERROR_SUCCESS : windows_error_for_path(failure, resolved.host.c_str());
}

// Compares two links by their target texts (Windows: by their reparse data).
LinkComparison compare_link_targets(LPCSTR source, LPCSTR destination)
{
    std::string source_target, destination_target;
    bool source_is_link = false, destination_is_link = false;
    DWORD error = target_of(source, &source_target, &source_is_link);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return LINK_SOURCE_UNREADABLE;
    }
    error = target_of(destination, &destination_target, &destination_is_link);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return LINK_DESTINATION_UNREADABLE;
    }
    const bool same = source_is_link && destination_is_link && source_target == destination_target;
    return same ? LINKS_SAME : LINKS_DIFFERENT;
}
