// Number, size and attribute formatting for the listing, tree and attribute lines.
#include "console/number_format.h"

#include <cstdio>

#include "platform/platform.h"

// 20 digits and 6 commas: every 64-bit value fits with its leading zeros.
const int GROUPED_LENGTH = 26;
const uint64_t TEN_TO_18 = 1000000000000000000ull;
const uint64_t TEN_TO_9 = 1000000000ull;

static char grouped_text[32];

// Only the first two divisions need 64 bits; every field then fits in 32, and unsigned
// long is 32 bits wide on Windows.
const char* format_grouped(uint64_t value)
{
    const uint64_t rest = value % TEN_TO_18;
    const uint32_t billions = static_cast<uint32_t>(rest / TEN_TO_9);
    const uint32_t units = static_cast<uint32_t>(rest % TEN_TO_9);
    snprintf(grouped_text, sizeof grouped_text, "%02lu,%03lu,%03lu,%03lu,%03lu,%03lu,%03lu",
             static_cast<unsigned long>(value / TEN_TO_18), static_cast<unsigned long>(billions / 1000000),
             static_cast<unsigned long>(billions % 1000000 / 1000), static_cast<unsigned long>(billions % 1000),
             static_cast<unsigned long>(units / 1000000), static_cast<unsigned long>(units % 1000000 / 1000),
             static_cast<unsigned long>(units % 1000));
    // The last digit is kept even when it is 0, so that 0 reads "0".
    for (int i = 0; i < GROUPED_LENGTH - 1; i++)
        if (grouped_text[i] >= '1' && grouped_text[i] <= '9')
            return grouped_text + i;
    return grouped_text + GROUPED_LENGTH - 1;
}

void print_size_field(uint32_t size_low, uint32_t size_high, uint32_t attributes, int compact)
{
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        // A directory's blanks are as wide as a 14-character size and its blank.
        if (!compact)
            fputs("               ", stdout);
        return;
    }
    const char* text = format_grouped((static_cast<uint64_t>(size_high) << 32) | size_low);
    // A size beyond 14 characters widens the column rather than losing digits.
    if (compact)
        printf("%s ", text);
    else
        printf("%14s ", text);
}

void print_attributes(uint32_t attributes)
{
    const char letters[7] = {
        (attributes & FILE_ATTRIBUTE_ARCHIVE) ? 'a' : '-',
        (attributes & FILE_ATTRIBUTE_DIRECTORY) ? 'd' : '-',
        '-',
        (attributes & FILE_ATTRIBUTE_SYSTEM) ? 's' : '-',
        (attributes & FILE_ATTRIBUTE_HIDDEN) ? 'h' : '-',
        (attributes & FILE_ATTRIBUTE_READONLY) ? 'r' : '-',
        '\0',
    };
    fputs(letters, stdout);
}
