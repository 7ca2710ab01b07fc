// GetFileAttributesA and SetFileAttributesA.
//
// Read-only is the owner's write permission for files and a stored bit for directories
// (a read-only Windows directory still takes new files); hidden, system and archive are
// stored in user.DOSATTRIB. Where a bit cannot be stored the call fails with
// ERROR_NOT_SUPPORTED and changes nothing, rather than pretend. Who may neither write
// nor own an entry may not set its attributes, even to what they are: Windows refuses
// the open for writing attributes before it looks at the bits.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/files/dos_attributes.h"
#include "platform/posix/files/entry_status.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/system/error_table.h"

// The name whose leading dot makes the default hidden: none for a path without
// components (a drive root or the current directory).
static const char* shown_name_of(const WindowsPath& path)
{
    if (path.components.empty())
        return "";
    return path.text + path.components.back().offset;
}

// The path as written is read first: when it names an entry, that entry is the one the
// lookup would find, and the lookup's own look at the path is spared. The entry a search
// has just read is not read again.
static DWORD status_of_path(LPCSTR file_name, WindowsPath* path, ResolvedPath* resolved, EntryStatus* status)
{
    DWORD error = parse_windows_path(file_name, false, path);
    if (error != ERROR_SUCCESS)
        return error;
    resolved->host = literal_host_path(*path, path->components.size());
    const char* host = resolved->host.c_str();
    if (take_recent_status(resolved->host, shown_name_of(*path), status)) {
        resolved->exists = true;
        return ERROR_SUCCESS;
    }
    if (resolved->host.size() <= LONGEST_HOST_PATH &&
        read_entry_status(AT_FDCWD, host, host, shown_name_of(*path), status) == 0) {
        resolved->exists = true;
        return ERROR_SUCCESS;
    }
    error = resolve_components(*path, path->components.size(), resolved);
    if (error != ERROR_SUCCESS)
        return error;
    if (!resolved->exists)
        return ERROR_FILE_NOT_FOUND;
    const int failure = read_entry_status(AT_FDCWD, resolved->host.c_str(), resolved->host.c_str(),
                                          shown_name_of(*path), status);
    return failure == 0 ? ERROR_SUCCESS : windows_error_for_path(failure, resolved->host.c_str());
}

// GetFileAttributesA: the attribute bits of a file or directory, or INVALID_FILE_ATTRIBUTES
// with the last error. Here read-only is a file's write permission, the other bits are
// stored in user.DOSATTRIB, and a symbolic link carries the reparse-point bit.
DWORD GetFileAttributesA(LPCSTR file_name)
{
    WindowsPath path;
    ResolvedPath resolved;
    EntryStatus status;
    const DWORD error = status_of_path(file_name, &path, &resolved, &status);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return status.attributes;
}

// Stores the bits unless they are what the entry shows anyway and nothing is stored
// yet, so that a file system without extended attributes accepts the defaults. The
// stored value is the one read with the entry's status. Linux lets only root write the
// stored bits of an entry the caller may not write: an owner's read-only file or
// directory is given its owner's write bit for the store, and its mode back after it.
static int store_if_needed(const char* host, const EntryStatus& status, DWORD wanted, DWORD defaults)
{
    if (status.has_stored ? status.stored_bits == wanted : wanted == defaults)
        return 0;
    const int failure = store_bits(host, wanted);
    if (failure != EACCES || (status.mode & S_IWUSR) != 0 || chmod(host, status.mode | S_IWUSR) != 0)
        return failure;
    const int again = store_bits(host, wanted);
    chmod(host, status.mode);
    return again;
}

// Clearing read-only gives the write bit back before the bits are stored, setting it
// takes the bit away after them, so that the owner can do all that root can. A refused
// store leaves read-only as it was.
static BOOL set_file_bits(const ResolvedPath& resolved, const EntryStatus& status, const char* name, DWORD attributes)
{
    const char* host = resolved.host.c_str();
    const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    const bool was_read_only = (status.mode & S_IWUSR) == 0;
    EntryStatus unlocked = status;
    if (was_read_only && !read_only) {
        if (chmod(host, status.mode | S_IWUSR) != 0)
            return fail_with_errno();
        unlocked.mode |= S_IWUSR;
    }
    const int failure = store_if_needed(host, unlocked, attributes & STORED_FILE_BITS, default_bits(name, false));
    if (failure != 0) {
        if (unlocked.mode != status.mode)
            chmod(host, status.mode);
        return fail_with(windows_error_of(failure));
    }
    if (read_only && !was_read_only && chmod(host, status.mode & ~0222u) != 0)
        return fail_with_errno();
    return TRUE;
}

static bool is_caller_or_root(uid_t owner)
{
    static const uid_t caller = geteuid();  // the program never changes its identity
    return caller == 0 || owner == caller;
}

// The owner (or root) may always; anyone else only with write permission, which
// costs a host call and is asked only then.
static bool may_set_attributes(const ResolvedPath& resolved, const EntryStatus& status)
{
    if (is_caller_or_root(status.owner))
        return true;
    return faccessat(AT_FDCWD, resolved.host.c_str(), W_OK, AT_EACCESS) == 0;
}

// A link has nowhere of its own to keep bits, and its target may lie outside the tree or
// be missing: the call changes nothing, and succeeds for the link's owner (the link's,
// not the target's) as it would on a Windows symbolic link.
static BOOL set_link_bits(const ResolvedPath& resolved)
{
    struct stat link;
    if (lstat(resolved.host.c_str(), &link) != 0)
        return fail_with(windows_error_for_path(errno, resolved.host.c_str()));
    return is_caller_or_root(link.st_uid) ? TRUE : fail_with(ERROR_ACCESS_DENIED);
}

// SetFileAttributesA: sets read-only, hidden, system and archive; refused to whoever may
// not write the entry. Here its owner may, a bit the file system cannot store fails with
// ERROR_NOT_SUPPORTED, and a link keeps no bits: for its owner the call changes nothing.
BOOL SetFileAttributesA(LPCSTR file_name, DWORD attributes)
{
    WindowsPath path;
    ResolvedPath resolved;
    EntryStatus status;
    const DWORD error = status_of_path(file_name, &path, &resolved, &status);
    if (error != ERROR_SUCCESS)
        return fail_with(error);
    if (status.is_link)
        return set_link_bits(resolved);
    const char* name = shown_name_of(path);
    if (!may_set_attributes(resolved, status))
        return fail_with(ERROR_ACCESS_DENIED);
    if (status.is_directory) {
        const int failure = store_if_needed(resolved.host.c_str(), status, attributes & STORED_DIRECTORY_BITS,
                                            default_bits(name, true));
        return failure == 0 ? TRUE : fail_with(windows_error_of(failure));
    }
    return set_file_bits(resolved, status, name, attributes);
}
