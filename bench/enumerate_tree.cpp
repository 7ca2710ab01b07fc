// Enumerates a tree the way the walker does and prints how long it took.
//
// For every directory: FindFirstFileA/FindNextFileA over "dir\*"; for every entry other
// than "." and "..": its full path, GetShortPathNameA of it and CharUpperA, then a
// descent into subdirectories that are not reparse points.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/platform.h"

struct Counts {
    unsigned long entries;
    unsigned long directories;
    unsigned long short_name_failures;
};

static bool is_dot_name(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

static void walk(char* path, size_t length, Counts* counts)
{
    strcpy(path + length, "\\*");
    WIN32_FIND_DATAA record;
    HANDLE search = FindFirstFileA(path, &record);
    if (search == INVALID_HANDLE_VALUE)
        return;
    counts->directories++;
    char short_path[1024];
    do {
        if (is_dot_name(record.cFileName))
            continue;
        const size_t name_length = strlen(record.cFileName);
        if (length + 1 + name_length + 3 >= 1024)
            continue;
        path[length] = '\\';
        memcpy(path + length + 1, record.cFileName, name_length + 1);
        counts->entries++;
        if (GetShortPathNameA(path, short_path, sizeof short_path) == 0)
            counts->short_name_failures++;
        else
            CharUpperA(short_path);
        const DWORD directory_bits = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if ((record.dwFileAttributes & directory_bits) == FILE_ATTRIBUTE_DIRECTORY)
            walk(path, length + 1 + name_length, counts);
    } while (FindNextFileA(search, &record));
    FindClose(search);
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: enumerate_tree WINDOWS_PATH\n");
        return 2;
    }
    char path[1024];
    snprintf(path, sizeof path, "%s", argv[1]);
    Counts counts = {};
    const auto start = std::chrono::steady_clock::now();
    walk(path, strlen(path), &counts);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    printf("%.3f seconds, %lu entries, %lu directories, %lu short-name failures\n", took.count(), counts.entries,
           counts.directories, counts.short_name_failures);
    return counts.short_name_failures == 0 ? 0 : 1;
}
