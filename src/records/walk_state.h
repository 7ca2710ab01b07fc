// WalkState: the per-layer tables of the walk, the name forms of the current entry and
// its destination path.
//
// The tables are static and never resized: one record per layer, layers 0 to 512.
// Descending moves to the next record, so the walk allocates nothing.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "records/run_settings.h"

const int LAYER_TABLE_SIZE = MAX_LAYER_COUNT + 1;

struct LevelRecord {
    WIN32_FIND_DATAA find_data;
    HANDLE search_handle;
    uint32_t root_length;
    char search_path[PATH_BUFFER_SIZE];
    int32_t entries_left;
};

// A second search over the same directory, one entry ahead; only the tree uses it.
struct LookaheadRecord {
    WIN32_FIND_DATAA find_data;
    HANDLE search_handle;
    uint32_t lookahead_advanced;
};

struct WalkState {
    LevelRecord* current_level;
    LookaheadRecord* current_lookahead;
    int depth;
    int32_t source_dir_entered;
    char source_path[PATH_BUFFER_SIZE];
    char* source_name;
    char short_path[PATH_BUFFER_SIZE];
    char* short_name;
    char dest_path[PATH_BUFFER_SIZE];
    uint32_t dest_root_length;
    WIN32_FIND_DATAA dest_find_data;
    int32_t pause_counter;
};

// The 64-bit size of a find record.
inline uint64_t entry_size(const WIN32_FIND_DATAA& entry)
{
    return (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
}

// A symbolic link (to a file, to a directory, or leading nowhere): copied, moved,
// compared and changed as a link, never through it. Windows' other reparse points
// (cloud and deduplicated files) are the files they stand for.
inline bool is_symbolic_link(const WIN32_FIND_DATAA& entry)
{
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && entry.dwReserved0 == IO_REPARSE_TAG_SYMLINK;
}

extern LevelRecord level_table[LAYER_TABLE_SIZE];
extern LookaheadRecord lookahead_table[LAYER_TABLE_SIZE];
extern WalkState walk;

// Marks every search of both tables closed and puts the walk at layer 0.
void reset_walk_state();
