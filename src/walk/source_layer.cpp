// Resolving the source argument into layer 0, and looking up the destination.
#include "walk/source_layer.h"

#include <cstdio>
#include <cstring>

#include "messages/messages.h"
#include "text/multibyte.h"
#include "walk/paths.h"

int close_search(HANDLE* search_handle)
{
    if (*search_handle == INVALID_HANDLE_VALUE)
        return 1;
    HANDLE open_search = *search_handle;
    *search_handle = INVALID_HANDLE_VALUE;
    if (!FindClose(open_search)) {
        fputs(MSG_FIND_CLOSE_FAILED, stdout);
        return 0;
    }
    return 1;
}

static bool has_wildcard(const char* text)
{
    return find_char(text, '*') != nullptr || find_char(text, '?') != nullptr;
}

// Whether the source itself names a directory: then layer 0 is that directory alone
// and the walk goes on inside it.
static bool names_directory(const char* source)
{
    LevelRecord& layer = level_table[0];
    close_search(&layer.search_handle);
    HANDLE search = FindFirstFileA(source, &layer.find_data);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return (layer.find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// "." and ".." have no name of their own to copy under a destination: their copy would
// be the destination itself, or its parent. Such a source is read with a '\' after it,
// as the contents of the directory it names.
static char dot_directory_source[PATH_BUFFER_SIZE];

size_t source_text_length(const char* source)
{
    return strlen(source) + (ends_in_dot_directory(source) ? 1 : 0);
}

static char* source_as_read(char* source)
{
    if (source == nullptr || !ends_in_dot_directory(source))
        return source;
    snprintf(dot_directory_source, sizeof dot_directory_source, "%s\\", source);
    return dot_directory_source;
}

void prepare_source_layer()
{
    LevelRecord& layer = level_table[0];
    char* source = settings.source_arg = source_as_read(settings.source_arg);
    if (source == nullptr) {
        strcpy(layer.search_path, "*");
    } else {
        strcpy(layer.search_path, source);
        const char* last = last_char(source);
        if (last != nullptr && (*last == ':' || *last == '\\')) {
            strcat(layer.search_path, "*");
        } else if (has_wildcard(last_component(source))) {
            // *.* would need a dot; as a source it means every name.
            char* pattern = last_component(source);
            if (strcmp(pattern, "*.*") == 0) {
                pattern[1] = '\0';
                strcpy(last_component(layer.search_path), "*");
            }
        } else if (names_directory(source)) {
            settings.filter_flags |= SOURCE_IS_DIRECTORY;
        }
    }
    char* root = last_component(layer.search_path);
    layer.root_length = static_cast<uint32_t>(root - layer.search_path);
    if (!(settings.filter_flags & SOURCE_IS_DIRECTORY))
        strcpy(root, "*");
}

int find_destination(uint32_t want_attributes)
{
    HANDLE search = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 10; attempt++) {
        search = FindFirstFileA(walk.dest_path, &walk.dest_find_data);
        if (search != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        Sleep(10);
    }
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    FindClose(search);
    SetLastError(0);
    return (want_attributes & FILE_ATTRIBUTE_DIRECTORY) == (walk.dest_find_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
}
