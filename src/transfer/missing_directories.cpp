// Creating the missing parents of a destination file.
//
// dest_path and source_path end in the same relative part, so cutting both at the same
// separator names a destination directory and the source directory it copies.
#include "transfer/missing_directories.h"

#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "text/multibyte.h"
#include "transfer/create_directory.h"
#include "walk/source_layer.h"

// Whether the prefix now ending dest_path still needs a directory: not after a drive or
// a separator, and not where one stands already.
static bool prefix_is_missing()
{
    const char* last = last_char(walk.dest_path);
    if (last == nullptr || *last == ':' || *last == '\\')
        return false;
    return !find_destination(FILE_ATTRIBUTE_DIRECTORY);
}

// Creates the directory of the prefix from the source directory cut at the same place.
static int create_from_source(size_t relative_offset)
{
    char* source_cut = walk.source_path + walk.current_level->root_length + relative_offset;
    const char saved = *source_cut;
    *source_cut = '\0';
    const DWORD attributes = GetFileAttributesA(walk.source_path);
    int created = 0;
    if (attributes == INVALID_FILE_ATTRIBUTES)
        print_highlighted(stdout, text(MSG_GET_DIRECTORY_ATTRIBUTES_FAILED), walk.source_path);
    else
        created = create_directory(walk.source_path, attributes, 0);
    *source_cut = saved;
    return created;
}

// Whether the file's own directory exists: then every directory above it does too, and
// one lookup stands for the walk over all of them.
static bool parent_exists()
{
    char* dest = walk.dest_path;
    char* separator = nullptr;
    for (char* p = dest + walk.dest_root_length; *p != '\0'; p = next_char(p)) {
        if (*p == '\\' && p != dest)
            separator = p;
    }
    if (separator == nullptr)
        return true;
    *separator = '\0';
    const bool missing = prefix_is_missing();
    *separator = '\\';
    return !missing;
}

int create_missing_directories()
{
    if (parent_exists())
        return 1;
    char* dest = walk.dest_path;
    for (char* p = dest + walk.dest_root_length; *p != '\0'; p = next_char(p)) {
        if (*p != '\\' || p == dest)
            continue;
        *p = '\0';
        const int ok = !prefix_is_missing() || create_from_source(static_cast<size_t>(p - dest) - walk.dest_root_length);
        *p = '\\';
        if (!ok)
            return 0;
    }
    return 1;
}
