// Whether two paths are one file, and how deep one directory lies below another, by the
// host's identity of files (device and inode), never by path text: a link, a bind mount,
// an alias or a drive mapping gives one file many texts.
#include <climits>
#include <cstdlib>
#include <sys/stat.h>

#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/system/handles.h"

// The status of the entry a path names, links on the way followed; a link at its end is
// followed too, or is the entry itself.
static bool status_of(const char* windows_path, bool follow_last, struct stat* status)
{
    ResolvedPath resolved;
    if (resolve_existing(windows_path, &resolved) != ERROR_SUCCESS)
        return false;
    return (follow_last ? stat(resolved.host.c_str(), status) : lstat(resolved.host.c_str(), status)) == 0;
}

static bool same_identity(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool same_entry(const char* a, const char* b)
{
    struct stat first, second;
    return status_of(a, false, &first) && status_of(b, false, &second) && same_identity(first, second);
}

// An existing file's status is read when it is opened, or when it is first wanted if it
// was opened as a search had just seen it; a file this layer made has none until it is
// wanted as a template, and is nobody's other route.
static bool opened_file(HANDLE handle, struct stat* status)
{
    HandleObject* object = handle_object(handle);
    if (object == nullptr || object->kind != HandleKind::file || object->is_directory)
        return false;
    if (object->seen_inode != 0 && !S_ISREG(object->opened.st_mode) && fstat(object->fd, &object->opened) != 0)
        return false;
    *status = object->opened;
    return S_ISREG(status->st_mode);
}

// Files that were two entries when they were opened are two files: one that took the
// other's place since is compared by its contents, which tells the truth as well. Only
// what looks like one file is read again from the open handles.
static bool seen_apart(HANDLE a, HANDLE b)
{
    const HandleObject* first = handle_object(a);
    const HandleObject* second = handle_object(b);
    return first != nullptr && second != nullptr && first->seen_inode != 0 && second->seen_inode != 0 &&
           (first->seen_device != second->seen_device || first->seen_inode != second->seen_inode);
}

bool same_open_file(HANDLE a, HANDLE b)
{
    if (seen_apart(a, b))
        return false;
    struct stat first, second;
    return opened_file(a, &first) && opened_file(b, &second) && same_identity(first, second);
}

// The host path of the longest part of a path that exists, and how many components after
// it do not exist yet.
static bool existing_part(const char* windows_path, std::string& host, int* missing)
{
    WindowsPath path;
    if (parse_windows_path(windows_path, false, &path) != ERROR_SUCCESS)
        return false;
    for (size_t count = path.components.size();; count--) {
        ResolvedPath resolved;
        if (resolve_components(path, count, &resolved) == ERROR_SUCCESS && resolved.exists) {
            host = resolved.host;
            *missing = static_cast<int>(path.components.size() - count);
            return true;
        }
        if (count == 0)
            return false;
    }
}

// The parents of a directory are those of its real path: through a link the text's own
// parents are other directories.
int levels_below(const char* path, const char* ancestor)
{
    struct stat outer;
    std::string host;
    int missing = 0;
    if (!status_of(ancestor, true, &outer) || !existing_part(path, host, &missing))
        return -1;
    char real[PATH_MAX];
    if (realpath(host.c_str(), real) == nullptr)
        return -1;
    std::string directory = real;
    for (int levels = missing;; levels++) {
        struct stat status;
        if (stat(directory.c_str(), &status) == 0 && same_identity(status, outer))
            return levels;
        if (directory == "/")
            return -1;
        const size_t slash = directory.rfind('/');
        directory.resize(slash == 0 ? 1 : slash);
    }
}
