// FindFirstFileA, FindNextFileA and FindClose over directory tables.
//
// A search holds its directory's table (the names, in NTFS order) and the directory
// open. The files beside this one do the parts: search_start.cpp where a search looks,
// search_records.cpp the records it returns, shared_enumerations.cpp and
// parent_records.cpp the records it takes from other searches, search_reading_ahead.cpp
// the reading thread's work for it, search_descriptors.cpp the pool of open directories.
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/status_prefetch.h"
#include "platform/posix/system/error_table.h"
#include "platform/posix/system/handles.h"

static void close_search_state(SearchState* state)
{
    if (state->prefetch)
        stop_reading_ahead(state);
    if (state->shared)
        stop_sharing(state);
    if (state->directory_fd != AT_FDCWD)
        give_back_descriptor(state);
    if (last_started == state)
        last_started = nullptr;
    if (last_returned == state)
        last_returned = nullptr;
    delete state;
}

// A search whose one record is already returned: it goes on with no entries.
static HANDLE finished_search()
{
    static const std::shared_ptr<const DirectoryTable> no_entries = std::make_shared<const DirectoryTable>();
    SearchState* state = new (std::nothrow) SearchState{};
    HandleObject* object = state != nullptr ? new_handle_object(HandleKind::search, -1) : nullptr;
    if (object == nullptr) {
        delete state;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    state->directory_fd = AT_FDCWD;
    state->table = no_entries;
    object->search = state;
    SetLastError(ERROR_SUCCESS);
    return object;
}

static HANDLE fail_search(SearchState* state, DWORD error)
{
    if (state != nullptr)
        close_search_state(state);
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

// FindFirstFileA: opens a search of one directory for a name or pattern; "." and ".."
// first but in a drive's root, then names in NTFS order. Differs from Windows: a name the
// code page cannot show is left out (and reported once on standard error).
HANDLE FindFirstFileA(LPCSTR file_name, LPWIN32_FIND_DATAA find_data)
{
    WindowsPath path;
    DWORD error = parse_windows_path(file_name, true, &path);
    bool missing = false;
    if (error == ERROR_SUCCESS && read_entry_by_name(path, find_data, &missing))
        return finished_search();
    if (missing)
        return fail_search(nullptr, ERROR_FILE_NOT_FOUND);
    SearchTarget target;
    size_t pattern_index = 0;
    if (error == ERROR_SUCCESS)
        error = search_target(path, &target, &pattern_index);
    if (error != ERROR_SUCCESS)
        return fail_search(nullptr, error);
    SearchState* state = new (std::nothrow) SearchState{};
    if (state == nullptr) {
        if (target.fd >= 0)
            close(target.fd);
        return fail_search(nullptr, ERROR_NOT_ENOUGH_MEMORY);
    }
    const bool has_pattern = pattern_index < path.components.size();
    const char* pattern = has_pattern ? file_name + path.components[pattern_index].offset : "";
    const size_t pattern_length = has_pattern ? path.components[pattern_index].length : 0;
    error = start_search(state, path, target, pattern, pattern_length);
    if (error != ERROR_SUCCESS)
        return fail_search(state, error);
    if (!next_record(state, find_data))
        return fail_search(state, ERROR_FILE_NOT_FOUND);
    HandleObject* object = new_handle_object(HandleKind::search, -1);
    if (object == nullptr)
        return fail_search(state, ERROR_NOT_ENOUGH_MEMORY);
    object->search = state;
    SetLastError(ERROR_SUCCESS);
    return object;
}

static SearchState* search_of(HANDLE handle)
{
    HandleObject* object = handle_object(handle);
    if (object == nullptr || object->kind != HandleKind::search)
        return nullptr;
    return object->search;
}

// FindNextFileA: the search's next record, complete (attributes, times, size, both names),
// or ERROR_NO_MORE_FILES. Here an entry removed since the search began is passed over, and
// one added since then is not returned: the search keeps the table it began with.
BOOL FindNextFileA(HANDLE search, LPWIN32_FIND_DATAA find_data)
{
    SearchState* state = search_of(search);
    if (state == nullptr)
        return fail_with(ERROR_INVALID_HANDLE);
    if (!next_record(state, find_data))
        return fail_with(ERROR_NO_MORE_FILES);
    return TRUE;
}

// FindClose: ends a search and frees its handle; ERROR_INVALID_HANDLE for any other.
BOOL FindClose(HANDLE search)
{
    SearchState* state = search_of(search);
    if (state == nullptr)
        return fail_with(ERROR_INVALID_HANDLE);
    close_search_state(state);
    free_handle_object(handle_object(search));
    return TRUE;
}
