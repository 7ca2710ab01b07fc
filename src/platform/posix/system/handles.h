// The objects behind the layer's HANDLE values.
//
// A HANDLE of the layer points at one of these; INVALID_HANDLE_VALUE and null point at
// nothing. The three standard handles are static objects over descriptors 0, 1 and 2;
// files, directory searches and the console device are allocated when opened and freed
// when closed.
#pragma once

#include <memory>
#include <string>
#include <sys/stat.h>

#include "platform/platform.h"

enum class HandleKind { standard_stream, file, search, console_input };

struct SearchState;

// What CloseHandle still owes a file that CreateFileA made: its final permission bits and
// its name. Until then the file stays owner-readable and -writable, so that its stored
// attributes can be written by an owner who is not root, and a file that is not complete
// is never found under its name.
struct CreatedFile {
    // The host path it takes when it is closed; empty when it has had it from the start.
    std::string name;
    // Where it stands until then when the host could not make it without a name.
    std::string temporary;
    // CREATE_ALWAYS: what stands under the name by then is replaced.
    bool replaces = false;
    bool sets_mode = false;
    mode_t final_mode = 0;
    // Written with its zeros left as holes (its template has holes), and its size so far.
    bool keeps_holes = false;
    off_t size = 0;
    // FILE_FLAG_WRITE_THROUGH: data and status reach the disk before the name appears.
    bool write_through = false;
};

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
    // A file's status when it was opened: what it gives a file made with it as template.
    // Left unread (zero) for a file opened as a search or a lookup had just seen it, and
    // read when it is wanted; seen_device and seen_inode are then the identity seen.
    struct stat opened = {};
    dev_t seen_device = 0;
    ino_t seen_inode = 0;
    std::unique_ptr<CreatedFile> created = nullptr;
};

// The object behind a handle, or null for INVALID_HANDLE_VALUE, null and dead objects.
HandleObject* handle_object(HANDLE handle);

// A new object of that kind; null when memory is short.
HandleObject* new_handle_object(HandleKind kind, int fd);
void free_handle_object(HandleObject* object);
