// One open search, as the files of the directory searches share it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "platform/posix/paths/windows_path.h"
#include "platform/posix/searches/directory_table.h"

struct StatusPrefetch;
struct SharedRecords;

// Where a search looks: the directory, open when the search goes through its entries,
// and its status when it names one entry.
struct SearchTarget {
    std::string host_directory;
    int fd = -1;
    struct stat status;
};

struct SearchState {
    std::shared_ptr<const DirectoryTable> table;
    std::shared_ptr<SharedRecords> shared;   // null for a search of one entry
    std::shared_ptr<StatusPrefetch> prefetch; // the reader thread's work for this table, or null
    size_t next_entry;
    int dots_left;           // "." and ".." still to return, 2, 1 or 0
    const char* self_name;   // "dir\." and "dir\..": one record of the directory itself
    long single_entry;       // a pattern without wildcards names one entry (-1: wildcards)
    std::string pattern;
    int directory_fd;        // AT_FDCWD when the search works on paths
    uint64_t last_use;       // when it last returned entries, to choose whose descriptor goes back
    uint64_t started;        // table_generation() when the search had its table
    std::string entry_path;  // the directory's host path and '/', then the current name
    size_t directory_length;
    bool has_own_record;     // the "." record of an enumeration, kept for its subdirectories' ".."
    WIN32_FIND_DATAA own_record;
};

// The pool of open directories (search_descriptors.cpp).
void hold_descriptor(SearchState* state, int fd);
void give_back_descriptor(SearchState* state);
// Before a search reads its next entries.
void use_search(SearchState* state);

// The enumerations searches of one table share (shared_enumerations.cpp): the open
// searches that share, the one a search joins or starts, and the records it holds.
extern std::vector<SearchState*> sharing_searches;
void share_enumeration(SearchState* state);
void stop_sharing(SearchState* state);
const WIN32_FIND_DATAA* shared_record(const SearchState* state, size_t position);
void keep_shared_record(SearchState* state, size_t position, const WIN32_FIND_DATAA& record);

// The reading thread's work for a search (search_reading_ahead.cpp).
void start_reading_ahead(SearchState* state, size_t first);
void start_enumeration_reading_ahead(SearchState* state);
void stop_reading_ahead(SearchState* state);

// The "." and ".." records of a directory entered from its parent's search, when that
// search has them (parent_records.cpp): which is 1 for ".", 2 for "..".
bool take_parent_records(SearchState* state, int which, WIN32_FIND_DATAA* record);

// The search's next record, "." and ".." first (search_records.cpp).
bool next_record(SearchState* state, WIN32_FIND_DATAA* record);

// Where a search looks, and its start there (search_start.cpp).
DWORD search_target(const WindowsPath& path, SearchTarget* target, size_t* pattern_index);
DWORD start_search(SearchState* state, const WindowsPath& path, const SearchTarget& target, const char* pattern,
                   size_t pattern_length);

// The record of a search for one entry read by its name alone (entry_by_name.cpp).
bool read_entry_by_name(const WindowsPath& path, WIN32_FIND_DATAA* record, bool* missing);

// The search started last, and the one whose record the program was handed last: the
// one whose entry it acts on (searched_parents.cpp). Null when closed.
extern const SearchState* last_started;
extern const SearchState* last_returned;
