// A few recent directory tables, found by device and inode.
//
// The walker asks for the same directories again and again (the one being listed and
// its ancestors); a small cache kept by recent use is enough for that. A cached table
// is also checked against the directory's modification time, which catches most
// changes made by other programs; changes the layer makes itself drop the table at once,
// whatever the time stamp's granularity.
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

uint64_t table_generation()
{
    return generation;
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
    if (!S_ISDIR(status.st_mode)) {
        *error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    CachedTable* slot = slot_of(status);
    if (slot != nullptr && describes(*slot->table, status)) {
        slot->last_use = ++use_clock;
        return slot->table;
    }
    std::shared_ptr<const DirectoryTable> table = scan_directory(host_directory, fd, status, error);
    if (!table)
        return nullptr;
    if (slot == nullptr)
        slot = free_slot();
    else
        generation++;
    slot->table = table;
    slot->last_use = ++use_clock;
    return table;
}

void forget_directory(const std::string& host_directory)
{
    generation++;
    struct stat status;
    if (stat(host_directory.c_str(), &status) != 0)
        return;
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
    generation++;
    for (CachedTable& slot : cache)
        slot.table.reset();
}
