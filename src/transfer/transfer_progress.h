// The progress field of a file being copied or compared: percentage and rate, shown on
// standard output at most every half second and rewritten in place.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct TransferProgress {
    uint64_t total;                // planned bytes; grows with a source that grows
    uint64_t remaining;            // bytes still to do
    uint64_t remaining_at_display; // remaining when the last figure was shown
    DWORD start_tick;
    DWORD display_tick;
};

// Starts the count of a file of total bytes, now.
void start_transfer_progress(TransferProgress* progress, uint64_t total);

// After a block: with /P, shows the next figure once half a second has passed.
void show_transfer_progress(TransferProgress* progress);

// The final figure of a finished file: the rate up to the last figure shown, or dashes
// when none was. The copy ends it with nothing, the comparisons with a space.
void print_final_figure(const TransferProgress* progress, const char* trailer);
