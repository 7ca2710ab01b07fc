// Stepping through text in the console code page one character at a time.
//
// A double-byte character (or a UTF-8 sequence) is one unit, so its trail byte is never
// taken for '\', ':', '.', a quote or a wildcard.
#pragma once

#include "platform/platform.h"

// The character after the one at p; p itself at the end of the text. An ASCII byte is
// one character in every code page (no lead byte is below 0x80), and paths are mostly
// ASCII: those bytes are stepped here, without a call per character.
inline char* next_char(const char* p)
{
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c != 0 && c < 0x80)
        return const_cast<char*>(p + 1);
    return CharNextA(p);
}

// The first character c (an ASCII character) in text, or null.
char* find_char(const char* text, char c);

// The start of the last character of text, or null when text is empty.
char* last_char(const char* text);

// An ASCII letter in upper case; every other byte as it is.
char upper_ascii(char c);

// Whether the characters at a and b are the same: single bytes equal after folding
// ASCII letters, multibyte characters byte for byte, never one of each.
bool same_character(const char* a, const char* b);

// same_character for characters whose ends the caller has already stepped to.
bool same_character_span(const char* a, const char* a_end, const char* b, const char* b_end);
