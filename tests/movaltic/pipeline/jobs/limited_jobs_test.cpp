// A job refused memory for more frames in flight goes on with fewer, with the
// bytes of the job without a limit, and fails only where one frame's memory is
// refused. Its workers follow the CPUs the process may use.
#include <gtest/gtest.h>

#include <sched.h>

#include <filesystem>
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
    void ProgressClose() override { RefuseMemoryAfter(-1); }
};

using MemoryLimitedJob = jobs::JobTest;

// The camera movie rescaled to Motion JPEG (coded on the workers, decoded
// apart) with that many memory asks granted and every later one refused.
TEST_F(MemoryLimitedJob, WritesTheBytesOfTheUnlimitedJobOrFailsAtOnce) {
    if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=720x576:rate=10",
                                  "-frames:v", "14", "-c:v", "mjpeg", "-pix_fmt", "yuvj420p",
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
    // the decoders apart. Refused here, with 8 CPUs: the first slot's second
    // image, the second slot's, every coder, some coders, a decoder apart.
    for (int64_t grants : {-1, 1, 4, 7, 19, 24}) {
        SCOPED_TRACE(grants);
        limited = LimitHost();
        std::filesystem::remove(dir / "out.avi");
        ChooseInput(dir / "camera.avi");
        ChooseOutput(dir / "out.avi", 3, 704, 560);
        AviSetCompressor(mjpeg, OutputMovie.width, OutputMovie.height, 3);
        RefuseMemoryAfter(grants);
        RunProcessing();
        RefuseMemoryAfter(-1);
        std::vector<uint8_t> bytes;
        ReadWholeFile((dir / "out.avi").string(), bytes);
        if (grants < 0) unlimited = bytes;
        const bool fails = grants >= 0 && grants < 3;
        EXPECT_EQ(limited.BoxTexts(), fails ? "Error opening input movie.\n" : "");
        EXPECT_TRUE(bytes == (fails ? std::vector<uint8_t>{} : unlimited)) << "not the bytes expected";
    }
    EXPECT_FALSE(unlimited.empty());
    AviSetCompressor(saved, 64, 48, 3);
    SetPipelineHost(&host);
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
