// The enumerations that searches of one table share.
//
// Searches of one directory that hold the same table share its enumeration: the
// records the last two entries gave, so that a search running one entry behind another
// (the tree's look-ahead) reads no entry from the host a second time. Each search keeps
// its own position, as two searches on Windows do; the facts are those of the moment
// the first of them read the entry, as Windows serves them from the directory's index.
#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/table_cache.h"

// The records an enumeration of one table gave last, by position: 0 and 1 for "." and
// "..", 2 + the entry's index for the others. They hold only while no table has been
// dropped, which is when the layer changes a directory.
const size_t SHARED_RECORDS = 2;

struct SharedRecords {
    uint64_t generation;
    size_t next_slot;
    struct {
        size_t position;   // 0: empty (positions of records start at 1)
        WIN32_FIND_DATAA record;
    } slots[SHARED_RECORDS];
};

std::vector<SearchState*> sharing_searches;

void stop_sharing(SearchState* state)
{
    for (SearchState*& sharing : sharing_searches) {
        if (sharing == state) {
            sharing = sharing_searches.back();
            sharing_searches.pop_back();
            return;
        }
    }
}

// Joins the enumeration of an open search that holds the same table, else starts one.
void share_enumeration(SearchState* state)
{
    for (const SearchState* other : sharing_searches) {
        if (other->table == state->table) {
            state->shared = other->shared;
            break;
        }
    }
    if (!state->shared) {
        state->shared = std::make_shared<SharedRecords>();
        state->shared->generation = table_generation();
    }
    sharing_searches.push_back(state);
}

const WIN32_FIND_DATAA* shared_record(const SearchState* state, size_t position)
{
    SharedRecords* shared = state->shared.get();
    if (shared == nullptr)
        return nullptr;
    if (shared->generation != table_generation()) {
        *shared = SharedRecords{};
        shared->generation = table_generation();
        return nullptr;
    }
    for (const auto& slot : shared->slots) {
        if (slot.position == position + 1)
            return &slot.record;
    }
    return nullptr;
}

void keep_shared_record(SearchState* state, size_t position, const WIN32_FIND_DATAA& record)
{
    SharedRecords* shared = state->shared.get();
    if (shared == nullptr)
        return;
    auto& slot = shared->slots[shared->next_slot];
    shared->next_slot = (shared->next_slot + 1) % SHARED_RECORDS;
    slot.position = position + 1;
    slot.record = record;
}
