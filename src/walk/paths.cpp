// Splitting paths into components, multibyte-aware, and comparing directories.
#include "walk/paths.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "walk/multibyte.h"
#include "walk/walk_state.h"

char* last_component(const char* path)
{
    // After the last ':' or '\\', whichever comes later: one pass, since the walk asks
    // this of every entry's path.
    const char* component = path;
    for (const char* p = path; *p != '\0'; p = next_char(p)) {
        if (*p == ':' || *p == '\\')
            component = p + 1;
    }
    return const_cast<char*>(component);
}

char* extension_of(const char* path)
{
    char* dot = nullptr;
    for (char* p = last_component(path); *p != '\0'; p = next_char(p)) {
        if (*p == '.')
            dot = p;
    }
    return dot == nullptr ? nullptr : dot + 1;
}

// The full path of the directory part of a path. The trailing '\' goes, except after a
// bare drive (C:\ stays the root, not C:'s current directory). A path without a
// directory part means the current directory, so that .\ and no directory compare equal.
static void directory_full_path(const char* path, char* full, DWORD full_size)
{
    char directory[PATH_BUFFER_SIZE];
    const size_t length = static_cast<size_t>(last_component(path) - path);
    if (length == 0) {
        strcpy(directory, ".");
    } else {
        memcpy(directory, path, length);
        directory[length] = '\0';
        char* last = last_char(directory);
        const bool drive_root = length == 3 && directory[1] == ':';
        if (*last == '\\' && !drive_root)
            *last = '\0';
    }
    const DWORD written = GetFullPathNameA(directory, full_size, full, nullptr);
    if (written == 0 || written >= full_size)
        snprintf(full, full_size, "%s", directory);
}

static bool same_path_text(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; a = next_char(a), b = next_char(b)) {
        if (!same_character(a, b))
            return false;
    }
    return *a == *b;
}

int same_directory_check()
{
    char destination[PATH_BUFFER_SIZE];
    char source[PATH_BUFFER_SIZE];
    directory_full_path(walk.dest_path, destination, sizeof destination);
    directory_full_path(level_table[0].search_path, source, sizeof source);
    return same_path_text(destination, source) ? 0 : 1;
}
