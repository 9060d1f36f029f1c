// The CPU quotas and memory limits of the control groups a process runs in,
// over every group above its own: a quota or limit set on a parent (a
// systemd slice, a container's group) binds the process as much as its own.
// Both cgroup versions are read, version 2 and version 1's cpu and memory
// hierarchies, as a machine may mount both. The parsing takes the files'
// text, so that nested groups can be given as text.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace movaltic {

// A file's text, empty where it cannot be read.
using ReadText = std::function<std::string(const std::string& path)>;
std::string ReadFileText(const std::string& path);

// The folders of the groups the process is in, its own first and then each
// one above it up to the root the mount shows: of the version 2 hierarchy
// where v1Controller is empty, else of the version 1 hierarchy that holds
// that controller ("cpu", "memory"). procCgroup is the text of
// /proc/self/cgroup, mountInfo that of /proc/self/mountinfo.
std::vector<std::string> CgroupFolders(const std::string& procCgroup, const std::string& mountInfo,
                                       const std::string& v1Controller);

// The CPUs a version 1 quota allows (cpu.cfs_quota_us over
// cpu.cfs_period_us), rounded up; 0 where it sets none (-1).
int32_t CfsQuotaCpus(const std::string& quotaUs, const std::string& periodUs);

// The CPUs the tightest quota over all those groups allows; 0 where none
// sets one.
int32_t CgroupCpus(const std::string& procCgroup, const std::string& mountInfo, const ReadText& read);

// Bytes the tightest memory limit over those groups (memory.max, version 1's
// memory.limit_in_bytes) leaves beyond what the group holds now, its page
// cache that can be dropped not counted; INT64_MAX where none is set.
int64_t CgroupMemoryRoom(const std::string& procCgroup, const std::string& mountInfo, const ReadText& read);

// The same for this process.
int32_t ProcessCgroupCpus();
int64_t ProcessCgroupMemoryRoom();

}  // namespace movaltic
