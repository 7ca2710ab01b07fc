// 8.3 names: which names are valid short names, and the parts of a generated alias.
#pragma once

#include <cstddef>

// Whether a name, upper-cased, is a valid 8.3 name (at most eight characters, one dot,
// at most three after it, only characters a short name may hold).
bool is_valid_short_name(const char* name, size_t length);

// The upper-cased valid characters an alias is made from: up to six of the name before
// its last dot, and up to three of its extension.
struct AliasStem {
    char base[8];
    size_t base_length;
    char extension[4];
    size_t extension_length;
};
void alias_stem_of(const char* name, size_t length, AliasStem* stem);

// Writes BASE~N.EXT (the base shortened so that the whole stays within eight
// characters) and returns its length; out holds at least 13 bytes.
size_t format_alias(const AliasStem& stem, unsigned number, char* out);
