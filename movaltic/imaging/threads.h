// Threads where the system grants them. A task limit (ulimit -u, a
// container's or session's) may refuse a new thread at any time: then the
// work runs on the calling thread with the same result, and no exception
// leaves the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

namespace movaltic {

// Starts fn on a new thread in t; false (t untouched) when none is granted.
bool StartThread(std::thread& t, std::function<void()> fn);

// Threads worth starting for a job's frames: the CPUs this process may run
// on (its affinity mask, a cgroup's CPU quota where one is set), at least 1.
int32_t CoreCount();

// The CPUs a cgroup's cpu.max ("quota period", or "max period") allows,
// rounded up; 0 where it sets no quota.
int32_t QuotaCpus(const std::string& cpuMax);

// Bytes a job may hold in frames beyond the one it works on (frames read
// ahead, worked on, coded or decoded apart): a fixed share, less where an
// address-space limit (ulimit -v) leaves less room.
int64_t FramesInFlightBudget();

// Whether that budget is cut by the address-space limit.
bool FramesInFlightLimited();

// How many items of `each` bytes fit in `budget`, from least to most.
int32_t CountWithin(int64_t budget, int64_t each, int32_t least, int32_t most);

// Runs part(from, to) over [0, count), split at `split` between a second
// thread and this one; all on this one when no thread is granted or when
// the caller is already one of many working threads (MarkWorkerThread).
void RunInTwo(int64_t count, int64_t split, const std::function<void(int64_t, int64_t)>& part);

// A thread of a pool that already keeps the cores busy: helpers it calls
// split no further.
void MarkWorkerThread();

// For tests: every StartThread is refused while set.
void RefuseNewThreads(bool refuse);

}  // namespace movaltic
