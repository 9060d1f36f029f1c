// The "bad input" list run end to end: each case gets its one
// message, and a failed or cancelled job leaves a closed movie of the frames
// written so far, or no file.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

#include "job_support.h"
#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/byte_io.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

class BadInput : public jobs::JobTest {
protected:
    // Either no file, or a movie that reads back as the frames written.
    void ExpectClosedMovieOfWrittenFramesOrNone(const fs::path& out) {
        if (!fs::exists(out)) return;
        std::vector<jobs::Frame> back = ReadMovie(out);
        ASSERT_LE(back.size(), host.written.size()) << out;
        for (size_t i = 0; i < back.size(); ++i)
            EXPECT_TRUE(jobs::SamePicture(back[i], host.written[i], 3)) << "frame " << i;
    }
};

class FullDisk : public BadInput, public ::testing::WithParamInterface<const char*> {};

TEST_P(FullDisk, IsReportedOnceAndLeavesAClosedMovieOrNone) {
    if (std::string(GetParam()) == "o.avi" && !jobs::HaveFfmpeg()) GTEST_SKIP();
    jobs::WriteSequence(dir / "in001.bmp", 20, 64, 64, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / GetParam(), 1);
    SinglePalette = 0;
    AddStep(kOpChaos, 3);
    {
        jobs::FileSizeLimit limit(20000);
        RunProcessing();
    }
    // An AVI is closed with its index where the disk still takes it, and the
    // message says which it was.
    if (std::string(GetParam()) == "o.avi") {
        EXPECT_EQ(host.BoxTexts().rfind("The disk is full: ", 0), 0u) << host.BoxTexts();
        EXPECT_EQ(host.boxes.size(), 1u);
    } else {
        EXPECT_EQ(host.BoxTexts(), "Error saving output frame.\n");
    }
    ExpectClosedMovieOfWrittenFramesOrNone(OutputMovie.name->GetFileName());
}

INSTANTIATE_TEST_SUITE_P(Containers, FullDisk, ::testing::Values("o.zuv", "o.flc", "o.avi"),
                         [](const ::testing::TestParamInfo<const char*>& c) {
                             return std::string(c.param).substr(2);
                         });

// /proc takes no new files, not even from root (the tests may run as root,
// where a folder without write permission is still written).
TEST_F(BadInput, MovieInAFolderNobodyCanWriteIsReportedAtCreation) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput("/proc/movaltic-out.zuv", 3);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "Error creating output movie.\n");
    EXPECT_TRUE(host.written.empty());
    EXPECT_FALSE(fs::exists("/proc/movaltic-out.zuv"));
}

TEST_F(BadInput, SequenceInAFolderNobodyCanWriteIsReportedAtTheFirstFrame) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    ChooseInput(dir / "in001.bmp");
    ChooseOutput("/proc/movaltic-out001.bmp", 3);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "Error saving output frame.\n");
    EXPECT_EQ(host.written.size(), 1u);
}

// A creation that fails before the writer opened anything leaves what was
// at the output's place alone.
TEST_F(BadInput, FailedCreationKeepsAFolderOfTheOutputName) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    fs::create_directory(dir / "o.zuv");
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "o.zuv", 3);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "Error creating output movie.\n");
    EXPECT_TRUE(fs::is_directory(dir / "o.zuv"));
}

TEST_F(BadInput, FailedFlicCreationKeepsTheFileOfTheTypedName) {
    jobs::WriteSequence(dir / "in001.bmp", 2, 16, 16, 3);
    { std::FILE* f = std::fopen((dir / "anim.flc").c_str(), "wb"); std::fputs("mine", f); std::fclose(f); }
    fs::create_directory(dir / "anim.FLC");  // where the writer would put its file
    ChooseInput(dir / "in001.bmp");
    ChooseOutput(dir / "anim.flc", 1);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "Error creating output movie.\n");
    EXPECT_TRUE(fs::is_regular_file(dir / "anim.flc"));
    EXPECT_EQ(fs::file_size(dir / "anim.flc"), 4u);
    EXPECT_TRUE(fs::is_directory(dir / "anim.FLC"));
}

TEST_F(BadInput, InputThatBecameUnreadableIsReported) {
    jobs::WriteZuv(dir / "in.zuv", 3, 16, 16, 3, true);
    ChooseInput(dir / "in.zuv");
    ChooseOutput(dir / "o.zuv", 3);
    fs::remove(dir / "in.zuv");
    fs::create_directory(dir / "in.zuv");
    RunProcessing();
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes[0].text, "Error opening input movie.");
    EXPECT_FALSE(fs::exists(dir / "o.zuv"));
}

TEST_F(BadInput, ZeroFrameZuvInputIsForgottenAtThePreview) {
    jobs::WriteZuv(dir / "none.zuv", 0, 16, 16, 3, true);
    ChooseInput(dir / "none.zuv");
    BuildInputPreview();
    EXPECT_EQ(host.BoxTexts(), "Error opening first frame.\n");
    EXPECT_FALSE(InputMovie.name->IsValid());
}

TEST_F(BadInput, ZeroFrameFlcInputIsForgottenAtThePreview) {
    fs::path f = jobs::WriteFlic(dir / "none.flc", 0, 16, 16);
    ChooseInput(f);
    BuildInputPreview();
    EXPECT_EQ(host.BoxTexts(), "Error opening first frame.\n");
    EXPECT_FALSE(InputMovie.name->IsValid());
}

TEST_F(BadInput, ZeroFrameInputRunLeavesNoMovie) {
    jobs::WriteZuv(dir / "none.zuv", 0, 16, 16, 3, true);
    ChooseInput(dir / "none.zuv");
    ChooseOutput(dir / "o.flc", 1);
    RunProcessing();
    EXPECT_EQ(host.BoxTexts(), "The number of frames to process is 0: there is nothing to write.\n");
    EXPECT_FALSE(fs::exists(OutputMovie.name->GetFileName()));
}

TEST_F(BadInput, CancelAfterEveryFrameCountLeavesAFlcOfThoseFrames) {
    jobs::WriteSequence(dir / "in001.bmp", 4, 32, 24, 3);
    for (int n = 1; n <= 4; ++n) {
        host = jobs::RecordingHost();
        ChooseInput(dir / "in001.bmp");
        ChooseOutput(dir / "o.flc", 1);
        SinglePalette = 0;
        host.cancelAfterFrames = n;
        RunProcessing();
        EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
        std::vector<jobs::Frame> back = ReadMovie(OutputMovie.name->GetFileName());
        ASSERT_EQ(back.size(), size_t(n)) << n;
        for (int i = 0; i < n; ++i) EXPECT_TRUE(jobs::SamePicture(back[i], host.written[i])) << n << ":" << i;
    }
}

// A finished FLC or FLI cut short has the whole frames before the cut, and a
// job over them says it ended early; cut in frame 1 it has none, in the ring frame all.
TEST_F(BadInput, AFlicCutShortHasTheWholeFramesBeforeTheCut) {
    const char* const early = "Error loading input frame.\n";
    for (const auto& [width, cutAt, into, frames, message] :  // cut into chunk cutAt (6: the ring frame)
         {std::tuple{32, 3, 40, 3, early}, {320, 3, 40, 3, early}, {320, 4, 0, 4, early},
          {32, 0, 40, 0, "The number of frames to process is 0: there is nothing to write.\n"}, {32, 6, 40, 6, ""}}) {
        SCOPED_TRACE(std::to_string(width) + " wide, " + std::to_string(into) + " into chunk " + std::to_string(cutAt));
        host = jobs::RecordingHost();
        std::vector<uint8_t> bytes;
        const fs::path whole = jobs::WriteFlic(dir / "whole.flc", 6, width, 200);
        ASSERT_TRUE(ReadWholeFile(whole, bytes));
        size_t at = 128;
        for (int k = 0; k < cutAt; ++k) at += GetLE32(&bytes[at]);
        WriteWholeFile(dir / "cut.flc", std::vector<uint8_t>(bytes.begin(), bytes.begin() + at + into));
        ChooseInput(dir / "cut.flc");
        EXPECT_EQ(InputMovie.frames, frames);
        ChooseOutput(dir / "o.zuv", 3);
        RunProcessing();
        EXPECT_EQ(host.BoxTexts(), message);
        ASSERT_EQ(host.written.size(), size_t(frames));
        EXPECT_TRUE(!frames || jobs::SamePicture(ReadMovie(whole)[frames - 1], host.written.back()));
    }
}

}  // namespace

// The second image of a four-image sequence replaced: an image whose data
// ends it early is read blank and the movie goes on; one cut short cannot be
// read but is still a frame, which the job reports when it comes to it; a
// folder of that name is no image and ends the sequence as a missing file does.
TEST_F(BadInput, ASequenceImageThatCannotBeReadIsReportedNotTheMovieCutShort) {
    const struct {
        const char* second;
        int32_t frames;
        size_t written;  // frames handed to the writer
        const char* message;
    } cases[] = {
        {"ended early", 4, 4, ""},
        {"cut short", 4, 0, "Error loading input frame.\n"},  // in the first pass, which builds the palette
        {"a folder", 1, 1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.second);
        fs::remove_all(dir);
        fs::create_directories(dir);
        jobs::WriteSequence(dir / "in001.bmp", 4, 32, 24, 1);
        std::vector<uint8_t> second;
        ASSERT_TRUE(ReadWholeFile(dir / "in002.bmp", second));
        second.resize(1078);  // header and colours
        if (c.written == 4) PutLE32(&second[30], 1);  // RLE8, whose data ends the picture at once
        second.insert(second.end(), {0, 1});
        fs::remove(dir / "in002.bmp");
        if (c.frames == 1) fs::create_directory(dir / "in002.bmp");
        else WriteWholeFile(dir / "in002.bmp", second);
        host = jobs::RecordingHost();
        ChooseInput(dir / "in001.bmp");
        EXPECT_EQ(InputMovie.frames, c.frames);
        ChooseOutput(dir / "o001.bmp", 1);
        RunProcessing();
        EXPECT_EQ(host.BoxTexts(), c.message);
        EXPECT_EQ(host.written.size(), c.written);
        if (c.written == 4) {
            const std::vector<uint8_t>& blank = host.written[1].pixels;
            EXPECT_EQ(std::count(blank.begin(), blank.end(), blank[0]), ptrdiff_t(blank.size()));
        }
    }
}
