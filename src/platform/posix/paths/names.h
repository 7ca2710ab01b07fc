// Names as the program sees them and as the host stores them: character stepping in the
// code page, ASCII upper-casing, and the U+F000 form of characters Windows names refuse.
#pragma once

#include <array>
#include <cstddef>
#include <string>

inline bool is_path_separator(char c)
{
    return c == '\\' || c == '/';
}

inline char ascii_upper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t multibyte_character_length(const char* p, const char* end);

// Bytes of the character at p, never past end (at least 1 when p < end). An ASCII byte is
// a character of its own in every code page the layer knows, and names are mostly
// ASCII, so only other bytes ask the code page.
inline size_t character_length(const char* p, const char* end)
{
    if (p < end && static_cast<unsigned char>(*p) < 0x80)
        return 1;
    return multibyte_character_length(p, end);
}

// Compares two names byte by byte after ASCII upper-casing, as NTFS orders them.
// A letter byte inside a double-byte character is not upper-cased.
int compare_upper(const char* a, size_t a_length, const char* b, size_t b_length);

// Upper-cases the ASCII letters of a name in place, skipping double-byte characters.
void upper_in_place(char* name, size_t length);

// The characters that a Windows name cannot hold: control characters and \ : * ? " < > |.
// Built when the program is compiled: every byte of every path is looked up here.
inline constexpr std::array<bool, 256> FORBIDDEN_IN_NAMES = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; c++)
        table[c] = true;
    for (const char* p = "\\:*?\"<>|"; *p != '\0'; p++)
        table[static_cast<unsigned char>(*p)] = true;
    return table;
}();

inline bool is_forbidden_in_windows_name(unsigned char c)
{
    return FORBIDDEN_IN_NAMES[c];
}

// Where the name after the last of the given separator characters begins in text (up
// to end), text itself when there is none. Read by character: under the double-byte
// page a trail byte may be the byte of '\'.
const char* name_after_last(const char* text, const char* end, const char* separators);

// Whether the text ends in '\' or '/' as a character of its own: under the double-byte
// page a last byte 0x5C may be the trail byte of a character.
bool ends_in_separator(const char* text, size_t length);

// The Windows form of a host name, written to out (bounded by out_size, terminated).
// Under UTF-8 each forbidden character becomes U+F000 plus its code, and a host name that
// already holds such a character cannot be shown: it would read as another name. Under
// other code pages a name with a forbidden character cannot be shown. The result is
// false for a name that cannot be shown and for a form that does not fit in out.
bool windows_name_of(const char* host_name, char* out, size_t out_size, size_t* out_length);

// Appends to out the host form of one component of a Windows path: the U+F000
// characters that stand for forbidden ones turn back into them under UTF-8.
void host_name_of(const char* windows_name, size_t length, std::string& out);

// Whether Windows text is its own host form (host_name_of would copy it as it is): true
// outside UTF-8, and for a text where no U+F000 form can begin (no 0xEF byte).
bool is_own_host_form(const char* windows_text, size_t length);

// Whether the component holds characters the layer must refuse in a Windows name;
// wildcards count when wildcards_allowed is false.
bool component_is_valid(const char* name, size_t length, bool wildcards_allowed);

bool has_wildcards(const char* name, size_t length);
