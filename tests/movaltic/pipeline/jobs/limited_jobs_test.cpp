// Jobs where memory or CPUs are short: a job that cannot have memory for
// more frames in flight (slots, coders, decoders) goes on with fewer, down to
// one frame at a time, with the bytes of the job without a limit; it fails
// only where the one-thread job fails, with its message. Its workers follow
// the CPUs the process may use.
#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>

#include "job_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/imaging/threads.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

// The limit ends with the job, before the previews read the movies again.
class LimitHost : public jobs::RecordingHost {
public:
    void ProgressClose() override { RefuseMemoryAfter(-1); }
};

struct LimitCase {
    int64_t grants;  // memory asks granted before every later one is refused
    bool finishes;   // enough for one frame at a time: its slot and decoder
};

void PrintTo(const LimitCase& c, std::ostream* os) { *os << c.grants << " grants"; }

class MemoryLimitedJob : public jobs::JobTest, public ::testing::WithParamInterface<LimitCase> {
protected:
    void SetUp() override {
        JobTest::SetUp();
        SetPipelineHost(&limited);
        saved_ = AviCompression.settings;
    }
    void TearDown() override {
        RefuseMemoryAfter(-1);
        RefuseNewThreads(false);
        AviSetCompressor(saved_, 64, 48, 3);
        JobTest::TearDown();
    }

    // The camera movie, Negative and Flip Vertical, rescaled to Motion JPEG
    // (frames coded on the workers, decoded apart); what the box said and the
    // output's bytes, empty when none was left.
    std::string Run(const std::string& name, int64_t grants, bool oneThread, std::string& boxes) {
        limited = LimitHost();
        ToDoList.count = 0;
        AddStep(kOpNegative);
        AddStep(kOpFlipVertical);
        ChooseInput(dir / "camera.avi");
        const fs::path out = dir / (name + ".avi");
        ChooseOutput(out, 3, 704, 560);
        const auto& list = AviCompressorList();
        AviCompressionSettings settings;
        for (size_t k = 0; k < list.size(); ++k)
            if (std::strcmp(list[k].name, "Motion JPEG") == 0) settings.compressor = k;
        AviSetCompressor(settings, OutputMovie.width, OutputMovie.height, 3);
        RefuseNewThreads(oneThread);
        RefuseMemoryAfter(grants);
        RunProcessing();
        RefuseMemoryAfter(-1);
        RefuseNewThreads(false);
        boxes = limited.BoxTexts();
        std::ifstream in(out, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    LimitHost limited;

private:
    AviCompressionSettings saved_;
};

TEST_P(MemoryLimitedJob, WritesTheBytesOfTheUnlimitedJobOrFailsAsOneThread) {
    if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const LimitCase& c = GetParam();
    ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=720x576:rate=10",
                                  "-frames:v", "14", "-c:v", "mjpeg", "-pix_fmt", "yuvj420p",
                                  (dir / "camera.avi").string()}));
    std::string boxes;
    const std::string unlimited = Run("unlimited", -1, false, boxes);
    ASSERT_EQ(boxes, "");
    ASSERT_FALSE(unlimited.empty());

    std::string oneBoxes, manyBoxes;
    const std::string one = Run("one", c.grants, true, oneBoxes);
    const std::string many = Run("many", c.grants, false, manyBoxes);
    EXPECT_EQ(manyBoxes, oneBoxes);
    EXPECT_TRUE(many == one) << "the threaded job's output differs from the one-thread job's";
    if (c.finishes) {
        EXPECT_EQ(manyBoxes, "");
        EXPECT_EQ(limited.progressFrames, 14);
        EXPECT_TRUE(many == unlimited) << "the output differs from the job's without a limit";
    } else {
        EXPECT_EQ(manyBoxes, "Error opening input movie.\n");
        EXPECT_TRUE(many.empty());
    }
}

// 2 grants are the first slot's images, the 3rd the movie's decoder; then
// come more slots (two each), the workers' coders and the decoders apart.
INSTANTIATE_TEST_SUITE_P(Grants, MemoryLimitedJob,
                         ::testing::Values(LimitCase{0, false}, LimitCase{1, false}, LimitCase{2, false},
                                           LimitCase{3, true}, LimitCase{4, true}, LimitCase{5, true},
                                           LimitCase{7, true}, LimitCase{8, true}, LimitCase{9, true},
                                           LimitCase{10, true}, LimitCase{12, true}, LimitCase{16, true},
                                           LimitCase{19, true}, LimitCase{24, true}));

// ---- workers from the CPUs the process may use

class AffinityGuard {
public:
    AffinityGuard() { sched_getaffinity(0, sizeof saved_, &saved_); }
    ~AffinityGuard() { sched_setaffinity(0, sizeof saved_, &saved_); }
    const cpu_set_t& saved() const { return saved_; }

private:
    cpu_set_t saved_{};
};

TEST(Workers, FollowTheAffinityMask) {
    AffinityGuard guard;
    const int allowed = CPU_COUNT(&guard.saved());
    for (int want : {1, 2}) {
        if (want > allowed) continue;
        cpu_set_t some;
        CPU_ZERO(&some);
        for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < want; ++cpu) {
            if (!CPU_ISSET(cpu, &guard.saved())) continue;
            CPU_SET(cpu, &some);
            ++taken;
        }
        ASSERT_EQ(sched_setaffinity(0, sizeof some, &some), 0);
        // A cgroup quota may allow fewer still, never none.
        EXPECT_LE(CoreCount(), want) << want << " CPUs allowed";
        EXPECT_GE(CoreCount(), 1);
    }
}

TEST(Workers, FollowTheCgroupQuota) {
    struct Quota {
        const char* cpuMax;
        int32_t cpus;
    };
    for (const Quota& q : {Quota{"max 100000\n", 0}, Quota{"100000 100000\n", 1}, Quota{"150000 100000", 2},
                           Quota{"50000 100000", 1}, Quota{"400000 100000\n", 4}, Quota{"", 0},
                           Quota{"many 100000", 0}, Quota{"100000 0", 0}, Quota{"-5 100000", 0}})
        EXPECT_EQ(QuotaCpus(q.cpuMax), q.cpus) << '"' << q.cpuMax << '"';
}

}  // namespace
