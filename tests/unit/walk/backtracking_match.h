// The name matcher as it first stood, kept to check the one the program uses: it
// backtracks over every occurrence of each segment, exponential in the number of stars,
// but reads directly off the rules. The unit tests and the fuzz target share it.
#pragma once

#include <cstring>

#include "text/multibyte.h"

inline int reference_count_chars(const char* text, const char* stop)
{
    int count = 0;
    for (const char* p = text; p != stop && *p != '\0'; p = next_char(p))
        count++;
    return count;
}

inline bool reference_match_counted(const char** name, const char** pattern, int count)
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

inline const char* reference_find_anchor(const char* from, const char* segment)
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

inline int reference_after_star(const char* name, const char* pattern)
{
    while (*pattern == '*')
        pattern++;
    const char* segment_end = find_char(pattern, '*');
    const int segment_length = reference_count_chars(pattern, segment_end);
    const bool final_dot = segment_end == nullptr && strcmp(pattern, ".") == 0;
    for (const char* from = name;;) {
        const char* occurrence = reference_find_anchor(from, pattern);
        if (occurrence == nullptr)
            return final_dot ? 1 : 0;
        const char* rest_of_name = occurrence;
        const char* rest_of_pattern = pattern;
        if (reference_match_counted(&rest_of_name, &rest_of_pattern, segment_length)) {
            if (*rest_of_pattern == '*') {
                const int result = reference_after_star(rest_of_name, rest_of_pattern);
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

inline int reference_match(const char* name, const char* pattern)
{
    const char* star = find_char(pattern, '*');
    if (star == nullptr) {
        const bool matched = reference_match_counted(&name, &pattern, reference_count_chars(pattern, nullptr));
        return matched && *name == '\0' ? 1 : 0;
    }
    if (!reference_match_counted(&name, &pattern, reference_count_chars(pattern, star)))
        return 0;
    return reference_after_star(name, star);
}
