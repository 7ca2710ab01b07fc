// Parsing Windows paths: drives, roots, separators and the collapse of '.' and '..'.
//
// '..' is collapsed on the text, as Windows does, so 'a\link\..' is 'a' whatever
// 'link' points at on the host.
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/posix/paths/names.h"
#include "platform/posix/paths/path_roots.h"
#include "platform/posix/paths/windows_path.h"

bool drive_root_of(char drive, std::string& root)
{
    drive = ascii_upper(drive);
    if (drive == 'Z') {
        root.assign(1, '/');
        return true;
    }
    char name[] = "ORVA_DRIVE_?";
    name[sizeof name - 2] = drive;
    const char* value = getenv(name);
    if (value == nullptr || value[0] == '\0')
        return false;
    root = value;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return true;
}

static bool is_drive_prefix(const char* text)
{
    return isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
}

// Reads the drive and root part; returns the position where the components begin.
static DWORD parse_prefix(const char* text, WindowsPath* path, size_t* position)
{
    size_t at = 0;
    path->drive = 'Z';
    if (is_drive_prefix(text)) {
        path->drive = ascii_upper(text[0]);
        path->drive_given = true;
        at = 2;
    } else if (is_path_separator(text[0]) && is_path_separator(text[1])) {
        // Network and device paths (\\server\share, \\?\) have no host meaning here.
        return ERROR_PATH_NOT_FOUND;
    }
    if (!drive_root_of(path->drive, path->drive_root))
        return ERROR_PATH_NOT_FOUND;
    path->rooted = is_path_separator(text[at]);
    // The current directory of a mapped drive is its root.
    if (path->drive != 'Z')
        path->rooted = true;
    *position = at;
    return ERROR_SUCCESS;
}

static void add_component(WindowsPath* path, size_t offset, size_t length)
{
    const char* name = path->text + offset;
    if (length == 1 && name[0] == '.')
        return;
    if (length == 2 && name[0] == '.' && name[1] == '.') {
        if (!path->components.empty())
            path->components.pop_back();
        else if (!path->rooted)
            path->leading_parents++;
        return;
    }
    path->components.push_back({offset, length});
}

static int dots_of(const char* name, size_t length)
{
    if (length == 1 && name[0] == '.')
        return 1;
    if (length == 2 && name[0] == '.' && name[1] == '.')
        return 2;
    return 0;
}

// What a byte of a path is to the parse, which looks at every byte of every path: most
// are plain, a separator ends a component, and the rest (a character a name may not
// hold, a wildcard, the first byte of a multibyte character) need a closer look.
enum PathByte : unsigned char { PLAIN_BYTE, SEPARATOR_BYTE, SPECIAL_BYTE };

static constexpr std::array<PathByte, 256> PATH_BYTES = [] {
    std::array<PathByte, 256> kinds{};
    for (int c = 0; c < 0x100; c++)
        kinds[c] = FORBIDDEN_IN_NAMES[c] || c >= 0x80 ? SPECIAL_BYTE : PLAIN_BYTE;
    kinds['\\'] = SEPARATOR_BYTE;
    kinds['/'] = SEPARATOR_BYTE;
    return kinds;
}();

// The end of the component that begins at start: the next separator that begins a
// character, or end. *special tells whether a byte in it needs component_is_valid.
static const char* component_end(const char* start, const char* end, bool* special)
{
    const char* p = start;
    for (;;) {
        while (p < end && PATH_BYTES[static_cast<unsigned char>(*p)] == PLAIN_BYTE)
            p++;
        if (p == end || PATH_BYTES[static_cast<unsigned char>(*p)] == SEPARATOR_BYTE)
            return p;
        *special = true;
        p += character_length(p, end);
    }
}

DWORD parse_windows_path(const char* text, bool wildcards_in_last, WindowsPath* path)
{
    *path = WindowsPath{};
    path->text = text;
    const size_t length = strlen(text);
    if (length == 0)
        return ERROR_PATH_NOT_FOUND;
    if (length > LONGEST_WINDOWS_PATH)
        return ERROR_FILENAME_EXCED_RANGE;
    path->exact_offset = exact_names_offset(text, length);
    size_t at = 0;
    const DWORD prefix_error = parse_prefix(text, path, &at);
    if (prefix_error != ERROR_SUCCESS)
        return prefix_error;
    const char* end = text + length;
    // One allocation for the components of all but the deepest paths.
    path->components.reserve(16);
    for (const char* start = text + at; start <= end;) {
        bool special = false;
        const char* p = component_end(start, end, &special);
        const size_t component_length = static_cast<size_t>(p - start);
        if (component_length > 0) {
            if (special && !component_is_valid(start, component_length, p == end && wildcards_in_last))
                return ERROR_INVALID_NAME;
            if (component_length > 3 * LONGEST_HOST_NAME)
                return ERROR_FILENAME_EXCED_RANGE;
            path->last_dots = dots_of(start, component_length);
            add_component(path, static_cast<size_t>(start - text), component_length);
        }
        start = p + 1;
    }
    path->trailing_separator = length > at && ends_in_separator(text, length);
    return ERROR_SUCCESS;
}

std::string host_base_of(const WindowsPath& path)
{
    if (path.rooted)
        return path.drive_root;
    std::string base;
    for (size_t i = 0; i < path.leading_parents; i++)
        base += i == 0 ? ".." : "/..";
    return base;
}

std::string literal_host_path(const WindowsPath& path, size_t count)
{
    std::string host = host_base_of(path);
    const size_t length = strlen(path.text);
    host.reserve(host.size() + length);
    // A path that is its own host form is copied component by component as it stands.
    const bool as_written = is_own_host_form(path.text, length);
    for (size_t i = 0; i < count && i < path.components.size(); i++) {
        if (!host.empty() && host.back() != '/')
            host.push_back('/');
        const char* name = path.text + path.components[i].offset;
        if (as_written)
            host.append(name, path.components[i].length);
        else
            host_name_of(name, path.components[i].length, host);
    }
    if (host.empty())
        host.assign(1, '.');
    return host;
}
