// Jobs with AVI movies, and inputs written by another program (ffmpeg).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "job_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/formats/byte_io.h"
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
        // Both sources as long as the frames: ffmpeg stopped by -frames:v or
        // -shortest keeps as much sound as its queues happen to hold, so the
        // input would vary from run to run.
        const std::string seconds = std::to_string(frames / 10.0);
        std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc=size=64x48:rate=10:duration=" + seconds};
        if (sound)
            args.insert(args.end(), {"-f", "lavfi", "-i", "sine=frequency=440:sample_rate=22050:duration=" + seconds});
        args.insert(args.end(), {"-c:v", "rawvideo", "-pix_fmt", "bgr24"});
        if (sound) args.insert(args.end(), {"-c:a", "pcm_s16le"});
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

// What ffprobe reads of a movie's sound: the length its header gives, and
// the bytes and timestamps of its packets, with the time the first starts
// and the last ends.
struct Sound {
    double seconds = 0;
    long long bytes = 0;
    bool ordered = true;
    double start = 0, end = 0;
};

Sound Probe(const fs::path& file) {
    Sound s;
    s.seconds = std::atof(jobs::ProgramOutput({"ffprobe", "-v", "error", "-select_streams", "a:0", "-show_entries",
                                               "stream=duration", "-of", "default=nw=1:nk=1", file.string()})
                              .c_str());
    const std::string packets = jobs::ProgramOutput({"ffprobe", "-v", "error", "-select_streams", "a:0",
                                                     "-show_entries", "packet=dts_time,duration_time,size", "-of", "csv=p=0",
                                                     file.string()});
    double last = -1;
    for (size_t at = 0; at < packets.size();) {
        const size_t end = packets.find('\n', at);
        const std::string line = packets.substr(at, end - at);
        at = end == std::string::npos ? packets.size() : end + 1;
        const size_t comma = line.find(','), comma2 = line.find(',', comma + 1);
        if (comma2 == std::string::npos) continue;
        const double dts = std::atof(line.c_str());
        if (last < 0) s.start = dts;
        s.ordered = s.ordered && dts > last;
        last = dts;
        s.end = dts + std::atof(line.c_str() + comma + 1);
        s.bytes += std::atoll(line.c_str() + comma2 + 1);
    }
    return s;
}

// Camera and recorder sound: every byte of it reaches the output, and the
// output's header gives the same length, at any rate, channel count, codec
// and frame rate.
TEST_F(AviJob, EverySoundSampleReachesTheOutputWithItsTrueLength) {
    const struct {
        const char* what;
        int fps;
        const char* rate;
        const char* channels;
        const char* codec;
    } cases[] = {
        {"PCM 48 kHz stereo, 30 fps", 30, "48000", "2", "pcm_s16le"},
        {"PCM 48 kHz stereo, 25 fps", 25, "48000", "2", "pcm_s16le"},
        {"PCM 44.1 kHz mono", 30, "44100", "1", "pcm_s16le"},
        {"IMA ADPCM", 30, "44100", "2", "adpcm_ima_wav"},
        {"MP3", 30, "44100", "2", "libmp3lame"},
        {"AC3", 25, "48000", "2", "ac3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path in = dir / "camera.avi";
        if (!jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                               "testsrc=size=64x48:rate=" + std::to_string(c.fps), "-f", "lavfi", "-i",
                               std::string("sine=frequency=440:sample_rate=") + c.rate, "-t", "3", "-c:v",
                               "rawvideo", "-pix_fmt", "bgr24", "-c:a", c.codec, "-ac", c.channels, in.string()})) {
            EXPECT_TRUE(std::string(c.codec) == "libmp3lame" || std::string(c.codec) == "ac3")
                << "ffmpeg could not write the input";
            continue;  // an encoder this ffmpeg lacks
        }
        ChooseInput(in);
        ChooseOutput(dir / "out.avi", 3);
        CopySound = 1;
        host.boxes.clear();
        RunProcessing();
        EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
        const Sound before = Probe(in), after = Probe(dir / "out.avi");
        EXPECT_GT(before.bytes, 0);
        EXPECT_EQ(after.bytes, before.bytes);
        EXPECT_NEAR(after.seconds, before.seconds, 0.05);
        EXPECT_TRUE(after.ordered);
    }
}

// An output that reaches the AVI size limit (here made small) keeps every
// frame written before it and is closed with its index, so that it plays.
// Sets the start of a file's sound ("auds") or video stream, in its units.
void SetStreamStart(const fs::path& file, uint32_t type, uint32_t units) {
    std::vector<uint8_t> f;
    ASSERT_TRUE(ReadWholeFile(file.string(), f));
    for (size_t at = 0; at + 64 <= f.size(); ++at)
        if (GetLE32(&f[at]) == FourCC("strh") && GetLE32(&f[at + 8]) == type) {
            PutLE32(&f[at + 8 + 28], units);
            WriteWholeFile(file.string(), f);
            return;
        }
    FAIL() << "no such stream";
}

// Sound that an editor cut to begin 2 s after the first frame keeps its
// start, and plays at its time against the frames written: all of them, the
// first 2.5 s of them, all at half the frame rate, or all of a video that
// itself starts 1 s late (the output starts with its first frame).
TEST_F(AviJob, SoundThatStartsLateKeepsItsStartThroughEveryJob) {
    const struct {
        const char* codec;
        uint32_t start;  // 2 s in the stream's units: samples, or MP3 frames of 1152 samples
    } sounds[] = {{"pcm_s16le", 88200}, {"libmp3lame", 77}};
    const struct {
        const char* what;
        int32_t frames;
        double fps;
        double soundEnd;  // where the output's sound ends; 0: where the input's does
        uint32_t videoStart;
    } jobsRun[] = {{"all frames", 0, 30, 0, 0}, {"75 frames", 75, 30, 2.5, 0}, {"15 fps", 0, 15, 0, 0},
                   {"video from frame 30", 0, 30, 0, 30}};
    for (const auto& sound : sounds) {
        const fs::path in = dir / "late.avi";
        if (!jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=30", "-f",
                               "lavfi", "-i", "sine=frequency=440:sample_rate=44100", "-t", "3", "-c:v", "rawvideo",
                               "-pix_fmt", "bgr24", "-c:a", sound.codec, "-ac", "2", in.string()})) {
            EXPECT_EQ(std::string(sound.codec), "libmp3lame") << "ffmpeg could not write the input";
            continue;
        }
        SetStreamStart(in, FourCC("auds"), sound.start);
        const Sound before = Probe(in);
        ASSERT_NEAR(before.start, 2, 0.02) << sound.codec;
        for (const auto& job : jobsRun) {
            SCOPED_TRACE(std::string(sound.codec) + ", " + job.what);
            SetStreamStart(in, FourCC("vids"), job.videoStart);
            const double lead = job.videoStart / 30.0;
            ChooseInput(in);
            ChooseOutput(dir / "out.avi", 3);
            if (job.frames) FramesToProcess = job.frames;
            OutputMovie.frameRate = job.fps;
            CopySound = 1;
            host.boxes.clear();
            RunProcessing();
            EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
            const Sound after = Probe(dir / "out.avi");
            EXPECT_NEAR(after.start, before.start - lead, 0.015);  // to half an MP3 frame
            EXPECT_NEAR(after.end, job.soundEnd ? job.soundEnd : before.end - lead, 0.05);
            EXPECT_TRUE(after.ordered);
        }
    }
}

// The first 3 s of a movie keep their sound to the last frame, to within an
// MP3 frame, and its start, also where FFmpeg padded a late MP3 with empty
// chunks ("-itsoffset"), with or without a start in the header as well.
TEST_F(AviJob, SoundReachesTheLastFrameOfAPartOfTheMovie) {
    const std::string mp3 = (dir / "sound.mp3").string(), sine = "sine=sample_rate=44100:duration=4";
    const bool haveMp3 = jobs::RunProgram({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", sine, "-ac", "2",
                                           "-c:a", "libmp3lame", mp3});
    const std::vector<std::string> pcm = {"-f", "lavfi", "-i", sine, "-c:a", "pcm_s16le"},
                                   late = {"-itsoffset", "2", "-i", mp3, "-c:a", "copy"};
    // The header's start: none, or 2 s in MP3 frames.
    for (const auto& [sound, start] : {std::pair{pcm, 0u}, {late, 0u}, {late, 77u}}) {
        if (!haveMp3 && sound == late) continue;  // an encoder this ffmpeg lacks
        SCOPED_TRACE(sound[0] + " " + std::to_string(start));
        const fs::path in = dir / "in.avi";
        std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i",
                                         "testsrc=size=64x48:rate=25:duration=4"};
        args.insert(args.end(), sound.begin(), sound.end());
        args.insert(args.end(), {"-map", "0:v", "-map", "1:a", "-c:v", "rawvideo", "-pix_fmt", "bgr24", "-ac", "2",
                                 in.string()});
        ASSERT_TRUE(jobs::RunProgram(args));
        if (start) SetStreamStart(in, FourCC("auds"), start);
        ChooseInput(in);
        ChooseOutput(dir / "out.avi", 3);
        FramesToProcess = 75;
        CopySound = 1;
        host.boxes.clear();
        RunProcessing();
        EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
        const Sound before = Probe(in), after = Probe(dir / "out.avi");
        EXPECT_NEAR(after.start, before.start, 0.015);
        EXPECT_NEAR(after.end, 3.013, 0.014);  // 3 s, and up to an MP3 frame or a PCM chunk more
    }
}

// Frames written at a lower rate than the input's play longer and take the
// sound of that time along: each sound chunk is written next to its frame.
TEST_F(AviJob, EachFramesSoundIsWrittenNextToItAtALowerOutputRate) {
    ChooseInput(FfmpegAvi("in.avi", 30, true));
    ChooseOutput(dir / "out.avi", 3);
    OutputMovie.frameRate = 5;
    CopySound = 1;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    AviReader r;
    ASSERT_TRUE(r.Open((dir / "out.avi").string()) && r.audioStream >= 0);
    const std::vector<AviChunk>& video = r.streams[size_t(r.videoStream)].chunks;
    const AviStreamHeader& h = r.streams[size_t(r.audioStream)].header;
    double plays = 0;  // when the chunk's sound starts
    size_t framesBefore = 0;
    for (const AviChunk& c : r.streams[size_t(r.audioStream)].chunks) {
        while (framesBefore < video.size() && video[framesBefore].offset < c.offset) ++framesBefore;
        // Written after the frame that plays from (framesBefore - 1) / 5 s.
        EXPECT_NEAR(plays, (double(framesBefore) - 1) / 5, 0.2 + 1e-9) << framesBefore;
        plays += double(c.size) / h.sampleSize * h.scale / h.rate;
    }
    EXPECT_GT(plays, 2.5);  // the sound of about 3 s, all of it checked
}

// A job killed part-way (kill -9, a crash, a power cut) leaves the frames
// it wrote before in a file that plays, sound and all where the format has
// it: the file's head is kept up to date as the frames go in.
TEST_F(AviJob, AKilledJobLeavesThePlayableFramesItWrote) {
    struct KillingHost : jobs::RecordingHost {
        int32_t killAt = 0;
        void FrameReady(int32_t index, const imagerec& frame) override {
            if (index == killAt) raise(SIGKILL);
            RecordingHost::FrameReady(index, frame);
        }
    };
    const int32_t kill = 7;
    const fs::path in = FfmpegAvi("in.avi", 20, true);
    const struct {
        const char* typed;
        const char* written;  // the FLIC writer names its file by the picture size
        int32_t bytesPerPixel;
    } outputs[] = {{"o.avi", "o.avi", 3}, {"o.zuv", "o.zuv", 3}, {"o.flc", "o.FLC", 1}};
    for (const auto& o : outputs) {
        SCOPED_TRACE(o.typed);
        ChooseInput(in);
        ChooseOutput(dir / o.typed, o.bytesPerPixel);
        OutputMovie.frameRate = 10;
        CopySound = 1;
        SinglePalette = 0;  // the expected frames are worked out from the frames written
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            KillingHost killer;
            killer.killAt = kill;
            SetPipelineHost(&killer);
            RunProcessing();
            _exit(3);  // not killed: the job ended before the frame
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        const fs::path out = dir / o.written;
        PaletteReduction = NeedsPaletteReduction() ? 1 : 0;  // as the job decided it
        const std::vector<jobs::Frame> want = ExpectedFrames(kill), back = ReadMovie(out);
        ASSERT_EQ(back.size(), size_t(kill));
        for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(jobs::SamePicture(back[i], want[i], 0)) << i;
        if (std::string(o.typed) != "o.avi") continue;
        EXPECT_EQ(jobs::ProgramOutput({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                                       "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", out.string()}),
                  std::to_string(kill) + "\n");
        const Sound sound = Probe(out);
        EXPECT_NEAR(sound.end, kill / 10.0, 0.1);
        EXPECT_GT(sound.bytes, 0);
    }
}

TEST_F(AviJob, AnOutputAtItsSizeLimitKeepsItsFramesAndPlays) {
    ChooseInput(FfmpegAvi("in.avi", 20, false));
    ChooseOutput(dir / "o.avi", 3);
    AviWriter::SetSizeLimitForTests(64 * 48 * 3 * 8 + 16384);
    RunProcessing();
    AviWriter::SetSizeLimitForTests(0);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text.rfind("AVI files stop at 4 GB: the first ", 0), 0u) << host.boxes[0].text;
    MovieDescription d;
    MovieProbe((dir / "o.avi").string(), d);
    EXPECT_GT(d.frameCount, 3);
    EXPECT_LT(d.frameCount, 20);
    EXPECT_EQ(jobs::ProgramOutput({"ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                                   "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0",
                                   (dir / "o.avi").string()}),
              std::to_string(d.frameCount) + "\n");
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
