// Building the long, short and destination paths of the current entry in place.
#include "walk/name_forms.h"

#include <cstdio>
#include <cstring>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "platform/platform.h"
#include "records/walk_state.h"
#include "walk/paths.h"

// Copies head (head_length bytes) and tail into a path buffer. False when the result
// would not fit: the caller skips the entry rather than act on a cut path.
static bool compose_path(char* buffer, const char* head, size_t head_length, const char* tail)
{
    const size_t tail_length = strlen(tail);
    if (head_length + tail_length >= static_cast<size_t>(PATH_BUFFER_SIZE)) {
        print_highlighted(stdout, text(MSG_PATH_TOO_LONG), tail);
        return false;
    }
    memmove(buffer, head, head_length);
    memcpy(buffer + head_length, tail, tail_length + 1);
    return true;
}

// Below layer 0 the walk itself wrote the pattern, the directory and "\*", so the name
// goes where the '*' is; layer 0's pattern is the user's and is read character-wise.
int build_source_path()
{
    const char* search_path = walk.current_level->search_path;
    const size_t directory_length = walk.depth > 0 ? strlen(search_path) - 1
                                                   : static_cast<size_t>(last_component(search_path) - search_path);
    if (!compose_path(walk.source_path, search_path, directory_length, walk.current_level->find_data.cFileName))
        return 0;
    walk.source_name = walk.source_path + directory_length;
    return 1;
}

// The upper-case 8.3 form of a path into a PATH_BUFFER_SIZE buffer; the path itself,
// upper-cased, when the system cannot give one.
static void short_form_of(const char* long_path, char* short_path)
{
    const DWORD length = GetShortPathNameA(long_path, short_path, PATH_BUFFER_SIZE);
    if (length == 0 || length >= static_cast<DWORD>(PATH_BUFFER_SIZE))
        strcpy(short_path, long_path);
    CharUpperA(short_path);
}

void build_short_path()
{
    short_form_of(walk.source_path, walk.short_path);
    walk.short_name = last_component(walk.short_path);
}

int build_dest_path()
{
    const uint32_t root_length = walk.current_level->root_length;
    return compose_path(walk.dest_path, walk.dest_path, walk.dest_root_length, walk.source_path + root_length) ? 1 : 0;
}

// The short forms an even /L acts on, and those /X hands to its commands, are found as
// typed names are: the source root's short form is registered for them.
void register_walk_roots()
{
    const LevelRecord& layer = level_table[0];
    register_path_root(layer.search_path, layer.root_length, NAMES_FROM_SEARCHES);
    if (!(settings.list_mode & 1) || base_operation() == OP_EXECUTE) {
        char root[PATH_BUFFER_SIZE];
        char short_root[PATH_BUFFER_SIZE];
        memcpy(root, layer.search_path, layer.root_length);
        root[layer.root_length] = '\0';
        short_form_of(root, short_root);
        register_path_root(short_root, strlen(short_root), NAMES_AS_TYPED);
    }
    // Of a destination entry the operations read the kind, size and times; only verify by
    // properties compares its attributes.
    if (uses_destination())
        register_path_root(walk.dest_path, walk.dest_root_length,
                           verifies_properties() ? NAMES_FROM_SEARCHES : DESTINATION_NAMES);
}

const char* chosen_path()
{
    return (settings.list_mode & 1) ? walk.source_path : walk.short_path;
}
