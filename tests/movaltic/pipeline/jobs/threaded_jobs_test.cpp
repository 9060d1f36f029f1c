// A job's frames worked on many threads give the very bytes of the same job
// on one thread (threads refused, as a task limit refuses them), for every
// kind of output; Cancel and a bad input frame in the middle of the frames in
// flight keep the frames the one-thread job keeps.
#include <gtest/gtest.h>
#include <sched.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "job_support.h"
#include "movaltic/formats/avi/avi_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/imaging/threads.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ThreadedCase {
    const char* name;
    const char* input;   // "camera.avi" (Motion JPEG with sound), "in001.bmp", "in.zuv"
    const char* output;  // file name in a folder of its own
    int32_t bytesPerPixel, width, height;
    const char* compressor;  // AVI outputs
    bool singlePalette, resample, rescaleAtStart;
    std::vector<int32_t> steps;
};

void PrintTo(const ThreadedCase& c, std::ostream* os) { *os << c.name; }

class ThreadedJob : public jobs::JobTest, public ::testing::WithParamInterface<ThreadedCase> {
protected:
    void SetUp() override {
        JobTest::SetUp();
        saved_ = AviCompression.settings;
    }
    void TearDown() override {
        RefuseNewThreads(false);
        AviSetCompressor(saved_, 64, 48, 3);
        JobTest::TearDown();
    }

    void MakeInput(const std::string& kind, int frames) {
        if (kind == "camera.avi") {
            ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                          "testsrc2=size=720x576:rate=10", "-f", "lavfi", "-i",
                                          "sine=frequency=440:sample_rate=22050", "-frames:v",
                                          std::to_string(frames), "-c:v", "mjpeg", "-pix_fmt", "yuvj420p",
                                          "-c:a", "pcm_s16le", "-shortest", (dir / kind).string()}));
        } else if (kind == "in.zuv") {
            jobs::WriteZuv(dir / kind, frames, 64, 48, 3, false);
        } else {
            jobs::WriteSequence(dir / kind, frames, 64, 48, 3);
        }
    }

    // Runs the case's job into a folder of its own; the bytes of every file
    // written, in name order.
    // damage: done to the input once the job has taken it.
    std::vector<std::string> Run(const ThreadedCase& c, const std::string& folder, bool oneThread,
                                 int cancelAfter = -1, const std::function<void()>& damage = {}) {
        host = jobs::RecordingHost();
        host.cancelAfterFrames = cancelAfter;
        ToDoList.count = 0;
        for (int32_t op : c.steps) AddStep(op, op == kOpChaos ? 3 : 20, 20, 20);
        ChooseInput(dir / c.input);
        if (damage) damage();
        fs::create_directories(dir / folder);
        ChooseOutput(dir / folder / c.output, c.bytesPerPixel, c.width, c.height);
        SinglePalette = c.singlePalette;
        UseResample = c.resample;
        RescaleAtStart = c.rescaleAtStart;
        if (c.compressor) {
            const auto& list = AviCompressorList();
            AviCompressionSettings settings;
            for (size_t k = 0; k < list.size(); ++k)
                if (std::strcmp(list[k].name, c.compressor) == 0) settings.compressor = k;
            AviSetCompressor(settings, OutputMovie.width, OutputMovie.height, c.bytesPerPixel);
        }
        RefuseNewThreads(oneThread);
        RunProcessing();
        RefuseNewThreads(false);
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(dir / folder)) files.push_back(e.path());
        std::sort(files.begin(), files.end());
        std::vector<std::string> bytes;
        for (const fs::path& f : files) bytes.push_back(f.filename().string() + ":" + Bytes(f));
        return bytes;
    }

private:
    AviCompressionSettings saved_;
};

TEST_P(ThreadedJob, WritesTheBytesOfTheOneThreadJob) {
    const ThreadedCase& c = GetParam();
    if ((std::string(c.input) == "camera.avi" || c.compressor) && !jobs::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    MakeInput(c.input, 14);
    const std::vector<std::string> one = Run(c, "one", true);
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ASSERT_FALSE(one.empty());
    const std::vector<std::string> many = Run(c, "many", false);
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_EQ(host.progressFrames, 14);
    ASSERT_EQ(one.size(), many.size());
    for (size_t i = 0; i < one.size(); ++i) EXPECT_TRUE(one[i] == many[i]) << "file " << i << " differs";
}

const std::vector<int32_t> kFlipNegate = {kOpNegative, kOpFlipVertical};

INSTANTIATE_TEST_SUITE_P(
    Jobs, ThreadedJob,
    ::testing::Values(
        // Large enough for the rescale and the colour conversion to split
        // their rows between two threads where threads are had.
        ThreadedCase{"MotionJpegRescaledWithSound", "camera.avi", "o.avi", 3, 704, 560, "Motion JPEG", true, true,
                     false, kFlipNegate},
        // Frames large enough for their rows to be shared out among the
        // job's band threads: every kind of banded step on them.
        ThreadedCase{"LargeFramesInBands", "camera.avi", "o.avi", 3, 1280, 720, "Motion JPEG", true, true, true,
                     {kOpBlur, kOpNegative, kOpFlipHorizontal, kOpSaturation, kOpMirrorVertical}},
        ThreadedCase{"LargeFramesResizedInBands", "camera.avi", "o.avi", 3, 1200, 900, nullptr, true,
                     false, false, {kOpSharpen, kOpBrightness, kOpMirrorHorizontal}},
        ThreadedCase{"UncompressedAviScattered", "camera.avi", "o.avi", 3, -1, -1, nullptr, true, true, false,
                     {kOpChaos, kOpBlur}},
        ThreadedCase{"CinepakResized", "in001.bmp", "o.avi", 3, 80, 60, "Cinepak", true, false, true, kFlipNegate},
        ThreadedCase{"FfmpegLosslessEightBit", "in001.bmp", "o.avi", 1, -1, -1, "FFV1 (lossless)", false, true,
                     false, {kOpSharpen}},
        ThreadedCase{"ZuvOnePalette", "in001.bmp", "o.zuv", 1, -1, -1, nullptr, true, true, false,
                     {kOpBrightness, kOpBlur}},
        ThreadedCase{"ZuvPaletteEachFrameRescaled", "in.zuv", "o.zuv", 1, 40, 30, nullptr, false, true, false,
                     {kOpEmboss}},
        ThreadedCase{"ZuvHighColour", "in.zuv", "o.zuv", 2, -1, -1, nullptr, true, true, false, {kOpGrayscale}},
        ThreadedCase{"AviHighColour", "in001.bmp", "o.avi", 2, -1, -1, nullptr, true, true, false, {kOpSoften}},
        ThreadedCase{"Flc", "in001.bmp", "o.flc", 1, 96, 72, nullptr, true, true, true, {kOpSaturation}},
        ThreadedCase{"BmpSequence", "in.zuv", "f001.bmp", 3, 32, 24, nullptr, true, false, false, kFlipNegate},
        ThreadedCase{"PcxSequenceEightBit", "camera.avi", "p001.pcx", 1, -1, -1, nullptr, false, true, false,
                     {kOpContrast}}),
    [](const ::testing::TestParamInfo<ThreadedCase>& c) { return std::string(c.param.name); });

// Cancel after frame 5 (sound included), and an input frame that cannot be
// read at frame 8, while later frames are already read and worked on: the
// frames before are kept, whole, as the one-thread job keeps them, with its
// message.
TEST_P(ThreadedJob, StopsInTheMiddleAsTheOneThreadJob) {
    const ThreadedCase& c = GetParam();
    if ((std::string(c.input) == "camera.avi" || c.compressor) && !jobs::HaveFfmpeg())
        GTEST_SKIP() << "ffmpeg is not installed";
    const size_t kept = c.singlePalette && c.bytesPerPixel == 1 ? 0 : 5;  // the first pass is stopped
    MakeInput(c.input, 20);
    std::vector<std::string> one = Run(c, "one", true, 5);
    ASSERT_TRUE(host.boxes.empty()) << host.BoxTexts();
    std::vector<std::string> many = Run(c, "many", false, 5);
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_EQ(host.written.size(), kept);
    EXPECT_EQ(one, many);
    if (std::string(c.input) == "camera.avi" && std::string(c.output) == "o.avi") {
        EXPECT_NE(many.at(0).find("01wb"), std::string::npos) << "the sound of the frames kept";
    }
    if (std::string(c.input) != "in001.bmp") return;

    auto damage = [&] { fs::resize_file(dir / "in009.bmp", 100); };
    one = Run(c, "one-bad", true, -1, damage);
    const std::string message = host.BoxTexts();
    EXPECT_EQ(message, "Error loading input frame.\n");
    MakeInput(c.input, 20);
    many = Run(c, "many-bad", false, -1, damage);
    EXPECT_EQ(host.BoxTexts(), message);
    EXPECT_EQ(host.written.size(), kept ? 8u : 0u);
    EXPECT_EQ(one, many);
}

// Two Motion JPEG frames whose scans were cut short (the frame before shows
// where they lack rows) give the one-thread job's bytes on any number of CPUs
// the job may use.
class DamagedCameraJob : public ThreadedJob {};

TEST_F(DamagedCameraJob, WritesTheOneThreadBytesOnAnyCpus) {
    if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
    const ThreadedCase c{"", "camera.avi", "o.avi", 3, -1, -1, nullptr, true, true, false, kFlipNegate};
    MakeInput(c.input, 14);
    const std::string movie = (dir / c.input).string();
    ASSERT_TRUE(avitest::CutVideoScan(movie, 5, 0.5) && avitest::CutVideoScan(movie, 6, 0.2));
    const std::vector<std::string> one = Run(c, "one", true);
    ASSERT_FALSE(one.empty());
    cpu_set_t all, some;
    ASSERT_EQ(sched_getaffinity(0, sizeof all, &all), 0);
    for (int cpus : {1, 2, 3, 6}) {
        if (CPU_COUNT(&all) < cpus) continue;
        CPU_ZERO(&some);
        for (int k = 0, n = 0; n < cpus; ++k)
            if (CPU_ISSET(k, &all)) CPU_SET(k, &some), ++n;
        ASSERT_EQ(sched_setaffinity(0, sizeof some, &some), 0);
        const std::vector<std::string> many = Run(c, "cpus" + std::to_string(cpus), false);
        sched_setaffinity(0, sizeof all, &all);
        EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
        EXPECT_TRUE(many == one) << cpus << " CPUs";
    }
}

}  // namespace
