// Symbolic links copied and compared as links, never followed.
#include <cstring>

#include "platform/platform.h"

BOOL copy_symbolic_link(LPCSTR source, LPCSTR destination)
{
    return CopyFileExA(source, destination, nullptr, nullptr, nullptr,
                       COPY_FILE_COPY_SYMLINK | COPY_FILE_FAIL_IF_EXISTS);
}

// A link's target stands in its reparse data; the handle opens the link itself, also a
// directory link. ERROR_SUCCESS or the code of the failure.
static DWORD read_reparse_data(LPCSTR path, BYTE* data, DWORD* length)
{
    HANDLE link = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS,
                              nullptr);
    if (link == INVALID_HANDLE_VALUE)
        return GetLastError();
    const BOOL read = DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, data,
                                      MAXIMUM_REPARSE_DATA_BUFFER_SIZE, length, nullptr);
    const DWORD error = read ? ERROR_SUCCESS : GetLastError();
    CloseHandle(link);
    return error;
}

// Two links agree when their reparse data agrees byte for byte: the same tag, the same
// target as written and as the system reads it, the same relative flag. An entry that
// is no reparse point is no link.
LinkComparison compare_link_targets(LPCSTR source, LPCSTR destination)
{
    static BYTE source_data[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    static BYTE destination_data[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD source_length = 0, destination_length = 0;
    const DWORD source_error = read_reparse_data(source, source_data, &source_length);
    if (source_error != ERROR_SUCCESS && source_error != ERROR_NOT_A_REPARSE_POINT) {
        SetLastError(source_error);
        return LINK_SOURCE_UNREADABLE;
    }
    const DWORD destination_error = read_reparse_data(destination, destination_data, &destination_length);
    if (destination_error != ERROR_SUCCESS && destination_error != ERROR_NOT_A_REPARSE_POINT) {
        SetLastError(destination_error);
        return LINK_DESTINATION_UNREADABLE;
    }
    const bool same = source_error == ERROR_SUCCESS && destination_error == ERROR_SUCCESS &&
                      source_length == destination_length && memcmp(source_data, destination_data, source_length) == 0;
    return same ? LINKS_SAME : LINKS_DIFFERENT;
}
