// errno to Windows error codes: the single table that every call of the layer uses.
#include <cerrno>
#include <cstring>
#include <string>
#include <sys/stat.h>

#include "platform/posix/system/error_table.h"

struct ErrnoMapping {
    int error_number;
    DWORD windows_code;
};

// ENOENT stands here for its common meaning; the caller decides between 2 and 3.
static const ErrnoMapping errno_table[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EEXIST, ERROR_ALREADY_EXISTS},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {ENOSPC, ERROR_DISK_FULL},
    {EDQUOT, ERROR_DISK_FULL},
    {EFBIG, ERROR_FILE_TOO_LARGE},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOTDIR, ERROR_DIRECTORY},
    {EROFS, ERROR_WRITE_PROTECT},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {EIO, ERROR_IO_DEVICE},
    {EBADF, ERROR_INVALID_HANDLE},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
};

DWORD windows_error_of(int error_number, bool directory_missing)
{
    if (error_number == ENOENT && directory_missing)
        return ERROR_PATH_NOT_FOUND;
    for (const ErrnoMapping& mapping : errno_table) {
        if (mapping.error_number == error_number)
            return mapping.windows_code;
    }
    return ERROR_GEN_FAILURE;
}

BOOL fail_with(DWORD code)
{
    SetLastError(code);
    return FALSE;
}

BOOL fail_with_errno()
{
    return fail_with(windows_error_of(errno));
}

DWORD windows_error_for_path(int error_number, const char* host_path)
{
    if (error_number != ENOENT)
        return windows_error_of(error_number);
    const char* slash = strrchr(host_path, '/');
    const std::string parent = slash == nullptr ? std::string(".")
                                                : std::string(host_path, slash == host_path ? 1 : slash - host_path);
    struct stat status;
    const bool parent_is_directory = stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return windows_error_of(ENOENT, !parent_is_directory);
}
