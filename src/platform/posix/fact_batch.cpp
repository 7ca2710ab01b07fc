// One io_uring ring that fetches the status and stored bits of a directory's entries.
//
// On a virtual machine a system call's entry and exit costs more than the lookup it
// makes, so the entries of a directory are asked for together: two requests per entry,
// one submission and one wait per batch. The ring is made on first use and lives for the
// run; its descriptor is closed on exec.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <linux/io_uring.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/posix/dos_attributes.h"
#include "platform/posix/fact_batch.h"

namespace {

struct Ring {
    int fd = -1;
    unsigned* sq_tail;
    unsigned sq_mask;
    unsigned* sq_array;
    io_uring_sqe* sqes;
    unsigned* cq_head;
    unsigned* cq_tail;
    unsigned cq_mask;
    io_uring_cqe* cqes;
};

enum class State { untried, working, refused };

Ring ring;
State state = State::untried;
bool wanted = true;

const unsigned RING_ENTRIES = 2 * FACT_BATCH;
const unsigned STATUS_FIELDS = STATX_BASIC_STATS | STATX_BTIME;

int setup(unsigned entries, io_uring_params* parameters)
{
    return static_cast<int>(syscall(__NR_io_uring_setup, entries, parameters));
}

// Completions are reaped by this thread alone, which spares the kernel the wake-ups of
// task work it would otherwise run at any time (kernels from 6.1; older ones refuse the
// flags and get a plain ring).
int make_ring_fd(io_uring_params* parameters)
{
    memset(parameters, 0, sizeof *parameters);
    parameters->flags = IORING_SETUP_SINGLE_ISSUER | IORING_SETUP_DEFER_TASKRUN;
    int fd = setup(RING_ENTRIES, parameters);
    if (fd < 0 && errno == EINVAL) {
        memset(parameters, 0, sizeof *parameters);
        fd = setup(RING_ENTRIES, parameters);
    }
    return fd;
}

bool supports_requests(int fd)
{
    const size_t size = sizeof(io_uring_probe) + IORING_OP_LAST * sizeof(io_uring_probe_op);
    alignas(io_uring_probe) unsigned char buffer[sizeof(io_uring_probe) + IORING_OP_LAST * sizeof(io_uring_probe_op)];
    memset(buffer, 0, size);
    io_uring_probe* probe = reinterpret_cast<io_uring_probe*>(buffer);
    if (syscall(__NR_io_uring_register, fd, IORING_REGISTER_PROBE, probe, IORING_OP_LAST) < 0)
        return false;
    const auto supported = [probe](unsigned op) {
        return op <= probe->last_op && (probe->ops[op].flags & IO_URING_OP_SUPPORTED) != 0;
    };
    return supported(IORING_OP_STATX) && supported(IORING_OP_GETXATTR);
}

bool map_ring(int fd, const io_uring_params& parameters)
{
    const size_t sq_size = parameters.sq_off.array + parameters.sq_entries * sizeof(unsigned);
    const size_t cq_size = parameters.cq_off.cqes + parameters.cq_entries * sizeof(io_uring_cqe);
    const bool single = (parameters.features & IORING_FEAT_SINGLE_MMAP) != 0;
    const size_t rings_size = single && cq_size > sq_size ? cq_size : sq_size;
    void* sq = mmap(nullptr, rings_size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, IORING_OFF_SQ_RING);
    if (sq == MAP_FAILED)
        return false;
    void* cq = sq;
    if (!single) {
        cq = mmap(nullptr, cq_size, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_POPULATE, fd, IORING_OFF_CQ_RING);
        if (cq == MAP_FAILED)
            return false;
    }
    void* sqes = mmap(nullptr, parameters.sq_entries * sizeof(io_uring_sqe), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_POPULATE, fd, IORING_OFF_SQES);
    if (sqes == MAP_FAILED)
        return false;
    char* s = static_cast<char*>(sq);
    char* c = static_cast<char*>(cq);
    ring.sq_tail = reinterpret_cast<unsigned*>(s + parameters.sq_off.tail);
    ring.sq_mask = *reinterpret_cast<unsigned*>(s + parameters.sq_off.ring_mask);
    ring.sq_array = reinterpret_cast<unsigned*>(s + parameters.sq_off.array);
    ring.sqes = static_cast<io_uring_sqe*>(sqes);
    ring.cq_head = reinterpret_cast<unsigned*>(c + parameters.cq_off.head);
    ring.cq_tail = reinterpret_cast<unsigned*>(c + parameters.cq_off.tail);
    ring.cq_mask = *reinterpret_cast<unsigned*>(c + parameters.cq_off.ring_mask);
    ring.cqes = reinterpret_cast<io_uring_cqe*>(c + parameters.cq_off.cqes);
    ring.fd = fd;
    return true;
}

// The lookups of a batch mostly hit the cache and seldom block: more workers than cores
// would only add switches between them.
void limit_workers(int fd)
{
    unsigned workers[2] = {2, 2};
    syscall(__NR_io_uring_register, fd, IORING_REGISTER_IOWQ_MAX_WORKERS, workers, 2);
}

bool ring_ready()
{
    if (state == State::untried) {
        const char* no = getenv("ORVA_NO_IO_URING");
        state = State::refused;
        io_uring_params parameters;
        const int fd = no != nullptr && no[0] != '\0' && strcmp(no, "0") != 0 ? -1 : make_ring_fd(&parameters);
        if (fd >= 0 && supports_requests(fd) && map_ring(fd, parameters)) {
            limit_workers(fd);
            state = State::working;
        } else if (fd >= 0) {
            close(fd);
        }
    }
    return state == State::working && wanted;
}

io_uring_sqe* next_sqe(unsigned* tail)
{
    const unsigned index = (*tail)++ & ring.sq_mask;
    ring.sq_array[index] = index;
    io_uring_sqe* sqe = &ring.sqes[index];
    memset(sqe, 0, sizeof *sqe);
    return sqe;
}

void queue_requests(FactRequest* requests, size_t count)
{
    unsigned tail = *ring.sq_tail;
    for (size_t i = 0; i < count; i++) {
        FactRequest& request = requests[i];
        io_uring_sqe* status = next_sqe(&tail);
        status->opcode = IORING_OP_STATX;
        status->fd = request.directory_fd;
        status->addr = reinterpret_cast<uintptr_t>(request.name);
        status->len = STATUS_FIELDS;
        status->off = reinterpret_cast<uintptr_t>(&request.status);
        status->statx_flags = AT_SYMLINK_NOFOLLOW;
        status->user_data = 2 * i;
        io_uring_sqe* stored = next_sqe(&tail);
        stored->opcode = IORING_OP_GETXATTR;
        stored->addr = reinterpret_cast<uintptr_t>(STORED_BITS_NAME);
        stored->len = sizeof request.value;
        stored->off = reinterpret_cast<uintptr_t>(request.value);
        stored->addr3 = reinterpret_cast<uintptr_t>(request.host_path);
        stored->user_data = 2 * i + 1;
    }
    __atomic_store_n(ring.sq_tail, tail, __ATOMIC_RELEASE);
}

void take_completion(const io_uring_cqe& completion, FactRequest* requests)
{
    FactRequest& request = requests[completion.user_data / 2];
    if (completion.user_data % 2 == 0)
        request.status_result = completion.res < 0 ? -completion.res : 0;
    else
        request.value_length = completion.res < 0 ? -1 : completion.res;
}

// Reaps what has completed; returns how many.
unsigned reap(FactRequest* requests)
{
    unsigned head = *ring.cq_head;
    const unsigned tail = __atomic_load_n(ring.cq_tail, __ATOMIC_ACQUIRE);
    unsigned reaped = 0;
    for (; head != tail; head++, reaped++)
        take_completion(ring.cqes[head & ring.cq_mask], requests);
    __atomic_store_n(ring.cq_head, head, __ATOMIC_RELEASE);
    return reaped;
}

}   // namespace

bool fetch_facts(FactRequest* requests, size_t count)
{
    if (count == 0 || count > FACT_BATCH || !ring_ready())
        return count == 0;
    const unsigned first = *ring.sq_tail;
    queue_requests(requests, count);
    unsigned total = static_cast<unsigned>(2 * count);
    unsigned submitted = 0, completed = 0;
    while (completed < submitted || submitted < total) {
        // A short submission returns without waiting, so asking for all is safe.
        const long entered = syscall(__NR_io_uring_enter, ring.fd, total - submitted, total - completed,
                                     IORING_ENTER_GETEVENTS, nullptr, 0);
        if (entered < 0 && errno != EINTR && errno != EAGAIN && errno != EBUSY) {
            // The ring is unusable: the entries are asked for one by one from now on,
            // once what it took is complete.
            state = State::refused;
            if (submitted == 0) {
                __atomic_store_n(ring.sq_tail, first, __ATOMIC_RELEASE);
                return false;
            }
            total = submitted;
        }
        if (entered > 0)
            submitted += static_cast<unsigned>(entered);
        completed += reap(requests);
    }
    return state == State::working;
}

void enable_fact_batches(bool enabled)
{
    wanted = enabled;
}
