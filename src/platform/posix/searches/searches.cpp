// FindFirstFileA, FindNextFileA and FindClose over directory tables.
//
// A search holds its directory's table (the names, in NTFS order) and the directory
// open. A search that goes through a whole directory has a second thread read its
// entries' details ahead, a chunk at a time (status_prefetch.cpp), as Windows hands them
// over with the names; others read each entry's details when they return it. Entries
// that vanish before they are read are passed over, as they would be on Windows, and
// once the layer has changed a directory the search reads for itself again.
//
// Searches of one directory that hold the same table share its enumeration: the
// records the last two entries gave, so that a search running one entry behind another
// (the tree's look-ahead) reads no entry from the host a second time. Each search keeps
// its own position, as two searches on Windows do; the facts are those of the moment
// the first of them read the entry, as Windows serves them from the directory's index.
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/paths/path_roots.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/searches/searches.h"
#include "platform/posix/searches/short_names.h"
#include "platform/posix/searches/status_prefetch.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/searches/unshown_names.h"
#include "platform/posix/searches/wildcard.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"

// Where a search looks: the directory, open when the search goes through its entries,
// and its status when it names one entry.
struct SearchTarget {
    std::string host_directory;
    int fd = -1;
    struct stat status;
};

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

// Past this many open searches the descriptor of the one used least recently goes
// back, and that search opens its directory again by path when it next returns an
// entry. A deep walk (two searches per layer with a look-ahead) so never runs out of
// descriptors, and the directories it is working in, the deepest, are always read
// through one: reading by path costs the host a walk of the whole path per entry.
static const size_t SEARCH_DESCRIPTOR_LIMIT = 256;
static const SearchState* last_started = nullptr;
// The search whose record the program was handed last: the one whose entry it acts on.
static const SearchState* last_returned = nullptr;
static std::vector<SearchState*> searches_with_descriptor;
static std::vector<SearchState*> sharing_searches;
static uint64_t search_clock = 0;

static void give_back_descriptor(SearchState* state)
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

static void hold_descriptor(SearchState* state, int fd)
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

// Before a search reads its next entries.
static void use_search(SearchState* state)
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

// The root's identity is read again only for another drive or after the layer has
// changed the tree: a walk starts a search in every directory, and a host call each to
// learn the same root would cost as much as reading one more entry.
static bool is_drive_root(const WindowsPath& path, const struct stat& directory)
{
    static std::string known_root;
    static uint64_t known_generation = 0;
    static struct stat root;
    if (known_root.empty() || known_root != path.drive_root || known_generation != table_generation()) {
        known_root.clear();
        if (stat(path.drive_root.c_str(), &root) != 0)
            return false;
        known_root = path.drive_root;
        known_generation = table_generation();
    }
    return directory.st_dev == root.st_dev && directory.st_ino == root.st_ino;
}

static void stop_sharing(SearchState* state)
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
static void share_enumeration(SearchState* state)
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

static const WIN32_FIND_DATAA* shared_record(const SearchState* state, size_t position)
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

static void keep_shared_record(SearchState* state, size_t position, const WIN32_FIND_DATAA& record)
{
    SharedRecords* shared = state->shared.get();
    if (shared == nullptr)
        return;
    auto& slot = shared->slots[shared->next_slot];
    shared->next_slot = (shared->next_slot + 1) % SHARED_RECORDS;
    slot.position = position + 1;
    slot.record = record;
}

// The reader thread reads ahead for the searches that go through a whole directory, and
// only while the layer changes no directory: after a change its facts could be older
// than the change, and a run that changes the tree as it goes (copy, move, delete)
// would make it read for nothing.
static uint64_t generation_of_last_start = 0;

static void start_reading_ahead(SearchState* state, size_t first)
{
    if (state->pattern != "*" || state->directory_fd == AT_FDCWD)
        return;
    const std::string directory(state->entry_path, 0, state->directory_length);
    state->prefetch = start_prefetch(*state->table, first, state->directory_fd, directory);
}

static void start_enumeration_reading_ahead(SearchState* state)
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

static void stop_reading_ahead(SearchState* state)
{
    for (const SearchState* other : sharing_searches) {
        if (other != state && other->prefetch == state->prefetch)
            return;
    }
    abandon_prefetch(state->prefetch.get());
}

static void close_search_state(SearchState* state)
{
    if (state->prefetch)
        stop_reading_ahead(state);
    if (state->shared)
        stop_sharing(state);
    if (state->directory_fd != AT_FDCWD)
        give_back_descriptor(state);
    if (last_started == state)
        last_started = nullptr;
    if (last_returned == state)
        last_returned = nullptr;
    delete state;
}

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
static bool take_parent_records(SearchState* state, int which, WIN32_FIND_DATAA* record)
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

static bool next_record(SearchState* state, WIN32_FIND_DATAA* record)
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

static int open_directory(const std::string& host_directory, DWORD* error)
{
    const int fd = open(host_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        *error = errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : windows_error_of(errno);
    return fd;
}

// The entry a pattern without wildcards names. The names are looked at first, whose
// aliases may be out of date when the name cannot be one; the aliases are brought up to
// date only for an entry found, whose record holds its alias. A table not known to be
// complete is read again once when it does not know the name, since the entry may be
// newer than the table.
static long single_entry_of(SearchState* state, const std::string& host_directory, const struct stat& directory,
                            bool exactly)
{
    const char* name = state->pattern.data();
    const size_t length = state->pattern.size();
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 2; attempt++) {
        const bool needs_aliases = (!exactly && may_be_alias(name, length)) || attempt == 1;
        state->table = needs_aliases ? directory_table_of(host_directory, directory, &error)
                                     : directory_names(host_directory, directory, &error);
        if (!state->table)
            return -1;
        const long entry = find_table_entry(*state->table, name, length, exactly);
        if (entry >= 0 && state->table->aliases_stale)
            state->table = directory_table_of(host_directory, directory, &error);
        if (entry >= 0 || attempt == 1 || state->table->complete)
            return state->table ? entry : -1;
        forget_directory(host_directory);
    }
    return -1;
}

// A pattern without wildcards names one entry, which is read by its path: the
// directory is not opened, and only its status is read to check the cached table.
static DWORD start_search(SearchState* state, const WindowsPath& path, const SearchTarget& target,
                          const char* pattern, size_t pattern_length)
{
    DWORD error = ERROR_SUCCESS;
    state->directory_fd = AT_FDCWD;
    state->pattern.assign(pattern, pattern_length);
    state->entry_path = target.host_directory;
    if (state->entry_path.back() != '/')
        state->entry_path.push_back('/');
    state->directory_length = state->entry_path.size();
    state->single_entry = -1;
    if (target.fd < 0) {
        // The pattern of a search for one entry is the path's last component.
        const bool exactly = matched_exactly(path, path.components.size() - 1);
        state->single_entry = single_entry_of(state, target.host_directory, target.status, exactly);
        if (state->single_entry < 0)
            return state->table ? ERROR_FILE_NOT_FOUND : error;
        state->next_entry = static_cast<size_t>(state->single_entry);
        state->started = table_generation();
        last_started = state;
        return ERROR_SUCCESS;
    }
    hold_descriptor(state, target.fd);
    struct stat directory;
    state->table = directory_table(target.host_directory, target.fd, &error, &directory);
    if (!state->table)
        return error;
    if (path.last_dots != 0) {
        state->dots_left = 1;
        state->self_name = path.last_dots == 1 ? "." : "..";
        state->pattern.assign(1, '*');
        state->next_entry = state->table->entries.size();
    } else {
        state->dots_left = is_drive_root(path, directory) ? 0 : 2;
        report_unshown_names(*state->table, path.text, static_cast<size_t>(pattern - path.text));
        share_enumeration(state);
        start_enumeration_reading_ahead(state);
    }
    state->started = table_generation();
    last_started = state;
    return ERROR_SUCCESS;
}

static bool searches_directory(const SearchState& state, std::string_view host_directory)
{
    // entry_path begins with the directory's host path and one '/', which "/" already ends in.
    const std::string_view directory(state.entry_path.data(), state.directory_length);
    return directory.size() == host_directory.size() + 1 ? directory.compare(0, host_directory.size(), host_directory) == 0
                                                         : directory == host_directory;
}

std::shared_ptr<const DirectoryTable> searched_table(const std::string& host_directory)
{
    const SearchState* state = last_started;
    if (state == nullptr || state->started != table_generation())
        return nullptr;
    return searches_directory(*state, host_directory) ? state->table : nullptr;
}

bool searched_parent_of(const WindowsPath& path, const std::string& host, SearchedParent* parent)
{
    parent->fd = -1;
    const size_t count = path.components.size();
    const size_t slash = host.find_last_of('/');
    const SearchState* state = last_returned;
    if (count == 0 || path.last_dots != 0 || path.trailing_separator || !matched_exactly(path, count - 1) ||
        slash == std::string::npos || slash == 0 || state == nullptr || state->directory_fd == AT_FDCWD ||
        !state->table || !searches_directory(*state, std::string_view(host).substr(0, slash)))
        return false;
    parent->fd = state->directory_fd;
    parent->device = state->table->device;
    parent->inode = state->table->inode;
    parent->name_offset = slash + 1;
    return true;
}

bool searched_entry_status(const WindowsPath& path, const std::string& host, SearchedParent* parent,
                           struct stat* status)
{
    if (!searched_parent_of(path, host, parent))
        return false;
    if (fstatat(parent->fd, host.c_str() + parent->name_offset, status, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    parent->fd = -1;
    return false;
}

static bool names_one_entry(const WindowsPath& path, size_t pattern_index)
{
    return path.last_dots == 0 &&
           !has_wildcards(path.text + path.components[pattern_index].offset, path.components[pattern_index].length);
}

// The directory a search for one entry looks in, which must be a directory.
static DWORD directory_status(SearchTarget* target)
{
    if (stat(target->host_directory.c_str(), &target->status) != 0)
        return errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : windows_error_of(errno);
    return S_ISDIR(target->status.st_mode) ? ERROR_SUCCESS : ERROR_PATH_NOT_FOUND;
}

// The directory the search looks in, open, and the pattern: "dir\." and "dir\.." name
// the directory itself and return one record of that name. The directory as written is
// tried first: when it is there every component exists exactly so, which is all the
// lookup would find out, and the lookup's own look at the path is spared. A search for
// one entry does not open the directory (fd stays -1).
static DWORD search_target(const WindowsPath& path, SearchTarget* target, size_t* pattern_index)
{
    const size_t count = path.components.size();
    if (path.last_dots == 0 && (count == 0 || path.trailing_separator))
        return ERROR_FILE_NOT_FOUND;
    const size_t directory_count = path.last_dots != 0 ? count : count - 1;
    *pattern_index = directory_count;
    target->host_directory = literal_host_path(path, directory_count);
    if (target->host_directory.size() > LONGEST_HOST_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    const bool names_one = names_one_entry(path, directory_count);
    if (names_one && directory_status(target) == ERROR_SUCCESS)
        return ERROR_SUCCESS;
    if (!names_one) {
        target->fd = open(target->host_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (target->fd >= 0)
            return ERROR_SUCCESS;
    }
    ResolvedPath directory;
    DWORD error = resolve_components(path, directory_count, &directory);
    if (error != ERROR_SUCCESS)
        return error;
    if (!directory.exists)
        return ERROR_PATH_NOT_FOUND;
    target->host_directory = directory.host;
    if (names_one)
        return directory_status(target);
    target->fd = open_directory(target->host_directory, &error);
    return target->fd >= 0 ? ERROR_SUCCESS : error;
}

// An ASCII name that is a valid 8.3 name spelled in upper case is its own alias whatever
// else its directory holds, so when it exists so spelled its record needs no table.
static bool is_own_alias(const char* name, size_t length)
{
    for (size_t i = 0; i < length; i++) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 0x80 || (c >= 'a' && c <= 'z'))
            return false;
    }
    return is_valid_short_name(name, length);
}

// Below a root whose entries are matched only exactly, a name the status read did not
// find is missing from a directory that exists, which one more status read tells: the
// directory's table is not needed. False when the directory is not found as written
// (a component typed in another case, say), which the full lookup decides.
static bool missing_from_existing_directory(const std::string& entry_path)
{
    const std::string directory = parent_of(entry_path);
    struct stat status;
    return stat(directory.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The record of a search for one entry read from the path as written, without the
// directory's table: for a name that is its own alias, and for a name from a search below
// a root whose entries' short names and stored bits the program never reads. False when
// the path does not name such an entry so spelled; the search then looks as always,
// unless *missing says that the entry is known to be missing (FILE_NOT_FOUND).
static bool read_entry_by_name(const WindowsPath& path, WIN32_FIND_DATAA* record, bool* missing)
{
    *missing = false;
    const size_t count = path.components.size();
    if (path.last_dots != 0 || count == 0 || path.trailing_separator)
        return false;
    const char* name = path.text + path.components[count - 1].offset;
    const size_t length = path.components[count - 1].length;
    const bool facts_only = matched_exactly(path, count - 1) && !has_wildcards(name, length) &&
                            only_facts_read_below(path.text, strlen(path.text));
    if (!facts_only && !is_own_alias(name, length))
        return false;
    const std::string entry_path = literal_host_path(path, count);
    const std::string shown(name, length);
    EntryStatus status;
    if (entry_path.size() > LONGEST_HOST_PATH)
        return false;
    const int failure = facts_only ? read_facts_status(AT_FDCWD, entry_path.c_str(), shown.c_str(), &status)
                                   : read_search_status(AT_FDCWD, entry_path.c_str(), entry_path.c_str(),
                                                        shown.c_str(), &status);
    if (failure != 0) {
        *missing = facts_only && failure == ENOENT && missing_from_existing_directory(entry_path);
        if (*missing)
            remember_recent_miss(entry_path);
        return false;
    }
    remember_recent_status(entry_path, shown.c_str(), status);
    fill_find_record(status, record);
    memcpy(record->cFileName, name, length);
    record->cFileName[length] = '\0';
    record->cAlternateFileName[0] = '\0';
    return true;
}

// A search whose one record is already returned: it goes on with no entries.
static HANDLE finished_search()
{
    static const std::shared_ptr<const DirectoryTable> no_entries = std::make_shared<const DirectoryTable>();
    SearchState* state = new (std::nothrow) SearchState{};
    HandleObject* object = state != nullptr ? new_handle_object(HandleKind::search, -1) : nullptr;
    if (object == nullptr) {
        delete state;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    state->directory_fd = AT_FDCWD;
    state->table = no_entries;
    object->search = state;
    SetLastError(ERROR_SUCCESS);
    return object;
}

static HANDLE fail_search(SearchState* state, DWORD error)
{
    if (state != nullptr)
        close_search_state(state);
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data)
{
    WindowsPath path;
    DWORD error = parse_windows_path(file_name, true, &path);
    bool missing = false;
    if (error == ERROR_SUCCESS && read_entry_by_name(path, find_data, &missing))
        return finished_search();
    if (missing)
        return fail_search(nullptr, ERROR_FILE_NOT_FOUND);
    SearchTarget target;
    size_t pattern_index = 0;
    if (error == ERROR_SUCCESS)
        error = search_target(path, &target, &pattern_index);
    if (error != ERROR_SUCCESS)
        return fail_search(nullptr, error);
    SearchState* state = new (std::nothrow) SearchState{};
    if (state == nullptr) {
        if (target.fd >= 0)
            close(target.fd);
        return fail_search(nullptr, ERROR_NOT_ENOUGH_MEMORY);
    }
    const bool has_pattern = pattern_index < path.components.size();
    const char* pattern = has_pattern ? file_name + path.components[pattern_index].offset : "";
    const size_t pattern_length = has_pattern ? path.components[pattern_index].length : 0;
    error = start_search(state, path, target, pattern, pattern_length);
    if (error != ERROR_SUCCESS)
        return fail_search(state, error);
    if (!next_record(state, find_data))
        return fail_search(state, ERROR_FILE_NOT_FOUND);
    HandleObject* object = new_handle_object(HandleKind::search, -1);
    if (object == nullptr)
        return fail_search(state, ERROR_NOT_ENOUGH_MEMORY);
    object->search = state;
    SetLastError(ERROR_SUCCESS);
    return object;
}

static SearchState* search_of(HANDLE handle)
{
    HandleObject* object = handle_object(handle);
    if (object == nullptr || object->kind != HandleKind::search)
        return nullptr;
    return object->search;
}

BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA find_data)
{
    SearchState* state = search_of(search);
    if (state == nullptr)
        return fail_with(ERROR_INVALID_HANDLE);
    if (!next_record(state, find_data))
        return fail_with(ERROR_NO_MORE_FILES);
    return TRUE;
}

BOOL FindClose(HANDLE search)
{
    SearchState* state = search_of(search);
    if (state == nullptr)
        return fail_with(ERROR_INVALID_HANDLE);
    close_search_state(state);
    free_handle_object(handle_object(search));
    return TRUE;
}
