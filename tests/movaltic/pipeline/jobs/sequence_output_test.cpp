// Image sequences written where the output folder already holds something:
// images the user may not write, links, other users' files, FIFOs, devices,
// what killed jobs left, and another job writing there at the same time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <set>

#include "job_support.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

// Root writes what no user may; the jobs run as this user when the tests run
// as root.
constexpr uid_t kUser = 65534;
constexpr char kSaveError[] = "Error saving output frame.\n";

std::vector<uint8_t> Bytes(const fs::path& file) {
    std::vector<uint8_t> v;
    ReadWholeFile(file.string(), v);
    return v;
}

class SequenceOutput : public jobs::JobTest {
public:
    const bool root = ::geteuid() == 0;
    const std::vector<uint8_t> old{'o', 'l', 'd'};

    // Gives a file, a link or a folder to the user the jobs run as.
    void Own(const fs::path& p) const {
        EXPECT_TRUE(!root || ::lchown(p.c_str(), kUser, kUser) == 0) << p;
    }
    // A file of old bytes with that mode, the user's own, else root's in the
    // user's group (so that only its owner keeps it from being replaced).
    void Old(const fs::path& p, int mode = 0644, bool users = true) const {
        WriteWholeFile(p.string(), old);
        fs::permissions(p, fs::perms(mode));
        EXPECT_TRUE(!root || ::lchown(p.c_str(), users ? kUser : 0, kUser) == 0) << p;
    }
    // A FIFO, or the null device, mode 0666, root's unless users.
    void Node(const fs::path& p, bool device, bool users = false) const {
        ASSERT_EQ(device ? ::mknod(p.c_str(), S_IFCHR, makedev(1, 3)) : ::mkfifo(p.c_str(), 0), 0) << p;
        fs::permissions(p, fs::perms(0666));
        if (users) Own(p);
    }

    // Runs the job in a child, as the user: whether it showed boxes (one a
    // line, else it ends by a signal, the alarm when it waited 20 s).
    ::testing::AssertionResult RunAsUser(const std::string& boxes, void (*inJob)() = nullptr) {
        const pid_t child = fork();
        if (child == 0) {
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kUser) != 0 || ::setuid(kUser) != 0)) _exit(2);
            ::alarm(20);
            if (inJob) inJob();
            RunProcessing();
            if (host.BoxTexts() == boxes) _exit(0);
            std::fputs(host.BoxTexts().c_str(), stderr);
            _exit(1);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        if (status == 0) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "status " << status << ", not the boxes " << boxes;
    }
};

struct OutputCase {
    const char* what;
    bool needsRoot;  // another user's file, or a device
    std::function<void(SequenceOutput&, const fs::path& out)> prepare;
    const char* boxes;
    // o001.bmp to o003.bmp after the job: w its image, o the old bytes,
    // ? what was there, - none.
    const char* images;
    void (*inJob)() = nullptr;  // the disk's or the user's limits, set in the job's process
};

// The disk fails the second image where the writer asks whether it took all
// its bytes, as sshfs does at close.
int closes = 0, flushErrno = 0;
void FailSecondClose(int err) {
    flushErrno = err;
    image_detail::writerHooks.flushError = [] { return ++closes == 2 ? flushErrno : 0; };
}

// The job writes o001.bmp to o003.bmp into out. Whatever was there stays
// under its name as the same file, with its mode and owner (at most written
// in place), and nothing of the job's own is left beside its images.
const OutputCase kCases[] = {
    {"read-only image", false, [](auto& t, auto& out) { t.Old(out / "o002.bmp", 0444); }, kSaveError, "wo-"},
    // Written in place, keeping the links, owner and mode.
    {"another user's writable image, one with a second link, a link to one", false,
     [](auto& t, auto& out) {
         if (t.root) t.Old(out / "o001.bmp", 0666, false);
         t.Old(out / "o002.bmp");
         fs::create_hard_link(out / "o002.bmp", out / "kept.bmp");
         t.Old(out / "real.bmp");
         fs::create_symlink("real.bmp", out / "o003.bmp");
     },
     "", "www"},
    {"another user's image in a shared sticky folder", true,
     [](auto& t, auto& out) {
         ASSERT_EQ(::chown(out.c_str(), 0, 0), 0);
         fs::permissions(out, fs::perms(01777));
         t.Old(out / "o002.bmp", 0666, false);
     },
     "", "www"},
    // The program waited for a reader here, for ever.
    {"FIFO under an image's name", false, [](auto& t, auto& out) { t.Node(out / "o002.bmp", false, true); },
     kSaveError, "w?-"},
    {"device under an image's name", true, [](auto& t, auto& out) { t.Node(out / "o002.bmp", true); }, "", "w?w"},
    // Named like a killed job's temporaries, but none is.
    {"FIFO, device and another user's file under hidden names", false,
     [](auto& t, auto& out) {
         t.Node(out / ".o001.bmp.movaltic-AAAAAA", false);
         if (!t.root) return;
         t.Node(out / ".o002.bmp.movaltic-AAAAAA", true);
         t.Old(out / ".o003.bmp.movaltic-AAAAAA", 0644, false);
     },
     "", "www"},
    {"images in a folder that takes no new file", false,
     [](auto& t, auto& out) {
         t.Old(out / "o001.bmp");
         t.Old(out / "o002.bmp");
         fs::permissions(out, fs::perms(0555));
     },
     kSaveError, "ww-"},
    {"an old image the disk fails at close, through a hidden name", false,
     [](auto& t, auto& out) { t.Old(out / "o002.bmp"); }, kSaveError, "wo-",
     [] { image_detail::writerHooks.noUnnamedFiles = true, FailSecondClose(EIO); }},
    {"a linked image the full disk fails at close", false,
     [](auto& t, auto& out) { t.Old(out / "o002.bmp"), fs::create_hard_link(out / "o002.bmp", out / "kept.bmp"); },
     "The disk is full: the 1 image(s) written before are whole; the rest were not written.\n", "wo-",
     [] { FailSecondClose(ENOSPC); }},
};

TEST_F(SequenceOutput, WhatTheFolderHoldsIsWrittenInPlaceRefusedOrPassedBy) {
    const mode_t mask = ::umask(022);
    jobs::WriteSequence(dir / "in001.bmp", 3, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    fs::create_directory(dir / "ref");
    ChooseOutput(dir / "ref" / "o001.bmp", 3);
    RunProcessing();
    ASSERT_TRUE(host.boxes.empty()) << host.BoxTexts();
    int n = 0;
    for (const OutputCase& c : kCases) {
        SCOPED_TRACE(c.what);
        if (c.needsRoot && !root) continue;
        const fs::path out = dir / ("out" + std::to_string(n++));
        fs::create_directory(out);
        Own(out);
        c.prepare(*this, out);
        std::map<std::string, struct stat> before;
        for (const auto& e : fs::directory_iterator(out))
            ::lstat(e.path().c_str(), &before[e.path().filename().string()]);
        ChooseOutput(out / "o001.bmp", 3);
        EXPECT_TRUE(RunAsUser(c.boxes, c.inJob));
        fs::permissions(out, fs::perms(0755));
        std::set<std::string> wanted, left;
        for (const auto& [name, was] : before) {
            struct stat now {};
            EXPECT_EQ(::lstat((out / name).c_str(), &now), 0) << name;
            EXPECT_TRUE(now.st_ino == was.st_ino && now.st_mode == was.st_mode && now.st_uid == was.st_uid) << name;
            wanted.insert(name);
        }
        for (int i = 0; i < 3; ++i) {
            const std::string name = "o00" + std::to_string(i + 1) + ".bmp";
            if (c.images[i] != '-') wanted.insert(name);
            if (c.images[i] == 'w') { EXPECT_EQ(Bytes(out / name), Bytes(dir / "ref" / name)) << name; }
            if (c.images[i] == 'o') { EXPECT_EQ(Bytes(out / name), old) << name; }
        }
        for (const auto& e : fs::directory_iterator(out)) left.insert(e.path().filename().string());
        EXPECT_EQ(left, wanted);
    }
    ::umask(mask);
}

// A killed job's temporaries are removed by the next job over the same
// sequence, also those of numbers past its digits; never another sequence's
// (more digits with a leading zero, another extension), nor one a job holds.
TEST_F(SequenceOutput, TheNextJobRemovesOnlyItsOwnSequencesLeftovers) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    const fs::path out = dir / "out";
    fs::create_directory(out);
    const std::set<std::string> kept = {".o0001.bmp.movaltic-DDDDDD", ".o001.BMP.movaltic-GGGGGG",
                                        ".o003.bmp.movaltic-HELDXX"};
    for (const std::string& n : kept) WriteWholeFile(out / n, {1});
    for (const char* n : {".o001.bmp.movaltic-AAAAAA", ".o1000.bmp.movaltic-CCCCCC"}) WriteWholeFile(out / n, {1});
    const int held = ::open((out / ".o003.bmp.movaltic-HELDXX").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(out / "o001.bmp", 3);
    RunProcessing();
    ::close(held);
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    std::set<std::string> left, wanted = kept;
    for (const auto& e : fs::directory_iterator(out)) left.insert(e.path().filename().string());
    wanted.insert({"o001.bmp", "o002.bmp"});
    EXPECT_EQ(left, wanted);
}

// The second image a job creates stops it just before it is locked.
int imagesCreated = 0;
void StopBeforeLock() {
    if (++imagesCreated == 2) std::raise(SIGSTOP);
}

// Where the file system has no nameless files, a job stopped just before it
// locks its second image while another writes the same names: both end
// without a message and each image is one job's whole picture.
TEST_F(SequenceOutput, JobsOverOneFolderLeaveEachOtherAlone) {
    jobs::WriteSequence(dir / "in001.bmp", 4, 24, 16, 3);
    image_detail::writerHooks.noUnnamedFiles = true;
    ChooseInput(dir / "in001.bmp");
    const fs::path out = dir / "out";
    fs::create_directory(out);
    ChooseOutput(out / "s001.bmp", 3);
    const std::vector<jobs::Frame> first = ExpectedFrames(4);
    const pid_t child = fork();
    if (child == 0) {
        image_detail::writerHooks.beforeLock = StopBeforeLock;
        ::alarm(20);
        RunProcessing();
        _exit(host.boxes.empty() ? 0 : 3);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, WUNTRACED), child);
    ASSERT_TRUE(WIFSTOPPED(status)) << status;
    AddStep(kOpNegative);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    const std::vector<jobs::Frame> second = ExpectedFrames(4);
    ::kill(child, SIGCONT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    image_detail::writerHooks.noUnnamedFiles = false;

    // The stopped job wrote its first image before the other ran, the rest after.
    const std::vector<jobs::Frame> back = ReadMovie(out / "s001.bmp");
    ASSERT_EQ(back.size(), 4u);
    EXPECT_TRUE(jobs::SamePicture(back[0], second[0]));
    for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(jobs::SamePicture(back[i], first[i])) << i;
    EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4);  // nothing hidden left
}

// The job is killed at its nth lock, write or rename of an image.
int stopsLeft = 0;
void KillAtStop() {
    if (--stopsLeft == 0) std::raise(SIGKILL);
}

// Killed at every point of its writing, a job leaves under each name the
// earlier image or its new one whole, and other links the same; the next job
// removes every hidden file left (an earlier version's too) and writes all
// images, or on a full disk the first and stops with the disk message.
TEST_F(SequenceOutput, AJobKilledAnywhereLeavesWholeImagesAndNothingForGood) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 64, 64, 3);
    ChooseInput(dir / "in001.bmp");
    const std::string names[] = {"o001.bmp", "o002.bmp", "o003.bmp"};
    const auto run = [&](const fs::path& folder, int32_t bpp) {
        fs::create_directories(folder);
        ChooseOutput(folder / "o001.bmp", bpp);
        RunProcessing();
        std::vector<std::vector<uint8_t>> v;
        for (const std::string& n : names) v.push_back(Bytes(folder / n));
        return v;
    };
    const auto earlier = run(dir / "old", 1);
    AddStep(kOpNegative);
    const auto fresh = run(dir / "new", 3);
    const auto pages = [](const std::vector<uint8_t>& v) { return (v.size() + 4095) / 4096; };
    // e: over an earlier job's images, n: no nameless files, f: on FUSE (no
    // nameless files, no rename flags), d: room for one new image, l: the
    // earlier images have second links.
    for (const std::string c : {"", "e", "n", "ne", "f", "fe", "de", "del"}) {
        SCOPED_TRACE(c);
        const auto is = [&](char k) { return c.find(k) != std::string::npos; };
        const fs::path out = dir / ("case-" + c), shown = dir / ("bindfs-" + c);
        fs::create_directories(out);
        fs::create_directories(shown);
        if ((is('f') && !jobs::RunProgram({"bindfs", shown.string(), out.string()})) ||
            (is('d') && !jobs::RunProgram({"mount", "-t", "tmpfs", "-o", "size=1m", "none", out.string()}))) {
            std::printf("[  SKIPPED ] case %s: cannot mount here\n", c.c_str());
            continue;
        }
        for (int stop = 1;; ++stop) {
            for (const fs::path& p : std::vector<fs::path>(fs::directory_iterator(out), {})) fs::remove_all(p);
            fs::create_directories(out / "links");
            for (size_t i = 0; is('e') && i < 3; ++i) {
                WriteWholeFile((out / names[i]).string(), earlier[i]);
                if (is('l')) fs::create_hard_link(out / names[i], out / "links" / names[i]);
            }
            WriteWholeFile((out / ".o002.bmp.movaltic-EARLYX.new").string(), {1});
            // Room for the first new image only, written in place or beside the old one.
            struct statvfs vfs {};
            if (is('d') && ::statvfs(out.c_str(), &vfs) == 0)
                WriteWholeFile((out / "links" / "filler").string(),
                               std::vector<uint8_t>((vfs.f_bavail - pages(fresh[0]) +
                                                     (is('l') ? pages(earlier[0]) : 1)) * vfs.f_bsize));
            ChooseOutput(out / "o001.bmp", 3);
            const pid_t child = fork();
            if (child == 0) {
                image_detail::writerHooks = {is('n'), KillAtStop, KillAtStop, KillAtStop};
                stopsLeft = stop;
                ::alarm(20);
                RunProcessing();
                _exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            if (!WIFSIGNALED(status)) {
                EXPECT_GT(stop, is('d') ? 1 : 6);  // it was killed at each point before
                break;
            }
            std::vector<uint8_t> first;
            for (size_t i = 0; i < 3; ++i) {
                const auto now = Bytes(out / names[i]);
                EXPECT_TRUE(now == fresh[i] || now == (is('e') ? earlier[i] : std::vector<uint8_t>{})) << stop << i;
                if (is('l')) { EXPECT_EQ(Bytes(out / "links" / names[i]), now); }
                if (i == 0) first = now;
            }
            host.boxes.clear();
            image_detail::writerHooks.noUnnamedFiles = is('n');
            const auto after = run(out, 3);
            image_detail::writerHooks.noUnnamedFiles = false;
            // Replaced through a copy beside it, a new first image needs room for another.
            const std::string written = !is('l') && first == fresh[0] ? "0" : "1";
            EXPECT_EQ(host.BoxTexts(), !is('d') ? "" : "The disk is full: the " + written +
                                       " image(s) written before are whole; the rest were not written.\n");
            EXPECT_EQ(after, (!is('d') ? fresh : decltype(fresh){fresh[0], earlier[1], earlier[2]})) << stop;
            EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 4) << stop;
        }
        if ((is('f') || is('d')) && ::umount2(out.c_str(), MNT_DETACH) != 0)
            for (const char* unmount : {"fusermount", "fusermount3"})
                if (jobs::RunProgram({unmount, "-u", out.string()})) break;
    }
}

// With less room than one image on a nearly full copy-on-write disk (btrfs),
// or one that takes room for all of a range asked (XFS), images with other
// links or an attribute are written whole, as when the program emptied them.
TEST_F(SequenceOutput, ANearlyFullDiskTakesImagesWrittenInPlace) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 256, 256, 3);
    ChooseInput(dir / "in001.bmp");
    for (const std::string type : {"btrfs", "xfs"}) {
        const fs::path disk = dir / (type + ".img"), out = dir / type;
        fs::create_directories(out);
        if (!jobs::RunProgram({"truncate", "-s", "320M", disk.string()}) ||
            !jobs::RunProgram({"mkfs." + type, "-q", "-f", disk.string()}) ||
            !jobs::RunProgram({"mount", "-o", "loop", disk.string(), out.string()})) {
            std::printf("[  SKIPPED ] %s: cannot mount here\n", type.c_str());
            continue;
        }
        for (const std::string n : {"o001.bmp", "o002.bmp", "o003.bmp"}) {
            WriteWholeFile(out / n, std::vector<uint8_t>(196662));
            if (n != "o002.bmp") fs::create_hard_link(out / n, out / ("kept-" + n));
        }
        ::setxattr((out / "o002.bmp").c_str(), "user.x", "1", 1, 0);
        ::sync();
        struct statvfs vfs {};
        const int filler = ::open((out / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
        if (::fstatvfs(filler, &vfs) == 0) ::posix_fallocate(filler, 0, off_t(vfs.f_bavail * vfs.f_bsize - 100000));
        ::close(filler);
        ChooseOutput(out / "o001.bmp", 3);
        host.boxes.clear(), host.written.clear();
        RunProcessing();
        EXPECT_EQ(host.BoxTexts(), "") << type;
        ExpectOutputFrames(out / "o001.bmp", 3);
        EXPECT_EQ(Bytes(out / "kept-o003.bmp"), Bytes(out / "o003.bmp")) << type;
        EXPECT_EQ(::getxattr((out / "o002.bmp").c_str(), "user.x", nullptr, 0), 1) << type;
        ::umount2(out.c_str(), MNT_DETACH);
    }
}

}  // namespace
