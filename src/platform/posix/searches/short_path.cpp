// GetShortPathNameA: every component of an existing path replaced by its 8.3 alias.
//
// The walker asks for the short form of every entry of the directory it lists, each
// time with the same directory text in front, and goes down and back up one directory
// at a time. Every directory of the path it is in is kept, with its alias form and its
// table: an entry costs a lookup in memory and no host call at all, going down costs the
// new directory's table, going back up one look at the directory returned to, whatever
// the depth. Resolving the whole path again at each step would cost the square of it.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/posix/paths/current_directory.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_lookup.h"
#include "platform/posix/paths/path_roots.h"
#include "platform/posix/searches/searches.h"
#include "platform/posix/searches/table_cache.h"

// One directory of the kept path: where its texts end in the kept ones, and its table.
struct KeptDirectory {
    size_t windows_length;  // its text, up to where the next component begins
    size_t short_length;    // its alias form, ending in a separator but for the path's start ("", "Z:")
    size_t host_length;     // its host path ("" stands for the current directory)
    uint64_t checked;       // table_generation() when its table was known to describe it
    std::shared_ptr<const DirectoryTable> table;
};

struct KeptPath {
    uint64_t generation;       // table_generation() when the drops were last looked at
    size_t exact_offset;       // where the names matched only exactly began in the path that made it
    std::string windows_text;  // the deepest directory's text, as the last path spelled it
    std::string short_text;
    std::string host;
    std::vector<KeptDirectory> directories;  // [i]: the directory of the first i components
    size_t next_entry;         // the entry after the one last asked for, where the next one usually is
};

static KeptPath kept;

static void drop_kept_path()
{
    kept.directories.clear();
    kept.generation = 0;
}

// Keeps the directories [0, count) of the path.
static void cut_kept_path(size_t count)
{
    kept.directories.resize(count);
    const KeptDirectory& last = kept.directories.back();
    kept.windows_text.resize(last.windows_length);
    kept.short_text.resize(last.short_length);
    kept.host.resize(last.host_length);
    kept.next_entry = 0;
}

// Cuts the kept path above the first directory whose table the layer dropped: that
// directory's entries, and so the aliases of the path below it, may have changed.
static bool kept_path_is_current()
{
    if (kept.directories.empty())
        return false;
    const uint64_t now = table_generation();
    if (kept.generation == now)
        return true;
    size_t valid = 0;
    for (; valid < kept.directories.size(); valid++) {
        KeptDirectory& directory = kept.directories[valid];
        if (table_dropped_since(directory.checked, *directory.table))
            break;
        directory.checked = now;
    }
    if (valid == 0) {
        drop_kept_path();
        return false;
    }
    if (valid < kept.directories.size())
        cut_kept_path(valid);
    kept.generation = now;
    return true;
}

static std::string kept_host()
{
    return kept.host.empty() ? std::string(1, '.') : kept.host;
}

static bool is_plain_name(const char* name, size_t length)
{
    if (length == 0 || (length == 1 && name[0] == '.') || (length == 2 && name[0] == '.' && name[1] == '.'))
        return false;
    return component_is_valid(name, length, false);
}

// The short form through the kept path; false when it does not apply.
static bool short_form_from_cache(const char* text, size_t length, std::string& out)
{
    if (!kept_path_is_current())
        return false;
    const size_t position = static_cast<size_t>(name_after_last(text, text + length, "\\/") - text);
    if (position == 0 || position != kept.windows_text.size() || memcmp(text, kept.windows_text.data(), position) != 0)
        return false;
    const char* name = text + position;
    if (!is_plain_name(name, length - position) || exact_names_offset(text, length) != kept.exact_offset)
        return false;
    const DirectoryTable& table = *kept.directories.back().table;
    const long index =
        find_table_entry_near(table, name, length - position, kept.next_entry, position >= kept.exact_offset);
    if (index < 0)
        return false;
    kept.next_entry = static_cast<size_t>(index) + 1;
    out = kept.short_text;
    out += table.short_name(table.entries[static_cast<size_t>(index)]);
    return true;
}

// Whether the text ends in its last component as written, so that the directory part of
// the text is the directory the last component lies in.
static bool ends_in_plain_name(const char* text, const WindowsPath& path)
{
    if (path.components.empty() || path.last_dots != 0 || path.trailing_separator)
        return false;
    const PathComponent& last = path.components.back();
    return last.offset + last.length == strlen(text) && last.offset > 0 && is_path_separator(text[last.offset - 1]);
}

// How many kept directories, from the start, the first count components of the path
// lead through. Where a kept directory's text is the path's text up to the same
// component, the path's components before it are the kept ones: both texts were taken
// apart the same way up to there.
static size_t shared_directories(const WindowsPath& path, size_t count)
{
    if (!kept_path_is_current() || path.exact_offset != kept.exact_offset)
        return 0;
    const std::string& kept_text = kept.windows_text;
    size_t same = 0;
    while (same < kept_text.size() && path.text[same] == kept_text[same])
        same++;
    for (size_t i = std::min(count, kept.directories.size() - 1) + 1; i > 0; i--) {
        const size_t length = kept.directories[i - 1].windows_length;
        if (length <= same && path.components[i - 1].offset == length)
            return i;
    }
    return 0;
}

static bool start_kept_path(const WindowsPath& path)
{
    drop_kept_path();
    kept.exact_offset = path.exact_offset;
    kept.host = host_base_of(path);
    kept.short_text = windows_prefix_of(path);
    kept.windows_text.assign(path.text, path.components[0].offset);
    DWORD error = ERROR_SUCCESS;
    std::shared_ptr<const DirectoryTable> table = directory_table(kept_host(), -1, &error);
    if (!table)
        return false;
    kept.generation = table_generation();
    kept.directories.push_back(KeptDirectory{kept.windows_text.size(), kept.short_text.size(), kept.host.size(),
                                             kept.generation, std::move(table)});
    return true;
}

// Adds the directory of component index, an entry of the deepest kept directory, as its
// table names it: only that table and the new directory's are consulted, the latter
// taken from the search the walker has just started in it. False when the entry is not
// in the table, or is not a directory.
static bool go_down(const WindowsPath& path, size_t index)
{
    const DirectoryTable& parent = *kept.directories.back().table;
    const PathComponent& component = path.components[index];
    const long entry =
        find_table_entry(parent, path.text + component.offset, component.length, matched_exactly(path, index));
    if (entry < 0)
        return false;
    const TableEntry& found = parent.entries[static_cast<size_t>(entry)];
    append_host_name(kept.host, parent.host_name(found));
    if (kept.host.size() > LONGEST_HOST_PATH)
        return false;
    std::shared_ptr<const DirectoryTable> table = searched_table(kept.host);
    DWORD error = ERROR_SUCCESS;
    if (!table)
        table = directory_table(kept.host, -1, &error);
    if (!table)
        return false;
    kept.short_text += parent.short_name(found);
    kept.short_text.push_back('\\');
    const size_t next = path.components[index + 1].offset;
    kept.windows_text.assign(path.text, next);
    kept.directories.push_back(
        KeptDirectory{next, kept.short_text.size(), kept.host.size(), table_generation(), std::move(table)});
    kept.generation = table_generation();
    return true;
}

// Makes the kept path end at the directory of the first count components, from the
// deepest kept directory on the way. A directory gone back up to is checked against the
// host first: another program may have replaced it while the walk was below it. False
// when the way cannot be made from the tables; the kept path is then dropped.
static bool reach_directory(const WindowsPath& path, size_t count)
{
    size_t shared = shared_directories(path, count);
    if (shared == 0) {
        if (!start_kept_path(path)) {
            drop_kept_path();
            return false;
        }
        shared = 1;
    } else if (shared < kept.directories.size()) {
        cut_kept_path(shared);
        KeptDirectory& directory = kept.directories.back();
        DWORD error = ERROR_SUCCESS;
        directory.table = current_table(kept_host(), directory.table, &error);
        if (!directory.table) {
            drop_kept_path();
            return false;
        }
        directory.checked = table_generation();
        kept.generation = directory.checked;
    }
    for (size_t i = shared - 1; i < count; i++) {
        if (!go_down(path, i)) {
            drop_kept_path();
            return false;
        }
    }
    kept.next_entry = 0;
    return true;
}

static DWORD short_form_of(const char* text, std::string& out)
{
    WindowsPath path;
    DWORD error = parse_windows_path(text, false, &path);
    if (error != ERROR_SUCCESS)
        return error;
    std::string host;
    if (ends_in_plain_name(text, path)) {
        const size_t count = path.components.size() - 1;
        if (!reach_directory(path, count)) {
            // The lookup from the disk reads a stale table again and tells why the way
            // is not there.
            std::string short_directory;
            error = resolve_short_form(path, count, host, short_directory);
            if (error != ERROR_SUCCESS)
                return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
            reach_directory(path, count);
        }
        if (short_form_from_cache(text, strlen(text), out))
            return ERROR_SUCCESS;
    }
    error = resolve_short_form(path, path.components.size(), host, out);
    if (error != ERROR_SUCCESS)
        return error;
    if (path.trailing_separator && !path.components.empty())
        out.push_back('\\');
    if (out.empty())
        out.assign(1, '.');
    if (path.components.empty() && out.size() > 1 && out.back() == '\\' && path.leading_parents > 0 &&
        !path.trailing_separator)
        out.pop_back();
    return ERROR_SUCCESS;
}

// GetShortPathNameA: an existing path with every component in its 8.3 form; a component
// that does not exist fails the call. Windows takes the file system's aliases; here they
// are the layer's own, made per directory in NTFS order.
DWORD GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD buffer_length)
{
    if (long_path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t length = strlen(long_path);
    // One buffer for every call: the walker makes one call per entry.
    static std::string form;
    if (!short_form_from_cache(long_path, length, form)) {
        const DWORD error = short_form_of(long_path, form);
        if (error != ERROR_SUCCESS) {
            SetLastError(error);
            return 0;
        }
    }
    return copy_to_caller(form, short_path, buffer_length);
}
