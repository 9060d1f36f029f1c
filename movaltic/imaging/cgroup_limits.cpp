#include "movaltic/imaging/cgroup_limits.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "movaltic/imaging/threads.h"

namespace movaltic {

namespace {

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, at)) parts.push_back(part);
    return parts;
}

bool Has(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// mountinfo writes blanks, tabs, newlines and backslashes in paths as octal
// escapes.
std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 3 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1]))) {
            out += char(std::strtol(s.substr(i + 1, 3).c_str(), nullptr, 8));
            i += 3;
        } else {
            out += s[i];
        }
    }
    return out;
}

struct Mount {
    std::string root, point;
};

// The first mount of the hierarchy: cgroup2, or a cgroup (v1) mount whose
// options name the controller.
bool FindMount(const std::string& mountInfo, const std::string& v1Controller, Mount& mount) {
    std::istringstream lines(mountInfo);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        const std::vector<std::string> f{std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
        const auto dash = std::find(f.begin(), f.end(), "-");
        if (f.size() < 5 || dash == f.end() || f.end() - dash < 4) continue;
        const std::string& type = dash[1];
        const bool fits = v1Controller.empty() ? type == "cgroup2"
                                               : type == "cgroup" && Has(Split(dash[3], ','), v1Controller);
        if (!fits) continue;
        mount = {Unescape(f[3]), Unescape(f[4])};
        return true;
    }
    return false;
}

// A number of a limit file, or none ("max", empty, not a number).
bool ReadNumber(const std::string& text, int64_t& value) {
    std::istringstream in(text);
    long long v = 0;
    if (!(in >> v)) return false;
    value = v;
    return true;
}

// A key's value in memory.stat.
int64_t StatValue(const std::string& stat, const std::string& key) {
    std::istringstream in(stat);
    std::string name;
    long long v = 0;
    while (in >> name >> v)
        if (name == key) return v;
    return 0;
}

// Version 1 writes "no limit" as the largest page count it keeps, a little
// under 2^63.
constexpr int64_t kNoV1Limit = int64_t(1) << 62;

}  // namespace

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> CgroupFolders(const std::string& procCgroup, const std::string& mountInfo,
                                       const std::string& v1Controller) {
    Mount mount;
    if (!FindMount(mountInfo, v1Controller, mount)) return {};
    std::istringstream lines(procCgroup);
    std::string line;
    std::string path;
    bool found = false;
    while (!found && std::getline(lines, line)) {
        // hierarchy-id:controllers:path; version 2's is 0 with no controllers.
        const size_t a = line.find(':'), b = a == std::string::npos ? a : line.find(':', a + 1);
        if (b == std::string::npos) continue;
        const std::string controllers = line.substr(a + 1, b - a - 1);
        found = v1Controller.empty() ? line.compare(0, a, "0") == 0 && controllers.empty()
                                     : Has(Split(controllers, ','), v1Controller);
        if (found) path = line.substr(b + 1);
    }
    if (!found || path.empty() || path[0] != '/') return {};
    // The mount shows the hierarchy from its root on; a group outside it
    // (seen from another namespace) has no folder here.
    if (mount.root != "/") {
        if (path.compare(0, mount.root.size(), mount.root) != 0 ||
            (path.size() > mount.root.size() && path[mount.root.size()] != '/'))
            return {};
        path.erase(0, mount.root.size());
    }
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    std::vector<std::string> folders;
    for (;;) {
        folders.push_back(path.empty() || path == "/" ? mount.point : mount.point + path);
        if (path.empty() || path == "/") break;
        path.erase(path.rfind('/'));
    }
    return folders;
}

int32_t CfsQuotaCpus(const std::string& quotaUs, const std::string& periodUs) {
    int64_t quota = 0, period = 0;
    if (!ReadNumber(quotaUs, quota) || !ReadNumber(periodUs, period) || quota <= 0 || period <= 0) return 0;
    return int32_t(std::min(std::ceil(double(quota) / double(period)), 4096.0));
}

int32_t CgroupCpus(const std::string& procCgroup, const std::string& mountInfo, const ReadText& read) {
    int32_t cpus = 0;
    auto tighter = [&](int32_t n) {
        if (n > 0 && (cpus == 0 || n < cpus)) cpus = n;
    };
    for (const std::string& dir : CgroupFolders(procCgroup, mountInfo, ""))
        tighter(QuotaCpus(read(dir + "/cpu.max")));
    for (const std::string& dir : CgroupFolders(procCgroup, mountInfo, "cpu"))
        tighter(CfsQuotaCpus(read(dir + "/cpu.cfs_quota_us"), read(dir + "/cpu.cfs_period_us")));
    return cpus;
}

int64_t CgroupMemoryRoom(const std::string& procCgroup, const std::string& mountInfo, const ReadText& read) {
    int64_t room = INT64_MAX;
    // A group's room: its limit less what it holds, where the kernel would
    // drop its inactive file pages before it refused an allocation.
    auto tighter = [&](int64_t limit, const std::string& usage, int64_t dropped) {
        int64_t used = 0;
        ReadNumber(usage, used);
        room = std::min(room, std::max<int64_t>(limit - std::max<int64_t>(used - dropped, 0), 0));
    };
    int64_t limit = 0;
    for (const std::string& dir : CgroupFolders(procCgroup, mountInfo, ""))
        if (ReadNumber(read(dir + "/memory.max"), limit))
            tighter(limit, read(dir + "/memory.current"), StatValue(read(dir + "/memory.stat"), "inactive_file"));
    for (const std::string& dir : CgroupFolders(procCgroup, mountInfo, "memory"))
        if (ReadNumber(read(dir + "/memory.limit_in_bytes"), limit) && limit < kNoV1Limit)
            tighter(limit, read(dir + "/memory.usage_in_bytes"),
                    StatValue(read(dir + "/memory.stat"), "total_inactive_file"));
    return room;
}

int32_t ProcessCgroupCpus() {
    return CgroupCpus(ReadFileText("/proc/self/cgroup"), ReadFileText("/proc/self/mountinfo"), ReadFileText);
}

int64_t ProcessCgroupMemoryRoom() {
    return CgroupMemoryRoom(ReadFileText("/proc/self/cgroup"), ReadFileText("/proc/self/mountinfo"), ReadFileText);
}

}  // namespace movaltic
