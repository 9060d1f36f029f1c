// A job refused memory for more frames in flight goes on with fewer, with the
// bytes of the job without a limit, and fails only where one frame's memory is
// refused. Its workers follow the CPUs the process may use.
#include <gtest/gtest.h>

#include <sched.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "job_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/imaging/threads.h"

namespace {

using namespace movaltic;

// The limit ends with the job, before the previews read the movies again.
class LimitHost : public jobs::RecordingHost {
public:
    bool exhausted = false;  // the job asked for more than it was granted

private:
    void ProgressClose() override {
        exhausted = !MemoryGranted();
        RefuseMemoryAfter(-1);
    }
};

using MemoryLimitedJob = jobs::JobTest;

// The camera movie rescaled to Motion JPEG (coded on the workers, decoded
// apart) with that many memory asks granted and every later one refused.
TEST_F(MemoryLimitedJob, WritesTheBytesOfTheUnlimitedJobOrFailsAtOnce) {
    if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=720x576:rate=10",
                                  "-frames:v", "6", "-c:v", "mjpeg", "-pix_fmt", "yuvj420p",
                                  (dir / "camera.avi").string()}));
    LimitHost limited;
    SetPipelineHost(&limited);
    const AviCompressionSettings saved = AviCompression.settings;
    AddStep(kOpNegative);
    AviCompressionSettings mjpeg;
    for (size_t k = 0; k < AviCompressorList().size(); ++k)
        if (AviCompressorList()[k].name == std::string("Motion JPEG")) mjpeg.compressor = k;
    std::vector<uint8_t> unlimited;
    // Asked in turn: the first slot's two images and the movie's decoder (all
    // a job on one thread needs), more slots (two each), the workers' coders,
    // the decoders apart. Refused at every point, until a job is granted all
    // it asks.
    bool refused = true;
    for (int64_t grants = -1; refused && grants < 200; ++grants) {
        SCOPED_TRACE(grants);
        limited = LimitHost();
        std::filesystem::remove(dir / "out.avi");
        ChooseInput(dir / "camera.avi");
        ChooseOutput(dir / "out.avi", 3, 704, 560);
        AviSetCompressor(mjpeg, OutputMovie.width, OutputMovie.height, 3);
        RefuseMemoryAfter(grants);
        RunProcessing();
        refused = grants < 0 || limited.exhausted;
        RefuseMemoryAfter(-1);
        std::vector<uint8_t> bytes;
        ReadWholeFile((dir / "out.avi").string(), bytes);
        if (grants < 0) unlimited = bytes;
        const bool fails = grants >= 0 && grants < 3;
        EXPECT_EQ(limited.BoxTexts(), fails ? "Error opening input movie.\n" : "");
        EXPECT_TRUE(bytes == (fails ? std::vector<uint8_t>{} : unlimited)) << "not the bytes expected";
    }
    EXPECT_FALSE(unlimited.empty());
    EXPECT_FALSE(refused);
    AviSetCompressor(saved, 64, 48, 3);
    SetPipelineHost(&host);
}

// The job a test below gives in MOVALTIC_LIMITED_JOB ("input|output|
// compressor|width|height|MB|threads|limit"), run in a process of its own
// with that many MB of data segment (ulimit -d) or address space (ulimit -v)
// beyond what it holds when it starts, on one thread or on as many as it is
// granted.
TEST_F(MemoryLimitedJob, DISABLED_RunsTheJobOfItsEnvironment) {
    std::vector<std::string> f;
    std::istringstream in(std::getenv("MOVALTIC_LIMITED_JOB") ? std::getenv("MOVALTIC_LIMITED_JOB") : "");
    for (std::string field; std::getline(in, field, '|');) f.push_back(field);
    ASSERT_EQ(f.size(), 8u);
    AddStep(kOpNegative);
    AddStep(kOpFlipVertical);
    ChooseInput(f[0]);
    ChooseOutput(f[1], 3, std::stoi(f[3]), std::stoi(f[4]));
    AviCompressionSettings settings;
    for (size_t k = 0; k < AviCompressorList().size(); ++k)
        if (AviCompressorList()[k].name == f[2]) settings.compressor = k;
    AviSetCompressor(settings, OutputMovie.width, OutputMovie.height, 3);
    const bool space = f[7] == "as";
    rlimit limit{};
    getrlimit(space ? RLIMIT_AS : RLIMIT_DATA, &limit);
    limit.rlim_cur = rlim_t(jobs::StatusBytes(space ? "VmSize" : "VmData") + (int64_t(std::stoi(f[5])) << 20));
    ASSERT_EQ(setrlimit(space ? RLIMIT_AS : RLIMIT_DATA, &limit), 0);
    RefuseNewThreads(f[6] == "one");
    RunProcessing();
}

// Jobs on many threads under a data-segment or address-space limit, which
// count threads' stacks and the allocator's mappings: wherever the same job
// on one thread finishes, they write the very bytes of the job without a
// limit. Tried from little room beyond what a fresh process holds to room
// for all the threads and frames in flight. FFV1 rescaled up takes a packet
// buffer of 150 bytes a pixel for each frame it codes.
TEST_F(MemoryLimitedJob, UnderAMemoryLimitFinishesWhereTheOneThreadJobFinishes) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers map their shadow memory beyond any such limit";
#endif
    if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const std::string camera = (dir / "camera.avi").string();
    ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=720x576:rate=10",
                                  "-frames:v", "6", "-c:v", "mjpeg", "-pix_fmt", "yuvj420p", camera}));
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    // Coded on the workers and decoded apart; coded by the writer.
    struct Sweep {
        const char* job;
        const char* limit;
        int from, to, step;
    };
    for (const Sweep& sweep : {Sweep{"|Motion JPEG|704|560|", "data", 0, 120, 12},
                               Sweep{"|FFV1 (lossless)|360|288|", "data", 0, 120, 12},
                               Sweep{"|FFV1 (lossless)|1280|960|", "as", 100, 400, 30}}) {
        SCOPED_TRACE(std::string(sweep.job) + sweep.limit);
        auto run = [&](int mb, const char* threads) {
            const std::string out = (dir / (std::string(threads) + std::to_string(mb) + ".avi")).string();
            setenv("MOVALTIC_LIMITED_JOB",
                   (camera + "|" + out + sweep.job + std::to_string(mb) + "|" + threads + "|" + sweep.limit).c_str(),
                   1);
            jobs::ProgramOutput({self, "--gtest_also_run_disabled_tests",
                                 "--gtest_filter=MemoryLimitedJob.DISABLED_RunsTheJobOfItsEnvironment"});
            unsetenv("MOVALTIC_LIMITED_JOB");
            std::vector<uint8_t> bytes;
            ReadWholeFile(out, bytes);
            return bytes;
        };
        const std::vector<uint8_t> unlimited = run(4000, "many");
        ASSERT_FALSE(unlimited.empty());
        // Once the job on one thread finishes, it finishes with more room too.
        int finished = 0;
        for (int mb = sweep.from; mb <= sweep.to; mb += sweep.step) {
            if (!finished && run(mb, "one") != unlimited) continue;
            ++finished;
            EXPECT_TRUE(run(mb, "many") == unlimited) << mb << " MB beyond what the process held";
        }
        EXPECT_GT(finished, 5);
    }
}

TEST(Workers, FollowTheAffinityMask) {
    cpu_set_t saved, one;
    ASSERT_EQ(sched_getaffinity(0, sizeof saved, &saved), 0);
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);  // one this thread may run on
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    const int32_t cores = CoreCount();
    sched_setaffinity(0, sizeof saved, &saved);
    EXPECT_EQ(cores, 1);
}

TEST(Workers, FollowTheCgroupQuota) {
    for (const auto& [cpuMax, cpus] : {std::pair<const char*, int32_t>{"max 100000\n", 0}, {"100000 100000\n", 1},
                                       {"50000 100000", 1}, {"150000 100000", 2}, {"100000 0", 0}})
        EXPECT_EQ(QuotaCpus(cpuMax), cpus) << '"' << cpuMax << '"';
}

}  // namespace
