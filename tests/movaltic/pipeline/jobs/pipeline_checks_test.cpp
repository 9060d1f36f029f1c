// What the pipeline decides before it touches a frame: the checks of GO,
// when a palette is optimised, the work image size and the preview size.
#include <gtest/gtest.h>

#include <filesystem>

#include "job_support.h"

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

class PipelineChecks : public jobs::JobTest {};

TEST_F(PipelineChecks, GoWithoutInputAsksForOne) {
    RunProcessing();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].kind, PipelineHost::Box::Message);
    EXPECT_EQ(host.boxes[0].text, "First select a valid INPUT movie or image file.");
    EXPECT_TRUE(host.captions.empty());
}

TEST_F(PipelineChecks, GoWithoutOutputAsksForOne) {
    InputMovie.name->SetName((dir / "a.zuv").string());
    RunProcessing();
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_EQ(host.boxes[0].text, "Please enter a valid OUTPUT file.");
}

TEST_F(PipelineChecks, SameContainerAsInputAndOutputIsRefusedWhateverTheCase) {
    InputMovie.name->SetName((dir / "clip.avi").string());
    InputMovie.kind = kKindAVI;
    OutputMovie.name->SetName((dir / "CLIP.AVI").string());
    EXPECT_FALSE(CheckInputOutput());
    EXPECT_EQ(host.BoxTexts(), "Input and output movies cannot be the same.\n");
}

TEST_F(PipelineChecks, SameContainerReachedThroughALinkIsRefused) {
    jobs::WriteZuv(dir / "clip.zuv", 1, 16, 16, 3, true);
    fs::create_symlink(dir / "clip.zuv", dir / "other.zuv");
    InputMovie.name->SetName((dir / "clip.zuv").string());
    InputMovie.kind = kKindZUV;
    OutputMovie.name->SetName((dir / "other.zuv").string());
    EXPECT_FALSE(CheckInputOutput());
}

TEST_F(PipelineChecks, ImageSequenceMayBeBothInputAndOutput) {
    InputMovie.name->SetName((dir / "f001.bmp").string());
    InputMovie.kind = kKindBMP;
    OutputMovie.name->SetName((dir / "f001.bmp").string());
    EXPECT_TRUE(CheckInputOutput());
    EXPECT_TRUE(host.boxes.empty());
}

// By the names the files will have: a numbered output widened to its last
// number, a FLIC input by its own name.
TEST_F(PipelineChecks, OutputIsRefusedExactlyWhenItNamesAFileOfTheInput) {
    struct Case {
        const char* input;
        int32_t frames;
        const char* output;
        bool refused;
    } cases[] = {{"f001.bmp", 12, "f012.bmp", true},      {"f001.bmp", 12, "F003.BMP", true},
                 {"f001.bmp", 12, "f013.bmp", false},     {"f001.bmp", 12, "g003.bmp", false},
                 {"f001.bmp", 12, "sub/f003.bmp", false}, {"f1.bmp", 9, "f5.bmp", false},
                 {"anim.flc", 1, "anim.fli", false}};
    for (const Case& c : cases) {
        host.boxes.clear();
        InputMovie.name->SetName((dir / c.input).string());
        InputMovie.kind = OutputKindOf(InputMovie.name->GetName());
        InputMovie.container = IsContainerKind(InputMovie.kind);
        InputMovie.width = 320;
        InputMovie.height = 200;
        InputMovie.frames = FramesToProcess = c.frames;
        ChooseOutput(dir / c.output, 3);
        UpdateOutputLabel();
        EXPECT_EQ(CheckOutputFiles(), !c.refused) << c.input << " " << c.output;
    }
}

TEST_F(PipelineChecks, PaletteIsOptimisedOnlyForEightBitOutput) {
    InputMovie.bytesPerPixel = 3;
    OutputMovie.bytesPerPixel = 3;
    EXPECT_FALSE(NeedsPaletteReduction());
    OutputMovie.bytesPerPixel = 1;
    SinglePalette = 0;
    EXPECT_TRUE(NeedsPaletteReduction());
}

TEST_F(PipelineChecks, EightBitInputWithPaletteStepsKeepsItsOwnPalettes) {
    InputMovie.width = OutputMovie.width = 32;
    InputMovie.height = OutputMovie.height = 32;
    InputMovie.bytesPerPixel = OutputMovie.bytesPerPixel = 1;
    SinglePalette = 0;
    AddStep(kOpBrightness, 10, 10, 10);
    AddStep(kOpNegative);
    EXPECT_FALSE(NeedsPaletteReduction());
    AddStep(kOpBlur);
    EXPECT_TRUE(NeedsPaletteReduction());
}

TEST_F(PipelineChecks, EightBitInputResampledToAnotherSizeIsReducedAgain) {
    InputMovie.width = 64;
    InputMovie.height = 48;
    OutputMovie.width = 32;
    OutputMovie.height = 24;
    InputMovie.bytesPerPixel = OutputMovie.bytesPerPixel = 1;
    SinglePalette = 0;
    UseResample = 1;
    EXPECT_TRUE(NeedsPaletteReduction());
    UseResample = 0;  // Resize keeps the palette frame
    EXPECT_FALSE(NeedsPaletteReduction());
}

TEST_F(PipelineChecks, WorkImagesTakeTheLargerAreaWholeWithOneRowMore) {
    InputMovie.width = 320;
    InputMovie.height = 240;
    OutputMovie.width = 400;
    OutputMovie.height = 100;
    AllocWorkImages();
    EXPECT_EQ(WorkImageA.width, 320);
    EXPECT_EQ(WorkImageA.height, 241);
    EXPECT_GE(WorkImageB.size, 400 * 100 * 3);
    FreeWorkImages();
}

TEST_F(PipelineChecks, PreviewOfAVeryWideMovieKeepsOneRow) {
    int32_t w = 5000, h = 2;
    FitPreviewSize(w, h, 128);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 1);
    w = 3;
    h = 4000;
    FitPreviewSize(w, h, 128);
    EXPECT_EQ(w, 1);
    EXPECT_EQ(h, 128);
}

TEST_F(PipelineChecks, PreviewOfAnEmptySizeFails) {
    int32_t w = 0, h = 10;
    FitPreviewSize(w, h, 128);
    EXPECT_EQ(ErrCode, 1);
}

TEST_F(PipelineChecks, SmallFramesAreEnlargedToThePreviewBox) {
    int32_t w = 32, h = 16;
    FitPreviewSize(w, h, 128);
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 64);
}

TEST_F(PipelineChecks, InputPreviewShowsTheChosenFrameScaledToTheBox) {
    jobs::WriteSequence(dir / "p001.bmp", 3, 64, 32, 3);
    ChooseInput(dir / "p001.bmp");
    PreviewFrame = 2;
    BuildInputPreview();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_EQ(PreviewImage.width, 128);
    EXPECT_EQ(PreviewImage.height, 64);
}

TEST_F(PipelineChecks, PreviewFramePastTheEndShowsTheLastFrame) {
    jobs::WriteSequence(dir / "p001.bmp", 3, 64, 32, 3);
    ChooseInput(dir / "p001.bmp");
    PreviewFrame = 99;
    BuildInputPreview();
    EXPECT_TRUE(host.boxes.empty()) << host.BoxTexts();
    EXPECT_TRUE(InputMovie.name->IsValid());
}

TEST_F(PipelineChecks, MovieWithoutFramesCannotBePreviewedAndIsForgotten) {
    CodecState state;
    CodecFileCreate(state, (dir / "empty.zuv").string(), 32, 32, 3, 1, 0, 25.0, 1, 0, 0);
    CodecFileClose(state);
    ChooseInput(dir / "empty.zuv");
    ASSERT_TRUE(InputMovie.name->IsValid());
    EXPECT_EQ(InputMovie.frames, 0);
    BuildInputPreview();
    EXPECT_EQ(host.BoxTexts(), "Error opening first frame.\n");
    EXPECT_FALSE(InputMovie.name->IsValid());
}

TEST_F(PipelineChecks, OutputPreviewAppliesTheListToThePreview) {
    struct DrawHost : jobs::RecordingHost {
        jobs::Frame before, after;
        void DrawPreviews(const imagerec& b, const imagerec& a) override {
            before = jobs::CopyFrame(b);
            after = jobs::CopyFrame(a);
        }
    } draw;
    SetPipelineHost(&draw);
    jobs::WriteSequence(dir / "p001.bmp", 1, 128, 128, 3);
    ChooseInput(dir / "p001.bmp");
    BuildInputPreview();
    AddStep(kOpNegative);
    BuildOutputPreview();
    ASSERT_EQ(draw.after.width, 128);
    uint8_t a[3], b[3];
    draw.before.Rgb(5, 7, b);
    draw.after.Rgb(5, 7, a);
    EXPECT_EQ(a[0], 255 - b[0]);
    EXPECT_EQ(a[2], 255 - b[2]);
}

}  // namespace
