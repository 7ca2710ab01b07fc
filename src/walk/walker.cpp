// The walk over the source tree: the layer loop, the per-entry poll and the selection
// of every entry that is offered to the run's one operation.
//
// All per-layer state lives in the static tables, so a descent costs one record and a
// few words of stack; nothing is allocated.
#include "walk/walker.h"

#include <cstdio>
#include <cstring>

#include "console/keys.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "walk/filters.h"
#include "walk/name_forms.h"
#include "walk/operations.h"
#include "walk/paths.h"
#include "walk/source_layer.h"

static bool tree_operation()
{
    return base_operation() == OP_TREE;
}

// Opens a search of a record; false when it cannot be opened.
static bool open_search(HANDLE* handle, const char* search_path, WIN32_FIND_DATAA* find_data)
{
    close_search(handle);
    *handle = FindFirstFileA(search_path, find_data);
    return *handle != INVALID_HANDLE_VALUE;
}

// Visits every entry of the current layer, whose search is open. 0 = stop the run.
static int walk_layer_entries()
{
    LevelRecord* level = walk.current_level;
    for (;;) {
        if (tree_operation())
            walk.current_lookahead->lookahead_advanced = 0;
        if (!walk_entry())
            return 0;
        if (!FindNextFileA(level->search_handle, &level->find_data))
            return 1;
        if (tree_operation() && !walk.current_lookahead->lookahead_advanced)
            FindNextFileA(walk.current_lookahead->search_handle, &walk.current_lookahead->find_data);
    }
}

// The search pattern of the directory that is the parent layer's current entry.
static bool compose_child_search_path(const LevelRecord* parent, LevelRecord* child)
{
    const char* parent_path = parent->search_path;
    const size_t directory_length = static_cast<size_t>(last_component(parent_path) - parent_path);
    const int written = snprintf(child->search_path, sizeof child->search_path, "%.*s%s\\*",
                                 static_cast<int>(directory_length), parent_path, parent->find_data.cFileName);
    if (written < 0 || written >= static_cast<int>(sizeof child->search_path)) {
        print_highlighted(stdout, text(MSG_PATH_TOO_LONG), parent->find_data.cFileName);
        return false;
    }
    return true;
}

// Walks the contents of the directory that is the current entry, one layer deeper.
// A directory whose search cannot be opened counts as empty. 0 = stop the run.
static int descend(bool* was_emptied)
{
    LevelRecord* parent = walk.current_level;
    LevelRecord* level = parent + 1;
    walk.depth++;
    walk.current_level = level;
    level->root_length = parent->root_length;
    level->entries_left = 0;
    const bool path_fits = compose_child_search_path(parent, level);
    bool opened = path_fits && open_search(&level->search_handle, level->search_path, &level->find_data);
    if (tree_operation()) {
        walk.current_lookahead++;
        opened = opened && open_search(&walk.current_lookahead->search_handle, level->search_path,
                                       &walk.current_lookahead->find_data);
    }
    if (opened && !walk_layer_entries())
        return 0;
    close_search(&level->search_handle);
    if (tree_operation()) {
        close_search(&walk.current_lookahead->search_handle);
        walk.current_lookahead--;
    }
    // A directory too deep to name is left alone rather than taken for emptied.
    *was_emptied = path_fits && level->entries_left == 0;
    walk.current_level = parent;
    walk.depth--;
    return 1;
}

static bool is_dot_entry(const char* name)
{
    return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}

// The 8.3 form costs the system a look at the entry's directory, so it is built only
// where this run reads it: the name lists, the source pattern (which inside a directory
// source only the directory itself meets), the short path form of /L and the commands
// (whose upper-case variables take it).
static bool needs_short_form()
{
    if (settings.exclude_dir_names != nullptr || settings.include_dir_names != nullptr ||
        settings.exclude_file_names != nullptr || settings.include_file_names != nullptr || !(settings.list_mode & 1))
        return true;
    const uint16_t operation = base_operation();
    if (operation == OP_EXECUTE)
        return true;
    const bool no_pattern = settings.source_arg == nullptr || settings.source_arg[level_table[0].root_length] == '\0';
    if (no_pattern)
        return false;
    return !(settings.filter_flags & SOURCE_IS_DIRECTORY) || walk.depth == 0;
}

// The current entry's long and 8.3 paths; false when the long one does not fit (the
// entry is passed over).
static bool build_name_forms()
{
    if (!build_source_path())
        return false;
    if (!needs_short_form()) {
        strcpy(walk.short_path, walk.source_path);
        walk.short_name = walk.short_path + (walk.source_name - walk.source_path);
        return true;
    }
    build_short_path();
    return true;
}

// Directory links are offered like directories but never entered: no cycles, and
// nothing outside the tree is reached.
static bool can_descend(const WIN32_FIND_DATAA& entry)
{
    return walk.depth < settings.layer_count && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

static int walk_directory()
{
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    walk.current_level->entries_left++;
    if (!build_name_forms())
        return 1;
    if (settings.exclude_dir_names != nullptr && name_list_matches(settings.exclude_dir_names))
        return 1;
    const int selected = directory_passes();
    if (settings.include_dir_names != nullptr &&
        (settings.included_dir_depth != 0 || name_list_matches(settings.include_dir_names)))
        settings.included_dir_depth++;
    if (settings.included_dir_depth > 0 && selected && !operate_directory_before())
        return 0;

    bool was_emptied = false;
    const bool descends = can_descend(entry);
    if (descends && !descend(&was_emptied))
        return 0;

    // The descent left the forms of the last entry below; the directory's own come back.
    build_name_forms();
    if (descends && copies_files())
        finish_walked_copy(settings.included_dir_depth > 0 && was_emptied);
    int result = 1;
    if (settings.included_dir_depth > 0 && directory_passes())
        result = operate_directory_after();
    if (settings.include_dir_names != nullptr && settings.included_dir_depth > 0)
        settings.included_dir_depth--;
    return result;
}

static int walk_file()
{
    walk.current_level->entries_left++;
    if (!build_name_forms())
        return 1;
    if (settings.included_dir_depth <= 0)
        return 1;
    if (settings.exclude_file_names != nullptr && name_list_matches(settings.exclude_file_names))
        return 1;
    if (settings.include_file_names != nullptr && !name_list_matches(settings.include_file_names))
        return 1;
    if (!file_passes())
        return 1;
    if (settings.operated_count != UINT32_MAX)
        settings.operated_count++;
    return operate_file();
}

int walk_entry()
{
    show_printed_lines();
    int stop;
    if (settings.pause_every > 0 && walk.pause_counter >= settings.pause_every) {
        walk.pause_counter = 0;
        stop = poll_abort_keys(nullptr, 1);
    } else {
        stop = poll_abort_keys(nullptr, 0);
    }
    if (stop || output_lost())
        return 0;
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return walk_file();
    if (is_dot_entry(entry.cFileName))
        return 1;
    return walk_directory();
}

void walk_source()
{
    walk.depth = 0;
    walk.current_level = &level_table[0];
    walk.current_lookahead = &lookahead_table[0];
    LevelRecord* level = walk.current_level;
    bool opened = open_search(&level->search_handle, level->search_path, &level->find_data);
    if (tree_operation())
        opened = open_search(&walk.current_lookahead->search_handle, level->search_path,
                             &walk.current_lookahead->find_data) && opened;
    if (!opened) {
        print_highlighted(stdout, "%s", text(MSG_SOURCE_NOT_FOUND));
        settings.exit_status = EXIT_ERROR;
        return;
    }
    register_walk_roots();
    walk_layer_entries();
    close_search(&walk.current_level->search_handle);
    if (tree_operation())
        close_search(&walk.current_lookahead->search_handle);
}
