#include "movaltic/imaging/threads.h"

#include "movaltic/imaging/cgroup_limits.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <new>
#include <sstream>
#include <system_error>

namespace movaltic {

namespace {
std::atomic<bool> gRefuse{false};
std::atomic<int32_t> gHolds{0};
std::atomic<int64_t> gJobReserve{0};
thread_local bool tWorker = false;
thread_local bool tInBand = false;  // running one band of a frame's work
}  // namespace

bool StartThread(std::thread& t, std::function<void()> fn) {
    if (gRefuse.load(std::memory_order_relaxed) || NewThreadsHeld() || ThreadsWithin(1) < 1) return false;
    try {
        t = std::thread(std::move(fn));
        return true;
    } catch (const std::system_error&) {
        return false;
    } catch (const std::bad_alloc&) {  // no memory for the thread's start
        return false;
    }
}

namespace {

// A field of /proc/self/status in bytes (VmSize: the address space mapped;
// VmData: the private writable memory a data-segment limit counts, thread
// stacks and the allocator's mappings among it).
int64_t StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(key);
    while (std::getline(status, line))
        if (line.compare(0, n, key) == 0 && line.size() > n && line[n] == ':')
            return std::atoll(line.c_str() + n + 1) * 1024;
    return 0;
}

// Frame memory beyond the one-thread job's: enough for a few camera frames.
constexpr int64_t kFramesInFlightShare = int64_t(96) << 20;

// Bytes an address-space (ulimit -v) or data-segment (ulimit -d) limit
// leaves; INT64_MAX where neither is set. Since Linux 4.7 the data limit
// counts every private writable mapping, so large blocks the allocator maps
// apart and threads' stacks count against it as well.
int64_t MappingRoom() {
    int64_t room = INT64_MAX;
    for (const auto& [resource, key] : {std::pair{RLIMIT_AS, "VmSize"}, std::pair{RLIMIT_DATA, "VmData"}}) {
        rlimit limit{};
        if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) continue;
        const int64_t cap = int64_t(std::min<rlim_t>(limit.rlim_cur, INT64_MAX));
        room = std::min(room, std::max<int64_t>(cap - StatusBytes(key), 0));
    }
    return room;
}

// The share of the memory still free that frames in flight may take.
int64_t FramesRoom() {
    const int64_t room = MemoryRoom();
    if (room == INT64_MAX) return room;
    // Threads' stacks, the allocator and libavcodec take their part as well.
    return std::max<int64_t>(room - gJobReserve.load(std::memory_order_relaxed), 0) / 4;
}

// Bytes of address space a new thread maps: its whole stack, as glibc gives
// it by default (the stack limit's size), and a guard page.
int64_t ThreadStackBytes() {
    size_t size = 0;
    pthread_attr_t attr;
    if (pthread_getattr_default_np(&attr) == 0) {
        pthread_attr_getstacksize(&attr, &size);
        pthread_attr_destroy(&attr);
    }
    if (size == 0) size = size_t(8) << 20;
    return int64_t(size) + sysconf(_SC_PAGESIZE);
}

}  // namespace

int32_t QuotaCpus(const std::string& cpuMax) {
    std::istringstream in(cpuMax);
    std::string quota;
    double period = 0;
    if (!(in >> quota >> period) || quota == "max" || !(period > 0)) return 0;
    char* end = nullptr;
    const double q = std::strtod(quota.c_str(), &end);
    if (end == quota.c_str() || *end || !(q > 0)) return 0;
    return int32_t(std::min(std::ceil(q / period), 4096.0));
}

int32_t CoreCount() {
    int32_t n = 0;
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) n = CPU_COUNT(&set);
    if (n <= 0) n = int32_t(std::thread::hardware_concurrency());
    const int32_t quota = ProcessCgroupCpus();
    if (quota > 0) n = std::min(n, quota);
    return std::max(n, 1);
}

int64_t MemoryRoom() { return std::min(MappingRoom(), ProcessCgroupMemoryRoom()); }

int64_t FramesInFlightBudget() { return std::min(kFramesInFlightShare, FramesRoom()); }

bool FramesInFlightLimited() { return FramesRoom() < kFramesInFlightShare; }

int32_t ThreadsWithin(int32_t wanted) {
    const int64_t room = MappingRoom();
    if (room == INT64_MAX || wanted <= 0) return std::max(wanted, 0);
    // A third of what is left beyond the job's reserve: the rest for what
    // the threads allocate. Under an address-space limit that includes an
    // allocator arena a thread may have opened before the job, 64 MB mapped
    // whole.
    rlimit as{};
    const int64_t arena = getrlimit(RLIMIT_AS, &as) == 0 && as.rlim_cur != RLIM_INFINITY ? int64_t(64) << 20 : 0;
    const int64_t spare = std::max<int64_t>(room - arena - gJobReserve.load(std::memory_order_relaxed), 0);
    return int32_t(std::min<int64_t>(spare / 3 / ThreadStackBytes(), wanted));
}

void ReserveForJob(int64_t bytes) { gJobReserve.store(std::max<int64_t>(bytes, 0), std::memory_order_relaxed); }

int64_t PeakAboveNow() { return std::max<int64_t>(StatusBytes("VmPeak") - StatusBytes("VmSize"), 0); }

NoNewThreads::NoNewThreads(bool hold) : held_(hold) {
    if (held_) gHolds.fetch_add(1, std::memory_order_relaxed);
}

void NoNewThreads::Release() {
    if (held_) gHolds.fetch_sub(1, std::memory_order_relaxed);
    held_ = false;
}

bool NewThreadsHeld() { return gHolds.load(std::memory_order_relaxed) > 0; }

int32_t CountWithin(int64_t budget, int64_t each, int32_t least, int32_t most) {
    const int64_t fit = each > 0 ? budget / each : most;
    return int32_t(std::clamp<int64_t>(fit, least, std::max(least, most)));
}

void RunInTwo(int64_t count, int64_t split, const std::function<void(int64_t, int64_t)>& part) {
    std::thread other;
    std::exception_ptr failure;
    auto second = [&] {
        try {
            part(split, count);
        } catch (...) {
            failure = std::current_exception();
        }
    };
    if (tWorker || tInBand || split <= 0 || split >= count || !StartThread(other, second)) {
        part(0, count);
        return;
    }
    // The second half is joined whatever the first does.
    try {
        part(0, split);
    } catch (...) {
        other.join();
        throw;
    }
    other.join();
    if (failure) std::rethrow_exception(failure);
}

void MarkWorkerThread() { tWorker = true; }

// ---- bands of one frame ----

namespace {
std::atomic<BandPool*> gBandPool{nullptr};

// Smaller bands cost more in hand-over than they save.
constexpr int64_t kBandBytes = int64_t(256) << 10;

struct InBand {
    bool previous = tInBand;
    InBand() { tInBand = true; }
    ~InBand() { tInBand = previous; }
};
}  // namespace

struct BandPool::Task {
    const std::function<void(int64_t, int64_t)>* part = nullptr;
    int64_t count = 0;
    int32_t bands = 0, next = 0, done = 0;
    std::exception_ptr failure;
};

BandPool::BandPool(int32_t helpers) {
    try {
        threads_.reserve(size_t(std::max(helpers, 0)));
    } catch (const std::bad_alloc&) {
        return;
    }
    for (int32_t i = 0; i < helpers; ++i) {
        std::thread t;
        if (!StartThread(t, [this] { Loop(); })) break;
        threads_.push_back(std::move(t));
    }
}

BandPool::~BandPool() {
    {
        std::lock_guard<std::mutex> lock(m_);
        stopping_ = true;
        workCv_.notify_all();
    }
    for (std::thread& t : threads_) t.join();
}

void BandPool::RunOneBand(Task& t, std::unique_lock<std::mutex>& lock) {
    const int32_t b = t.next++;
    if (t.next == t.bands) tasks_.erase(std::find(tasks_.begin(), tasks_.end(), &t));
    lock.unlock();
    // Band b covers [count x b / bands, count x (b + 1) / bands).
    const int64_t from = t.count * b / t.bands, to = t.count * (b + 1) / t.bands;
    std::exception_ptr failure;
    try {
        InBand inBand;
        (*t.part)(from, to);
    } catch (...) {
        failure = std::current_exception();
    }
    lock.lock();
    if (failure && !t.failure) t.failure = failure;
    if (++t.done == t.bands) doneCv_.notify_all();
}

void BandPool::Loop() {
    std::unique_lock<std::mutex> lock(m_);
    for (;;) {
        workCv_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
        if (tasks_.empty()) return;
        RunOneBand(*tasks_.front(), lock);
    }
}

void BandPool::Run(int64_t count, int32_t bands, const std::function<void(int64_t, int64_t)>& part) {
    bands = int32_t(std::clamp<int64_t>(bands, 1, std::max<int64_t>(count, 1)));
    if (bands == 1 || threads_.empty()) {
        part(0, count);
        return;
    }
    Task t;
    t.part = &part;
    t.count = count;
    t.bands = bands;
    std::unique_lock<std::mutex> lock(m_);
    try {
        tasks_.push_back(&t);
    } catch (const std::bad_alloc&) {  // no room to hand the bands out
        lock.unlock();
        part(0, count);
        return;
    }
    workCv_.notify_all();
    while (t.next < t.bands) RunOneBand(t, lock);
    // Bands other threads took are finished before t goes out of scope.
    doneCv_.wait(lock, [&] { return t.done == t.bands; });
    if (t.failure) std::rethrow_exception(t.failure);
}

void InstallBandPool(BandPool* pool) { gBandPool.store(pool, std::memory_order_release); }

bool BandPoolInstalled() { return gBandPool.load(std::memory_order_acquire) != nullptr; }

void RunBands(int64_t count, int64_t itemBytes, const std::function<void(int64_t, int64_t)>& part) {
    BandPool* pool = tInBand ? nullptr : gBandPool.load(std::memory_order_acquire);
    if (count <= 0) return;
    if (!pool) {
        part(0, count);
        return;
    }
    // A few bands per thread, so that threads that come late still find some.
    const int64_t byBytes = count * std::max<int64_t>(itemBytes, 1) / kBandBytes;
    const int64_t most = 3 * int64_t(pool->helpers() + 1);
    pool->Run(count, int32_t(std::clamp<int64_t>(byBytes, 1, most)), part);
}

void RefuseNewThreads(bool refuse) { gRefuse.store(refuse, std::memory_order_relaxed); }

}  // namespace movaltic
