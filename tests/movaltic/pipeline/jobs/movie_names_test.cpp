// Numbered file names, movie kinds and the one-line descriptions.
#include <gtest/gtest.h>

#include <filesystem>

#include "job_support.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/pipeline/operations_table.h"
#include "movaltic/pipeline/todo_list.h"

#include <clocale>
#include <string>

namespace {

using namespace movaltic;
namespace fs = std::filesystem;

TEST(FlexName, SplitsAroundTheLastDigitGroup) {
    oFlexName n;
    n.SetName("/clips/shot0042b.bmp");
    EXPECT_EQ(n.folder, "/clips/");
    EXPECT_EQ(n.stem, "shot");
    EXPECT_EQ(n.number, 42);
    EXPECT_EQ(n.digits, 4);
    EXPECT_EQ(n.tail, "b");
    EXPECT_EQ(n.extension, ".BMP");
}

TEST(FlexName, RebuildsWithUpperCaseExtensionForDisplayButOpensTheTypedName) {
    oFlexName n;
    n.SetName("/clips/frame001.bmp");
    n.number = 12;
    EXPECT_EQ(n.GetName(), "/clips/frame012.BMP");
    EXPECT_EQ(n.GetFileName(), "/clips/frame012.bmp");
}

TEST(FlexName, NameWithoutDigitsIsOneValidImage) {
    oFlexName n;
    n.SetName("/a/pic.tga");
    EXPECT_EQ(n.stem, "pic");
    EXPECT_EQ(n.digits, 0);
    EXPECT_EQ(n.number, 0);
    EXPECT_EQ(n.GetName(), "/a/pic.TGA");
    EXPECT_TRUE(n.IsValid());
}

TEST(FlexName, NameOfDigitsOnlyIsValid) {
    oFlexName n;
    n.SetName("/a/0001.pcx");
    EXPECT_EQ(n.stem, "");
    EXPECT_EQ(n.digits, 4);
    EXPECT_TRUE(n.IsValid());
}

TEST(FlexName, NumberLongerThanItsWidthIsWrittenWhole) {
    oFlexName n;
    n.SetName("/a/img9.bmp");
    n.number = 10;
    EXPECT_EQ(n.GetName(), "/a/img10.BMP");
    n.SetName("/a/img09.bmp");
    n.number = 10;
    EXPECT_EQ(n.GetName(), "/a/img10.BMP");
}

TEST(FlexName, EmptyPathIsNotValid) {
    oFlexName n;
    n.SetName("");
    EXPECT_FALSE(n.IsValid());
}

TEST(FlexName, RelativePathIsMadeAbsolute) {
    oFlexName n;
    n.SetName("clip.zuv");
    EXPECT_EQ(n.folder, (fs::current_path() / "").string());
}

TEST(MovieKinds, FollowTheExtension) {
    EXPECT_EQ(OutputKindOf("/x/clip.zuv"), kKindZUV);
    EXPECT_TRUE(IsContainerKind(OutputKindOf("/x/clip.zuv")));
    EXPECT_EQ(OutputKindOf("/x/clip.gif"), kKindOther);
    EXPECT_EQ(OutputKindOf("/x/scene.rle"), kKindRLE);
    EXPECT_EQ(OutputKindOf("/x/a.Flc"), kKindFLC);
    EXPECT_FALSE(IsContainerKind(kKindBMP));
}

class MovieLabels : public jobs::JobTest {};

TEST_F(MovieLabels, DescribeGivesNameSizeColoursAndFrames) {
    OutputMovie.name->SetName("/d/shot0001.bmp");
    OutputMovie.width = 320;
    OutputMovie.height = 240;
    OutputMovie.bitsPerPixel = 24;
    OutputMovie.frames = 25;
    EXPECT_EQ(DescribeMovie(OutputMovie), "shot0001.BMP, 320x240, 16M colors, 25 frame(s)");
    OutputMovie.bitsPerPixel = 15;
    EXPECT_EQ(DescribeMovie(OutputMovie), "shot0001.BMP, 320x240, 32k colors, 25 frame(s)");
}

TEST_F(MovieLabels, ClearedNameDescribesWithoutAFileName) {
    OutputMovie.name->SetName("");
    EXPECT_EQ(DescribeMovie(OutputMovie).rfind(", ", 0), 0u);
}

TEST_F(MovieLabels, SequenceOutputWidensItsDigitsToHoldTheLastNumber) {
    InputMovie.name->SetName("/d/in.zuv");
    OutputMovie.name->SetName("/d/OUT1.BMP");
    OutputMovie.kind = kKindBMP;
    OutputMovie.frames = 100;
    UpdateOutputLabel();
    EXPECT_EQ(OutputMovie.name->GetName(), "/d/OUT001.BMP");
}

TEST_F(MovieLabels, FliOfAnotherSizeBecomesFlcAndBackAgain) {
    OutputMovie.name->SetName("/d/anim.fli");
    OutputMovie.kind = kKindFLI;
    OutputMovie.width = 640;
    OutputMovie.height = 480;
    FixFlicExtension();
    EXPECT_EQ(OutputMovie.kind, kKindFLC);
    EXPECT_EQ(OutputMovie.name->GetName(), "/d/anim.FLC");
    OutputMovie.width = 320;
    OutputMovie.height = 200;
    FixFlicExtension();
    EXPECT_EQ(OutputMovie.kind, kKindFLI);
    // Back to the extension as typed.
    EXPECT_EQ(OutputMovie.name->GetFileName(), "/d/anim.fli");
}

TEST_F(MovieLabels, SequenceCountEndsAtTheFirstGap) {
    jobs::WriteSequence(dir / "seq001.bmp", 3, 16, 12, 3);
    jobs::WriteSequence(dir / "seq005.bmp", 2, 16, 12, 3);
    ChooseInput(dir / "seq001.bmp");
    EXPECT_EQ(InputMovie.frames, 3);
    EXPECT_EQ(InputMovie.kind, kKindBMP);
}

TEST_F(MovieLabels, SequenceCountEndsAtAFileOfAnotherSize) {
    jobs::WriteSequence(dir / "seq001.bmp", 4, 16, 12, 3);
    jobs::WriteSequence(dir / "seq005.bmp", 1, 20, 12, 3);
    ChooseInput(dir / "seq001.bmp");
    EXPECT_EQ(InputMovie.frames, 4);
}

TEST_F(MovieLabels, LowerCaseSequenceIsFoundOnACaseSensitiveDisk) {
    jobs::WriteSequence(dir / "frame001.bmp", 3, 16, 12, 3);
    ASSERT_TRUE(fs::exists(dir / "frame003.bmp"));
    ChooseInput(dir / "frame001.bmp");
    EXPECT_TRUE(InputMovie.name->IsValid());
    EXPECT_EQ(InputMovie.frames, 3);
}

TEST_F(MovieLabels, MissingInputClearsTheName) {
    ChooseInput(dir / "nothere.zuv");
    EXPECT_FALSE(InputMovie.name->IsValid());
}

// The C library's case and number rules follow the locale, as a desktop
// session sets it; names and parameters must read the same in any.
class UnderLocale {
public:
    explicit UnderLocale(const char* name) : old_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~UnderLocale() { std::setlocale(LC_ALL, old_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

TEST(TurkishDesktop, NamesKindsAndOperationsReadByAsciiRules) {
    UnderLocale turkish("tr_TR.UTF-8");
    if (!turkish.ok()) GTEST_SKIP() << "no Turkish locale here";
    const struct {
        const char* name;
        uint8_t kind;
    } outputs[] = {{"clip.avi", 2}, {"out.fli", 4}, {"out.dib", 6}, {"shot.rle", 7}, {"a.pcx", 9}};
    for (const auto& o : outputs) EXPECT_EQ(OutputKindOf(o.name), o.kind) << o.name;
    EXPECT_EQ(FileExtension("frame1.gif"), "GIF");
    EXPECT_EQ(FileExtension("frame1.dib"), "DIB");
    EXPECT_EQ(OperationIndex("mirror horizontal"), OperationIndex("MIRROR HORIZONTAL"));
    EXPECT_GE(OperationIndex("mirror horizontal"), 0);
    EXPECT_EQ(FormatParam(2, 1.5), "+1.50");
}

}  // namespace

namespace {

TEST(DefaultOutputSize, ALargerInputKeepsItsShapeWithin1600x1200) {
    const struct {
        int32_t w, h, outW, outH;
    } cases[] = {{1920, 1080, 1600, 900}, {3840, 2160, 1600, 900}, {2560, 1440, 1600, 900},
                 {1200, 1600, 900, 1200}, {1600, 1200, 1600, 1200}, {640, 480, 640, 480},
                 {8000, 100, 1600, 20}};
    for (const auto& c : cases) {
        int32_t w = c.w, h = c.h;
        FitDefaultOutputSize(w, h);
        EXPECT_EQ(w, c.outW) << c.w << "x" << c.h;
        EXPECT_EQ(h, c.outH) << c.w << "x" << c.h;
    }
}

}  // namespace
