// What the rest of the layer asks of the open searches: the table of the search started
// last, and the open directory of the entry the program was handed last.
#include <fcntl.h>
#include <string_view>

#include "platform/posix/searches/search_state.h"
#include "platform/posix/searches/searches.h"
#include "platform/posix/searches/table_cache.h"

const SearchState* last_started = nullptr;
// The search whose record the program was handed last: the one whose entry it acts on.
const SearchState* last_returned = nullptr;

static bool searches_directory(const SearchState& state, std::string_view host_directory)
{
    // entry_path begins with the directory's host path and one '/', which "/" already ends in.
    const std::string_view directory(state.entry_path.data(), state.directory_length);
    return directory.size() == host_directory.size() + 1 ? directory.compare(0, host_directory.size(), host_directory) == 0
                                                         : directory == host_directory;
}

std::shared_ptr<const DirectoryTable> searched_table(const std::string& host_directory)
{
    const SearchState* state = last_started;
    if (state == nullptr || state->started != table_generation())
        return nullptr;
    return searches_directory(*state, host_directory) ? state->table : nullptr;
}

bool searched_parent_of(const WindowsPath& path, const std::string& host, SearchedParent* parent)
{
    parent->fd = -1;
    const size_t count = path.components.size();
    const size_t slash = host.find_last_of('/');
    const SearchState* state = last_returned;
    if (count == 0 || path.last_dots != 0 || path.trailing_separator || !matched_exactly(path, count - 1) ||
        slash == std::string::npos || slash == 0 || state == nullptr || state->directory_fd == AT_FDCWD ||
        !state->table || !searches_directory(*state, std::string_view(host).substr(0, slash)))
        return false;
    parent->fd = state->directory_fd;
    parent->device = state->table->device;
    parent->inode = state->table->inode;
    parent->name_offset = slash + 1;
    return true;
}

bool searched_entry_status(const WindowsPath& path, const std::string& host, SearchedParent* parent,
                           struct stat* status)
{
    if (!searched_parent_of(path, host, parent))
        return false;
    if (fstatat(parent->fd, parent->name_in(host), status, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    parent->fd = -1;
    return false;
}
