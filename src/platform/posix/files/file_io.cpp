// ReadFile, WriteFile, SetFilePointer and CloseHandle on the layer's handles.
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/console/console_device.h"
#include "platform/posix/files/holes.h"
#include "platform/posix/files/unnamed_files.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"

// The descriptor of a handle that carries data (a file, a standard stream, the console).
static int data_fd_of(HANDLE handle, HandleObject** object_out)
{
    HandleObject* object = handle_object(handle);
    *object_out = object;
    if (object == nullptr || object->kind == HandleKind::search)
        return -1;
    return object->fd;
}

// A file read returns what was asked for unless the end comes first, as on Windows;
// a short count from the host is not the end.
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD to_read, LPDWORD read, void*)
{
    HandleObject* object = nullptr;
    const int fd = data_fd_of(file, &object);
    if (read != nullptr)
        *read = 0;
    if (fd < 0)
        return fail_with(ERROR_INVALID_HANDLE);
    if (object->kind == HandleKind::console_input)
        return read_console_bytes(fd, buffer, to_read, read);
    if (object->is_directory)
        return fail_with(ERROR_INVALID_FUNCTION);
    DWORD done = 0;
    char* bytes = static_cast<char*>(buffer);
    while (done < to_read) {
        const ssize_t got = ::read(fd, bytes + done, to_read - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            if (read != nullptr)
                *read = done;
            return fail_with_errno();
        }
        if (got == 0)
            break;
        done += static_cast<DWORD>(got);
    }
    if (read != nullptr)
        *read = done;
    return TRUE;
}

// WriteFile: writes the whole buffer, or fails with what stopped it and the count written.
// A file made from a template with holes gets its zeros as holes, and its size is right
// after every call, so that a size limit fails in the call that reaches it.
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD to_write, LPDWORD written, void*)
{
    HandleObject* object = nullptr;
    const int fd = data_fd_of(file, &object);
    if (written != nullptr)
        *written = 0;
    if (fd < 0)
        return fail_with(ERROR_INVALID_HANDLE);
    if (object->is_directory)
        return fail_with(ERROR_INVALID_FUNCTION);
    const char* bytes = static_cast<const char*>(buffer);
    CreatedFile* created = object->created.get();
    size_t done = 0;
    const int failure = created != nullptr && created->keeps_holes
                            ? write_keeping_holes(fd, bytes, to_write, &created->size, &done)
                            : write_all(fd, bytes, to_write, &done);
    if (written != nullptr)
        *written = static_cast<DWORD>(done);
    return failure == 0 ? TRUE : fail_with(windows_error_of(failure));
}

static DWORD seek_failure(PLONG distance_high, DWORD code)
{
    // The high part reads all ones as well, so that a caller that checks both halves
    // tells the failure from a position whose low part is 0xFFFFFFFF.
    if (distance_high != nullptr)
        *distance_high = -1;
    SetLastError(code);
    return INVALID_SET_FILE_POINTER;
}

// With a high part the host's own seek does all: it refuses a negative position with
// EINVAL and leaves the position as it was, which is what Windows does. Without one the
// new position must also fit in 32 bits, which needs the base before the move.
static DWORD seek_in_one_step(int fd, int64_t offset, PLONG distance_high, int whence)
{
    if (whence == SEEK_SET && offset < 0)
        return seek_failure(distance_high, ERROR_NEGATIVE_SEEK);
    const off_t position = lseek(fd, offset, whence);
    if (position < 0)
        return seek_failure(distance_high, errno == EINVAL ? ERROR_NEGATIVE_SEEK : windows_error_of(errno));
    *distance_high = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

// Without a high part the distance is a signed 32-bit number and the new position
// must fit in 32 bits; with one, both halves make a signed 64-bit distance.
DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distance_high, DWORD move_method)
{
    HandleObject* object = nullptr;
    const int fd = data_fd_of(file, &object);
    if (fd < 0 || object->kind != HandleKind::file)
        return seek_failure(distance_high, ERROR_INVALID_HANDLE);
    static const int whence_of[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (move_method > FILE_END)
        return seek_failure(distance_high, ERROR_INVALID_PARAMETER);
    int64_t offset = distance;
    if (distance_high != nullptr) {
        offset = static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distance_high)) << 32) |
                                      static_cast<uint32_t>(distance));
        return seek_in_one_step(fd, offset, distance_high, whence_of[move_method]);
    }
    const off_t current = move_method == FILE_BEGIN ? 0 : lseek(fd, 0, SEEK_CUR);
    const off_t base = move_method == FILE_END ? lseek(fd, 0, SEEK_END) : current;
    if (move_method == FILE_END)
        lseek(fd, current, SEEK_SET);
    if (base < 0 || base + offset < 0)
        return seek_failure(distance_high, ERROR_NEGATIVE_SEEK);
    if (base + offset > 0xFFFFFFFELL)
        return seek_failure(distance_high, ERROR_INVALID_PARAMETER);
    const off_t position = lseek(fd, base + offset, SEEK_SET);
    if (position < 0)
        return seek_failure(distance_high, windows_error_of(errno));
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(position);
}

// A file this layer made gets its final permission bits, then (with write through, after
// its data and status are on the disk) its name. 0 or the errno of the failure, after
// which the file keeps no name of its own.
static int complete_created_file(int fd, const CreatedFile& created)
{
    int failure = 0;
    if (created.sets_mode && fchmod(fd, created.final_mode) != 0)
        failure = errno;
    if (failure == 0 && created.write_through && fsync(fd) != 0)
        failure = errno;
    if (created.name.empty())
        return failure;
    if (failure != 0) {
        discard_unnamed(created.temporary);
        return failure;
    }
    // The directory's table is dropped rather than checked and edited: lookups of the
    // names a copy makes next need no table, and a search that does builds it again.
    failure = give_name(fd, created.temporary, created.name, created.replaces);
    forget_parent_of(created.name);
    return failure;
}

// Windows closes the handle whatever happens; so does this, also when a file it made
// could not take its name (the last error then says why).
BOOL CloseHandle(HANDLE object_handle)
{
    HandleObject* object = handle_object(object_handle);
    if (object == nullptr || object->kind == HandleKind::search)
        return fail_with(ERROR_INVALID_HANDLE);
    if (object->kind == HandleKind::standard_stream)
        return TRUE;
    // CONIN$ shares the layer's one terminal descriptor, which stays open.
    if (object->kind == HandleKind::console_input) {
        free_handle_object(object);
        return TRUE;
    }
    const int unfinished = object->created ? complete_created_file(object->fd, *object->created) : 0;
    const int result = close(object->fd);
    const int saved = errno;
    free_handle_object(object);
    if (unfinished != 0)
        return fail_with(windows_error_of(unfinished));
    if (result != 0 && saved != EINTR)
        return fail_with(windows_error_of(saved));
    return TRUE;
}
