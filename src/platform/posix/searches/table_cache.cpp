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
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/files/entry_status.h"
#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/error_table.h"

struct CachedTable {
    std::shared_ptr<DirectoryTable> table;
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

static void note_drop_of(dev_t device, ino_t inode)
{
    generation++;
    drop_log[generation % DROP_LOG_SIZE] = DroppedTable{generation, device, inode};
}

// status: the dropped directory's, or null when it is not known.
static void note_drop(const struct stat* status)
{
    if (status != nullptr) {
        note_drop_of(status->st_dev, status->st_ino);
        return;
    }
    generation++;
    unknown_drop = generation;
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

// The change time is compared too: it moves when a program sets the modification
// time back to hide a change.
static bool describes(const DirectoryTable& table, const struct stat& status)
{
    return table.device == status.st_dev && table.inode == status.st_ino &&
           table.modified_seconds == status.st_mtim.tv_sec && table.modified_nanoseconds == status.st_mtim.tv_nsec &&
           table.changed_seconds == status.st_ctim.tv_sec && table.changed_nanoseconds == status.st_ctim.tv_nsec;
}

static void take_stamps(DirectoryTable* table, const struct stat& status)
{
    table->modified_seconds = status.st_mtim.tv_sec;
    table->modified_nanoseconds = status.st_mtim.tv_nsec;
    table->changed_seconds = status.st_ctim.tv_sec;
    table->changed_nanoseconds = status.st_ctim.tv_nsec;
}

// The coarsest time stamps in use (FAT keeps two seconds) decide how long after a change
// a directory must have stood still for its scan to be known complete.
static const int64_t STAMP_GRANULARITY_NS = 2000000000;

static int64_t nanoseconds_of(const struct timespec& time)
{
    return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

static bool stood_still_before(const struct stat& status, const struct timespec& scan_start)
{
    return nanoseconds_of(status.st_ctim) + STAMP_GRANULARITY_NS < nanoseconds_of(scan_start);
}

static CachedTable* slot_with(dev_t device, ino_t inode)
{
    for (CachedTable& slot : cache) {
        if (slot.table && slot.table->device == device && slot.table->inode == inode)
            return &slot;
    }
    return nullptr;
}

static CachedTable* slot_of(const struct stat& status)
{
    return slot_with(status.st_dev, status.st_ino);
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
static std::shared_ptr<DirectoryTable> scan_directory(const std::string& host_directory, int fd,
                                                      const struct stat& status, DWORD* error)
{
    struct timespec scan_start;
    clock_gettime(CLOCK_REALTIME, &scan_start);
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
    const struct stat& scanned = fd >= 0 ? status : own_status;
    *error = build_directory_table(fd >= 0 ? fd : own_fd, scanned, table.get());
    if (own_fd >= 0)
        close(own_fd);
    if (*error != ERROR_SUCCESS)
        return nullptr;
    table->complete = stood_still_before(scanned, scan_start);
    return table;
}

// The table for a directory whose status was just read: the cached one, else held when
// it still describes the directory, else a new scan. Its aliases are current unless
// names_only is set.
static std::shared_ptr<const DirectoryTable> table_for(const std::string& host_directory, int fd,
                                                       const struct stat& status, DWORD* error,
                                                       const std::shared_ptr<const DirectoryTable>* held,
                                                       bool names_only = false)
{
    if (!S_ISDIR(status.st_mode)) {
        *error = ERROR_PATH_NOT_FOUND;
        return nullptr;
    }
    CachedTable* slot = slot_of(status);
    if (slot != nullptr && describes(*slot->table, status)) {
        slot->last_use = ++use_clock;
        if (!names_only)
            refresh_aliases(slot->table.get());
        return slot->table;
    }
    std::shared_ptr<DirectoryTable> table;
    if (held != nullptr && *held && describes(**held, status))
        table = std::const_pointer_cast<DirectoryTable>(*held);
    else
        table = scan_directory(host_directory, fd, status, error);
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

std::shared_ptr<const DirectoryTable> directory_table_of(const std::string& host_directory, const struct stat& status,
                                                        DWORD* error)
{
    return table_for(host_directory, -1, status, error, nullptr);
}

std::shared_ptr<const DirectoryTable> directory_names(const std::string& host_directory, const struct stat& status,
                                                       DWORD* error)
{
    return table_for(host_directory, -1, status, error, nullptr, true);
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
    forget_directory_identity(status.st_dev, status.st_ino);
}

void forget_directory_identity(dev_t device, ino_t inode)
{
    note_drop_of(device, inode);
    CachedTable* slot = slot_with(device, inode);
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

void confirm_parent_table(const std::string& host_path)
{
    struct stat status;
    if (stat(parent_of(host_path).c_str(), &status) != 0)
        return;
    CachedTable* slot = slot_of(status);
    if (slot == nullptr)
        return;
    if (describes(*slot->table, status))
        slot->last_use = ++use_clock;
    else
        slot->table.reset();
}

// The table the change concerns, when the layer may edit it: the one it used last, for
// the lookup that led to the change, so that nothing was missed in between. A table
// that a search holds is left to the search and a copy is edited.
static CachedTable* editable_slot(const struct stat& status)
{
    CachedTable* slot = slot_of(status);
    if (slot == nullptr)
        return nullptr;
    if (slot->last_use != use_clock) {
        slot->table.reset();
        return nullptr;
    }
    if (slot->table.use_count() > 1)
        slot->table = std::make_shared<DirectoryTable>(*slot->table);
    return slot;
}

static void follow_change(const std::string& host_path, unsigned char added_type, bool added)
{
    struct stat status;
    if (stat(parent_of(host_path).c_str(), &status) != 0) {
        note_drop(nullptr);
        return;
    }
    note_drop(&status);
    CachedTable* slot = editable_slot(status);
    if (slot == nullptr)
        return;
    const char* name = host_last_component(host_path.c_str());
    const bool followed =
        added ? add_table_entry(slot->table.get(), name, added_type) : remove_table_entry(slot->table.get(), name);
    if (!followed) {
        slot->table.reset();
        return;
    }
    take_stamps(slot->table.get(), status);
    slot->last_use = ++use_clock;
}

void note_entry_added(const std::string& host_path, unsigned char type)
{
    follow_change(host_path, type, true);
}

void note_entry_removed(const std::string& host_path)
{
    follow_change(host_path, DT_UNKNOWN, false);
}

void note_directory_made(const std::string& host_path)
{
    note_entry_added(host_path, DT_DIR);
    struct stat status;
    if (stat(host_path.c_str(), &status) != 0)
        return;
    auto table = std::make_shared<DirectoryTable>();
    table->device = status.st_dev;
    table->inode = status.st_ino;
    take_stamps(table.get(), status);
    table->complete = true;
    CachedTable* slot = slot_of(status);
    if (slot == nullptr)
        slot = free_slot();
    slot->table = table;
    slot->last_use = ++use_clock;
}

void forget_all_directories()
{
    note_drop(nullptr);
    for (CachedTable& slot : cache)
        slot.table.reset();
}
