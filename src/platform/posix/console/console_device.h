// The console device as the rest of the layer reaches it: CONIN$ and reads from it.
#pragma once

#include "platform/platform.h"

// CreateFileA("CONIN$"): a handle on the terminal, or INVALID_HANDLE_VALUE with the last
// error set when there is no terminal.
HANDLE open_console_device();

// ReadFile on the console device: the pending keys' characters first, then the terminal.
BOOL read_console_bytes(int fd, LPVOID buffer, DWORD to_read, LPDWORD read);
