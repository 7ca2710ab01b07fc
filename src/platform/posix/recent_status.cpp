// One remembered status, valid for a few milliseconds: long enough for the call that
// follows a search's entry at once. A wait of the program (a prompt, a pause) forgets it,
// and so does a moment gone by without one (output held on a terminal), after which the
// entry is read again as it is then.
#include "platform/posix/recent_status.h"

#include "platform/posix/clock.h"
#include "platform/posix/table_cache.h"

static const uint64_t RECENT_STATUS_MS = 50;

static struct {
    bool valid = false;
    std::string host_path;
    std::string shown_name;
    EntryStatus status;
    uint64_t generation = 0;
    uint64_t read_ms = 0;
} recent;

void remember_recent_status(const std::string& host_path, const char* shown_name, const EntryStatus& status)
{
    // A status without the stored bits of its file answers no GetFileAttributesA.
    if (status.stored_unread) {
        recent.valid = false;
        return;
    }
    recent.valid = true;
    recent.host_path = host_path;
    recent.shown_name = shown_name;
    recent.status = status;
    recent.generation = table_generation();
    recent.read_ms = coarse_milliseconds();
}

bool take_recent_status(const std::string& host_path, const char* shown_name, EntryStatus* status)
{
    if (!recent.valid)
        return false;
    recent.valid = false;
    if (recent.generation != table_generation() || coarse_milliseconds() - recent.read_ms > RECENT_STATUS_MS ||
        recent.host_path != host_path || recent.shown_name != shown_name)
        return false;
    *status = recent.status;
    return true;
}

void forget_recent_status()
{
    recent.valid = false;
}
