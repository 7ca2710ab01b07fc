// The two transfer buffers; the driver allocates them before the walk and frees them after.
#include "records/transfer_buffers.h"

unsigned char* io_buffer = nullptr;
unsigned char* compare_buffer = nullptr;
