// Threads where the system grants them. A task limit (ulimit -u, a
// container's or session's) may refuse a new thread at any time: then the
// work runs on the calling thread with the same result, and no exception
// leaves the caller.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace movaltic {

// Starts fn on a new thread in t; false (t untouched) when none is granted,
// or when its stack would take more than a third of what a limit on the
// address space or data segment leaves (ThreadsWithin).
bool StartThread(std::thread& t, std::function<void()> fn);

// Threads worth starting for a job's frames: the CPUs this process may run
// on (its affinity mask, the tightest CPU quota of its cgroup and every group
// above it), at least 1.
int32_t CoreCount();

// The CPUs a cgroup's cpu.max ("quota period", or "max period") allows,
// rounded up; 0 where it sets no quota.
int32_t QuotaCpus(const std::string& cpuMax);

// Bytes the process may still allocate before a limit stops it: the
// tightest of the address space (ulimit -v), the data segment (ulimit -d)
// and the memory limits of its cgroups, less what each counts in use;
// INT64_MAX where none is set.
int64_t MemoryRoom();

// Bytes a job may hold in frames beyond the one it works on (frames read
// ahead, worked on, coded or decoded apart): a fixed share, less where a
// memory limit leaves less room.
int64_t FramesInFlightBudget();

// Whether that budget is cut by a memory limit.
bool FramesInFlightLimited();

// How many of `wanted` more threads an address-space or data-segment limit
// leaves room for: each maps its whole stack when it starts, though it
// touches little of it. `wanted` where neither limit is set.
int32_t ThreadsWithin(int32_t wanted);

// Bytes of that room neither threads' stacks nor frames in flight may take:
// what the job on one thread still allocates once its frames are held (its
// coders, their buffers). 0 after the job.
void ReserveForJob(int64_t bytes);

// Bytes the process's address space once reached beyond what it maps now:
// after a frame worked alone, what the one-thread job takes for a while
// per frame (a coder's packet buffer) on top of what it keeps.
int64_t PeakAboveNow();

// While one lives, no new thread is started (StartThread refuses), so that
// what a frame takes on one thread is measured alone: a thread that helped
// would leave its stack and allocator arena mapped for good.
class NoNewThreads {
public:
    explicit NoNewThreads(bool hold);
    ~NoNewThreads() { Release(); }
    NoNewThreads(const NoNewThreads&) = delete;
    NoNewThreads& operator=(const NoNewThreads&) = delete;
    void Release();

private:
    bool held_ = false;
};

// Whether a NoNewThreads lives: a refusal now says nothing of later.
bool NewThreadsHeld();

// How many items of `each` bytes fit in `budget`, from least to most.
int32_t CountWithin(int64_t budget, int64_t each, int32_t least, int32_t most);

// Runs part(from, to) over [0, count), split at `split` between a second
// thread and this one; all on this one when no thread is granted or when
// the caller is already one of many working threads (MarkWorkerThread).
void RunInTwo(int64_t count, int64_t split, const std::function<void(int64_t, int64_t)>& part);

// A thread of a pool that already keeps the cores busy: helpers it calls
// split no further.
void MarkWorkerThread();

// Threads that share out the rows of one frame's work (its bands) with the
// thread that asks, so that a few large frames in flight keep every core
// busy. Started for a job and joined when it ends; a band is the same work
// whichever thread does it, so the bytes do not depend on how many started.
class BandPool {
public:
    // Starts up to `helpers` threads; fewer (none) where they are refused.
    explicit BandPool(int32_t helpers);
    ~BandPool();
    BandPool(const BandPool&) = delete;
    BandPool& operator=(const BandPool&) = delete;

    int32_t helpers() const { return int32_t(threads_.size()); }
    // part(from, to) over [0, count) in `bands` bands, the caller doing its
    // share; returns when all are done, with the first exception any threw.
    void Run(int64_t count, int32_t bands, const std::function<void(int64_t, int64_t)>& part);

private:
    struct Task;
    void Loop();
    // Claims and runs one band of t; the lock is held on entry and on return.
    void RunOneBand(Task& t, std::unique_lock<std::mutex>& lock);

    std::vector<std::thread> threads_;
    std::mutex m_;
    std::condition_variable workCv_, doneCv_;
    std::deque<Task*> tasks_;
    bool stopping_ = false;
};

// The pool the job's frames share while it runs (null: none); the caller
// installs it after starting it and removes it before ending it.
void InstallBandPool(BandPool* pool);
bool BandPoolInstalled();

// part(from, to) over [0, count) items (rows, or pairs of rows) of
// `itemBytes` bytes each: shared out among the installed pool's threads by
// bands where the work is large enough to be worth it, else all on this
// thread (as within a band).
void RunBands(int64_t count, int64_t itemBytes, const std::function<void(int64_t, int64_t)>& part);

// For tests: every StartThread is refused while set.
void RefuseNewThreads(bool refuse);

}  // namespace movaltic
