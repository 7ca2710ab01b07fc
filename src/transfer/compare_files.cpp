// The content comparison after a copy (V) and before a deletion (/RV).
#include "transfer/compare_files.h"

#include <cstdio>

#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "transfer/compare_blocks.h"
#include "transfer/compare_links.h"

// Closes an opened file; a failure turns any outcome into -1.
static void close_compared(HANDLE file, const Message& message, const char* prefix, const char* path, int* result)
{
    if (file == INVALID_HANDLE_VALUE || CloseHandle(file))
        return;
    print_highlighted(stdout, text(message), prefix, path);
    *result = -1;
}

int compare_files(int newline_prefix)
{
    if (links_compared())
        return compare_link_entry(newline_prefix);
    const char* prefix = newline_prefix ? "\n" : "";
    int result = -1;
    HANDLE destination = INVALID_HANDLE_VALUE;
    HANDLE source = open_for_reading(walk.source_path);
    if (source == INVALID_HANDLE_VALUE) {
        print_open_failure(MSG_CANNOT_OPEN_SOURCE, prefix, walk.source_path);
    } else if ((destination = open_for_reading(walk.dest_path)) == INVALID_HANDLE_VALUE) {
        print_open_failure(MSG_CANNOT_OPEN_COMPARED, prefix, walk.dest_path);
    } else {
        TransferProgress progress;
        start_transfer_progress(&progress, entry_size(walk.current_level->find_data));
        if (settings.show_progress)
            fputs(" ", stdout);
        switch (compare_blocks(source, destination, &progress)) {
        case BLOCKS_EQUAL:
            if (settings.show_progress)
                print_final_figure(&progress, " ");
            result = 1;
            break;
        case BLOCKS_DIFFERENT: result = 0; break;
        case BLOCKS_SOURCE_FAILED:
            print_highlighted(stdout, text(MSG_READ_SOURCE_FAILED), prefix, walk.source_path);
            break;
        case BLOCKS_DESTINATION_FAILED:
            print_highlighted(stdout, text(MSG_READ_DESTINATION_FAILED), prefix, walk.dest_path);
            break;
        case BLOCKS_ABORTED: break;
        }
    }
    close_compared(destination, MSG_CLOSE_COMPARED_FAILED, prefix, walk.dest_path, &result);
    close_compared(source, MSG_CLOSE_SOURCE_FAILED, prefix, walk.source_path, &result);
    return result;
}
