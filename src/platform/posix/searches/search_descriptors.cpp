// The descriptors of open searches: a pool, so that a deep walk never runs out.
#include <fcntl.h>
#include <unistd.h>

#include "platform/posix/searches/search_state.h"

// Past this many open searches the descriptor of the one used least recently goes
// back, and that search opens its directory again by path when it next returns an
// entry. A deep walk (two searches per layer with a look-ahead) so never runs out of
// descriptors, and the directories it is working in, the deepest, are always read
// through one: reading by path costs the host a walk of the whole path per entry.
static const size_t SEARCH_DESCRIPTOR_LIMIT = 256;
static std::vector<SearchState*> searches_with_descriptor;
static uint64_t search_clock = 0;

void give_back_descriptor(SearchState* state)
{
    close(state->directory_fd);
    state->directory_fd = AT_FDCWD;
    for (SearchState*& held : searches_with_descriptor) {
        if (held == state) {
            held = searches_with_descriptor.back();
            searches_with_descriptor.pop_back();
            break;
        }
    }
}

void hold_descriptor(SearchState* state, int fd)
{
    if (searches_with_descriptor.size() >= SEARCH_DESCRIPTOR_LIMIT) {
        SearchState* oldest = nullptr;
        for (SearchState* held : searches_with_descriptor) {
            if (held != state && (oldest == nullptr || held->last_use < oldest->last_use))
                oldest = held;
        }
        if (oldest != nullptr)
            give_back_descriptor(oldest);
    }
    state->directory_fd = fd;
    searches_with_descriptor.push_back(state);
}

void use_search(SearchState* state)
{
    state->last_use = ++search_clock;
    if (state->directory_fd != AT_FDCWD || state->single_entry >= 0 ||
        (state->dots_left == 0 && state->next_entry >= state->table->entries.size()))
        return;
    const std::string directory(state->entry_path, 0, state->directory_length);
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0)
        hold_descriptor(state, fd);
}
