// Reading a source file and its destination side by side, block by block.
#pragma once

#include "messages/messages.h"
#include "platform/platform.h"
#include "transfer/transfer_progress.h"

// Opens a file for a sequential read that others may go on reading and writing.
HANDLE open_for_reading(const char* path);

// Shows why a file could not be opened: a text taking a prefix, the path and the
// system's code twice. Called right after the failed open, whose code it reads.
void print_open_failure(const Message& message, const char* prefix, const char* path);

enum BlockComparison {
    BLOCKS_EQUAL,            // every planned byte compared equal
    BLOCKS_DIFFERENT,        // a block differed
    BLOCKS_SOURCE_FAILED,    // a source read failed or came back short
    BLOCKS_DESTINATION_FAILED,
    BLOCKS_ABORTED           // ESC before the last block
};

// Compares the first progress->total bytes of the two open files through the two
// transfer buffers, showing progress with /P and polling ESC after every block. A
// destination longer than the source compares equal when its leading bytes do.
BlockComparison compare_blocks(HANDLE source, HANDLE destination, TransferProgress* progress);
