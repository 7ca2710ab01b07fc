// The records a search returns, "." and ".." first, then its table's entries that match.
//
// A search that goes through a whole directory has a second thread read its entries'
// details ahead, a chunk at a time (status_prefetch.cpp), as Windows hands them over
// with the names; others read each entry's details when they return it. Entries that
// vanish before they are read are passed over, as they would be on Windows, and once the
// layer has changed a directory the search reads for itself again.
#include <cstring>
#include <fcntl.h>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/status_prefetch.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/searches/wildcard.h"

// Read through the open directory where there is one, which spares the host a walk of
// the whole path; "." and ".." inside it are the entries "dir/." and "dir/.." name.
static bool fill_dot_record(SearchState* state, int which, WIN32_FIND_DATAA* record)
{
    if (state->self_name == nullptr && take_parent_records(state, which, record))
        return true;
    const char* name = which == 1 ? "." : "..";
    const char* entry = state->self_name != nullptr ? "." : name;
    state->entry_path.resize(state->directory_length);
    state->entry_path += entry;
    if (state->self_name != nullptr)
        name = state->self_name;
    const char* at = state->directory_fd == AT_FDCWD ? state->entry_path.c_str() : entry;
    EntryStatus status;
    if (read_entry_status(state->directory_fd, at, state->entry_path.c_str(), "", &status) != 0)
        return false;
    fill_find_record(status, record);
    strcpy(record->cFileName, name);
    record->cAlternateFileName[0] = '\0';
    return true;
}

static bool entry_matches(const SearchState& state, const TableEntry& entry)
{
    const DirectoryTable& table = *state.table;
    if (wildcard_matches(state.pattern.data(), state.pattern.size(), table.name(entry), entry.name_length))
        return true;
    // Windows matches the short name as well.
    if (entry.alias == NO_ALIAS)
        return false;
    const char* alias = table.text.data() + entry.alias;
    return wildcard_matches(state.pattern.data(), state.pattern.size(), alias, strlen(alias));
}

static bool fill_entry_record(SearchState* state, size_t index, WIN32_FIND_DATAA* record)
{
    const DirectoryTable& table = *state->table;
    const TableEntry& entry = table.entries[index];
    const char* host_name = table.host_name(entry);
    state->entry_path.resize(state->directory_length);
    state->entry_path += host_name;
    const char* at = state->directory_fd == AT_FDCWD ? state->entry_path.c_str() : host_name;
    if (state->prefetch && (state->started != table_generation() || !prefetch_covers(*state->prefetch, index))) {
        stop_reading_ahead(state);
        state->prefetch.reset();
        if (state->started == table_generation())
            start_reading_ahead(state, index);
    }
    EntryStatus status;
    bool read_here = false;
    if (prefetched_status(state->prefetch.get(), index, host_name, state->directory_fd, at,
                          state->entry_path.c_str(), table.name(entry), &status, &read_here) != 0)
        return false;
    // What the thread read may be older than this moment: only a status read now is
    // offered to the call that follows.
    if (read_here)
        remember_recent_status(state->entry_path, table.name(entry), status);
    fill_find_record(status, record);
    memcpy(record->cFileName, table.name(entry), entry.name_length + 1u);
    strcpy(record->cAlternateFileName, entry.alias == NO_ALIAS ? "" : table.text.data() + entry.alias);
    return true;
}

// The record at a position, from the shared enumeration when another search has just
// read it, else from the host.
static bool fill_record_at(SearchState* state, size_t position, WIN32_FIND_DATAA* record)
{
    if (const WIN32_FIND_DATAA* shared = shared_record(state, position)) {
        *record = *shared;
        return true;
    }
    const bool filled = position < 2 ? fill_dot_record(state, static_cast<int>(position) + 1, record)
                                     : fill_entry_record(state, position - 2, record);
    if (filled)
        keep_shared_record(state, position, *record);
    return filled;
}

bool next_record(SearchState* state, WIN32_FIND_DATAA* record)
{
    use_search(state);
    last_returned = state;
    while (state->dots_left > 0) {
        const int which = 3 - state->dots_left--;
        const char* name = which == 1 ? "." : "..";
        if (wildcard_matches(state->pattern.data(), state->pattern.size(), name, strlen(name)) &&
            fill_record_at(state, static_cast<size_t>(which) - 1, record)) {
            if (which == 1 && state->self_name == nullptr) {
                state->own_record = *record;
                state->has_own_record = true;
            }
            return true;
        }
    }
    const std::vector<TableEntry>& entries = state->table->entries;
    while (state->next_entry < entries.size()) {
        const size_t index = state->next_entry++;
        if (state->single_entry >= 0 && static_cast<long>(index) != state->single_entry)
            continue;
        if (state->single_entry < 0 && !entry_matches(*state, entries[index]))
            continue;
        if (fill_record_at(state, index + 2, record))
            return true;
    }
    return false;
}
