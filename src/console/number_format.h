// Sizes as comma-grouped decimal numbers, the size column and the attribute column.
#pragma once

#include <cstdint>

// The value in decimal with ',' between groups of three digits and no leading zeros.
// The text lives in one process-wide buffer that the next call overwrites.
const char* format_grouped(uint64_t value);

// The size column on standard output: a file's size right-aligned in 14 characters and
// a blank, or 15 blanks for a directory. compact: the size and a blank, nothing for a
// directory. The size is size_high * 2^32 + size_low.
void print_size_field(uint32_t size_low, uint32_t size_high, uint32_t attributes, int compact);

// The same column at the cursor, which moves on; returns the characters written (at
// most 27).
int format_size_field(char** cursor, uint32_t size_low, uint32_t size_high, uint32_t attributes, int compact);

// The six attribute letters "ad-shr", '-' for each bit that is clear, on standard output.
void print_attributes(uint32_t attributes);

// The six letters at the cursor, which moves on; returns 6.
int format_attributes(char** cursor, uint32_t attributes);
