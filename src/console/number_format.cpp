// Number, size and attribute formatting for the listing, tree and attribute lines.
#include "console/number_format.h"

#include <cstdio>
#include <cstring>

#include "platform/platform.h"

// 20 digits and 6 commas: every 64-bit value fits with its leading zeros.
const int GROUPED_LENGTH = 26;

static char grouped_text[32];

// Seven fields, each small enough for 32-bit arithmetic once 10^18 and 10^9 have split
// the value: the text is always 26 characters (the leading zeros stay in the buffer),
// and the result starts at its first digit 1 to 9, or at its last digit for 0: the
// value's digit count says where.
static char* put_group(char* at, uint32_t group)
{
    at[0] = ',';
    at[1] = static_cast<char>('0' + group / 100);
    at[2] = static_cast<char>('0' + group / 10 % 10);
    at[3] = static_cast<char>('0' + group % 10);
    return at + 4;
}

const char* format_grouped(uint64_t value)
{
    const uint32_t top = static_cast<uint32_t>(value / 1000000000000000000ull);
    const uint64_t rest = value % 1000000000000000000ull;
    const uint32_t high = static_cast<uint32_t>(rest / 1000000000u);
    const uint32_t low = static_cast<uint32_t>(rest % 1000000000u);
    char* at = grouped_text;
    *at++ = static_cast<char>('0' + top / 10);
    *at++ = static_cast<char>('0' + top % 10);
    at = put_group(at, high / 1000000);
    at = put_group(at, high / 1000 % 1000);
    at = put_group(at, high % 1000);
    at = put_group(at, low / 1000000);
    at = put_group(at, low / 1000 % 1000);
    at = put_group(at, low % 1000);
    *at = '\0';
    int digits = 1;
    for (uint64_t power = 10; digits < 20 && value >= power; power *= 10)
        digits++;
    return grouped_text + GROUPED_LENGTH - (digits + (digits - 1) / 3);
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
