// The facts of many directory entries asked of the host in one submission (io_uring).
#pragma once

#include <cstddef>
#include <fcntl.h>
#include <sys/stat.h>

// One entry: its status, not following a link, relative to the open directory, and its
// stored attribute bits, following a link, by path (io_uring reads attributes by path
// only).
struct FactRequest {
    int directory_fd;
    const char* name;
    const char* host_path;
    struct statx status;
    int status_result;   // 0 or the errno of the failure
    char value[64];
    int value_length;    // length of the value read, or -1 when none was
};

// Most requests one call fetches.
const size_t FACT_BATCH = 64;

// Fetches the facts of count requests (at most FACT_BATCH). False when the host refuses
// io_uring (an old kernel, io_uring_disabled, a sandbox) or ORVA_NO_IO_URING is set:
// the caller then asks for each entry in turn.
bool fetch_facts(FactRequest* requests, size_t count);

// Turns the batches off or back on for the rest of the run (on only where the host
// allows them).
void enable_fact_batches(bool enabled);
