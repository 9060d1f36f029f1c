// Jobs with AVI movies, and inputs written by another program (ffmpeg).
#include <gtest/gtest.h>

#include <filesystem>

#include "job_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/image_files.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

class AviJob : public jobs::JobTest {
protected:
    void SetUp() override {
        JobTest::SetUp();
        if (!jobs::HaveFfmpeg()) GTEST_SKIP() << "ffmpeg is not installed";
        saved_ = AviCompression.settings;
        AviSetCompressor(AviCompressionSettings{}, 64, 48, 3);
    }
    void TearDown() override {
        AviSetCompressor(saved_, 64, 48, 3);
        JobTest::TearDown();
    }
    // A test picture movie written by ffmpeg, with sound when asked.
    fs::path FfmpegAvi(const char* name, int frames, bool sound) {
        fs::path out = dir / name;
        std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc=size=64x48:rate=10"};
        if (sound) args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050"});
        args.insert(args.end(), {"-frames:v", std::to_string(frames), "-c:v", "rawvideo", "-pix_fmt", "bgr24"});
        if (sound) args.insert(args.end(), {"-c:a", "pcm_s16le", "-shortest"});
        args.push_back(out.string());
        EXPECT_TRUE(jobs::RunProgram(args));
        return out;
    }

private:
    AviCompressionSettings saved_;
};

TEST_F(AviJob, AviInputToZuv) {
    ChooseInput(FfmpegAvi("in.avi", 6, false));
    ASSERT_EQ(InputMovie.frames, 6);
    ChooseOutput(dir / "o.zuv", 3);
    AddStep(kOpMirrorVertical);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.zuv", 6);
}

TEST_F(AviJob, ZuvInputToUncompressedAvi) {
    jobs::WriteZuv(dir / "in.zuv", 4, 64, 48, 3, true);
    ChooseInput(dir / "in.zuv");
    ChooseOutput(dir / "o.avi", 3);
    AddStep(kOpEmboss);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.avi", 4);
}

TEST_F(AviJob, EightBitAviWithOnePalette) {
    jobs::WriteSequence(dir / "in001.bmp", 4, 64, 48, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.avi", 1);
    AviSetCompressor(AviCompressionSettings{}, 64, 48, 1);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.avi", 4);
}

TEST_F(AviJob, EightBitAviWithAPaletteForEachFrame) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 64, 48, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.avi", 1);
    SinglePalette = 0;
    AviSetCompressor(AviCompressionSettings{}, 64, 48, 1);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.avi", 3);
}

TEST_F(AviJob, LosslessCompressorKeepsThePictures) {
    const auto& list = AviCompressorList();
    size_t ffv1 = list.size();
    for (size_t i = 0; i < list.size(); ++i)
        if (std::string(list[i].name).find("FFV1") != std::string::npos) ffv1 = i;
    if (ffv1 == list.size() || !AviCompressorAccepts(ffv1, 3)) GTEST_SKIP() << "no FFV1 encoder";
    AviCompressionSettings s;
    s.compressor = ffv1;
    AviSetCompressor(s, 64, 48, 3);
    jobs::WriteSequence(dir / "in001.bmp", 3, 64, 48, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.avi", 3);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.avi", 3);
}

TEST_F(AviJob, SoundIsCopiedToAnAviOutput) {
    ChooseInput(FfmpegAvi("in.avi", 10, true));
    ChooseOutput(dir / "o.avi", 3);
    CopySound = 1;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    MovieDescription d;
    MovieProbe((dir / "o.avi").string(), d);
    EXPECT_EQ(d.soundRate, 22050);
    EXPECT_EQ(d.frameCount, 10);
}

TEST_F(AviJob, NoSoundWhenCopyingIsOff) {
    ChooseInput(FfmpegAvi("in.avi", 5, true));
    ChooseOutput(dir / "o.avi", 3);
    CopySound = 0;
    RunProcessing();
    MovieDescription d;
    MovieProbe((dir / "o.avi").string(), d);
    EXPECT_EQ(d.soundRate, 0);
}

TEST_F(AviJob, CancelLeavesAPlayableAviWithTheFramesSoFar) {
    ChooseInput(FfmpegAvi("in.avi", 8, false));
    ChooseOutput(dir / "o.avi", 3);
    host.cancelAfterFrames = 3;
    RunProcessing();
    ExpectOutputFrames(dir / "o.avi", 3);
}

TEST_F(AviJob, BmpSequenceWrittenByFfmpegIsAnInput) {
    ASSERT_TRUE(jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=40x30:rate=5",
                                  "-frames:v", "4", "-start_number", "1", (dir / "shot%03d.bmp").string()}));
    ChooseInput(dir / "shot001.bmp");
    ASSERT_EQ(InputMovie.frames, 4);
    ChooseOutput(dir / "o.zuv", 3);
    AddStep(kOpSoften);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.zuv", 4);
}

}  // namespace
