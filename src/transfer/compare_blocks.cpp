// The block loop shared by the comparison after a copy, before a deletion and by verify.
#include "transfer/compare_blocks.h"

#include <cstring>

#include "console/keys.h"
#include "console/standard_output.h"
#include "records/transfer_buffers.h"

HANDLE open_for_reading(const char* path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

void print_open_failure(const Message& message, const char* prefix, const char* path)
{
    const DWORD code = GetLastError();
    print_highlighted(stdout, text(message), prefix, path, static_cast<int>(code), static_cast<unsigned long>(code));
}

// Reads exactly length bytes; a short read is a failure, as the file changed under us.
static bool read_block(HANDLE file, unsigned char* buffer, DWORD length)
{
    DWORD got = 0;
    return ReadFile(file, buffer, length, &got, nullptr) && got == length;
}

BlockComparison compare_blocks(HANDLE source, HANDLE destination, TransferProgress* progress)
{
    do {
        const DWORD length =
            progress->remaining < IO_BUFFER_SIZE ? static_cast<DWORD>(progress->remaining) : IO_BUFFER_SIZE;
        if (!read_block(source, io_buffer, length))
            return BLOCKS_SOURCE_FAILED;
        if (!read_block(destination, compare_buffer, length))
            return BLOCKS_DESTINATION_FAILED;
        if (memcmp(io_buffer, compare_buffer, length) != 0)
            return BLOCKS_DIFFERENT;
        progress->remaining -= length;
        show_transfer_progress(progress);
        // ESC after the last block no longer matters: the files were compared.
        if (poll_abort_keys(nullptr, 0))
            return progress->remaining == 0 ? BLOCKS_EQUAL : BLOCKS_ABORTED;
    } while (progress->remaining > 0);
    return BLOCKS_EQUAL;
}
