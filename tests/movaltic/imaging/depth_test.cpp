#include <gtest/gtest.h>

#include "frames.h"
#include "movaltic/imaging/depth.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

TEST(ConvertDepth, TrueColourTo16BitsAndBackLosesTheLowBits) {
    Frame src(2, 1, 3, {255, 255, 255, 0x18, 0x2C, 0x88}, true), mid(2, 1, 2), back(2, 1, 3);
    ImageConvertDepth(src.img, mid.img, 2);
    EXPECT_EQ(mid.img.bitsPerPixel, 16);
    EXPECT_EQ(mid.img.topDown, 1);
    // R 0x88 / 8 = 17, G 0x2C / 4 = 11, B 0x18 / 8 = 3: 17 << 11 | 11 << 5 | 3 = 0x8963
    EXPECT_EQ(mid.Bytes(), (Bytes{0xFF, 0xFF, 0x63, 0x89}));
    ImageConvertDepth(mid.img, back.img, 3);
    EXPECT_EQ(back.Bytes(), (Bytes{248, 252, 248, 0x18, 0x2C, 0x88}));
    EXPECT_EQ(back.img.bitsPerPixel, 24);
}

TEST(ConvertDepth, Reads15BitWordsIgnoringTheTopBit) {
    Frame src(3, 1, 2, {0xFF, 0x7F, 0xFF, 0xFF, 0x1F, 0x7C}), dst(3, 1, 3);
    src.img.bitsPerPixel = 15;
    ImageConvertDepth(src.img, dst.img, 3);
    // 0x7C1F: red 31, green 0, blue 31
    EXPECT_EQ(dst.Bytes(), (Bytes{248, 248, 248, 248, 248, 248, 248, 0, 248}));
}

TEST(ConvertDepth, Reads16BitWordsWithSixBitsOfGreen) {
    Frame src(2, 1, 2, {0x00, 0xF8, 0xE0, 0x07}), dst(2, 1, 3);
    ImageConvertDepth(src.img, dst.img, 3);
    EXPECT_EQ(dst.Bytes(), (Bytes{0, 0, 248, 0, 252, 0}));
}

TEST(ConvertDepth, ExpandsPaletteFramesThroughTheirPalette) {
    Frame src(3, 1, 1, {2, 0, 2}), t(3, 1, 3), h(3, 1, 2);
    src.SetPalette({{10, 20, 30}, {}, {255, 128, 8}});
    ImageConvertDepth(src.img, t.img, 3);
    EXPECT_EQ(t.Bytes(), (Bytes{8, 128, 255, 30, 20, 10, 8, 128, 255}));
    EXPECT_EQ(t.img.bytesPerPixel, 3);
    ImageConvertDepth(src.img, h.img, 2);
    // (255, 128, 8): 31 << 11 | 32 << 5 | 1 = 0xFC01
    EXPECT_EQ(h.Bytes()[0], 0x01);
    EXPECT_EQ(h.Bytes()[1], 0xFC);
}

TEST(ConvertDepth, RefusesItselfAndTooSmallTargets) {
    Frame src(2, 2, 1, {1, 2, 3, 4});
    ErrCode = 0;
    ImageConvertDepth(src.img, src.img, 3);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(src.img.bytesPerPixel, 1);
    Frame small(11, 1, 1);
    ErrCode = 0;
    ImageConvertDepth(src.img, small.img, 3);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(small.img.width, 11);
    EXPECT_EQ(small.Bytes(), Bytes(11, 0));
}

TEST(ConvertDepth, SameDepthIsACopy) {
    Frame src(1, 1, 3, {7, 8, 9}), dst(1, 1, 3);
    ImageConvertDepth(src.img, dst.img, 3);
    EXPECT_EQ(dst.Bytes(), (Bytes{7, 8, 9}));
}

TEST(CheckTarget, ComparesCapacityWithTheSourceAtTheNewDepth) {
    Frame src(4, 2, 1), exact(24, 1, 1), small(23, 1, 1);
    ErrCode = 0;
    EXPECT_TRUE(ImageCheckTarget(src.img, exact.img, 3, true));
    EXPECT_EQ(ErrCode, 0);
    EXPECT_FALSE(ImageCheckTarget(src.img, small.img, 3, false));
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_TRUE(ImageCheckTarget(src.img, src.img, 1, false));
    EXPECT_FALSE(ImageCheckTarget(src.img, src.img, 1, true));
}

}  // namespace
}  // namespace movaltic
