// Deleting one file whatever its attributes.
#pragma once

#include "platform/platform.h"

// The attributes that make Windows refuse to delete or remove an entry.
const DWORD PROTECTING_ATTRIBUTES = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// Clears read-only, hidden and system first, then deletes. 1 = deleted; 0 = not, with
// the reason shown.
int delete_file(const char* path);
