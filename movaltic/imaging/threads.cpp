#include "movaltic/imaging/threads.h"

#include <atomic>
#include <exception>
#include <system_error>

namespace movaltic {

namespace {
std::atomic<bool> gRefuse{false};
thread_local bool tWorker = false;
}  // namespace

bool StartThread(std::thread& t, std::function<void()> fn) {
    if (gRefuse.load(std::memory_order_relaxed)) return false;
    try {
        t = std::thread(std::move(fn));
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

int32_t CoreCount() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : int32_t(n);
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
    if (tWorker || split <= 0 || split >= count || !StartThread(other, second)) {
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

void RefuseNewThreads(bool refuse) { gRefuse.store(refuse, std::memory_order_relaxed); }

}  // namespace movaltic
