#include "movaltic/imaging/threads.h"

#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <fstream>
#include <new>
#include <sstream>
#include <system_error>

namespace movaltic {

namespace {
std::atomic<bool> gRefuse{false};
thread_local bool tWorker = false;
thread_local bool tInBand = false;  // running one band of a frame's work
}  // namespace

bool StartThread(std::thread& t, std::function<void()> fn) {
    if (gRefuse.load(std::memory_order_relaxed)) return false;
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

// The quota of the process's own cgroup (version 2), in CPUs; 0 when none.
int32_t CgroupQuotaCpus() {
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        if (line.rfind("0::", 0) != 0) continue;
        std::ifstream max("/sys/fs/cgroup" + line.substr(3) + "/cpu.max");
        std::string text;
        if (!std::getline(max, text)) return 0;
        return QuotaCpus(text);
    }
    return 0;
}

// Bytes of address space the process has mapped now.
int64_t MappedBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t pages = 0;
    if (!(statm >> pages)) return 0;
    return pages * int64_t(sysconf(_SC_PAGESIZE));
}

// Frame memory beyond the one-thread job's: enough for a few camera frames.
constexpr int64_t kFramesInFlightShare = int64_t(96) << 20;

// The share of the address space still free that frames in flight may take.
int64_t AddressRoom() {
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return INT64_MAX;
    const int64_t unmapped = int64_t(std::min<rlim_t>(limit.rlim_cur, INT64_MAX)) - MappedBytes();
    // Threads' stacks, the allocator and libavcodec take their part as well.
    return std::max<int64_t>(unmapped / 4, 0);
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
    const int32_t quota = CgroupQuotaCpus();
    if (quota > 0) n = std::min(n, quota);
    return std::max(n, 1);
}

int64_t FramesInFlightBudget() { return std::min(kFramesInFlightShare, AddressRoom()); }

bool FramesInFlightLimited() { return AddressRoom() < kFramesInFlightShare; }

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
