// The destination's place against the source, by identity rather than by path text: a
// link, a mount, an 8.3 alias or a mapped drive gives one directory many texts, and a
// copy onto its own source would delete the source file by file.
#include "walk/destination_place.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"
#include "records/walk_state.h"
#include "text/multibyte.h"

// A source that names a directory walks that directory, whose copy is its namesake under
// the destination root; any other source walks layer 0's directory straight into the
// root. The entries of the directory walked are the walk's layer 1 or layer 0.
static bool walked_directory(char* walked, size_t walked_size, int* first_layer)
{
    const LevelRecord& layer = level_table[0];
    if (settings.filter_flags & SOURCE_IS_DIRECTORY) {
        *first_layer = 1;
        return snprintf(walked, walked_size, "%s", settings.source_arg) < static_cast<int>(walked_size);
    }
    *first_layer = 0;
    if (layer.root_length == 0)
        return snprintf(walked, walked_size, ".") < static_cast<int>(walked_size);
    return snprintf(walked, walked_size, "%.*s", static_cast<int>(layer.root_length), layer.search_path) <
           static_cast<int>(walked_size);
}

static bool copied_directory(const char* destination_root, char* copied, size_t copied_size)
{
    if (!(settings.filter_flags & SOURCE_IS_DIRECTORY))
        return snprintf(copied, copied_size, "%s", *destination_root != '\0' ? destination_root : ".") <
               static_cast<int>(copied_size);
    const char* last = last_char(destination_root);
    const char* separator = last == nullptr || *last == ':' || *last == '\\' ? "" : "\\";
    return snprintf(copied, copied_size, "%s%s%s", destination_root, separator, level_table[0].find_data.cFileName) <
           static_cast<int>(copied_size);
}

DestinationPlace destination_place(const char* destination_root)
{
    char walked[PATH_BUFFER_SIZE];
    char copied[2 * PATH_BUFFER_SIZE];
    int first_layer = 0;
    if (!walked_directory(walked, sizeof walked, &first_layer) ||
        !copied_directory(destination_root, copied, sizeof copied))
        return DESTINATION_ELSEWHERE;
    const int levels = levels_below(copied, walked);
    if (levels == 0)
        return DESTINATION_IS_SOURCE;
    // Copies the walk can never reach do no harm: with /0 a directory's files may be
    // copied into one of its subdirectories.
    if (levels > 0 && first_layer + levels <= settings.layer_count)
        return DESTINATION_INSIDE_SOURCE;
    return DESTINATION_ELSEWHERE;
}
