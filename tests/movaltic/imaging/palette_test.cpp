#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "frames.h"
#include "movaltic/imaging/palette.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

class Palette : public ::testing::Test {
protected:
    void SetUp() override {
        HistogramAlloc();
        ASSERT_NE(ColorHistogram, nullptr);
        HistogramClear();
    }
    void TearDown() override { HistogramFree(); }

    static Bytes Entry(int i) { return Bytes(ChosenPalette + 3 * i, ChosenPalette + 3 * i + 3); }
    static int& Count(int r, int g, int b) { return ColorHistogram[r + 64 * g + 4096 * b]; }
};

TEST_F(Palette, FewColoursGetOneEntryPerCellInCellOrder) {
    // B,G,R pixels; cells ordered by r + 64 g + 4096 b.
    Frame f(4, 1, 3, {0, 0, 255,  255, 255, 255,  0, 0, 0,  0, 0, 3});
    HistogramAddFrame(f.img);
    PaletteChoose(256);
    EXPECT_EQ(UsedCells, 3);
    EXPECT_EQ(ColorsWanted, 3);
    EXPECT_EQ(Entry(0), (Bytes{3, 3, 3}));        // black and red 3 share cell 0
    EXPECT_EQ(Entry(1), (Bytes{255, 3, 3}));      // red
    EXPECT_EQ(Entry(2), (Bytes{255, 255, 255}));  // white stays white
    EXPECT_EQ(Entry(3), (Bytes{255, 255, 255}));  // unused entries are white
    Frame out(4, 1, 1);
    PaletteRemapFrame(f.img, out.img);
    EXPECT_EQ(out.Bytes(), (Bytes{1, 2, 0, 0}));
    EXPECT_EQ(out.img.bytesPerPixel, 1);
    EXPECT_EQ(out.img.bitsPerPixel, 8);
    EXPECT_EQ(0, std::memcmp(out.img.palette, ChosenPalette, 768));
}

TEST_F(Palette, TenColoursInTenCellsAreKeptExactlyAtTheirCellCorners) {
    Bytes px;
    for (int i = 0; i < 10; ++i) px.insert(px.end(), {uint8_t(8 * i), uint8_t(20 * i), uint8_t(4 * i)});
    Frame f(10, 1, 3, px);
    HistogramAddFrame(f.img);
    PaletteChoose(256);
    ASSERT_EQ(ColorsWanted, 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Entry(i), (Bytes{uint8_t(4 * i + 3), uint8_t(20 * i + 3), uint8_t(8 * i + 3)}));
}

TEST_F(Palette, ManyColoursGiveBlackThenBoxMeans) {
    Bytes px;
    for (int r = 0; r < 64; ++r)
        for (int g = 0; g < 64; g += 4) px.insert(px.end(), {uint8_t(4 * g), uint8_t(4 * g), uint8_t(4 * r)});
    Frame f(64 * 16, 1, 3, px);
    HistogramAddFrame(f.img);
    PaletteChoose(256);
    EXPECT_EQ(UsedCells, 1024);
    EXPECT_EQ(ColorsWanted, 255);
    EXPECT_EQ(Entry(0), (Bytes{0, 0, 0}));
    Frame out(64 * 16, 1, 1);
    PaletteRemapFrame(f.img, out.img);
    for (int i = 0; i < 64 * 16; ++i) {
        ASSERT_GE(out.img.pixels[i], 1);  // every used cell lies in a box
        const uint8_t* e = ChosenPalette + 3 * out.img.pixels[i];
        EXPECT_NEAR(e[0], px[3 * i + 2], 20);
        EXPECT_NEAR(e[1], px[3 * i + 1], 20);
    }
}

TEST_F(Palette, AskingForOneColourChoosesTwo) {
    Frame f(3, 1, 3, {0, 0, 0, 0, 0, 128, 0, 0, 255});
    HistogramAddFrame(f.img);
    PaletteChoose(1);
    EXPECT_EQ(ColorsWanted, 2);
    EXPECT_EQ(Entry(0), (Bytes{0, 0, 0}));
    // Box 0..63 on red shrinks to 0..63, splits at 42: cells 0 and 32 vs 63.
    EXPECT_EQ(Entry(1), (Bytes{4 * 16 + 3, 3, 3}));
    EXPECT_EQ(Entry(2), (Bytes{255, 3, 3}));
    EXPECT_EQ(Entry(3), (Bytes{255, 255, 255}));
}

TEST_F(Palette, SplitsAtOneThirdFromTheHighEnd) {
    Count(0, 0, 0) = 1;
    Count(42, 0, 0) = 1;
    Count(43, 0, 0) = 1;
    Count(63, 5, 0) = 1;
    PaletteChoose(2);
    EXPECT_EQ(ColorBoxes[0].lo[0], 0);
    EXPECT_EQ(ColorBoxes[0].hi[0], 42);
    EXPECT_EQ(ColorBoxes[1].lo[0], 43);
    EXPECT_EQ(ColorBoxes[1].hi[0], 63);
    EXPECT_EQ(ColorHistogram[42], 1);  // now the table: box 0 is entry 1
    EXPECT_EQ(ColorHistogram[43], 2);
    EXPECT_EQ(ColorHistogram[1], 1);   // empty cells inside a box map to it too
}

TEST_F(Palette, ShrinkTightensEachAxisInTurn) {
    Count(10, 20, 30) = 5;
    Count(12, 25, 30) = 1;
    ColorBox box{{0, 0, 0}, {63, 63, 63}, 0, 0};
    BoxShrink(box);
    EXPECT_EQ((std::vector<int>{box.lo[0], box.hi[0], box.lo[1], box.hi[1], box.lo[2], box.hi[2]}),
              (std::vector<int>{10, 12, 20, 25, 30, 30}));
    EXPECT_EQ(box.size, 6);
    EXPECT_EQ(box.axis, 1);
    ColorBox thin{{0, 0, 5}, {63, 63, 5}, 9, 2};
    BoxShrink(thin);
    EXPECT_EQ(thin.size, 0);
    EXPECT_EQ(thin.lo[0], 0);  // left as it was
}

TEST_F(Palette, BoxMeansAreWeightedByCount) {
    Count(0, 0, 0) = 3;
    Count(2, 0, 0) = 1;
    Count(60, 0, 0) = 1;
    PaletteChoose(2);
    // Box 1 holds cells 0 and 2: mean red cell (0 x 3 + 2) / 4 = 0.
    EXPECT_EQ(Entry(1), (Bytes{3, 3, 3}));
    EXPECT_EQ(Entry(2), (Bytes{243, 3, 3}));
}

TEST_F(Palette, BoxSumsDoNotOverflowOnLongMovies) {
    // Counts near the counter limit in two cells of one box: a 32-bit sum
    // of count x coordinate would wrap.
    Count(40, 0, 0) = INT32_MAX;
    Count(41, 0, 0) = INT32_MAX;
    Count(0, 0, 0) = 1;
    Count(63, 63, 63) = 1;
    PaletteChoose(2);
    bool found = false;
    for (int i = 1; i <= 2; ++i) found |= Entry(i)[0] == 4 * 40 + 3;
    EXPECT_TRUE(found);
}

TEST_F(Palette, CountersStopAtTheirLimit) {
    Count(0, 0, 0) = INT32_MAX - 1;
    Frame f(3, 1, 3, Bytes(9, 0));
    HistogramAddFrame(f.img);
    EXPECT_EQ(Count(0, 0, 0), INT32_MAX);
}

TEST_F(Palette, PaletteFramesAreCountedAndMappedThroughTheirPalette) {
    Frame f(3, 1, 1, {0, 1, 1});
    f.SetPalette({{255, 0, 0}, {0, 0, 255}});
    HistogramAddFrame(f.img);
    EXPECT_EQ(Count(63, 0, 0), 1);
    EXPECT_EQ(Count(0, 0, 63), 2);
    PaletteChoose(256);
    Frame out(3, 1, 1);
    PaletteRemapFrame(f.img, out.img);
    EXPECT_EQ(out.Bytes(), (Bytes{0, 1, 1}));
    EXPECT_EQ(Bytes(out.img.palette, out.img.palette + 6), (Bytes{255, 3, 3, 3, 3, 255}));
}

TEST_F(Palette, MappingRefusesSmallTargetsAndOtherDepths) {
    Frame f(4, 1, 3, Bytes(12, 9)), small(3, 1, 1), wide(4, 1, 2);
    HistogramAddFrame(f.img);
    PaletteChoose(256);
    ErrCode = 0;
    PaletteRemap24(f.img, small.img);
    EXPECT_EQ(ErrCode, 1);
    EXPECT_EQ(small.img.bytesPerPixel, 1);
    ErrCode = 0;
    PaletteRemap8(wide.img, small.img);
    EXPECT_EQ(ErrCode, 1);
}

TEST(FrameToOwnPalette, ReducesAFrameAndReleasesTheHistogram) {
    Frame f(2, 2, 3, {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 255}), out(2, 2, 1);
    FrameToOwnPalette(f.img, out.img);
    EXPECT_EQ(ColorHistogram, nullptr);
    EXPECT_EQ(out.img.bytesPerPixel, 1);
    EXPECT_EQ(out.img.pixels[0], out.img.pixels[3]);
    EXPECT_NE(out.img.pixels[0], out.img.pixels[1]);
}

}  // namespace
}  // namespace movaltic
