// The progress field of copies and comparisons.
#include "transfer/transfer_progress.h"

#include <cstdio>

#include "console/progress_cursor.h"
#include "messages/messages.h"
#include "records/console_state.h"
#include "records/transfer_buffers.h"

static const DWORD PROGRESS_INTERVAL_MS = 500;

void start_transfer_progress(TransferProgress* progress, uint64_t total)
{
    progress->total = total;
    progress->remaining = total;
    progress->remaining_at_display = total;
    progress->start_tick = GetTickCount();
    progress->display_tick = progress->start_tick;
    // A file of more than one block takes long enough that the line so far must be seen
    // while it runs; a small one is shown with its line end, as buffered output is.
    if (total > IO_BUFFER_SIZE)
        fflush(stdout);
}

void show_transfer_progress(TransferProgress* progress)
{
    if (!settings.show_progress)
        return;
    const DWORD now = GetTickCount();
    if (!(progress->display_tick + PROGRESS_INTERVAL_MS < now))
        return;
    // An empty file has nothing to divide by; it is as good as done.
    const uint64_t done = progress->total - progress->remaining;
    const int percent = progress->total == 0 ? 100 : static_cast<int>(done * 100 / progress->total);
    const int rate = static_cast<int>((progress->remaining_at_display - progress->remaining) * 1000 /
                                      (static_cast<uint64_t>(now - progress->display_tick) * 1024));
    print_progress_figure(stdout, console.output_handle, percent, rate);
    progress->display_tick = now;
    progress->remaining_at_display = progress->remaining;
}

void print_final_figure(const TransferProgress* progress, const char* trailer)
{
    if (progress->display_tick > progress->start_tick) {
        const uint64_t elapsed = static_cast<uint64_t>(progress->display_tick - progress->start_tick);
        printf(MSG_FINAL_FIGURE, static_cast<int>(progress->total * 1000 / (elapsed * 1024)));
    } else {
        printf(MSG_FINAL_FIGURE_UNMEASURED);
    }
    fputs(trailer, stdout);
}
