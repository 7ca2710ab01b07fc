// GetShortPathNameA: every component of an existing path replaced by its 8.3 alias.
//
// The walker asks for the short form of every entry of the directory it lists, each
// time with the same directory text in front. The alias form of that directory and its
// table are kept, so such a call costs a lookup in memory and no host call at all.
#include <cstring>

#include "platform/posix/current_directory.h"
#include "platform/posix/names.h"
#include "platform/posix/path_lookup.h"
#include "platform/posix/table_cache.h"

struct DirectoryForm {
    uint64_t generation;       // table_generation() when it was made; 0: nothing kept
    std::string windows_text;  // the directory text up to and with its last separator
    std::string short_text;    // its alias form, ending in a separator when not empty
    std::string host;          // its host path
    std::shared_ptr<const DirectoryTable> table;
    size_t next_entry;         // the entry after the one last asked for, where the next one usually is
};

static DirectoryForm current_form;

// Position after the last separator of a text (0 when there is none).
static size_t name_position(const char* text, size_t length)
{
    // Outside the double-byte page a separator byte is always a separator.
    if (GetACP() != 932) {
        for (size_t i = length; i > 0; i--) {
            if (is_path_separator(text[i - 1]))
                return i;
        }
        return 0;
    }
    const char* end = text + length;
    size_t position = 0;
    for (const char* p = text; p < end; p += character_length(p, end)) {
        if (is_path_separator(*p))
            position = static_cast<size_t>(p - text) + 1;
    }
    return position;
}

static bool is_plain_name(const char* name, size_t length)
{
    if (length == 0 || (length == 1 && name[0] == '.') || (length == 2 && name[0] == '.' && name[1] == '.'))
        return false;
    return component_is_valid(name, length, false);
}

// The short form through the kept directory form; false when it does not apply.
static bool short_form_from_cache(const char* text, size_t length, std::string& out)
{
    if (current_form.generation != table_generation())
        return false;
    const size_t position = name_position(text, length);
    if (position == 0 || position != current_form.windows_text.size() ||
        memcmp(text, current_form.windows_text.data(), position) != 0)
        return false;
    const char* name = text + position;
    if (!is_plain_name(name, length - position))
        return false;
    const DirectoryTable& table = *current_form.table;
    const long index = find_table_entry_near(table, name, length - position, current_form.next_entry);
    if (index < 0)
        return false;
    current_form.next_entry = static_cast<size_t>(index) + 1;
    out = current_form.short_text;
    out += table.short_name(table.entries[static_cast<size_t>(index)]);
    return true;
}

static void keep_directory_form(const char* text, const WindowsPath& path, const std::string& short_directory,
                                const std::string& host, const std::shared_ptr<const DirectoryTable>& table)
{
    current_form.generation = table_generation();
    current_form.host = host;
    current_form.windows_text.assign(text, path.components.back().offset);
    current_form.short_text = short_directory;
    std::string& short_text = current_form.short_text;
    if (!short_text.empty() && !ends_in_separator(short_text.data(), short_text.size()))
        short_text.push_back('\\');
    current_form.table = table;
    current_form.next_entry = 0;
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

// The form of a directory that lies in the kept one, made from the kept form: the walker
// asks for it right after the kept directory's entry that names it. The aliases of the
// kept directory's path are trusted as they are for the kept directory's own entries;
// only the entry in the kept table and the new directory's table are looked up, not
// every directory on the way again. False when the path is not of that kind or the
// lookup fails, and the whole path is resolved instead.
static bool descend_from_kept_form(const char* text, const WindowsPath& path)
{
    const size_t count = path.components.size();
    if (current_form.generation != table_generation() || count < 2)
        return false;
    const PathComponent& directory = path.components[count - 2];
    const size_t kept = current_form.windows_text.size();
    if (directory.offset != kept || directory.offset + directory.length + 1 != path.components.back().offset ||
        memcmp(text, current_form.windows_text.data(), kept) != 0)
        return false;
    const std::shared_ptr<const DirectoryTable> parent = current_form.table;
    const long index = find_table_entry(*parent, text + directory.offset, directory.length);
    if (index < 0)
        return false;
    const TableEntry& entry = parent->entries[static_cast<size_t>(index)];
    // "." stands for an empty path from the current directory.
    std::string host = current_form.host == "." ? std::string() : current_form.host;
    append_host_name(host, parent->host_name(entry));
    if (host.size() > LONGEST_HOST_PATH)
        return false;
    DWORD error = ERROR_SUCCESS;
    const std::shared_ptr<const DirectoryTable> table = directory_table(host, -1, &error);
    if (!table)
        return false;
    keep_directory_form(text, path, current_form.short_text + parent->short_name(entry), host, table);
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
        if (!descend_from_kept_form(text, path)) {
            std::string short_directory;
            std::shared_ptr<const DirectoryTable> table;
            error = resolve_short_form(path, path.components.size() - 1, host, short_directory, &table);
            if (error != ERROR_SUCCESS)
                return error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error;
            keep_directory_form(text, path, short_directory, host, table);
        }
        if (short_form_from_cache(text, strlen(text), out))
            return ERROR_SUCCESS;
    }
    error = resolve_short_form(path, path.components.size(), host, out, nullptr);
    if (error != ERROR_SUCCESS)
        return error;
    if (path.trailing_separator && !path.components.empty())
        out.push_back('\\');
    if (out.empty())
        out.assign(1, '.');
    if (path.components.empty() && out.size() > 1 && out.back() == '\\' && path.leading_parents > 0)
        out.pop_back();
    return ERROR_SUCCESS;
}

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
