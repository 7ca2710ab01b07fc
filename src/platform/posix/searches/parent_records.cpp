// Records borrowed from the parent's search: a directory the walk enters has its "."
// and ".." read already, by the search of the directory that holds it.
#include <cstring>
#include <dirent.h>
#include <string_view>

#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/table_cache.h"

// The open search of the parent whose last entry returned is this directory, a true
// subdirectory (through a link ".." leads to the target's parent), while the layer has
// changed nothing since that search began. Its records are this directory's dot records:
// its "." is our "..", and its record of this directory is our ".".
static const SearchState* parent_search_of(const SearchState* state)
{
    const std::string_view directory(state->entry_path.data(), state->directory_length);
    for (const SearchState* parent : sharing_searches) {
        if (parent == state || parent->started != table_generation() || parent->next_entry == 0 ||
            parent->next_entry > parent->table->entries.size())
            continue;
        const std::string_view parent_directory(parent->entry_path.data(), parent->directory_length);
        if (directory.size() <= parent_directory.size() + 1 || directory.back() != '/' ||
            directory.compare(0, parent_directory.size(), parent_directory) != 0)
            continue;
        const std::string_view name =
            directory.substr(parent_directory.size(), directory.size() - parent_directory.size() - 1);
        const TableEntry& entry = parent->table->entries[parent->next_entry - 1];
        if (entry.type == DT_DIR && name == parent->table->host_name(entry))
            return parent;
    }
    return nullptr;
}

// The dot records a walk's parent search has already read, which spares the host two
// reads of each directory entered. A name that begins with '.' gives its entry the
// hidden bit by default, which "." does not have: such a "." is read.
bool take_parent_records(SearchState* state, int which, WIN32_FIND_DATAA* record)
{
    const SearchState* parent = parent_search_of(state);
    if (parent == nullptr)
        return false;
    if (which == 2) {
        if (!parent->has_own_record)
            return false;
        *record = parent->own_record;
        strcpy(record->cFileName, "..");
        return true;
    }
    const WIN32_FIND_DATAA* entry = shared_record(parent, parent->next_entry + 1);
    if (entry == nullptr || entry->cFileName[0] == '.')
        return false;
    *record = *entry;
    strcpy(record->cFileName, ".");
    record->cAlternateFileName[0] = '\0';
    return true;
}
