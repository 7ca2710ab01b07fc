// The process-wide walk state and its start values.
#include "records/walk_state.h"

LevelRecord level_table[LAYER_TABLE_SIZE];
LookaheadRecord lookahead_table[LAYER_TABLE_SIZE];
WalkState walk;

void reset_walk_state()
{
    for (int layer = 0; layer < LAYER_TABLE_SIZE; layer++) {
        level_table[layer].search_handle = INVALID_HANDLE_VALUE;
        lookahead_table[layer].search_handle = INVALID_HANDLE_VALUE;
    }
    walk.current_level = &level_table[0];
    walk.current_lookahead = &lookahead_table[0];
    walk.depth = 0;
    walk.source_dir_entered = 0;
    walk.dest_path[0] = '\0';
    walk.dest_root_length = 0;
    walk.pause_counter = 0;
}
