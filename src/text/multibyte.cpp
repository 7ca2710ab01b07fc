// Character stepping over multibyte text, on top of the platform's CharNextA.
#include "text/multibyte.h"

#include <cstring>

#include "platform/platform.h"

char* find_char(const char* text, char c)
{
    for (const char* p = text; *p != '\0'; p = next_char(p)) {
        if (*p == c)
            return const_cast<char*>(p);
    }
    return nullptr;
}

char upper_ascii(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Only ASCII letters fold: a single byte above 0x7F may be a katakana or an accented
// letter whose case the code page alone knows, and a trail byte is no letter at all.
bool same_character(const char* a, const char* b)
{
    return same_character_span(a, next_char(a), b, next_char(b));
}

bool same_character_span(const char* a, const char* a_end, const char* b, const char* b_end)
{
    const long width = a_end - a;
    if (width != b_end - b)
        return false;
    if (width == 1)
        return upper_ascii(*a) == upper_ascii(*b);
    return memcmp(a, b, static_cast<size_t>(width)) == 0;
}

char* last_char(const char* text)
{
    const char* last = nullptr;
    for (const char* p = text; *p != '\0'; p = next_char(p))
        last = p;
    return const_cast<char*>(last);
}
