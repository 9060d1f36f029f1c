// Threads where the system grants them. A task limit (ulimit -u, a
// container's or session's) may refuse a new thread at any time: then the
// work runs on the calling thread with the same result, and no exception
// leaves the caller.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace movaltic {

// Starts fn on a new thread in t; false (t untouched) when none is granted.
bool StartThread(std::thread& t, std::function<void()> fn);

// Threads worth starting for a job's frames: the machine's cores, at least 1.
int32_t CoreCount();

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
