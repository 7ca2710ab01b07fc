// A few recent directory tables, found by device and inode.
//
// The walker asks for the same directories again and again (the one being listed and
// its ancestors); a small cache kept by recent use is enough for that. A cached table
// is also checked against the directory's modification time, which catches most
// changes made by other programs; changes the layer makes itself drop the table at once,
// whatever the time stamp's granularity.
//
// Every drop is also written down, with the directory it concerns, so that what was
// derived from the tables of a whole path (the alias form of a deep directory) survives
// the drops that concern other directories: a copy changes the destination at every
// file, and must not make the source's path be read again each time.
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/error_table.h"
#include "platform/posix/table_cache.h"

struct CachedTable {
    std::shared_ptr<const DirectoryTable> table;
    uint64_t last_use;
};

static const size_t CACHE_SLOTS = 64;
static CachedTable cache[CACHE_SLOTS];
static uint64_t use_clock = 0;
static uint64_t generation = 1;

struct DroppedTable {
    uint64_t generation;
    dev_t device;
    ino_t inode;
};

// The most recent drops, each at the slot of its generation.
static const uint64_t DROP_LOG_SIZE = 64;
static DroppedTable drop_log[DROP_LOG_SIZE];
// The last generation whose drop named no directory: any table may have gone then.
static uint64_t unknown_drop = 0;

uint64_t table_generation()
{
    return generation;
}

// status: the dropped directory's, or null when it is not known.
static void note_drop(const struct stat* status)
{
    generation++;
    if (status == nullptr)
        unknown_drop = generation;
    else
        drop_log[generation % DROP_LOG_SIZE] = DroppedTable{generation, status->st_dev, status->st_ino};
}

bool table_dropped_since(uint64_t since, const DirectoryTable& table)
{
    if (unknown_drop > since || generation - since > DROP_LOG_SIZE)
        return true;
    for (uint64_t drop = since + 1; drop <= generation; drop++) {
        const DroppedTable& dropped = drop_log[drop % DROP_LOG_SIZE];
        if (dropped.device == table.device && dropped.inode == table.inode)
            return true;
    }
    return false;
}

static bool describes(const DirectoryTable& table, const struct stat& status)
{
    return table.device == status.st_dev && table.inode == status.st_ino &&
           table.modified_seconds == status.st_mtim.tv_sec && table.modified_nanoseconds == status.st_mtim.tv_nsec;
}

static CachedTable* slot_of(const struct stat& status)
{
    for (CachedTable& slot : cache) {
        if (slot.table && slot.table->device == status.st_dev && slot.table->inode == status.st_ino)
            return &slot;
    }
    return nullptr;
}

static CachedTable* free_slot()
{
    CachedTable* oldest = &cache[0];
    for (CachedTable& slot : cache) {
        if (!slot.table)
            return &slot;
        if (slot.last_use < oldest->last_use)
            oldest = &slot;
    }
    return oldest;
}

// status is the fstat of fd when the caller gave fd; a directory this opens itself is
// described by its own fstat, so that the table names the directory it was read from.
static std::shared_ptr<const DirectoryTable> scan_directory(const std::string& host_directory, int fd,
                                                            const struct stat& status, DWORD* error)
{
    const int own_fd = fd >= 0 ? -1 : open(host_directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && own_fd < 0) {
        *error = windows_error_for_path(errno, host_directory.c_str());
        return nullptr;
    }
    struct stat own_status;
    if (own_fd >= 0 && fstat(own_fd, &own_status) != 0) {
        *error = windows_error_of(errno);
        close(own_fd);
        return nullptr;
    }
    auto table = std::make_shared<DirectoryTable>();
    *error = build_directory_table(fd >= 0 ? fd : own_fd, fd >= 0 ? status : own_status, table.get());
    if (own_fd >= 0)
        close(own_fd);
    if (*error != ERROR_SUCCESS)
        return nullptr;
    return table;
}

// The table for a directory whose status was just read: the cached one, else held when
// it still describes the directory, else a new scan.
static std::shared_ptr<const DirectoryTable> table_for(const std::string& host_directory, int fd,
                                                       const struct stat& status, DWORD* error,
                                                       const std::shared_ptr<const DirectoryTable>* held)
{
    if (!S_ISDIR(status.st_mode)) {
        *error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    CachedTable* slot = slot_of(status);
    if (slot != nullptr && describes(*slot->table, status)) {
        slot->last_use = ++use_clock;
        return slot->table;
    }
    std::shared_ptr<const DirectoryTable> table =
        held != nullptr && *held && describes(**held, status) ? *held : scan_directory(host_directory, fd, status, error);
    if (!table)
        return nullptr;
    if (slot == nullptr)
        slot = free_slot();
    else
        note_drop(&status);
    slot->table = table;
    slot->last_use = ++use_clock;
    return table;
}

std::shared_ptr<const DirectoryTable> directory_table(const std::string& host_directory, int fd, DWORD* error,
                                                       struct stat* status_out)
{
    struct stat status;
    const int result = fd >= 0 ? fstat(fd, &status) : stat(host_directory.c_str(), &status);
    if (result != 0) {
        *error = windows_error_for_path(errno, host_directory.c_str());
        return nullptr;
    }
    if (status_out != nullptr)
        *status_out = status;
    return table_for(host_directory, fd, status, error, nullptr);
}

std::shared_ptr<const DirectoryTable> current_table(const std::string& host_directory,
                                                     const std::shared_ptr<const DirectoryTable>& held, DWORD* error)
{
    struct stat status;
    if (stat(host_directory.c_str(), &status) != 0) {
        *error = windows_error_for_path(errno, host_directory.c_str());
        return nullptr;
    }
    return table_for(host_directory, -1, status, error, &held);
}

void forget_directory(const std::string& host_directory)
{
    struct stat status;
    if (stat(host_directory.c_str(), &status) != 0) {
        note_drop(nullptr);
        return;
    }
    note_drop(&status);
    CachedTable* slot = slot_of(status);
    if (slot != nullptr)
        slot->table.reset();
}

std::string parent_of(const std::string& host_path)
{
    const size_t slash = host_path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return host_path.substr(0, slash);
}

void forget_parent_of(const std::string& host_path)
{
    forget_directory(parent_of(host_path));
}

void forget_all_directories()
{
    note_drop(nullptr);
    for (CachedTable& slot : cache)
        slot.table.reset();
}
