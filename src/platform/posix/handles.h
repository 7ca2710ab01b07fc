// The objects behind the layer's HANDLE values.
//
// A HANDLE of the layer points at one of these; INVALID_HANDLE_VALUE and null point at
// nothing. The three standard handles are static objects over descriptors 0, 1 and 2;
// files, directory searches and the console device are allocated when opened and freed
// when closed.
#pragma once

#include <string>

#include "platform/platform.h"

enum class HandleKind { standard_stream, file, search, console_input };

struct SearchState;

struct HandleObject {
    HandleKind kind;
    int fd;
    // Set while the object is alive, so that a stale or foreign pointer is refused
    // instead of being used.
    uint32_t magic;
    bool is_directory;
    SearchState* search;
    // A link opened for itself (FILE_FLAG_OPEN_REPARSE_POINT): its host path, since the
    // host sets a link's own times by path only. Empty for every other handle.
    std::string link_path = {};
};

// The object behind a handle, or null for INVALID_HANDLE_VALUE, null and dead objects.
HandleObject* handle_object(HANDLE handle);

// A new object of that kind; null when memory is short.
HandleObject* new_handle_object(HandleKind kind, int fd);
void free_handle_object(HandleObject* object);
