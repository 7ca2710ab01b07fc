// Attributes, times and sizes of host entries, as Windows reports them.
//
// Links: a link to a file is the file; a link to a directory is a directory; a dangling
// link is an empty file. Every link carries the reparse-point bit and the symbolic link's
// tag, as a Windows symbolic link does: the walk does not descend into a directory link,
// and the operations that change entries act on the link, never through it. A link's own
// name decides the dot-name default; the target's stored bits count only for links to
// files, so nothing outside a tree shows through a directory link.
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "platform/posix/files/dos_attributes.h"
#include "platform/posix/files/entry_status.h"
#include "platform/posix/files/file_times.h"
#include "platform/posix/system/handles.h"

static const unsigned STATUS_FIELDS = STATX_BASIC_STATS | STATX_BTIME;

// Set before the first search; the reading thread of the searches reads it too.
static std::atomic<bool> searched_file_bits_wanted{true};

void searches_read_file_attributes(bool wanted)
{
    searched_file_bits_wanted.store(wanted, std::memory_order_relaxed);
}

// The record has the bits of a file without stored ones: stored ones take their place.
void complete_file_attributes(HANDLE source, WIN32_FIND_DATAA* record)
{
    const HandleObject* object = handle_object(source);
    DWORD stored = 0;
    if (searched_file_bits_wanted.load(std::memory_order_relaxed) || object == nullptr ||
        object->kind != HandleKind::file || (record->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !read_stored_bits_on(object->fd, &stored))
        return;
    const DWORD kept = record->dwFileAttributes & ~(STORED_FILE_BITS | FILE_ATTRIBUTE_NORMAL);
    record->dwFileAttributes = attribute_word(kept | (stored & STORED_FILE_BITS));
}

static uint64_t filetime_of(const struct statx_timestamp& time)
{
    return filetime_from_unix(time.tv_sec, static_cast<long>(time.tv_nsec));
}

// Birth time where the file system keeps one, else the earlier of the modification and
// the status change.
static uint64_t creation_of(const struct statx& host)
{
    if (host.stx_mask & STATX_BTIME)
        return filetime_of(host.stx_btime);
    const uint64_t modified = filetime_of(host.stx_mtime);
    const uint64_t changed = filetime_of(host.stx_ctime);
    return modified < changed ? modified : changed;
}

static void fill_times(const struct statx& host, EntryStatus* status)
{
    status->creation_time = creation_of(host);
    status->last_access_time = filetime_of(host.stx_atime);
    status->last_write_time = filetime_of(host.stx_mtime);
}

DWORD attribute_word(DWORD bits)
{
    return bits == 0 ? FILE_ATTRIBUTE_NORMAL : bits;
}

// Which entries' stored bits (user.DOSATTRIB) a status read reads: all, only
// directories' (whose read-only bit is stored there), or none.
enum StoredBitsRead { STORED_BITS_READ, STORED_BITS_OF_DIRECTORIES, STORED_BITS_UNREAD };

static DWORD bits_of_target(const struct statx& host, int directory_fd, const char* name, const char* host_path,
                            const char* shown_name, StoredBitsRead bits_read, EntryStatus* status)
{
    const bool directory = S_ISDIR(host.stx_mode);
    status->stored_unread = bits_read == STORED_BITS_UNREAD || (!directory && bits_read == STORED_BITS_OF_DIRECTORIES);
    if (!status->stored_unread)
        status->has_stored = read_stored_bits_at(directory_fd, name, host_path, &status->stored_bits);
    DWORD bits = status->has_stored ? status->stored_bits & (directory ? STORED_DIRECTORY_BITS : STORED_FILE_BITS)
                                    : default_bits(shown_name, directory);
    if (directory)
        bits |= FILE_ATTRIBUTE_DIRECTORY;
    else if ((host.stx_mode & S_IWUSR) == 0)
        bits |= FILE_ATTRIBUTE_READONLY;
    return bits;
}

static void fill_link(int directory_fd, const char* name, const struct statx& link, const char* host_path,
                      const char* shown_name, StoredBitsRead bits_read, EntryStatus* status)
{
    status->is_link = true;
    struct statx target;
    if (statx(directory_fd, name, 0, STATUS_FIELDS, &target) != 0) {
        status->is_dangling = true;
        status->attributes = default_bits(shown_name, false) | FILE_ATTRIBUTE_REPARSE_POINT;
        status->size = 0;
        fill_times(link, status);
        return;
    }
    status->mode = target.stx_mode & 07777;
    status->owner = target.stx_uid;
    fill_times(target, status);
    if (S_ISDIR(target.stx_mode)) {
        status->is_directory = true;
        status->size = 0;
        status->attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | default_bits(shown_name, true);
        return;
    }
    status->size = target.stx_size;
    status->attributes =
        bits_of_target(target, directory_fd, name, host_path, shown_name, bits_read, status) |
        FILE_ATTRIBUTE_REPARSE_POINT;
}

static int read_status(int directory_fd, const char* name, const char* host_path, const char* shown_name,
                       StoredBitsRead bits_read, EntryStatus* status)
{
    *status = EntryStatus{};
    struct statx host;
    const int flags = AT_SYMLINK_NOFOLLOW | (name[0] == '\0' ? AT_EMPTY_PATH : 0);
    if (statx(directory_fd, name, flags, STATUS_FIELDS, &host) != 0)
        return errno;
    if (S_ISLNK(host.stx_mode)) {
        fill_link(directory_fd, name, host, host_path, shown_name, bits_read, status);
        return 0;
    }
    status->mode = host.stx_mode & 07777;
    status->owner = host.stx_uid;
    status->is_directory = S_ISDIR(host.stx_mode);
    status->is_file = S_ISREG(host.stx_mode);
    status->device = makedev(host.stx_dev_major, host.stx_dev_minor);
    status->inode = host.stx_ino;
    status->size = status->is_directory ? 0 : host.stx_size;
    fill_times(host, status);
    status->attributes =
        attribute_word(bits_of_target(host, directory_fd, name, host_path, shown_name, bits_read, status));
    return 0;
}

int read_entry_status(int directory_fd, const char* name, const char* host_path, const char* shown_name,
                      EntryStatus* status)
{
    return read_status(directory_fd, name, host_path, shown_name, STORED_BITS_READ, status);
}

int read_facts_status(int directory_fd, const char* name, const char* shown_name, EntryStatus* status)
{
    return read_status(directory_fd, name, name, shown_name, STORED_BITS_UNREAD, status);
}

int read_search_status(int directory_fd, const char* name, const char* host_path, const char* shown_name,
                       EntryStatus* status)
{
    const bool wanted = searched_file_bits_wanted.load(std::memory_order_relaxed);
    return read_status(directory_fd, name, host_path, shown_name, wanted ? STORED_BITS_READ : STORED_BITS_OF_DIRECTORIES,
                       status);
}

const char* host_last_component(const char* host_path)
{
    const char* slash = strrchr(host_path, '/');
    return slash != nullptr && slash[1] != '\0' ? slash + 1 : host_path;
}

void fill_find_record(const EntryStatus& status, WIN32_FIND_DATAA* record)
{
    record->dwFileAttributes = status.attributes;
    set_filetime_value(&record->ftCreationTime, status.creation_time);
    set_filetime_value(&record->ftLastAccessTime, status.last_access_time);
    set_filetime_value(&record->ftLastWriteTime, status.last_write_time);
    record->nFileSizeHigh = static_cast<DWORD>(status.size >> 32);
    record->nFileSizeLow = static_cast<DWORD>(status.size);
    record->dwReserved0 = status.is_link ? IO_REPARSE_TAG_SYMLINK : 0;
    record->dwReserved1 = 0;
}
