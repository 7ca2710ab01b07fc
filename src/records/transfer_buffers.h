// The two transfer buffers the driver allocates for the operations that read contents.
#pragma once

#include <cstddef>

const size_t IO_BUFFER_SIZE = 65536;

extern unsigned char* io_buffer;
extern unsigned char* compare_buffer;
