// The reading thread's control: which searches it reads ahead for, and when it stops.
#include <fcntl.h>

#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/status_prefetch.h"
#include "platform/posix/searches/table_cache.h"

// The reader thread reads ahead for the searches that go through a whole directory, and
// only while the layer changes no directory: after a change its facts could be older
// than the change, and a run that changes the tree as it goes (copy, move, delete)
// would make it read for nothing.
static uint64_t generation_of_last_start = 0;

void start_reading_ahead(SearchState* state, size_t first)
{
    if (state->pattern != "*" || state->directory_fd == AT_FDCWD)
        return;
    const std::string directory(state->entry_path, 0, state->directory_length);
    state->prefetch = start_prefetch(*state->table, first, state->directory_fd, directory);
}

void start_enumeration_reading_ahead(SearchState* state)
{
    const bool tree_changed = generation_of_last_start != table_generation();
    generation_of_last_start = table_generation();
    if (tree_changed)
        return;
    for (const SearchState* other : sharing_searches) {
        if (other != state && other->table == state->table && other->prefetch) {
            state->prefetch = other->prefetch;
            return;
        }
    }
    start_reading_ahead(state, 0);
}

void stop_reading_ahead(SearchState* state)
{
    for (const SearchState* other : sharing_searches) {
        if (other != state && other->prefetch == state->prefetch)
            return;
    }
    abandon_prefetch(state->prefetch.get());
}
