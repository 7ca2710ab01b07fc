// The running total of /S, in bytes or in clusters of the chosen size.
#include "report/size_summation.h"

#include <cstdio>

#include "messages/messages.h"
#include "records/run_settings.h"
#include "records/walk_state.h"
#include "walk/name_forms.h"

// Leading zeros and the commas among them become blanks; the last digit stays.
static void blank_leading_zeros(char* number)
{
    char* end = number;
    while ((*end >= '0' && *end <= '9') || *end == ',')
        end++;
    for (char* p = number; p + 1 < end && (*p < '1' || *p > '9'); p++)
        *p = ' ';
}

void add_and_print_size(uint64_t size)
{
    const uint64_t units = size / settings.size_unit + (size % settings.size_unit != 0 ? 1 : 0);
    settings.size_total += units;
    const uint64_t high = settings.size_total / 1000000;
    const unsigned long low = static_cast<unsigned long>(settings.size_total % 1000000);
    char line[96];
    if (settings.size_unit == 1) {
        snprintf(line, sizeof line, MSG_SIZE_BYTES, static_cast<unsigned long>(high / 1000),
                 static_cast<unsigned long>(high % 1000), low / 1000, low % 1000);
    } else {
        int length = snprintf(line, sizeof line, MSG_SIZE_CLUSTERS, static_cast<unsigned long>(high), low / 1000,
                              low % 1000);
        if (settings.size_unit == 512)
            snprintf(line + length, sizeof line - static_cast<size_t>(length), "%s", MSG_SIZE_HALF_KBYTES);
        else
            snprintf(line + length, sizeof line - static_cast<size_t>(length), MSG_SIZE_KBYTES,
                     static_cast<unsigned long>(settings.size_unit / 1024));
    }
    blank_leading_zeros(line);
    if (!settings.size_total_only)
        fputs(line, stdout);
}

int size_entry()
{
    walk.pause_counter++;
    add_and_print_size(entry_size(walk.current_level->find_data));
    if (!settings.size_total_only)
        printf("%s\n", chosen_path());
    return 1;
}
