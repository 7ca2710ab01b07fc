// Holes: telling a file that has them, and leaving them in its copy.
//
// A piece is the 4 KiB of a file that starts at a multiple of 4 KiB, the block size of
// the common Linux file systems; a piece of zeros is not written, whatever the lengths
// of the writes that bring it. A copy made this way uses what its source uses, within a
// block at each end of every run of data.
#include "platform/posix/files/holes.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <unistd.h>

static const size_t PIECE = 4096;

// Below this size a file whose blocks would hold it is not asked for its holes: that
// costs three host calls, and what such a file could save is a block or two.
static const off_t SIZE_WORTH_ASKING = 64 * 1024;

bool has_holes(int fd, const struct stat& status)
{
    if (static_cast<off_t>(status.st_blocks) * 512 < status.st_size)
        return true;
    if (status.st_size < SIZE_WORTH_ASKING)
        return false;
    const off_t position = lseek(fd, 0, SEEK_CUR);
    const off_t hole = lseek(fd, 0, SEEK_HOLE);
    if (position >= 0)
        lseek(fd, position, SEEK_SET);
    return hole >= 0 && hole < status.st_size;
}

int write_all(int fd, const char* data, size_t length, size_t* written)
{
    size_t done = 0;
    while (done < length) {
        const ssize_t put = write(fd, data + done, length - done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            *written = done;
            return put == 0 ? ENOSPC : errno;
        }
        done += static_cast<size_t>(put);
    }
    *written = done;
    return 0;
}

// Ordinary data stops at its first word; zeros are read 64 bytes at a time, which the
// compiler turns into vector loads.
static bool is_zeros(const char* bytes, size_t length)
{
    uint64_t word = 0;
    if (length >= sizeof word) {
        memcpy(&word, bytes, sizeof word);
        if (word != 0)
            return false;
    }
    size_t at = 0;
    for (; length - at >= 64; at += 64) {
        uint64_t words[8];
        memcpy(words, bytes + at, sizeof words);
        uint64_t any = 0;
        for (uint64_t each : words)
            any |= each;
        if (any != 0)
            return false;
    }
    for (; at < length; at++) {
        if (bytes[at] != 0)
            return false;
    }
    return true;
}

// Where the piece that holds data[at] ends in data.
static size_t piece_end(off_t start, size_t at, size_t length)
{
    const uint64_t offset = static_cast<uint64_t>(start) + at;
    const size_t left = static_cast<size_t>(PIECE - offset % PIECE);
    return length - at < left ? length : at + left;
}

// Zeros are skipped only past the file's end, where the file reads as zeros anyway; a
// write over data already there writes them.
static bool skips(const char* data, off_t start, size_t at, size_t end, off_t file_end)
{
    return start + static_cast<off_t>(at) >= file_end && is_zeros(data + at, end - at);
}

int write_keeping_holes(int fd, const char* data, size_t length, off_t* size, size_t* written)
{
    *written = 0;
    const off_t start = lseek(fd, 0, SEEK_CUR);
    if (start < 0)
        return errno;
    off_t file_end = *size;
    size_t done = 0;
    while (done < length) {
        size_t zeros = done;
        while (zeros < length && !skips(data, start, zeros, piece_end(start, zeros, length), file_end))
            zeros = piece_end(start, zeros, length);
        size_t put = 0;
        const int failure = write_all(fd, data + done, zeros - done, &put);
        if (failure != 0) {
            *written = done + put;
            return failure;
        }
        if (zeros > done && start + static_cast<off_t>(zeros) > file_end)
            file_end = start + static_cast<off_t>(zeros);
        size_t after = zeros;
        while (after < length && skips(data, start, after, piece_end(start, after, length), file_end))
            after = piece_end(start, after, length);
        if (after > zeros && lseek(fd, static_cast<off_t>(after - zeros), SEEK_CUR) < 0) {
            *written = zeros;
            return errno;
        }
        done = after;
    }
    const off_t end = start + static_cast<off_t>(length);
    if (end > file_end && ftruncate(fd, end) != 0) {
        *written = static_cast<size_t>(file_end > start ? file_end - start : 0);
        return errno;
    }
    *size = end > file_end ? end : file_end;
    *written = length;
    return 0;
}
