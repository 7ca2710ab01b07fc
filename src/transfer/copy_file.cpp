// The copy of one file: the block loop, a source that grows, the times, and the end
// that keeps only a complete copy.
#include "transfer/copy_file.h"

#include <cstdio>

#include "console/failure_exit.h"
#include "console/keys.h"
#include "console/standard_output.h"
#include "messages/messages.h"
#include "records/transfer_buffers.h"
#include "records/walk_state.h"
#include "transfer/compare_blocks.h"
#include "transfer/compare_files.h"
#include "transfer/delete_file.h"
#include "transfer/destination_times.h"
#include "transfer/transfer_progress.h"

// The source is the template: the copy takes what the file system keeps beside the
// contents (on Linux its permission bits and holes).
static HANDLE open_destination(HANDLE source)
{
    DWORD flags = (walk.current_level->find_data.dwFileAttributes & 0xFFFF) | FILE_FLAG_SEQUENTIAL_SCAN;
    if (settings.write_through)
        flags |= FILE_FLAG_WRITE_THROUGH;
    return CreateFileA(walk.dest_path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, flags, source);
}

// A source written to while it is copied: once the planned bytes are done, the bytes
// added since join the copy, until a check finds no more. False when a seek failed.
static bool follow_growth(HANDLE source, TransferProgress* progress)
{
    LONG end_high = 0;
    const DWORD end_low = SetFilePointer(source, 0, &end_high, FILE_END);
    if (end_low == 0xFFFFFFFFu && static_cast<DWORD>(end_high) == 0xFFFFFFFFu)
        return false;
    const uint64_t end = (static_cast<uint64_t>(static_cast<DWORD>(end_high)) << 32) | end_low;
    const uint64_t copied = progress->total;
    if (end <= copied)
        return true;
    const uint64_t added = end - copied;
    progress->total += added;
    progress->remaining += added;
    progress->remaining_at_display += added;
    LONG back_high = static_cast<LONG>(copied >> 32);
    const DWORD back_low = SetFilePointer(source, static_cast<LONG>(static_cast<DWORD>(copied)), &back_high, FILE_BEGIN);
    return back_low == static_cast<DWORD>(copied) && static_cast<DWORD>(back_high) == static_cast<DWORD>(copied >> 32);
}

// Moves the bytes block by block. True when every byte was copied.
static bool copy_blocks(HANDLE source, HANDLE destination)
{
    TransferProgress progress;
    start_transfer_progress(&progress, entry_size(walk.current_level->find_data));
    if (settings.show_progress)
        fputs(" ", stdout);
    do {
        const DWORD length =
            progress.remaining < IO_BUFFER_SIZE ? static_cast<DWORD>(progress.remaining) : IO_BUFFER_SIZE;
        DWORD moved = 0;
        if (!ReadFile(source, io_buffer, length, &moved, nullptr) || moved < length) {
            print_highlighted(stdout, text(MSG_READ_SOURCE_FAILED), "\n", walk.source_path);
            break;
        }
        Sleep(0);
        if (!WriteFile(destination, io_buffer, length, &moved, nullptr) || moved < length) {
            print_highlighted(stdout, text(MSG_WRITE_DESTINATION_FAILED), walk.dest_path);
            break;
        }
        Sleep(0);
        progress.remaining -= length;
        show_transfer_progress(&progress);
        if (poll_abort_keys(nullptr, 0))
            break;
        if (progress.remaining == 0 && !follow_growth(source, &progress)) {
            print_highlighted(stdout, text(MSG_SEEK_SOURCE_FAILED), walk.source_path);
            break;
        }
    } while (progress.remaining > 0);
    if (progress.remaining > 0)
        return false;
    if (settings.show_progress)
        print_final_figure(&progress, "");
    return true;
}

// Closes both files. The destination stays only when everything before succeeded and
// it took its attributes; otherwise it is removed, as no half copy may stand for the
// file. True when the copy stands.
static bool finish_copy(HANDLE source, HANDLE destination, bool copied)
{
    if (destination != INVALID_HANDLE_VALUE) {
        if (!CloseHandle(destination)) {
            print_highlighted(stdout, text(MSG_CLOSE_WRITTEN_FAILED), walk.dest_path);
            copied = false;
        }
        if (copied && !SetFileAttributesA(walk.dest_path, walk.current_level->find_data.dwFileAttributes)) {
            print_highlighted(stdout, text(MSG_CHANGE_DESTINATION_ATTRIBUTES_FAILED), walk.dest_path);
            copied = false;
        }
        if (!copied)
            delete_file(walk.dest_path);
    }
    if (source != INVALID_HANDLE_VALUE && !CloseHandle(source)) {
        print_highlighted(stdout, text(MSG_CLOSE_SOURCE_FAILED), "\n", walk.source_path);
        copied = false;
    }
    return copied;
}

int verify_copy()
{
    fputs(text(MSG_COPY_VERIFY), stdout);
    const int result = compare_files(1);
    if (result == 0)
        print_highlighted(stdout, "%s", text(MSG_COPY_DIFFERENT));
    if (result == 1)
        fputs(text(MSG_COPY_DONE), stdout);
    return result == 1;
}

int copy_file(HANDLE source)
{
    bool copied = false;
    complete_file_attributes(source, &walk.current_level->find_data);
    HANDLE destination = open_destination(source);
    if (destination == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        print_highlighted(stdout, text(MSG_CANNOT_OPEN_WRITTEN), walk.dest_path, static_cast<int>(code),
                          static_cast<unsigned long>(code));
    } else {
        copied = copy_blocks(source, destination) && set_destination_times(destination);
    }
    if (!finish_copy(source, destination, copied))
        return failure_exit();
    if ((settings.operation & MOD_VERIFY) && !verify_copy())
        return failure_exit();
    if (settings.operation & MOD_REMOVE_SOURCE) {
        fputs(text(MSG_DELETE_SOURCE_FILE), stdout);
        if (!delete_file(walk.source_path))
            return failure_exit();
        walk.current_level->entries_left--;
    }
    fputs("\n", stdout);
    return 1;
}
