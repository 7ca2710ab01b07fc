// The reader thread of the directory searches: statx and the stored bits of each entry,
// ahead of the search.
//
// The thread works on its own copy of the table's names and its own descriptor of the
// directory, since the layer edits tables and closes descriptors as the program changes
// the tree. It always serves the newest search first: the walk is depth first, so the
// directory the program has just entered is the one it reads next. The thread reads from
// the directory's end towards its start while the search reads from the start: each
// entry is read by whichever side claims it first, so the two meet once, somewhere in
// the middle, and neither waits for the other until then.
#include <atomic>
#include <condition_variable>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/posix/searches/status_prefetch.h"

// Below this many entries the hand-over (a descriptor, a wake-up, a copy of the names)
// costs more cpu than the overlap saves in time: on a tree of small directories such as
// /usr, 32 rather than 8 took 9% less cpu for the same wall time.
static const size_t PREFETCH_MIN_ENTRIES = 32;
// A prefetch covers this many entries, so that its slots stay small in a huge directory;
// the search starts the next one when it gets there.
static const size_t PREFETCH_CHUNK = 1024;
// Each waiting prefetch holds a descriptor; past this many the searches read alone.
static const size_t PREFETCH_QUEUE_LIMIT = 64;

enum SlotState : int { SLOT_WAITING = 0, SLOT_READING = 1, SLOT_READ = 2 };

struct PrefetchSlot {
    std::atomic<int> state{SLOT_WAITING};
    int error = 0;
    EntryStatus status;
};

struct StatusPrefetch {
    std::string text;                  // the table's names
    std::vector<TableEntry> entries;   // the chunk's entries, their offsets in text (aliases unused)
    size_t first = 0;                  // the table's index of entries[0]
    std::string path;                  // the directory's host path and '/', then a name
    size_t directory_length = 0;
    int fd = -1;                       // the thread's own descriptor of the directory
    std::unique_ptr<PrefetchSlot[]> slots;
    size_t left = 0;                   // entries before the last one the thread tried
    std::atomic<bool> abandoned{false};
    ~StatusPrefetch()
    {
        if (fd >= 0)
            close(fd);
    }
};

// Never destroyed: the thread may still wait on them while the process exits.
static std::mutex& queue_lock = *new std::mutex;
static std::condition_variable& queue_filled = *new std::condition_variable;
static std::vector<std::shared_ptr<StatusPrefetch>>& queue = *new std::vector<std::shared_ptr<StatusPrefetch>>;   // newest last
static std::atomic<uint64_t> prefetches_started{0};
static bool reader_running = false;

static bool claim(PrefetchSlot& slot)
{
    int expected = SLOT_WAITING;
    return slot.state.compare_exchange_strong(expected, SLOT_READING, std::memory_order_acq_rel);
}

static void read_slot(StatusPrefetch& prefetch, size_t index)
{
    const TableEntry& entry = prefetch.entries[index];
    const char* host_name = prefetch.text.data() + entry.host;
    prefetch.path.resize(prefetch.directory_length);
    prefetch.path += host_name;
    PrefetchSlot& slot = prefetch.slots[index];
    slot.error = read_search_status(prefetch.fd, host_name, prefetch.path.c_str(), prefetch.text.data() + entry.name,
                                    &slot.status);
    slot.state.store(SLOT_READ, std::memory_order_release);
}

// Reads entries of one prefetch until it is done or abandoned, or a newer one arrives.
// True when nothing is left to read for it.
static bool serve(StatusPrefetch& prefetch)
{
    const uint64_t started = prefetches_started.load(std::memory_order_acquire);
    for (;;) {
        if (prefetch.left == 0 || prefetch.abandoned.load(std::memory_order_relaxed))
            return true;
        const size_t index = --prefetch.left;
        // The search has read this far: it has read everything before too.
        if (!claim(prefetch.slots[index]))
            return true;
        read_slot(prefetch, index);
        if (prefetches_started.load(std::memory_order_acquire) != started)
            return false;
    }
}

static void run_reader()
{
    for (;;) {
        std::shared_ptr<StatusPrefetch> prefetch;
        {
            std::unique_lock<std::mutex> hold(queue_lock);
            queue_filled.wait(hold, [] { return !queue.empty(); });
            prefetch = queue.back();
        }
        if (!serve(*prefetch))
            continue;
        close(prefetch->fd);
        prefetch->fd = -1;
        std::lock_guard<std::mutex> hold(queue_lock);
        for (auto it = queue.begin(); it != queue.end(); ++it) {
            if (*it == prefetch) {
                queue.erase(it);
                break;
            }
        }
    }
}

// The thread starts with every signal blocked: the program's handling of the console
// and of its children belongs to the thread that runs it.
static bool start_reader()
{
    sigset_t all;
    sigset_t kept;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &kept);
    bool started = true;
    try {
        std::thread(run_reader).detach();
    } catch (const std::system_error&) {
        started = false;
    }
    pthread_sigmask(SIG_SETMASK, &kept, nullptr);
    return started;
}

std::shared_ptr<StatusPrefetch> start_prefetch(const DirectoryTable& table, size_t first, int fd,
                                               const std::string& directory)
{
    if (first >= table.entries.size() || table.entries.size() - first < PREFETCH_MIN_ENTRIES || fd < 0)
        return nullptr;
    {
        std::lock_guard<std::mutex> hold(queue_lock);
        if (queue.size() >= PREFETCH_QUEUE_LIMIT)
            return nullptr;
    }
    auto prefetch = std::make_shared<StatusPrefetch>();
    // An open of its own, not a duplicate: each host call through a descriptor of a
    // threaded process counts a use of its open file, and two threads counting on one
    // contend for it at every entry.
    prefetch->fd = openat(fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (prefetch->fd < 0)
        return nullptr;
    const size_t count = std::min(PREFETCH_CHUNK, table.entries.size() - first);
    // Only the chunk's names: a huge directory is not copied once per chunk.
    prefetch->entries.assign(table.entries.begin() + static_cast<long>(first),
                             table.entries.begin() + static_cast<long>(first + count));
    for (TableEntry& entry : prefetch->entries) {
        const char* name = table.text.data() + entry.name;
        const char* host_name = table.text.data() + entry.host;
        const bool same = entry.host == entry.name;
        entry.name = static_cast<uint32_t>(prefetch->text.size());
        prefetch->text.append(name, strlen(name) + 1);
        entry.host = entry.name;
        if (!same) {
            entry.host = static_cast<uint32_t>(prefetch->text.size());
            prefetch->text.append(host_name, strlen(host_name) + 1);
        }
    }
    prefetch->first = first;
    prefetch->path = directory;
    prefetch->directory_length = directory.size();
    prefetch->slots.reset(new PrefetchSlot[count]);
    prefetch->left = count;
    std::lock_guard<std::mutex> hold(queue_lock);
    if (!reader_running) {
        if (!start_reader())
            return nullptr;
        reader_running = true;
    }
    queue.push_back(prefetch);
    prefetches_started.fetch_add(1, std::memory_order_release);
    queue_filled.notify_one();
    return prefetch;
}

bool prefetch_covers(const StatusPrefetch& prefetch, size_t index)
{
    return index >= prefetch.first && index - prefetch.first < prefetch.entries.size();
}

int prefetched_status(StatusPrefetch* prefetch, size_t index, const char* host_name, int directory_fd,
                      const char* name, const char* host_path, const char* shown_name, EntryStatus* status,
                      bool* read_here)
{
    *read_here = true;
    // The table may have changed under the search since the copy: the slot counts only
    // for the same name.
    if (prefetch != nullptr && prefetch_covers(*prefetch, index) &&
        strcmp(prefetch->text.data() + prefetch->entries[index - prefetch->first].host, host_name) == 0) {
        PrefetchSlot& slot = prefetch->slots[index - prefetch->first];
        if (!claim(slot)) {
            for (unsigned spins = 0; slot.state.load(std::memory_order_acquire) != SLOT_READ; spins++) {
                if (spins > 64)
                    sched_yield();
            }
            *read_here = false;
            *status = slot.status;
            return slot.error;
        }
        const int error = read_search_status(directory_fd, name, host_path, shown_name, status);
        slot.state.store(SLOT_READ, std::memory_order_release);
        return error;
    }
    return read_search_status(directory_fd, name, host_path, shown_name, status);
}

void abandon_prefetch(StatusPrefetch* prefetch)
{
    prefetch->abandoned.store(true, std::memory_order_relaxed);
}
