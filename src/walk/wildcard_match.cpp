// Wildcard matching of names: '*' and '?', ASCII letters without case, a multibyte
// character as one unit that never equals a single-byte one.
//
// Between two stars a segment is placed at its earliest fit in the name and never
// moved: a later fit leaves less name to the segments after it, so retrying one can
// only fail again. Each segment is therefore tried once per name position, and no
// pattern costs more than a quarter of the name's length squared plus its own length.
#include "walk/wildcard_match.h"

#include <cstring>

#include "text/multibyte.h"

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

// The text from `text` to the next star (`end`, null for the last segment), in
// characters; past `fixed` only '?' follows, which the end of the name satisfies by
// accepting nothing.
struct Segment {
    const char* text;
    const char* end;
    int length;
    int fixed;
};

static Segment segment_at(const char* pattern)
{
    Segment segment = {pattern, find_char(pattern, '*'), 0, 0};
    for (const char* p = pattern; p != segment.end && *p != '\0'; p = next_char(p)) {
        segment.length++;
        if (*p != '?')
            segment.fixed = segment.length;
    }
    return segment;
}

// The name position after the segment placed at `at`, or null when it does not fit
// there. The caller leaves at least the fixed part's characters in the name, so what
// meets the end of the name is a run of '?', which accepts nothing and is not walked.
static const char* segment_fit(const char* at, const Segment& segment)
{
    const char* pattern = segment.text;
    for (int index = 0; index < segment.length; index++) {
        if (*at == '\0')
            return at;
        const char* at_end = next_char(at);
        const char* pattern_end = next_char(pattern);
        if (*pattern != '?' && !same_character_span(at, at_end, pattern, pattern_end))
            return nullptr;
        at = at_end;
        pattern = pattern_end;
    }
    return at;
}

// The earliest placement from `name` on, which has `left` characters; the last segment
// must also end the name, so it starts no earlier than its length before the end. A
// '?' that leads a segment accepts any one character, as the user who writes *?x
// means, and at the end of the name nothing. Where fewer characters are left than the
// segment's fixed part needs, no later place fits either.
static const char* place_segment(const char* name, int* left, const Segment& segment)
{
    const char* p = name;
    for (; segment.end == nullptr && *left > segment.length; --*left)
        p = next_char(p);
    for (; *left >= segment.fixed; p = next_char(p), --*left) {
        const char* after = segment_fit(p, segment);
        if (after != nullptr && (segment.end != nullptr || *after == '\0')) {
            *left -= segment.length < *left ? segment.length : *left;
            return after;
        }
        if (*p == '\0')
            return nullptr;
    }
    return nullptr;
}

static int match_after_star(const char* name, const char* pattern)
{
    int left = count_chars(name, nullptr);
    for (;;) {
        while (*pattern == '*')
            pattern++;
        if (*pattern == '\0')
            return 1;
        const Segment segment = segment_at(pattern);
        // "*." stands for "a name without a dot": the first dot left in the name decides
        // for good, accepted only as the name's last character.
        if (segment.end == nullptr && strcmp(pattern, ".") == 0) {
            const char* dot = find_char(name, '.');
            return dot == nullptr || *next_char(dot) == '\0' ? 1 : -1;
        }
        name = place_segment(name, &left, segment);
        if (name == nullptr)
            return 0;
        if (segment.end == nullptr)
            return 1;
        pattern = segment.end;
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
