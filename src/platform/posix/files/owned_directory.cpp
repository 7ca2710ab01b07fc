// The owner's read-only directories: unlocked for one change of their entries.
#include "platform/posix/files/owned_directory.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/posix/searches/table_cache.h"

static const mode_t OWNER_CHANGES = S_IWUSR | S_IXUSR;

int change_in_owned_directory(const std::string& host_path, const std::function<int()>& change)
{
    const int failure = change();
    if (failure != EACCES)
        return failure;
    const std::string directory = parent_of(host_path);
    struct stat status;
    if (stat(directory.c_str(), &status) != 0 || status.st_uid != geteuid() ||
        (status.st_mode & OWNER_CHANGES) == OWNER_CHANGES)
        return failure;
    const mode_t mode = status.st_mode & 07777;
    if (chmod(directory.c_str(), mode | OWNER_CHANGES) != 0)
        return failure;
    const int again = change();
    chmod(directory.c_str(), mode);
    return again;
}
