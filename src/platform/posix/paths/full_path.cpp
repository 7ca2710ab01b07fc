// GetFullPathNameA: a path made absolute and tidied on the text alone.
//
// As on Windows nothing is looked up: the path need not exist and its drive need not
// be mapped. A relative path starts at the current directory of its drive (the host
// working directory for Z:, the root for the others), '.' and '..' are collapsed
// without ever leaving the root, and both separators become '\'.
#include <cctype>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/posix/paths/current_directory.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/paths/windows_path.h"

static void add_components(const char* text, std::vector<std::string_view>& components)
{
    const char* end = text + strlen(text);
    const char* start = text;
    for (const char* p = text;; p += character_length(p, end)) {
        if (p < end && !is_path_separator(*p))
            continue;
        const std::string_view name(start, static_cast<size_t>(p - start));
        if (name == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!name.empty() && name != ".") {
            components.push_back(name);
        }
        if (p >= end)
            break;
        start = p + 1;
    }
}

// The drive part ("Z:") and, through components, the directory a relative text starts in.
static DWORD start_of(const char* text, std::string& drive, std::string& base, const char** rest)
{
    const bool drive_given = isalpha(static_cast<unsigned char>(text[0])) && text[1] == ':';
    *rest = drive_given ? text + 2 : text;
    drive = drive_given ? std::string(text, 2) : std::string("Z:");
    if (is_path_separator(**rest))
        return ERROR_SUCCESS;
    if (ascii_upper(drive[0]) != 'Z')
        return ERROR_SUCCESS;
    std::string current;
    const DWORD error = windows_current_directory(current);
    if (error != ERROR_SUCCESS)
        return error;
    base = current.substr(2);
    return ERROR_SUCCESS;
}

static std::string join(const std::string& drive, const std::vector<std::string_view>& components, bool trailing)
{
    std::string full = drive + "\\";
    for (size_t i = 0; i < components.size(); i++) {
        if (i > 0)
            full.push_back('\\');
        full.append(components[i]);
    }
    if (trailing && !components.empty())
        full.push_back('\\');
    return full;
}

// GetFullPathNameA: the absolute form of a path and where its last name begins; a buffer
// too small gets nothing and the result is the size it needs. Here a drive other than Z:
// has its root as its current directory.
DWORD GetFullPathNameA(LPCSTR file_name, DWORD buffer_length, LPSTR buffer, LPSTR* file_part)
{
    if (file_name == nullptr || file_name[0] == '\0') {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    const size_t length = strlen(file_name);
    if (length > LONGEST_WINDOWS_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    std::string drive, base;
    const char* rest = nullptr;
    const DWORD error = start_of(file_name, drive, base, &rest);
    if (error != ERROR_SUCCESS) {
        SetLastError(error);
        return 0;
    }
    std::vector<std::string_view> components;
    add_components(base.c_str(), components);
    add_components(rest, components);
    const bool trailing = ends_in_separator(file_name, length) && rest[0] != '\0';
    const std::string full = join(drive, components, trailing);
    const DWORD result = copy_to_caller(full, buffer, buffer_length);
    if (result == full.size() && file_part != nullptr) {
        const bool has_name = !components.empty() && !trailing;
        *file_part = has_name ? buffer + full.size() - components.back().size() : nullptr;
    }
    return result;
}
