// Image sequences written where the output folder already holds something:
// images the user may not write, links, other users' files, FIFOs, devices,
// what killed jobs left, and another job writing there at the same time.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
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

std::vector<uint8_t> Bytes(const fs::path& file) {
    std::vector<uint8_t> v;
    ReadWholeFile(file.string(), v);
    return v;
}

struct stat Lstat(const fs::path& file) {
    struct stat st {};
    ::lstat(file.c_str(), &st);
    return st;
}

class SequenceOutput : public jobs::JobTest {
public:
    const bool root = ::geteuid() == 0;
    const uid_t user = root ? kUser : ::geteuid();
    const std::vector<uint8_t> old{'o', 'l', 'd'};

    // Gives a file, a link or a folder to the user the jobs run as.
    void Own(const fs::path& p) const {
        if (root) {
            ASSERT_EQ(::lchown(p.c_str(), kUser, kUser), 0) << p;
        }
    }

    // Runs the job as set up in a child, as the user; what it showed, one box
    // a line, or how it ended when it did not end by itself within 20 s.
    std::string RunAsUser() {
        int out[2];
        if (::pipe(out) != 0) return "no pipe";
        const pid_t child = fork();
        if (child == 0) {
            ::close(out[0]);
            if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kUser) != 0 || ::setuid(kUser) != 0)) _exit(2);
            ::alarm(20);
            RunProcessing();
            const std::string boxes = host.BoxTexts();
            _exit(::write(out[1], boxes.data(), boxes.size()) == ssize_t(boxes.size()) ? 0 : 2);
        }
        ::close(out[1]);
        std::string boxes;
        char buf[256];
        for (ssize_t got; (got = ::read(out[0], buf, sizeof buf)) > 0;) boxes.append(buf, size_t(got));
        ::close(out[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
        return boxes;
    }
};

struct OutputCase {
    const char* what;
    bool needsRoot;  // another user's file, or a device
    std::function<void(SequenceOutput&, const fs::path& out)> prepare;
    const char* boxes;
    // Holds on what the job left; ref is the same job's output in a folder
    // of its own.
    std::function<void(SequenceOutput&, const fs::path& out, const fs::path& ref)> check;
};

constexpr char kSaveError[] = "Error saving output frame.\n";
constexpr char kHidden[] = ".o002.bmp.movaltic-AAAAAA";

void ExpectWritten(const fs::path& out, const fs::path& ref, std::initializer_list<const char*> names) {
    for (const char* n : names) EXPECT_EQ(Bytes(out / n), Bytes(ref / n)) << n;
}

// The job writes o001.bmp to o003.bmp into out, where o002.bmp or a hidden
// name is already taken. Each case as the program did before its images were
// renamed into place, except where noted.
const OutputCase kCases[] = {
    {"read-only image", false,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / "o002.bmp").string(), t.old);
         t.Own(out / "o002.bmp");
         fs::permissions(out / "o002.bmp", fs::perms(0444));
     },
     kSaveError,
     [](SequenceOutput& t, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp"});
         EXPECT_EQ(Bytes(out / "o002.bmp"), t.old);
         EXPECT_EQ(Lstat(out / "o002.bmp").st_mode & 07777, 0444u);
         EXPECT_FALSE(fs::exists(out / "o003.bmp"));
     }},
    {"image with a second link", false,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / "o002.bmp").string(), t.old);
         t.Own(out / "o002.bmp");
         fs::create_hard_link(out / "o002.bmp", out / "kept.bmp");
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_EQ(Bytes(out / "kept.bmp"), Bytes(ref / "o002.bmp"));
         EXPECT_EQ(Lstat(out / "o002.bmp").st_ino, Lstat(out / "kept.bmp").st_ino);
     }},
    {"another user's writable image", true,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / "o002.bmp").string(), t.old);
         fs::permissions(out / "o002.bmp", fs::perms(0666));
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_EQ(Lstat(out / "o002.bmp").st_uid, 0u);
         EXPECT_EQ(Lstat(out / "o002.bmp").st_mode & 07777, 0666u);
     }},
    {"another user's image in a shared sticky folder", true,
     [](SequenceOutput& t, const fs::path& out) {
         ASSERT_EQ(::chown(out.c_str(), 0, 0), 0);
         fs::permissions(out, fs::perms(01777));
         WriteWholeFile((out / "o002.bmp").string(), t.old);
         fs::permissions(out / "o002.bmp", fs::perms(0666));
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_EQ(Lstat(out / "o002.bmp").st_uid, 0u);
     }},
    {"link to an image", false,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / "real.bmp").string(), t.old);
         t.Own(out / "real.bmp");
         fs::create_symlink("real.bmp", out / "o002.bmp");
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o003.bmp"});
         EXPECT_TRUE(fs::is_symlink(out / "o002.bmp"));
         EXPECT_EQ(Bytes(out / "real.bmp"), Bytes(ref / "o002.bmp"));
     }},
    {"link under a hidden name", false,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / "real.bmp").string(), t.old);
         fs::create_symlink("real.bmp", out / kHidden);
     },
     "",
     [](SequenceOutput& t, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_TRUE(fs::is_symlink(out / kHidden));
         EXPECT_EQ(Bytes(out / "real.bmp"), t.old);
     }},
    // The program waited for a reader here, for ever.
    {"FIFO under an image's name", false,
     [](SequenceOutput&, const fs::path& out) { ASSERT_EQ(::mkfifo((out / "o002.bmp").c_str(), 0666), 0); },
     kSaveError,
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp"});
         EXPECT_TRUE(fs::is_fifo(out / "o002.bmp"));
         EXPECT_FALSE(fs::exists(out / "o003.bmp"));
     }},
    {"FIFO under a hidden name", false,
     [](SequenceOutput&, const fs::path& out) { ASSERT_EQ(::mkfifo((out / kHidden).c_str(), 0666), 0); },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_TRUE(fs::is_fifo(out / kHidden));
     }},
    {"device under an image's name", true,
     [](SequenceOutput&, const fs::path& out) {
         ASSERT_EQ(::mknod((out / "o002.bmp").c_str(), S_IFCHR, makedev(1, 3)), 0);  // null
         fs::permissions(out / "o002.bmp", fs::perms(0666));
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o003.bmp"});
         EXPECT_TRUE(fs::is_character_file(out / "o002.bmp"));
     }},
    {"device under a hidden name", true,
     [](SequenceOutput&, const fs::path& out) {
         ASSERT_EQ(::mknod((out / kHidden).c_str(), S_IFCHR, makedev(1, 3)), 0);
         fs::permissions(out / kHidden, fs::perms(0666));
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_TRUE(fs::is_character_file(out / kHidden));
     }},
    {"folder under an image's name", false,
     [](SequenceOutput&, const fs::path& out) { fs::create_directory(out / "o002.bmp"); },
     kSaveError,
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp"});
         EXPECT_TRUE(fs::is_directory(out / "o002.bmp"));
         EXPECT_FALSE(fs::exists(out / "o003.bmp"));
     }},
    {"another user's file under a hidden name", true,
     [](SequenceOutput& t, const fs::path& out) {
         WriteWholeFile((out / kHidden).string(), t.old);
     },
     "",
     [](SequenceOutput& t, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_EQ(Bytes(out / kHidden), t.old);
     }},
    {"images in a folder that takes no new file", false,
     [](SequenceOutput& t, const fs::path& out) {
         for (const char* n : {"o001.bmp", "o002.bmp", "o003.bmp"}) {
             WriteWholeFile((out / n).string(), t.old);
             t.Own(out / n);
         }
         fs::permissions(out, fs::perms(0555));
     },
     "",
     [](SequenceOutput&, const fs::path& out, const fs::path& ref) {
         ExpectWritten(out, ref, {"o001.bmp", "o002.bmp", "o003.bmp"});
         EXPECT_EQ(Lstat(out / "o002.bmp").st_mode & 07777, 0644u);
     }},
    {"empty folder that takes no new file", false,
     [](SequenceOutput&, const fs::path& out) { fs::permissions(out, fs::perms(0555)); }, kSaveError,
     [](SequenceOutput&, const fs::path& out, const fs::path&) { EXPECT_TRUE(fs::is_empty(out)); }},
};

TEST_F(SequenceOutput, WhatTheFolderHoldsIsWrittenInPlaceRefusedOrPassedBy) {
    const mode_t mask = ::umask(022);
    jobs::WriteSequence(dir / "in001.bmp", 3, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "ref" / "o001.bmp", 3);
    fs::create_directory(dir / "ref");
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
        ChooseOutput(out / "o001.bmp", 3);
        EXPECT_EQ(RunAsUser(), c.boxes);
        c.check(*this, out, dir / "ref");
        fs::permissions(out, fs::perms(0755));
        // Nothing of the job's own is left beside its images.
        for (const auto& e : fs::directory_iterator(out))
            EXPECT_TRUE(e.path().filename() == kHidden || e.path().string().find(".movaltic-") == std::string::npos)
                << e.path();
    }
    ::umask(mask);
}

// A killed job's temporaries are removed by the next job over the same
// sequence: those of its own digit count and extension (and of numbers past
// its digits), never another sequence's, nor one a job holds.
TEST_F(SequenceOutput, TheNextJobRemovesOnlyItsOwnSequencesLeftovers) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    const fs::path out = dir / "out";
    fs::create_directory(out);
    const std::set<std::string> removed = {".o001.bmp.movaltic-AAAAAA", ".o002.bmp.movaltic-BBBBBB",
                                           ".o1000.bmp.movaltic-CCCCCC"};
    const std::set<std::string> kept = {".o0001.bmp.movaltic-DDDDDD", ".o01.bmp.movaltic-EEEEEE",
                                        ".o001.tga.movaltic-FFFFFF",  ".o001.BMP.movaltic-GGGGGG",
                                        ".p001.bmp.movaltic-HHHHHH",  ".o001x.bmp.movaltic-IIIIII",
                                        ".o003.bmp.movaltic-HELDXX",  ".o0a1.bmp.movaltic-JJJJJJ"};
    for (const std::set<std::string>* names : {&removed, &kept})
        for (const std::string& n : *names) WriteWholeFile((out / n).string(), {1});
    const int held = ::open((out / ".o003.bmp.movaltic-HELDXX").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(out / "o001.bmp", 3);
    RunProcessing();
    ::close(held);
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(out)) left.insert(e.path().filename().string());
    std::set<std::string> wanted = kept;
    wanted.insert({"o001.bmp", "o002.bmp"});
    EXPECT_EQ(left, wanted);
}

// Set in a child held just before it locks a new image.
int heldSignal = -1, heldRelease = -1;
int imagesCreated = 0;
void HoldBeforeLock() {
    if (++imagesCreated != 2) return;
    char c = 0;
    if (::write(heldSignal, &c, 1) != 1 || ::read(heldRelease, &c, 1) != 1) _exit(4);
}

// A job held just before it locks its second image while other jobs write
// the same names, and names of other digit counts, in the folder: every job
// ends without a message and each image is one job's whole picture.
TEST_F(SequenceOutput, JobsOverOneFolderLeaveEachOtherAlone) {
    jobs::WriteSequence(dir / "in001.bmp", 4, 24, 16, 3);
    for (const bool nameless : {true, false}) {
        SCOPED_TRACE(nameless ? "nameless files" : "no nameless files");
        image_detail::writerHooks.noUnnamedFiles = !nameless;
        const fs::path out = dir / (nameless ? "nameless" : "named");
        fs::create_directory(out);
        ToDoList.count = 0;
        ChooseInput(dir / "in001.bmp");
        ChooseOutput(out / "s001.bmp", 3);
        const std::vector<jobs::Frame> first = ExpectedFrames(4);
        int toChild[2], fromChild[2];
        ASSERT_EQ(::pipe(toChild), 0);
        ASSERT_EQ(::pipe(fromChild), 0);
        const pid_t child = fork();
        if (child == 0) {
            heldSignal = fromChild[1];
            heldRelease = toChild[0];
            image_detail::writerHooks.beforeLock = HoldBeforeLock;
            ::alarm(20);
            RunProcessing();
            _exit(host.boxes.empty() ? 0 : 3);
        }
        char c = 0;
        ASSERT_EQ(::read(fromChild[0], &c, 1), 1);
        AddStep(kOpNegative);
        for (const char* name : {"s001.bmp", "s01.bmp", "s0001.bmp"}) {
            ChooseOutput(out / name, 3);
            RunProcessing();
            EXPECT_TRUE(host.boxes.empty()) << name << ": " << host.BoxTexts();
        }
        const std::vector<jobs::Frame> second = ExpectedFrames(4);
        ASSERT_EQ(::write(toChild[1], &c, 1), 1);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);

        // The held job wrote its first image before the others ran, the rest after.
        const std::vector<jobs::Frame> back = ReadMovie(out / "s001.bmp");
        ASSERT_EQ(back.size(), 4u);
        EXPECT_TRUE(jobs::SamePicture(back[0], second[0]));
        for (size_t i = 1; i < 4; ++i) EXPECT_TRUE(jobs::SamePicture(back[i], first[i])) << i;
        for (const char* name : {"s01.bmp", "s0001.bmp"}) {
            const std::vector<jobs::Frame> other = ReadMovie(out / name);
            ASSERT_EQ(other.size(), 4u) << name;
            for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(jobs::SamePicture(other[i], second[i])) << name << i;
        }
        size_t files = 0;
        for (const auto& e : fs::directory_iterator(out)) {
            EXPECT_NE(e.path().filename().string()[0], '.') << e.path();
            ++files;
        }
        EXPECT_EQ(files, 12u);
    }
    image_detail::writerHooks.noUnnamedFiles = false;
}

}  // namespace
