// Verify in content mode: the size test, then both files block by block.
#include "transfer/verify_content.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/walk_state.h"
#include "transfer/compare_blocks.h"
#include "transfer/same_file.h"
#include "transfer/verify_line.h"

// Which side failed; an interruption by ESC is none of them and stops the run quietly.
const int SOURCE_ERROR = 1;
const int DESTINATION_ERROR = 2;
const int INTERRUPTED = 4;

static void report_error(const Message& message, const char* path)
{
    show_verify_header();
    print_highlighted(stdout, text(message), "\n", path);
}

static void report_open_error(const Message& message, const char* path)
{
    const DWORD code = GetLastError();
    show_verify_header();
    print_highlighted(stdout, text(message), "\n", path, static_cast<int>(code), static_cast<unsigned long>(code));
}

static int close_verified(HANDLE file, const Message& message, const char* path, int side)
{
    if (file == INVALID_HANDLE_VALUE || CloseHandle(file))
        return 0;
    report_error(message, path);
    return side;
}

// The block loop over both open files; the error bits of its outcome, *same when all
// bytes agreed.
static int compare_contents(HANDLE source, HANDLE destination, bool* same)
{
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    TransferProgress progress;
    start_transfer_progress(&progress, entry_size(entry));
    const BlockComparison outcome = compare_blocks(source, destination, &progress);
    if (outcome == BLOCKS_SOURCE_FAILED) {
        report_error(MSG_READ_SOURCE_FAILED, walk.source_path);
        return SOURCE_ERROR;
    }
    if (outcome == BLOCKS_DESTINATION_FAILED) {
        report_error(MSG_READ_DESTINATION_FAILED, walk.dest_path);
        return DESTINATION_ERROR;
    }
    if (outcome == BLOCKS_ABORTED)
        return INTERRUPTED;
    // A difference ends the figures too, before its text.
    if (settings.show_progress)
        print_final_figure(&progress, " ");
    *same = outcome == BLOCKS_EQUAL;
    return 0;
}

// Where an open failed, whether the paths are one file, which is told before the failure;
// the failure's code is kept for its report.
static bool own_source_unopened()
{
    const DWORD code = GetLastError();
    const bool own = destination_is_source();
    SetLastError(code);
    return own;
}

// The files' identity is asked of the open handles, which costs no lookup of either path.
int verify_file_contents()
{
    const WIN32_FIND_DATAA& entry = walk.current_level->find_data;
    // Decided from the directory records, without opening either file.
    if (entry.nFileSizeLow != walk.dest_find_data.nFileSizeLow ||
        entry.nFileSizeHigh != walk.dest_find_data.nFileSizeHigh)
        return report_discord(text(MSG_VERIFY_DIFFERENT));
    int error_bits = 0;
    bool same = false;
    HANDLE source = open_for_reading(walk.source_path);
    HANDLE destination = source == INVALID_HANDLE_VALUE ? INVALID_HANDLE_VALUE : open_for_reading(walk.dest_path);
    if (destination != INVALID_HANDLE_VALUE ? same_open_file(source, destination) : own_source_unopened()) {
        close_verified(destination, MSG_CLOSE_COMPARED_FAILED, walk.dest_path, DESTINATION_ERROR);
        close_verified(source, MSG_CLOSE_SOURCE_FAILED, walk.source_path, SOURCE_ERROR);
        show_verify_header();
        return refuse_own_source();
    }
    if (source == INVALID_HANDLE_VALUE) {
        report_open_error(MSG_CANNOT_OPEN_SOURCE, walk.source_path);
        error_bits = SOURCE_ERROR;
    } else if (destination == INVALID_HANDLE_VALUE) {
        report_open_error(MSG_CANNOT_OPEN_COMPARED, walk.dest_path);
        error_bits = DESTINATION_ERROR;
    } else {
        error_bits = compare_contents(source, destination, &same);
    }
    error_bits |= close_verified(destination, MSG_CLOSE_COMPARED_FAILED, walk.dest_path, DESTINATION_ERROR);
    error_bits |= close_verified(source, MSG_CLOSE_SOURCE_FAILED, walk.source_path, SOURCE_ERROR);
    if (error_bits & INTERRUPTED)
        return 0;
    if (error_bits != 0)
        return failure_exit();
    if (!same)
        return report_discord(text(MSG_VERIFY_DIFFERENT));
    if (settings.verify_show_all || settings.show_progress)
        fputs(text(MSG_VERIFY_SAME), stdout);
    settings.verified_count++;
    return 1;
}
