// The current directory as the program sees it: drive Z: and the host working directory.
#pragma once

#include <string>

#include "platform/platform.h"

// An absolute host path on drive Z: ("/home/u/x" gives "Z:" "home" "u" "x" joined by
// separator), each name in its Windows form. False when a name cannot be shown there:
// it stays as the host spells it.
bool windows_form_of_host(const char* host_path, char separator, std::string& text);

// "Z:\home\u\x" for the host directory /home/u/x, names in their Windows form.
// Returns ERROR_SUCCESS or the code of the failure.
DWORD windows_current_directory(std::string& text);

// Copies text into a caller's buffer the Windows way: when it does not fit, nothing is
// written and the result is the size needed with the terminator; else the length.
DWORD copy_to_caller(const std::string& text, LPSTR buffer, DWORD buffer_length);
