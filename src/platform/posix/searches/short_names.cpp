// 8.3 name rules and the Windows-style NAME~N.EXT alias.
#include <algorithm>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/paths/names.h"
#include "platform/posix/searches/short_names.h"

// A character a short name may hold. Bytes above 0x7F belong to the single- and
// double-byte code pages; under UTF-8 a short name stays ASCII, as OEM names do.
static bool is_short_name_character(const char* p, size_t step)
{
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c >= 0x80)
        return GetACP() != CP_UTF8;
    if (step != 1)
        return false;
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return strchr("!#$%&'()-@^_`{}~", c) != nullptr && c != '\0';
}

bool is_valid_short_name(const char* name, size_t length)
{
    const char* end = name + length;
    size_t base_length = 0, extension_length = 0;
    bool seen_dot = false;
    for (const char* p = name; p < end;) {
        const size_t step = character_length(p, end);
        if (step == 1 && *p == '.') {
            if (seen_dot || base_length == 0)
                return false;
            seen_dot = true;
        } else if (!is_short_name_character(p, step)) {
            return false;
        } else if (seen_dot) {
            extension_length += step;
        } else {
            base_length += step;
        }
        p += step;
    }
    if (base_length == 0 || base_length > 8 || extension_length > 3)
        return false;
    return !seen_dot || extension_length > 0;
}

// Copies the valid characters of [from, to) upper-cased, up to limit bytes, never
// splitting a double-byte character.
static size_t take_valid(const char* from, const char* to, char* out, size_t limit)
{
    size_t used = 0;
    for (const char* p = from; p < to;) {
        const size_t step = character_length(p, to);
        if (!(step == 1 && *p == '.') && is_short_name_character(p, step)) {
            if (used + step > limit)
                break;
            for (size_t i = 0; i < step; i++)
                out[used + i] = step == 1 ? ascii_upper(p[i]) : p[i];
            used += step;
        }
        p += step;
    }
    return used;
}

void alias_stem_of(const char* name, size_t length, AliasStem* stem)
{
    *stem = AliasStem{};
    const char* end = name + length;
    const char* last_dot = nullptr;
    for (const char* p = name; p < end; p += character_length(p, end)) {
        if (*p == '.')
            last_dot = p;
    }
    // A leading dot starts a hidden name, not an extension.
    if (last_dot == name)
        last_dot = nullptr;
    const char* base_end = last_dot != nullptr ? last_dot : end;
    stem->base_length = take_valid(name, base_end, stem->base, 6);
    stem->extension_length = last_dot != nullptr ? take_valid(last_dot + 1, end, stem->extension, 3) : 0;
    if (stem->base_length == 0) {
        stem->base[0] = '_';
        stem->base_length = 1;
    }
}

// Length of the longest prefix of the base within limit bytes, on a character boundary.
static size_t base_prefix(const AliasStem& stem, size_t limit)
{
    size_t used = 0;
    const char* end = stem.base + stem.base_length;
    for (const char* p = stem.base; p < end;) {
        const size_t step = character_length(p, end);
        if (used + step > limit)
            break;
        used += step;
        p += step;
    }
    return used;
}

size_t format_alias(const AliasStem& stem, unsigned number, char* out)
{
    char digits[8];
    int digit_count = 0;
    for (unsigned rest = number % 1000000; digit_count == 0 || rest != 0; rest /= 10)
        digits[digit_count++] = static_cast<char>('0' + rest % 10);
    std::reverse(digits, digits + digit_count);
    const size_t prefix = base_prefix(stem, 7 - static_cast<size_t>(digit_count));
    size_t used = 0;
    memcpy(out, stem.base, prefix);
    used += prefix;
    out[used++] = '~';
    memcpy(out + used, digits, static_cast<size_t>(digit_count));
    used += static_cast<size_t>(digit_count);
    if (stem.extension_length > 0) {
        out[used++] = '.';
        memcpy(out + used, stem.extension, stem.extension_length);
        used += stem.extension_length;
    }
    out[used] = '\0';
    return used;
}
