// The current directory as the program sees it: drive Z: and the host working directory.
#pragma once

#include <string>

#include "platform/platform.h"

// "Z:\home\u\x" for the host directory /home/u/x, names in their Windows form.
// Returns ERROR_SUCCESS or the code of the failure.
DWORD windows_current_directory(std::string& text);

// Copies text into a caller's buffer the Windows way: when it does not fit, nothing is
// written and the result is the size needed with the terminator; else the length.
DWORD copy_to_caller(const std::string& text, LPSTR buffer, DWORD buffer_length);
