// Selection filters: the source name pattern, the name lists, the attribute masks and
// the date range, applied to the walk's current entry.
#include "walk/filters.h"

#include <cstring>

#include "records/run_settings.h"
#include "records/walk_state.h"
#include "text/multibyte.h"
#include "time/file_time.h"
#include "walk/wildcard_match.h"

// The last '\' of text; a trail byte 0x5C inside a double-byte character is none.
static char* last_separator(char* text)
{
    char* found = nullptr;
    for (char* p = text; *p != '\0'; p = next_char(p)) {
        if (*p == '\\')
            found = p;
    }
    return found;
}

// Cuts text at its last '\' and returns the component after it; the whole text when
// no '\' is left, so the caller knows it has reached the leftmost component.
static char* cut_last_component(char* text)
{
    char* separator = last_separator(text);
    if (separator == nullptr)
        return text;
    *separator = '\0';
    return separator + 1;
}

// Every zero byte before end was a '\' that cut_last_component took away.
static void restore_separators(char* text, const char* end)
{
    for (char* p = text; p < end; p++) {
        if (*p == '\0')
            *p = '\\';
    }
}

// The short form is consulted only on a plain no-match: -1 means the long name already
// answered a final "." segment, and its short alias must not overrule that.
static int component_result(const char* long_component, const char* short_component,
                            const char* pattern_component)
{
    const int result = wildcard_match(long_component, pattern_component);
    if (result != 0)
        return result;
    return wildcard_match(short_component, pattern_component);
}

// Long and short paths are cut in step, one component at a time, so that both stand at
// the same component although their lengths differ.
static int compare_from_right(char* pattern)
{
    for (;;) {
        char* pattern_component = cut_last_component(pattern);
        char* long_component = cut_last_component(walk.source_path);
        char* short_component = cut_last_component(walk.short_path);
        const bool leftmost = pattern_component == pattern;
        if (!leftmost && long_component == walk.source_path)
            return 0;
        const int result = component_result(long_component, short_component, pattern_component);
        if (leftmost || result <= 0)
            return result > 0 ? 1 : 0;
    }
}

static int components_match(char* pattern)
{
    const char* pattern_end = pattern + strlen(pattern);
    const char* long_end = walk.source_path + strlen(walk.source_path);
    const char* short_end = walk.short_path + strlen(walk.short_path);
    const int matched = compare_from_right(pattern);
    restore_separators(pattern, pattern_end);
    restore_separators(walk.source_path, long_end);
    restore_separators(walk.short_path, short_end);
    return matched;
}

// The closing quote of an item written "...", or null when the item is not quoted.
static char* closing_quote(char* item)
{
    if (*item != '"')
        return nullptr;
    char* last = last_char(item);
    return last != item && *last == '"' ? last : nullptr;
}

static int item_matches(char* item)
{
    char* quote = closing_quote(item);
    if (quote == nullptr)
        return components_match(item);
    *quote = '\0';
    const int matched = components_match(item + 1);
    *quote = '"';
    return matched;
}

int name_list_matches(char* list)
{
    if (list == nullptr)
        return 0;
    for (char* item = list;;) {
        char* comma = find_char(item, ',');
        if (comma != nullptr)
            *comma = '\0';
        const int matched = item_matches(item);
        if (comma == nullptr)
            return matched;
        *comma = ',';
        if (matched)
            return 1;
        item = comma + 1;
    }
}

// The last component of the source argument; layer 0's root_length marks where it
// begins, and it is empty when the argument ended in ':' or '\'.
static const char* source_pattern()
{
    if (settings.source_arg == nullptr)
        return "";
    return settings.source_arg + level_table[0].root_length;
}

int source_name_matches()
{
    const char* pattern = source_pattern();
    if (*pattern == '\0')
        return 1;
    const int result = wildcard_match(walk.source_name, pattern);
    if (result != 0)
        return result > 0 ? 1 : 0;
    return wildcard_match(walk.short_name, pattern) > 0 ? 1 : 0;
}

int attributes_pass()
{
    const uint32_t attributes = walk.current_level->find_data.dwFileAttributes;
    if (settings.attr_any_of != 0 && (attributes & settings.attr_any_of) == 0)
        return 0;
    if (settings.attr_all_of != 0 && (attributes & settings.attr_all_of) != settings.attr_all_of)
        return 0;
    if (settings.attr_none_of != 0 && (attributes & settings.attr_none_of) != 0)
        return 0;
    return 1;
}

// Both bounds are exclusive unless /AE or /BE made them inclusive, so with the default
// oldest_date 0 a file written at time 0 is refused.
int date_in_range()
{
    const uint64_t time = file_time_value(walk.current_level->find_data.ftLastWriteTime);
    if (settings.oldest_date > time)
        return 0;
    if (settings.oldest_date == time && !(settings.filter_flags & OLDEST_INCLUSIVE))
        return 0;
    if (time > settings.newest_date)
        return 0;
    if (time == settings.newest_date && !(settings.filter_flags & NEWEST_INCLUSIVE))
        return 0;
    return 1;
}

// Inside a directory source, the tree must show and copy/update must create every
// directory on the way to the selected files, whatever its attributes.
static int directory_inside_source()
{
    if (walk.depth == 0) {
        walk.source_dir_entered = 0;
        return 1;
    }
    if (settings.operation & (OP_TREE | OP_COPY | OP_UPDATE))
        return 1;
    return attributes_pass();
}

// Layer 0 of a directory source is the directory itself, named by the pattern; deeper
// entries are reached only once it has passed and set source_dir_entered.
static int source_directory_passes()
{
    if (walk.depth != 0 || !source_name_matches())
        return 0;
    walk.source_dir_entered = 1;
    return 1;
}

int directory_passes()
{
    if (walk.source_dir_entered == 1)
        return directory_inside_source();
    if (settings.filter_flags & SOURCE_IS_DIRECTORY)
        return source_directory_passes();
    if (settings.operation & OP_TREE)
        return 1;
    // A date range asks for files written in it; a directory's own write time says
    // nothing about them, so no directory is listed or deleted along with them.
    if (settings.filter_flags & DATE_RANGE_GIVEN)
        return 0;
    return source_name_matches() && attributes_pass();
}

// Inside a directory source the pattern was the directory's own name, so it does not
// apply to the files below it.
int file_passes()
{
    if (settings.filter_flags & SOURCE_IS_DIRECTORY) {
        if (walk.source_dir_entered != 1)
            return 0;
        return date_in_range() && attributes_pass();
    }
    return source_name_matches() && date_in_range() && attributes_pass();
}
