// Two remembered statuses (or misses), valid for a few milliseconds: long enough for the
// calls that follow at once (a verify reads a source entry from its search, then looks up
// the destination entry, then opens both; a copy finds its destination missing, then
// creates it). A wait of the program (a prompt, a pause) forgets them, and so does a
// moment gone by without one (output held on a terminal), after which the entry is read
// again as it is then.
#include "platform/posix/searches/recent_status.h"

#include "platform/posix/searches/table_cache.h"
#include "platform/posix/system/clock.h"

static const uint64_t RECENT_STATUS_MS = 50;

struct RecentStatus {
    bool valid = false;
    bool missing = false;  // no entry stood there
    std::string host_path;
    std::string shown_name;
    EntryStatus status;
    uint64_t generation = 0;
    uint64_t read_ms = 0;
};

// The newer status takes the older one's place.
static RecentStatus recent[2];
static unsigned newest = 0;

static void remember(const std::string& host_path, const char* shown_name, const EntryStatus& status, bool missing)
{
    RecentStatus* slot = &recent[newest ^ 1u];
    if (recent[newest].valid && recent[newest].host_path == host_path)
        slot = &recent[newest];
    else
        newest ^= 1u;
    slot->valid = true;
    slot->missing = missing;
    slot->host_path = host_path;
    slot->shown_name = shown_name;
    slot->status = status;
    slot->generation = table_generation();
    slot->read_ms = coarse_milliseconds();
}

void remember_recent_status(const std::string& host_path, const char* shown_name, const EntryStatus& status)
{
    remember(host_path, shown_name, status, false);
}

void remember_recent_miss(const std::string& host_path)
{
    remember(host_path, "", EntryStatus{}, true);
}

static RecentStatus* fresh_status_of(const std::string& host_path)
{
    for (RecentStatus& slot : recent)
        if (slot.valid && slot.host_path == host_path && slot.generation == table_generation() &&
            coarse_milliseconds() - slot.read_ms <= RECENT_STATUS_MS)
            return &slot;
    return nullptr;
}

bool take_recent_status(const std::string& host_path, const char* shown_name, EntryStatus* status)
{
    const RecentStatus* slot = fresh_status_of(host_path);
    // A status without the stored bits of its file answers no GetFileAttributesA.
    const bool answers =
        slot != nullptr && !slot->missing && slot->shown_name == shown_name && !slot->status.stored_unread;
    if (answers)
        *status = slot->status;
    forget_recent_status();
    return answers;
}

// The fresh status of host_path, forgotten as it is handed out; null for none.
static const RecentStatus* take_fresh(const std::string& host_path)
{
    RecentStatus* slot = fresh_status_of(host_path);
    if (slot != nullptr)
        slot->valid = false;
    return slot;
}

bool recent_file(const std::string& host_path, EntryStatus* status)
{
    const RecentStatus* slot = take_fresh(host_path);
    if (slot == nullptr || slot->missing || !slot->status.is_file)
        return false;
    *status = slot->status;
    return true;
}

bool recent_miss(const std::string& host_path)
{
    const RecentStatus* slot = take_fresh(host_path);
    return slot != nullptr && slot->missing;
}

void forget_recent_status()
{
    recent[0].valid = false;
    recent[1].valid = false;
}
