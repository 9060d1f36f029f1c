// The CPUs and memory the kernel's controls leave the process: quotas and
// limits of nested cgroups (both versions) read from their files' text, and
// the room an address-space or data-segment limit leaves for threads.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "movaltic/imaging/cgroup_limits.h"
#include "movaltic/imaging/threads.h"

namespace {

using namespace movaltic;

// A v2 hierarchy under /sys/fs/cgroup/unified and v1 cpu and memory
// hierarchies beside it, as a hybrid system mounts them; the v1 cpu one
// shows the hierarchy from /machine on.
const char* const kMountInfo =
    "25 1 0:23 / / rw - ext4 /dev/root rw\n"
    "31 25 0:28 / /sys/fs/cgroup rw,relatime - tmpfs tmpfs rw,mode=755\n"
    "32 31 0:29 /machine /sys/fs/cgroup/cpu rw,relatime - cgroup cgroup rw,cpu,cpuacct\n"
    "35 31 0:32 / /sys/fs/cgroup/memory rw,relatime - cgroup cgroup rw,memory\n"
    "41 31 0:38 / /sys/fs/cgroup/unified rw,relatime - cgroup2 cgroup2 rw\n";

const char* const kProcCgroup =
    "4:memory:/user.slice/app.scope\n"
    "3:cpu,cpuacct:/machine/box/job\n"
    "0::/user.slice/user-1000.slice/app.scope\n";

using Files = std::map<std::string, std::string>;

ReadText From(const Files& files) {
    return [&files](const std::string& path) {
        const auto it = files.find(path);
        return it == files.end() ? std::string() : it->second;
    };
}

// The nested folders themselves the table below tries; here the edges.
TEST(CgroupLimits, FoldersRunFromTheProcessGroupUpToTheMountedRoot) {
    EXPECT_EQ(CgroupFolders("0::/\n", "41 31 0:38 / /sys/fs/cgroup rw - cgroup2 cgroup2 rw\n", ""),
              (std::vector<std::string>{"/sys/fs/cgroup"}));
    // No such hierarchy mounted, or the group lies outside what the mount shows.
    EXPECT_TRUE(CgroupFolders(kProcCgroup, kMountInfo, "pids").empty());
    EXPECT_TRUE(CgroupFolders("3:cpu:/other\n", kMountInfo, "cpu").empty());
}

// The tightest CPU quota and memory limit of any group from the process's up
// counts, of either version; the memory room is the limit less what its
// group holds, dropped cache not counted.
TEST(CgroupLimits, TheTightestQuotaAndMemoryLimitOfAnyGroupAboveTheProcessCount) {
    const std::string v2 = "/sys/fs/cgroup/unified/user.slice", app = v2 + "/user-1000.slice/app.scope",
                      cpu1 = "/sys/fs/cgroup/cpu/box", mem1 = "/sys/fs/cgroup/memory/user.slice/app.scope";
    struct Case {
        const char* what;
        Files files;
        int32_t cpus;
        int64_t room;
    };
    const std::vector<Case> cases = {
        {"none set",
         {{v2 + "/cpu.max", "max 100000\n"}, {cpu1 + "/cpu.cfs_quota_us", "-1\n"}, {v2 + "/memory.max", "max\n"},
          {"/sys/fs/cgroup/memory/user.slice/memory.limit_in_bytes", "9223372036854771712\n"}},
         0, INT64_MAX},
        {"v2 on a parent",
         {{app + "/cpu.max", "max 100000\n"}, {v2 + "/cpu.max", "250000 100000\n"}, {v2 + "/memory.max", "1000000\n"},
          {v2 + "/memory.current", "700000\n"}, {v2 + "/user-1000.slice/memory.max", "max\n"},
          {v2 + "/memory.stat", "anon 400000\nfile 300000\ninactive_file 250000\n"}},
         3, 550000},
        {"v2 own group tighter than its parent",
         {{app + "/cpu.max", "50000 100000\n"}, {v2 + "/cpu.max", "400000 100000\n"}, {v2 + "/memory.max", "1000000\n"},
          {v2 + "/memory.current", "100000\n"}, {app + "/memory.max", "300000\n"},
          {app + "/memory.current", "250000\n"}},
         1, 50000},
        {"v1 on a parent and on the process group",
         {{cpu1 + "/cpu.cfs_quota_us", "200000\n"}, {cpu1 + "/cpu.cfs_period_us", "100000\n"},
          {mem1 + "/memory.limit_in_bytes", "800000\n"}, {mem1 + "/memory.usage_in_bytes", "500000\n"},
          {mem1 + "/memory.stat", "inactive_file 1\ntotal_inactive_file 100000\n"}},
         2, 400000},
        {"v1 cpu tighter than v2, v2 memory over its limit",
         {{v2 + "/cpu.max", "400000 100000\n"}, {cpu1 + "/job/cpu.cfs_quota_us", "150000\n"},
          {cpu1 + "/job/cpu.cfs_period_us", "100000\n"}, {v2 + "/memory.max", "1000\n"},
          {v2 + "/memory.current", "5000\n"}},
         2, 0},
        {"v1 quota without its period", {{cpu1 + "/cpu.cfs_quota_us", "200000\n"}}, 0, INT64_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CgroupCpus(kProcCgroup, kMountInfo, From(c.files)), c.cpus) << c.what;
        EXPECT_EQ(CgroupMemoryRoom(kProcCgroup, kMountInfo, From(c.files)), c.room) << c.what;
    }
    EXPECT_EQ(CfsQuotaCpus("100000", "0"), 0);
}

int64_t StatusBytes(const char* key) {
    const std::string status = ReadFileText("/proc/self/status");
    const size_t at = status.find(std::string(key) + ":");
    return at == std::string::npos ? 0 : std::atoll(status.c_str() + at + std::strlen(key) + 1) * 1024;
}

// Under a limit on the data segment or the address space, threads start
// only while their stacks leave two thirds of the room, and a job's reserve;
// the room is the limit less what is mapped.
TEST(MemoryLimits, ThreadsStartOnlyWhereTheirStacksLeaveRoom) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers map their shadow memory beyond any such limit";
#endif
    rlimit as{}, data{};
    if (getrlimit(RLIMIT_AS, &as) == 0 && getrlimit(RLIMIT_DATA, &data) == 0 && as.rlim_cur == RLIM_INFINITY &&
        data.rlim_cur == RLIM_INFINITY) {
        EXPECT_EQ(ThreadsWithin(5), 5);
    }
    constexpr int64_t kMb = 1 << 20;
    for (const auto& [resource, key] : {std::pair{RLIMIT_DATA, "VmData"}, std::pair{RLIMIT_AS, "VmSize"}}) {
        const pid_t child = fork();
        if (child == 0) {
            rlimit limit{};
            getrlimit(resource, &limit);
            limit.rlim_cur = rlim_t(StatusBytes(key) + 200 * kMb);
            if (setrlimit(resource, &limit) != 0) _exit(99);
            const int64_t room = MemoryRoom();
            if (room > 200 * kMb || room < 150 * kMb) _exit(1);
            const int32_t some = ThreadsWithin(100);
            if (some < 1 || some >= 100) _exit(2);
            ReserveForJob(room);  // nothing left for stacks
            std::thread t;
            if (ThreadsWithin(1) != 0 || StartThread(t, [] {})) _exit(3);
            ReserveForJob(0);
            if (!StartThread(t, [] {})) _exit(4);
            t.join();
            _exit(0);
        }
        int status = -1;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0) << key << ": exit status " << status;
    }
}

}  // namespace
