// Where a search looks and how it starts there: the directory open and its table, or
// the one entry a pattern without wildcards names.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/searches/unshown_names.h"
#include "platform/posix/system/error_table.h"

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
DWORD start_search(SearchState* state, const WindowsPath& path, const SearchTarget& target,
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
DWORD search_target(const WindowsPath& path, SearchTarget* target, size_t* pattern_index)
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
