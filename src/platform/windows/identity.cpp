// Whether two paths are one file, and how deep one directory lies below another, by the
// volume serial number and file index Windows gives every open file: a link, a junction,
// a SUBST drive or a short name gives one file many texts.
#include <cstring>
#include <string>

#include "platform/platform.h"

// Opened without any access right, which is enough to ask who it is; the backup flag opens
// directories too. A link at the end is followed, or opened itself.
static HANDLE open_for_identity(const char* path, bool follow_last = true)
{
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (follow_last ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    return CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

static bool identity_of(const char* path, BY_HANDLE_FILE_INFORMATION* identity, bool follow_last = true)
{
    HANDLE file = open_for_identity(path, follow_last);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const BOOL known = GetFileInformationByHandle(file, identity);
    CloseHandle(file);
    return known != 0;
}

static bool same_identity(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

bool same_entry(const char* a, const char* b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return identity_of(a, &first, false) && identity_of(b, &second, false) && same_identity(first, second);
}

bool same_open_file(HANDLE a, HANDLE b)
{
    BY_HANDLE_FILE_INFORMATION first, second;
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           same_identity(first, second);
}

// Cuts the last component off a full path ("C:\a\b" gives "C:\a", "C:\a" gives "C:\");
// false at the root. Stepped by character: a double-byte character may end in 0x5C.
static bool cut_last_component(std::string& path)
{
    size_t separator = std::string::npos;
    for (const char* p = path.c_str(); *p != '\0'; p = CharNextA(p)) {
        if ((*p == '\\' || *p == '/') && p[1] != '\0')
            separator = static_cast<size_t>(p - path.c_str());
    }
    if (separator == std::string::npos)
        return false;
    const bool after_drive = separator > 0 && path[separator - 1] == ':';
    path.resize(after_drive ? separator + 1 : separator);
    return true;
}

// The path the system resolved an existing directory to, links and junctions followed.
static bool final_path_of(const std::string& path, std::string& final_path)
{
    HANDLE file = open_for_identity(path.c_str());
    if (file == INVALID_HANDLE_VALUE)
        return false;
    char buffer[32768];
    const DWORD length = GetFinalPathNameByHandleA(file, buffer, sizeof buffer, FILE_NAME_NORMALIZED);
    CloseHandle(file);
    if (length == 0 || length >= sizeof buffer)
        return false;
    final_path.assign(buffer, length);
    return true;
}

int levels_below(const char* path, const char* ancestor)
{
    BY_HANDLE_FILE_INFORMATION outer;
    char full[32768];
    const DWORD length = GetFullPathNameA(path, sizeof full, full, nullptr);
    if (!identity_of(ancestor, &outer) || length == 0 || length >= sizeof full)
        return -1;
    std::string existing(full, length);
    int levels = 0;
    while (GetFileAttributesA(existing.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (!cut_last_component(existing))
            return -1;
        levels++;
    }
    std::string directory;
    if (!final_path_of(existing, directory))
        return -1;
    for (;; levels++) {
        BY_HANDLE_FILE_INFORMATION identity;
        if (identity_of(directory.c_str(), &identity) && same_identity(identity, outer))
            return levels;
        if (!cut_last_component(directory))
            return -1;
    }
}
