// A search for one entry answered from its path alone, without its directory's table.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_roots.h"
#include "platform/posix/searches/recent_status.h"
#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/short_names.h"
#include "platform/posix/searches/table_cache.h"

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
bool read_entry_by_name(const WindowsPath& path, WIN32_FIND_DATAA* record, bool* missing)
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
