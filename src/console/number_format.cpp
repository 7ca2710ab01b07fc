// Number, size and attribute formatting for the listing, tree and attribute lines.
#include "console/number_format.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

// 20 digits and 6 commas: every 64-bit value fits with its leading zeros.
const int GROUPED_LENGTH = 26;

static char grouped_text[32];

// Written from the last digit backwards, every group of three full, so that the text
// keeps its leading zeros in the buffer (the shown text is its tail).
const char* format_grouped(uint64_t value)
{
    char* at = grouped_text + GROUPED_LENGTH;
    *at = '\0';
    const char* first = at - 1;
    for (int digits = 0; digits < 20; digits++) {
        if (digits > 0 && digits % 3 == 0)
            *--at = ',';
        *--at = static_cast<char>('0' + value % 10);
        if (value % 10 != 0)
            first = at;
        value /= 10;
    }
    return first;
}

int format_size_field(char** cursor, uint32_t size_low, uint32_t size_high, uint32_t attributes, int compact)
{
    char* at = *cursor;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A directory's blanks are as wide as a 14-character size and its blank.
        if (!compact) {
            memset(at, ' ', 15);
            at += 15;
        }
    } else {
        const char* text = format_grouped((static_cast<uint64_t>(size_high) << 32) | size_low);
        const size_t length = strlen(text);
        // A size beyond 14 characters widens the column rather than losing digits.
        if (!compact && length < 14) {
            memset(at, ' ', 14 - length);
            at += 14 - length;
        }
        memcpy(at, text, length);
        at += length;
        *at++ = ' ';
    }
    const int written = static_cast<int>(at - *cursor);
    *cursor = at;
    return written;
}

void print_size_field(uint32_t size_low, uint32_t size_high, uint32_t attributes, int compact)
{
    char buffer[32];
    char* cursor = buffer;
    format_size_field(&cursor, size_low, size_high, attributes, compact);
    *cursor = '\0';
    fputs(buffer, stdout);
}

int format_attributes(char** cursor, uint32_t attributes)
{
    char* at = *cursor;
    at[0] = (attributes & FILE_ATTRIBUTE_ARCHIVE) ? 'a' : '-';
    at[1] = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 'd' : '-';
    at[2] = '-';
    at[3] = (attributes & FILE_ATTRIBUTE_SYSTEM) ? 's' : '-';
    at[4] = (attributes & FILE_ATTRIBUTE_HIDDEN) ? 'h' : '-';
    at[5] = (attributes & FILE_ATTRIBUTE_READONLY) ? 'r' : '-';
    *cursor = at + 6;
    return 6;
}

void print_attributes(uint32_t attributes)
{
    char letters[8];
    char* cursor = letters;
    format_attributes(&cursor, attributes);
    *cursor = '\0';
    fputs(letters, stdout);
}
