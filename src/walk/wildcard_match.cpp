// Wildcard matching of names: '*' and '?', ASCII letters without case, a multibyte
// character as one unit that never equals a single-byte one.
#include "walk/wildcard_match.h"

#include <cstring>

#include "walk/multibyte.h"

// Characters from text up to stop, or to the end when stop is null.
static int count_chars(const char* text, const char* stop)
{
    int count = 0;
    for (const char* p = text; p != stop && *p != '\0'; p = next_char(p))
        count++;
    return count;
}

// A '?' at the end of the name accepts nothing, so ab? matches ab as well as abc.
static bool match_counted(const char** name, const char** pattern, int count)
{
    for (; count > 0; count--) {
        if (**pattern != '?') {
            if (**name == '\0' || !same_character(*name, *pattern))
                return false;
        }
        *name = next_char(*name);
        *pattern = next_char(*pattern);
    }
    return true;
}

// A '?' that leads a segment accepts any one character, as the user who writes *?x
// means; every position is then an occurrence, the end of the name included, where
// '?' accepts nothing as it does in match_counted.
static const char* find_anchor(const char* from, const char* segment)
{
    if (*segment == '\0')
        return from + strlen(from);
    if (*segment == '?')
        return from;
    for (const char* p = from; *p != '\0'; p = next_char(p)) {
        if (same_character(p, segment))
            return p;
    }
    return nullptr;
}

static int match_after_star(const char* name, const char* pattern)
{
    while (*pattern == '*')
        pattern++;
    const char* segment_end = find_char(pattern, '*');
    const int segment_length = count_chars(pattern, segment_end);
    // "*." stands for "a name without a dot": a dot found in the name refuses it for
    // good, and a name without one is accepted whole.
    const bool final_dot = segment_end == nullptr && strcmp(pattern, ".") == 0;
    const char* from = name;
    for (;;) {
        const char* occurrence = find_anchor(from, pattern);
        if (occurrence == nullptr)
            return final_dot ? 1 : 0;
        const char* rest_of_name = occurrence;
        const char* rest_of_pattern = pattern;
        if (match_counted(&rest_of_name, &rest_of_pattern, segment_length)) {
            if (*rest_of_pattern == '*') {
                const int result = match_after_star(rest_of_name, rest_of_pattern);
                if (result != 0)
                    return result < 0 ? result : 1;
            } else if (*rest_of_name == '\0') {
                return 1;
            } else if (final_dot) {
                return -1;
            }
        }
        if (*occurrence == '\0')
            return 0;
        from = next_char(occurrence);
    }
}

int wildcard_match(const char* name, const char* pattern)
{
    const char* star = find_char(pattern, '*');
    if (star == nullptr) {
        const bool matched = match_counted(&name, &pattern, count_chars(pattern, nullptr));
        return matched && *name == '\0' ? 1 : 0;
    }
    if (!match_counted(&name, &pattern, count_chars(pattern, star)))
        return 0;
    return match_after_star(name, star);
}
