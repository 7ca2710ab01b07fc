// Windows path texts taken apart: drive, root, and the components after '.' and '..'
// are collapsed, with the host directory each drive stands for.
#pragma once

#include <string>
#include <vector>

#include "platform/platform.h"

struct PathComponent {
    size_t offset;
    size_t length;
};

struct WindowsPath {
    const char* text;
    char drive;                 // upper-case letter of the drive the path is on
    bool drive_given;           // the text named its drive
    bool rooted;                // starts at the drive's root, not at a current directory
    bool trailing_separator;    // the text ended in '\' or '/'
    int last_dots;              // 1 or 2 when the last component was "." or ".."
    size_t leading_parents;     // ".." components left over at the start of a relative path
    std::vector<PathComponent> components;
    std::string drive_root;     // host directory of the drive ("/" for Z:)
    size_t exact_offset;        // components from here on came from searches (see path_roots.h)
};

// Whether component index came from a search, and so names exactly one entry, or else
// none: never a twin that differs in case, never the entry whose alias it spells.
inline bool matched_exactly(const WindowsPath& path, size_t index)
{
    return path.components[index].offset >= path.exact_offset;
}

// Takes a Windows path apart. Wildcards are allowed in the last component only when
// asked for. Returns ERROR_SUCCESS or the Windows code of a name that cannot be used:
// ERROR_INVALID_NAME, ERROR_PATH_NOT_FOUND (an unmapped drive), ERROR_FILENAME_EXCED_RANGE.
DWORD parse_windows_path(const char* text, bool wildcards_in_last, WindowsPath* path);

// The host directory a drive letter stands for: "/" for Z:, ORVA_DRIVE_<LETTER> for the
// others. False when the drive is not mapped.
bool drive_root_of(char drive, std::string& root);

// The host path of the first count components, as they are written (no lookup):
// the base the path starts from, then the components in host form.
std::string literal_host_path(const WindowsPath& path, size_t count);

// The host path of the base a path starts from: its drive root, or "" for the current
// directory (a relative path with its leading ".." components).
std::string host_base_of(const WindowsPath& path);

// Longest Windows path text the layer accepts, as for Windows's own long paths.
const size_t LONGEST_WINDOWS_PATH = 32767;
// Longest host path and name the host takes.
const size_t LONGEST_HOST_PATH = 4095;
const size_t LONGEST_HOST_NAME = 255;
