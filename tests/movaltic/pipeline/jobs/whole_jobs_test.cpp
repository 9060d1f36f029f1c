// Whole jobs from input files to output files, the frames read back compared
// with frames worked out without the pipeline (JobTest::ExpectedFrames).
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "job_support.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

class WholeJob : public jobs::JobTest {};

TEST_F(WholeJob, BmpSequenceToZuvWithOnePaletteForTheMovie) {
    jobs::WriteSequence(dir / "in001.bmp", 6, 48, 32, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "out.zuv", 1);
    FastCompression = 0;
    AddStep(kOpBrightness, 20, 20, 20);
    AddStep(kOpBlur);
    AddStep(kOpFlipHorizontal);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_EQ(host.captions,
              (std::vector<std::string>{"Processing (step 1 of 2)...", "Processing (step 2 of 2)..."}));
    ExpectOutputFrames(dir / "out.zuv", 6);
    for (const jobs::Frame& f : host.written) {
        EXPECT_EQ(f.bytesPerPixel, 1);
        EXPECT_EQ(f.palette, host.written[0].palette);
    }
    EXPECT_EQ(host.status.rfind("Processing time: ", 0), 0u);
}

TEST_F(WholeJob, PerFramePalettesFollowEachFrame) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 48, 32, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "out.zuv", 1);
    SinglePalette = 0;
    RunProcessing();
    EXPECT_EQ(host.captions, std::vector<std::string>{"Processing..."});
    ExpectOutputFrames(dir / "out.zuv", 3);
    EXPECT_NE(host.written[0].palette, host.written[2].palette);
}

struct OutputCase {
    const char* file;
    int32_t bytesPerPixel;
    int32_t width, height;
};

class EveryOutputKind : public WholeJob, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(EveryOutputKind, WritesFramesThatReadBackUnchanged) {
    const OutputCase& c = GetParam();
    jobs::WriteSequence(dir / "in001.tga", 4, 40, 30, 3);
    ChooseInput(dir / "in001.tga");
    ChooseOutput(dir / c.file, c.bytesPerPixel, c.width, c.height);
    SinglePalette = 0;
    AddStep(kOpContrast, 15, 15, 15);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    // FLI stores 64-level colours.
    const int tolerance = OutputMovie.kind == kKindFLI ? 3 : 0;
    ExpectOutputFrames(OutputMovie.name->GetFileName(), 4, tolerance);
    EXPECT_EQ(host.written[0].width, c.width > 0 ? c.width : 40);
}

INSTANTIATE_TEST_SUITE_P(Outputs, EveryOutputKind,
                         ::testing::Values(OutputCase{"o.zuv", 3, -1, -1}, OutputCase{"o.zuv", 2, -1, -1},
                                           OutputCase{"o.zuv", 1, -1, -1}, OutputCase{"o.flc", 1, -1, -1},
                                           OutputCase{"o.fli", 1, 320, 200}, OutputCase{"o001.bmp", 3, -1, -1},
                                           OutputCase{"o001.bmp", 1, 64, 48}, OutputCase{"o001.dib", 3, -1, -1},
                                           OutputCase{"o001.tga", 3, 20, 15}, OutputCase{"o001.pcx", 1, -1, -1},
                                           OutputCase{"o001.pcx", 3, -1, -1}),
                         [](const ::testing::TestParamInfo<OutputCase>& c) {
                             std::string s = c.param.file;
                             for (char& ch : s)
                                 if (ch == '.') ch = '_';
                             return s + "_" + std::to_string(c.param.bytesPerPixel * 8) + "bit_" +
                                    std::to_string(c.index);
                         });

TEST_F(WholeJob, FlcInputToBmpSequence) {
    ChooseInput(jobs::WriteFlic(dir / "anim.flc", 5, 40, 30));
    ASSERT_EQ(InputMovie.frames, 5);
    ChooseOutput(dir / "f01.bmp", 3);
    AddStep(kOpNegative);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "f01.bmp", 5);
    EXPECT_TRUE(fs::exists(dir / "f05.bmp"));
}

TEST_F(WholeJob, ZuvInputToTgaSequenceWithRunLengthCoding) {
    jobs::WriteZuv(dir / "in.zuv", 4, 40, 30, 3, false);
    ChooseInput(dir / "in.zuv");
    ChooseOutput(dir / "t1.tga", 3);
    OutputMovie.compressed = 1;
    AddStep(kOpGrayscale);
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "t1.tga", 4);
}

TEST_F(WholeJob, EightBitFlcResampledToFlcStaysEightBit) {
    ChooseInput(jobs::WriteFlic(dir / "anim.flc", 3, 64, 48));
    ChooseOutput(dir / "small.flc", 1, 32, 24);
    SinglePalette = 0;
    UseResample = 1;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(OutputMovie.name->GetFileName(), 3);
}

// Not even file by file: a stopped or failed job would leave the input half
// filtered.
TEST_F(WholeJob, ImageSequenceIsNotRewrittenInPlace) {
    jobs::WriteSequence(dir / "f001.bmp", 3, 20, 10, 3);
    ChooseInput(dir / "f001.bmp");
    ChooseOutput(dir / "f001.bmp", 3);
    AddStep(kOpNegative);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "The OUTPUT would overwrite files of the INPUT movie.\n");
    EXPECT_TRUE(host.captions.empty());
}

TEST_F(WholeJob, RescaleAtTheStartFiltersTheSmallerFrame) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 64, 48, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3, 32, 24);
    RescaleAtStart = 1;
    AddStep(kOpSharpen);
    RunProcessing();
    ExpectOutputFrames(dir / "o.zuv", 2);
    EXPECT_EQ(host.written[0].width, 32);
}

TEST_F(WholeJob, TypedFrameCountBeyondTheMovieProcessesTheMovie) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    FramesToProcess = 50;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.zuv", 3);
}

TEST_F(WholeJob, NoFramesToProcessWritesNoFileAndSaysWhy) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    FramesToProcess = 0;
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "The number of frames to process is 0: there is nothing to write.\n");
    EXPECT_FALSE(fs::exists(dir / "o.zuv"));
}

// ---------------------------------------------------------------- stopping

TEST_F(WholeJob, CancelAfterSomeFramesLeavesAClosedMovieWithThoseFrames) {
    jobs::WriteSequence(dir / "in001.bmp", 8, 32, 24, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    host.cancelAfterFrames = 3;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    ExpectOutputFrames(dir / "o.zuv", 3);
    EXPECT_EQ(host.status.rfind("Processing time: ", 0), 0u);
}

TEST_F(WholeJob, CancelInTheMiddleOfTheListStopsBeforeTheFrameIsWritten) {
    jobs::WriteSequence(dir / "in001.bmp", 5, 32, 24, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.flc", 1);
    SinglePalette = 0;
    AddStep(kOpNegative);
    AddStep(kOpBlur);
    // Per frame: one pump after the read, one per step, one before writing.
    host.cancelAtMessagePump = 4 * 2 + 2;
    RunProcessing();
    ExpectOutputFrames(OutputMovie.name->GetFileName(), 2);
}

class CancelAtOnce : public WholeJob, public ::testing::WithParamInterface<const char*> {};

TEST_P(CancelAtOnce, LeavesAReadableMovieOfNoFramesOrNone) {
    jobs::WriteSequence(dir / "in001.bmp", 4, 32, 24, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / GetParam(), 1);
    SinglePalette = 0;
    host.cancelAtMessagePump = 1;
    RunProcessing();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_TRUE(host.written.empty());
    const fs::path out = OutputMovie.name->GetFileName();
    if (fs::exists(out)) {
        oFlexName n;
        n.SetName(out.string());
        movierec m;
        m.name = &n;
        MovieInspect(m);
        EXPECT_TRUE(n.IsValid()) << "a file that is no movie was left: " << out;
        EXPECT_EQ(m.frames, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, CancelAtOnce, ::testing::Values("o.zuv", "o.avi", "o.flc"),
                         [](const ::testing::TestParamInfo<const char*>& c) {
                             std::string s = c.param;
                             return s.substr(2);
                         });

TEST_F(WholeJob, CancelInTheFirstOfTwoPassesWritesNothing) {
    jobs::WriteSequence(dir / "in001.bmp", 6, 32, 24, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 1);
    host.cancelAfterFrames = 2;
    RunProcessing();
    EXPECT_EQ(host.captions, std::vector<std::string>{"Processing (step 1 of 2)..."});
    EXPECT_FALSE(fs::exists(dir / "o.zuv"));
    EXPECT_EQ(host.status.rfind("Processing time: ", 0), 0u);
}

// ---------------------------------------------------------------- failures

TEST_F(WholeJob, InputRemovedBeforeGoIsReported) {
    jobs::WriteZuv(dir / "in.zuv", 2, 16, 16, 3, true);
    ChooseInput(dir / "in.zuv");
    ChooseOutput(dir / "o.zuv", 3);
    fs::remove(dir / "in.zuv");
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "Error opening input movie.\nError opening first frame.\n");
    EXPECT_FALSE(fs::exists(dir / "o.zuv"));
}

TEST_F(WholeJob, SequenceFileRemovedDuringTheJobEndsItWithTheFramesBefore) {
    jobs::WriteSequence(dir / "in001.bmp", 5, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    fs::remove(dir / "in004.bmp");
    RunProcessing();
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error loading input frame.");
    ExpectOutputFrames(dir / "o.zuv", 3);
}

TEST_F(WholeJob, OutputInAFolderThatCannotBeWrittenLeavesNoFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    fs::create_directories(dir / "locked");
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "locked" / "o.zuv", 3);
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    RunProcessing();
    fs::permissions(dir / "locked", fs::perms::owner_all);
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error creating output movie.");
    EXPECT_FALSE(fs::exists(dir / "locked" / "o.zuv"));
}

TEST_F(WholeJob, OutputWhoseFolderIsAFileIsReported) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    jobs::WriteZuv(dir / "plain", 1, 16, 16, 3, true);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "plain" / "o.zuv", 3);
    RunProcessing();
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error creating output movie.");
    EXPECT_TRUE(host.written.empty());
}

TEST_F(WholeJob, OutputInAMissingFolderIsReported) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "gone" / "o001.bmp", 3);
    RunProcessing();
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error saving output frame.");
}

TEST_F(WholeJob, FullDiskIsReportedAndLeavesNoBrokenMovie) {
    jobs::WriteSequence(dir / "in001.bmp", 20, 64, 64, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    AddStep(kOpChaos, 3);  // noise codes badly, so the file grows fast
    {
        jobs::FileSizeLimit limit(40000);
        RunProcessing();
    }
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error saving output frame.");
    // Either a closed movie of the frames that fitted, or no file at all.
    if (fs::exists(dir / "o.zuv")) {
        std::vector<jobs::Frame> back = ReadMovie(dir / "o.zuv");
        ASSERT_FALSE(back.empty());
        for (size_t i = 0; i < back.size(); ++i) EXPECT_TRUE(jobs::SamePicture(back[i], host.written[i]));
    }
}

// The images written before the disk filled stay whole; the one it could
// not take is not left cut off.
TEST_F(WholeJob, AFullDiskEndsASequenceWithItsWholeImagesOnly) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 64, 64, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o001.bmp", 3);
    {
        jobs::FileSizeLimit limit(1000);
        RunProcessing();
    }
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "The file size limit of 1000 bytes (ulimit -f) is reached: the 0 image(s) written "
                                  "before are whole; the rest were not written.");
    EXPECT_FALSE(fs::exists(dir / "o001.bmp"));
}

// A job killed in the middle of an image (by the file size limit, whose
// signal ends it inside the write) leaves the images of an earlier job whole
// under the sequence's names. Its image had no name yet; where the file
// system has no nameless files, the next job over the same names removes the
// temporary the killed one wrote to and leaves other programs' files alone.
TEST_F(WholeJob, ASequenceKilledInsideAnImageLeavesOnlyWholeImages) {
    jobs::WriteSequence(dir / "in001.bmp", 3, 64, 48, 3);
    for (const bool nameless : {true, false}) {
        SCOPED_TRACE(nameless ? "nameless files" : "no nameless files");
        image_detail::writerHooks.noUnnamedFiles = !nameless;
        const fs::path out = dir / (nameless ? "out" : "named");
        fs::create_directory(out);
        ChooseInput(dir / "in001.bmp");
        ChooseOutput(out / "o001.bmp", 3);
        ToDoList.count = 0;
        RunProcessing();
        ASSERT_TRUE(host.boxes.empty()) << host.BoxTexts();
        std::vector<uint8_t> before, now;
        ReadWholeFile((out / "o001.bmp").string(), before);
        WriteWholeFile((out / ".o001.bmp.swp").string(), {1, 2, 3});

        AddStep(kOpNegative);  // other pictures under the same names
        const pid_t child = fork();
        if (child == 0) {
            rlimit none{0, 0}, size{4000, 4000};
            setrlimit(RLIMIT_CORE, &none);
            setrlimit(RLIMIT_FSIZE, &size);
            std::signal(SIGXFSZ, SIG_DFL);
            RunProcessing();
            _exit(3);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        ReadWholeFile((out / "o001.bmp").string(), now);
        EXPECT_EQ(now, before);
        fs::path temporary;
        for (const auto& e : fs::directory_iterator(out))
            if (e.path().filename().string().rfind(".o001.bmp.movaltic-", 0) == 0) temporary = e.path();
        EXPECT_EQ(temporary.empty(), nameless) << temporary;

        RunProcessing();
        EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
        EXPECT_TRUE(nameless || !fs::exists(temporary)) << temporary;
        EXPECT_TRUE(fs::exists(out / ".o001.bmp.swp"));
    }
    image_detail::writerHooks.noUnnamedFiles = false;
}

}  // namespace
