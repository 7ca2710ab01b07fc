// Character stepping, upper-casing and the U+F000 convention for host names.
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/paths/names.h"

static bool is_double_byte_page()
{
    return GetACP() == 932;
}

size_t multibyte_character_length(const char* p, const char* end)
{
    const size_t length = static_cast<size_t>(CharNextA(p) - p);
    const size_t left = static_cast<size_t>(end - p);
    if (length == 0)
        return left > 0 ? 1 : 0;
    return length < left ? length : left;
}

// Yields the upper-cased bytes of a name one at a time; only whole single-byte
// characters change, so a trail byte that happens to be a letter stays as it is.
struct UpperReader {
    const char* p;
    const char* end;
    size_t raw_left;

    int next()
    {
        if (p >= end)
            return -1;
        if (raw_left > 0) {
            raw_left--;
            return static_cast<unsigned char>(*p++);
        }
        const size_t length = character_length(p, end);
        if (length > 1) {
            raw_left = length - 1;
            return static_cast<unsigned char>(*p++);
        }
        return static_cast<unsigned char>(ascii_upper(*p++));
    }
};

int compare_upper(const char* a, size_t a_length, const char* b, size_t b_length)
{
    if (!is_double_byte_page()) {
        const size_t shorter = a_length < b_length ? a_length : b_length;
        for (size_t i = 0; i < shorter; i++) {
            const unsigned char x = static_cast<unsigned char>(ascii_upper(a[i]));
            const unsigned char y = static_cast<unsigned char>(ascii_upper(b[i]));
            if (x != y)
                return x < y ? -1 : 1;
        }
        return a_length == b_length ? 0 : (a_length < b_length ? -1 : 1);
    }
    UpperReader x{a, a + a_length, 0};
    UpperReader y{b, b + b_length, 0};
    for (;;) {
        const int cx = x.next();
        const int cy = y.next();
        if (cx != cy)
            return cx < cy ? -1 : 1;
        if (cx < 0)
            return 0;
    }
}

void upper_in_place(char* name, size_t length)
{
    if (!is_double_byte_page()) {
        for (size_t i = 0; i < length; i++)
            name[i] = ascii_upper(name[i]);
        return;
    }
    const char* end = name + length;
    for (char* p = name; p < end;) {
        const size_t step = character_length(p, end);
        if (step == 1)
            *p = ascii_upper(*p);
        p += step;
    }
}

static bool fits(size_t used, size_t more, size_t out_size)
{
    return used + more < out_size;
}

// Outside the double-byte page no byte of a multibyte character is below 0x80, so the
// names can be read byte by byte.
static bool copy_plain_name(const char* host_name, char* out, size_t out_size, size_t* out_length)
{
    size_t used = 0;
    for (const char* p = host_name; *p != '\0'; p++) {
        if (is_forbidden_in_windows_name(static_cast<unsigned char>(*p)) || used + 1 >= out_size)
            return false;
        out[used++] = *p;
    }
    out[used] = '\0';
    *out_length = used;
    return true;
}

// The forbidden character that a U+F000 sequence at p stands for, or 0.
static unsigned char private_use_character(const char* p, const char* end)
{
    if (end - p < 3 || static_cast<unsigned char>(p[0]) != 0xEF)
        return 0;
    const unsigned char second = static_cast<unsigned char>(p[1]);
    const unsigned char third = static_cast<unsigned char>(p[2]);
    if ((second != 0x80 && second != 0x81) || (third & 0xC0) != 0x80)
        return 0;
    const unsigned char c = static_cast<unsigned char>(((second & 0x3F) << 6) | (third & 0x3F));
    return c != 0 && is_forbidden_in_windows_name(c) ? c : 0;
}

// Whether a host name holds a sequence that host_name_of would read as a forbidden
// character: U+F000 plus the code of one (U+F03A for ':'), the only characters the
// mapping produces. Other private-use characters map to themselves and stay. Every byte
// position counts, as host_name_of reads them all.
static bool holds_private_use_form(const char* host_name)
{
    for (const char* p = strchr(host_name, '\xEF'); p != nullptr; p = strchr(p + 1, '\xEF')) {
        if (private_use_character(p, p + strnlen(p, 3)) != 0)
            return true;
    }
    return false;
}

bool windows_name_of(const char* host_name, char* out, size_t out_size, size_t* out_length)
{
    const bool utf8 = GetACP() == CP_UTF8;
    if (utf8 && holds_private_use_form(host_name))
        return false;
    if (!is_double_byte_page() && copy_plain_name(host_name, out, out_size, out_length))
        return true;
    const char* end = host_name + strlen(host_name);
    size_t used = 0;
    for (const char* p = host_name; p < end;) {
        const size_t step = character_length(p, end);
        const unsigned char c = static_cast<unsigned char>(*p);
        if (step == 1 && is_forbidden_in_windows_name(c)) {
            if (!utf8 || !fits(used, 3, out_size))
                return false;
            out[used++] = static_cast<char>(0xEF);
            out[used++] = static_cast<char>(0x80 | (c >> 6));
            out[used++] = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            if (!fits(used, step, out_size))
                return false;
            memcpy(out + used, p, step);
            used += step;
        }
        p += step;
    }
    out[used] = '\0';
    *out_length = used;
    return true;
}

bool is_own_host_form(const char* windows_text, size_t length)
{
    return GetACP() != CP_UTF8 || memchr(windows_text, 0xEF, length) == nullptr;
}

void host_name_of(const char* windows_name, size_t length, std::string& out)
{
    if (is_own_host_form(windows_name, length)) {
        out.append(windows_name, length);
        return;
    }
    const char* end = windows_name + length;
    // Only a sequence that begins with 0xEF can stand for a forbidden character: the text
    // between two of them is copied as it is.
    for (const char* p = windows_name; p < end;) {
        const void* lead = memchr(p, 0xEF, static_cast<size_t>(end - p));
        const char* next = lead != nullptr ? static_cast<const char*>(lead) : end;
        out.append(p, static_cast<size_t>(next - p));
        if (next == end)
            break;
        const unsigned char forbidden = private_use_character(next, end);
        out.push_back(forbidden != 0 ? static_cast<char>(forbidden) : *next);
        p = next + (forbidden != 0 ? 3 : 1);
    }
}

const char* name_after_last(const char* text, const char* end, const char* separators)
{
    // Outside the double-byte page no byte of a multibyte character is below 0x80, so a
    // separator byte is always a separator and the text can be read from its end.
    if (!is_double_byte_page()) {
        for (const char* p = end; p > text; p--) {
            if (strchr(separators, p[-1]) != nullptr)
                return p;
        }
        return text;
    }
    const char* name = text;
    for (const char* p = text; p < end; p += character_length(p, end)) {
        if (strchr(separators, *p) != nullptr)
            name = p + 1;
    }
    return name;
}

bool ends_in_separator(const char* text, size_t length)
{
    if (length == 0 || !is_path_separator(text[length - 1]))
        return false;
    if (!is_double_byte_page())
        return true;
    const char* end = text + length;
    const char* last = text;
    for (const char* p = text; p < end; p += character_length(p, end))
        last = p;
    return last == end - 1;
}

bool has_wildcards(const char* name, size_t length)
{
    if (!is_double_byte_page())
        return memchr(name, '*', length) != nullptr || memchr(name, '?', length) != nullptr;
    const char* end = name + length;
    for (const char* p = name; p < end;) {
        const size_t step = character_length(p, end);
        if (step == 1 && (*p == '*' || *p == '?'))
            return true;
        p += step;
    }
    return false;
}

bool component_is_valid(const char* name, size_t length, bool wildcards_allowed)
{
    if (!is_double_byte_page()) {
        for (size_t i = 0; i < length; i++) {
            const unsigned char c = static_cast<unsigned char>(name[i]);
            if (is_forbidden_in_windows_name(c) && !(wildcards_allowed && (c == '*' || c == '?')))
                return false;
        }
        return true;
    }
    const char* end = name + length;
    for (const char* p = name; p < end;) {
        const size_t step = character_length(p, end);
        const unsigned char c = static_cast<unsigned char>(*p);
        if (step == 1 && is_forbidden_in_windows_name(c)) {
            if (!(wildcards_allowed && (c == '*' || c == '?')))
                return false;
        }
        p += step;
    }
    return true;
}
