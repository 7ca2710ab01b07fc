// Resolving Windows paths on the host.
//
// The common case, a path spelled exactly as the host spells it, costs one lstat of
// the whole path; a missing last component in a directory spelled exactly costs one
// stat of that directory more and a look at its cached table. Only when that fails is
// the path walked component by component, and only a component missing as written
// costs a look at its directory's table.
#include <cerrno>
#include <dirent.h>
#include <sys/stat.h>

#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"

void append_host_name(std::string& host, const char* name)
{
    if (!host.empty() && host.back() != '/')
        host.push_back('/');
    host += name;
}

static const char* component_text(const WindowsPath& path, size_t index)
{
    return path.text + path.components[index].offset;
}

static bool is_directory_path(const std::string& host)
{
    struct stat status;
    return stat(host.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The entry of component index in directory host, which holds no entry spelled as the
// component is: the one entry that matches it ignoring case or by alias, or none for a
// name that came from a search, whose miss needs no table (a copy makes its files one
// after another in a directory, and each lookup would scan the directory again).
// directory is the status of host when the caller has it.
static DWORD match_in_directory(const WindowsPath& path, size_t index, const std::string& host,
                                const struct stat* directory, std::string& next, bool* found)
{
    if (matched_exactly(path, index))
        return ERROR_SUCCESS;
    const std::string directory_path = host.empty() ? "." : host;
    const char* component = component_text(path, index);
    const size_t length = path.components[index].length;
    DWORD error = ERROR_SUCCESS;
    std::shared_ptr<const DirectoryTable> table;
    if (directory != nullptr && !may_be_alias(component, length))
        table = directory_names(directory_path, *directory, &error);
    else
        table = directory_table(directory_path, -1, &error);
    if (!table)
        return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
    const long entry = find_table_entry(*table, component, length, false);
    if (entry >= 0) {
        next = host;
        append_host_name(next, table->host_name(table->entries[static_cast<size_t>(entry)]));
        *found = true;
    }
    return ERROR_SUCCESS;
}

// One step of the walk: the host path of component index inside directory host.
// found is false when the component is not there (or ambiguous); *is_directory tells
// whether what was found is a directory (or a link to one).
static DWORD step_into(const WindowsPath& path, size_t index, const std::string& host, std::string& next, bool* found,
                       bool* is_directory)
{
    std::string name;
    host_name_of(component_text(path, index), path.components[index].length, name);
    next = host;
    append_host_name(next, name.c_str());
    *found = false;
    struct stat status;
    if (lstat(next.c_str(), &status) == 0) {
        *found = true;
        *is_directory = S_ISDIR(status.st_mode) || (S_ISLNK(status.st_mode) && is_directory_path(next));
        return ERROR_SUCCESS;
    }
    if (errno != ENOENT)
        return errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : windows_error_of(errno);
    const DWORD error = match_in_directory(path, index, host, nullptr, next, found);
    if (*found)
        *is_directory = is_directory_path(next);
    return error;
}

// The common miss: every directory on the way is spelled as the host spells it and only
// the last component is not. One look at the parent settles it, without a walk.
static bool resolve_in_literal_parent(const WindowsPath& path, size_t count, ResolvedPath* resolved, DWORD* error)
{
    const std::string parent = count == 1 ? host_base_of(path) : literal_host_path(path, count - 1);
    struct stat directory;
    if (stat(parent.empty() ? "." : parent.c_str(), &directory) != 0 || !S_ISDIR(directory.st_mode))
        return false;
    std::string next;
    bool found = false;
    *error = match_in_directory(path, count - 1, parent, &directory, next, &found);
    if (*error != ERROR_SUCCESS)
        return true;
    resolved->exists = found;
    if (found)
        resolved->host.swap(next);
    return true;
}

DWORD resolve_components(const WindowsPath& path, size_t count, ResolvedPath* resolved)
{
    resolved->host = literal_host_path(path, count);
    resolved->exists = true;
    if (resolved->host.size() > LONGEST_HOST_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    struct stat status;
    if (lstat(resolved->host.c_str(), &status) == 0 || count == 0)
        return ERROR_SUCCESS;
    return resolve_unspelled(path, count, errno, resolved);
}

DWORD resolve_unspelled(const WindowsPath& path, size_t count, int literal_error, ResolvedPath* resolved)
{
    resolved->host = literal_host_path(path, count);
    resolved->exists = true;
    DWORD error = ERROR_SUCCESS;
    if (literal_error == ENOENT && resolve_in_literal_parent(path, count, resolved, &error))
        return error;
    std::string host = host_base_of(path);
    for (size_t i = 0; i < count; i++) {
        std::string next;
        bool found = false;
        bool is_directory = false;
        error = step_into(path, i, host, next, &found, &is_directory);
        if (error != ERROR_SUCCESS)
            return error;
        const bool last = i + 1 == count;
        if (!found && !last)
            return ERROR_PATH_NOT_FOUND;
        if (!last && !is_directory)
            return ERROR_PATH_NOT_FOUND;
        host.swap(next);
        resolved->exists = found;
    }
    resolved->host.swap(host);
    return ERROR_SUCCESS;
}

DWORD resolve_path(const char* windows_path, WindowsPath* path, ResolvedPath* resolved)
{
    const DWORD parse_error = parse_windows_path(windows_path, false, path);
    if (parse_error != ERROR_SUCCESS)
        return parse_error;
    return resolve_components(*path, path->components.size(), resolved);
}

DWORD resolve_existing(const char* windows_path, ResolvedPath* resolved)
{
    WindowsPath path;
    const DWORD error = resolve_path(windows_path, &path, resolved);
    if (error != ERROR_SUCCESS)
        return error;
    return resolved->exists ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

std::string windows_prefix_of(const WindowsPath& path)
{
    std::string prefix;
    if (path.drive_given) {
        prefix.push_back(path.text[0]);
        prefix.push_back(':');
    }
    if (path.rooted && (path.drive_given ? is_path_separator(path.text[2]) : true))
        prefix.push_back('\\');
    for (size_t i = 0; i < path.leading_parents; i++)
        prefix += "..\\";
    return prefix;
}

// The table entry of component index in directory host, scanning again once when the
// cached table does not know it (the entry may be newer than the table).
static long entry_in(const WindowsPath& path, size_t index, const std::string& host,
                     std::shared_ptr<const DirectoryTable>& table, DWORD* error)
{
    const std::string directory = host.empty() ? "." : host;
    for (int attempt = 0; attempt < 2; attempt++) {
        table = directory_table(directory, -1, error);
        if (!table)
            return -1;
        const long entry = find_table_entry(*table, component_text(path, index), path.components[index].length,
                                            matched_exactly(path, index));
        if (entry >= 0 || attempt == 1 || table->complete)
            return entry;
        forget_directory(directory);
    }
    return -1;
}

static bool entry_is_directory(const TableEntry& entry, const std::string& host)
{
    if (entry.type == DT_DIR)
        return true;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN)
        return false;
    return is_directory_path(host);
}

DWORD resolve_short_form(const WindowsPath& path, size_t count, std::string& host, std::string& short_form)
{
    host = host_base_of(path);
    short_form = windows_prefix_of(path);
    std::shared_ptr<const DirectoryTable> table;
    for (size_t i = 0; i < count; i++) {
        DWORD error = ERROR_SUCCESS;
        const long index = entry_in(path, i, host, table, &error);
        const bool last = i + 1 == count;
        if (!table)
            return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
        if (index < 0)
            return last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        const TableEntry& entry = table->entries[static_cast<size_t>(index)];
        append_host_name(host, table->host_name(entry));
        if (!last && !entry_is_directory(entry, host))
            return ERROR_PATH_NOT_FOUND;
        if (i > 0)
            short_form.push_back('\\');
        short_form += table->short_name(entry);
    }
    if (host.empty())
        host.assign(1, '.');
    if (host.size() > LONGEST_HOST_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    return ERROR_SUCCESS;
}
