#include <gtest/gtest.h>

#include <numeric>

#include "frames.h"
#include "movaltic/imaging/rescale.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

Bytes Sequence(int n, int start = 0) {
    Bytes b(static_cast<size_t>(n));
    std::iota(b.begin(), b.end(), uint8_t(start));
    return b;
}

struct PickCase {
    int from, to;
    Bytes picks;
};

TEST(Resize, PicksSourceColumns) {
    const PickCase cases[] = {
        {4, 2, {0, 2}},          {9, 6, {0, 2, 4, 5, 7, 8}}, {2, 4, {0, 0, 1, 1}},
        {3, 2, {0, 2}},          {5, 2, {0, 3}},             {3, 5, {0, 0, 1, 1, 2}},
        {5, 5, {0, 1, 2, 3, 4}}, {7, 1, {0}},                {1, 3, {0, 0, 0}},
    };
    for (const auto& c : cases) {
        Frame src(c.from, 1, 1, Sequence(c.from)), dst(c.to, 1, 1);
        ImageResize(src.img, dst.img, c.to, 1);
        EXPECT_EQ(dst.Bytes(), c.picks) << c.from << " to " << c.to;
    }
}

TEST(Resize, PicksSourceRowsAndKeepsDepthAndPalette) {
    const PickCase cases[] = {
        {4, 2, {0, 2}}, {3, 2, {0, 2}}, {2, 5, {0, 0, 0, 1, 1}}, {6, 4, {0, 2, 3, 5}},
    };
    for (const auto& c : cases) {
        Bytes px;
        for (int r = 0; r < c.from; ++r) px.insert(px.end(), {uint8_t(r), uint8_t(r), uint8_t(r)});
        Frame src(1, c.from, 3, px, true), dst(1, c.to, 3);
        ImageResize(src.img, dst.img, 1, c.to);
        Bytes rows;
        for (int r = 0; r < c.to; ++r) rows.push_back(dst.img.pixels[3 * r]);
        EXPECT_EQ(rows, c.picks) << c.from << " to " << c.to << " rows";
        EXPECT_EQ(dst.img.topDown, 1);
        EXPECT_EQ(dst.img.height, c.to);
    }
    Frame pal(2, 2, 1, {1, 2, 3, 4}), out(3, 3, 1);
    pal.SetPalette({{1, 2, 3}});
    ImageResize(pal.img, out.img, 3, 3);
    EXPECT_EQ(out.Bytes(), (Bytes{1, 1, 2, 1, 1, 2, 3, 3, 4}));
    EXPECT_EQ(out.PaletteEntry(0), (Bytes{1, 2, 3}));
}

TEST(Resize, RefusesItselfAndTooSmallTargets) {
    Frame src(2, 2, 3, Bytes(12, 9)), small(11, 1, 1);
    ErrCode = 0;
    ImageResize(src.img, small.img, 2, 2);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(small.img.width, 11);
    ErrCode = 0;
    ImageResize(src.img, src.img, 1, 1);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(src.img.width, 2);
}

TEST(Resample, SameSizeReproducesTheFrame) {
    Bytes px = Sequence(3 * 5 * 4, 7);
    Frame src(5, 4, 3, px), dst(5, 4, 3);
    ImageResample(src.img, dst.img, 5, 4);
    EXPECT_EQ(dst.Bytes(), px);
    Frame r(5, 4, 3);
    ImageResize(src.img, r.img, 5, 4);
    EXPECT_EQ(r.Bytes(), px);
}

TEST(Resample, WidensByDoublingWithMeans) {
    Frame src(2, 1, 3, {10, 20, 30, 20, 41, 100}), dst(4, 1, 3);
    ImageResample(src.img, dst.img, 4, 1);
    EXPECT_EQ(dst.Bytes(), (Bytes{10, 20, 30, 15, 30, 65, 20, 41, 100, 20, 41, 100}));
    Frame three(3, 1, 3, {0, 0, 0, 100, 100, 100, 200, 200, 200}), four(4, 1, 3);
    ImageResample(three.img, four.img, 4, 1);
    EXPECT_EQ(four.Bytes(), (Bytes{0, 0, 0, 50, 50, 50, 100, 100, 100, 200, 200, 200}));
}

TEST(Resample, NarrowsByAveragingGroups) {
    Frame src(4, 1, 3, {0, 0, 0, 9, 9, 9, 100, 100, 100, 201, 201, 201}), dst(2, 1, 3);
    ImageResample(src.img, dst.img, 2, 1);
    EXPECT_EQ(dst.Bytes(), (Bytes{4, 4, 4, 150, 150, 150}));
    Frame three(3, 1, 3, {0, 0, 0, 9, 9, 9, 100, 100, 100}), two(2, 1, 3);
    ImageResample(three.img, two.img, 2, 1);
    EXPECT_EQ(two.Bytes(), (Bytes{4, 4, 4, 100, 100, 100}));
}

Bytes Column(const Frame& f) {
    Bytes out;
    for (int r = 0; r < f.img.height; ++r) out.push_back(f.img.pixels[3 * r * f.img.width]);
    return out;
}

TEST(Resample, HalvesRowsIntoTheirMeans) {
    Frame src(1, 4, 3, {0, 0, 0, 10, 10, 10, 100, 100, 100, 201, 201, 201}), dst(1, 2, 3);
    ImageResample(src.img, dst.img, 1, 2);
    EXPECT_EQ(Column(dst), (Bytes{5, 150}));
}

// Groups of 3 to 64 rows or pixels (looked up, or multiplied for three, not
// divided) give the mean rounded down, for every sum a group can have.
TEST(Resample, GroupsOfManyGiveTheirMeanRoundedDown) {
    for (int count : {3, 5, 64}) {
        const int groups = 256;
        Bytes column(size_t(groups * count) * 3), rowMeans, expected;
        for (int g = 0; g < groups; ++g) {
            int sum = 0;
            for (int k = 0; k < count; ++k) {
                // Sums of every size, each group's bytes unlike its neighbours'.
                const int v = k < count - 1 ? (g * 7 + k * 13) % 256 : 255 - g;
                sum += v;
                for (int b = 0; b < 3; ++b) column[size_t((g * count + k) * 3 + b)] = uint8_t(b == 1 ? 255 - v : v);
            }
            expected.push_back(uint8_t(sum / count));
        }
        Frame tall(1, groups * count, 3, column), wide(groups * count, 1, 3, column);
        Frame down(1, groups, 3), across(groups, 1, 3);
        ImageResample(tall.img, down.img, 1, groups);
        ImageResample(wide.img, across.img, groups, 1);
        EXPECT_EQ(Column(down), expected) << count;
        Bytes firstBytes;
        for (int g = 0; g < groups; ++g) firstBytes.push_back(across.img.pixels[3 * g]);
        EXPECT_EQ(firstBytes, expected) << count;
    }
}

TEST(Resample, EnlargesRowsByAlternatingDoublingPasses) {
    Frame two(1, 2, 3, {0, 0, 0, 100, 100, 100}, true), four(1, 4, 3), eight(1, 8, 3), three(1, 3, 3);
    ImageResample(two.img, four.img, 1, 4);
    EXPECT_EQ(Column(four), (Bytes{0, 0, 50, 100}));  // one backward pass
    EXPECT_EQ(four.img.topDown, 1);
    ImageResample(two.img, eight.img, 1, 8);
    EXPECT_EQ(Column(eight), (Bytes{0, 0, 0, 25, 50, 75, 100, 100}));  // backward, then forward
    ImageResample(two.img, three.img, 1, 3);
    EXPECT_EQ(Column(three), (Bytes{0, 50, 100}));
}

TEST(Resample, PaletteFramesComeOutTrueColour) {
    Frame src(2, 1, 1, {0, 1}), dst(2, 2, 3);
    src.SetPalette({{30, 20, 10}, {90, 80, 70}});
    ImageResample(src.img, dst.img, 2, 2);
    EXPECT_EQ(dst.img.bytesPerPixel, 3);
    EXPECT_EQ(dst.Bytes(), (Bytes{10, 20, 30, 70, 80, 90, 10, 20, 30, 70, 80, 90}));
}

TEST(Resample, LargeReductionsKeepFullSums) {
    // 300 white pixels into one: a 16-bit sum or an 8-bit count would wrap.
    Frame wide(300, 1, 3, Bytes(900, 255)), dot(1, 1, 3);
    ImageResample(wide.img, dot.img, 1, 1);
    EXPECT_EQ(dot.Bytes(), (Bytes{255, 255, 255}));
    Frame tall(1, 300, 3, Bytes(900, 255));
    ImageResample(tall.img, dot.img, 1, 1);
    EXPECT_EQ(dot.Bytes(), (Bytes{255, 255, 255}));
}

TEST(Resample, TargetThatDoesNotFitIsLeftAloneWithoutACode) {
    Frame src(2, 2, 3, Bytes(12, 9)), small(11, 1, 1);
    ErrCode = 0;
    ImageResample(src.img, small.img, 2, 2);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(small.img.width, 11);
}

TEST(Rescaling, EverySmallSizePairStaysInBoundsAndKeepsFlatColour) {
    for (int sw = 1; sw <= 9; ++sw)
        for (int sh = 1; sh <= 5; ++sh)
            for (int nw = 1; nw <= 9; ++nw)
                for (int nh = 1; nh <= 5; ++nh) {
                    Frame src(sw, sh, 3, Bytes(size_t(sw * sh * 3), 77));
                    Frame a(nw, nh, 3), b(nw, nh, 3);
                    ImageResample(src.img, a.img, nw, nh);
                    ImageResize(src.img, b.img, nw, nh);
                    ASSERT_EQ(a.Bytes(), Bytes(size_t(nw * nh * 3), 77)) << sw << "x" << sh << " to " << nw << "x" << nh;
                    ASSERT_EQ(b.Bytes(), Bytes(size_t(nw * nh * 3), 77)) << sw << "x" << sh << " to " << nw << "x" << nh;
                }
}

TEST(Rescaling, EmptySizesGiveEmptyOrBlackFrames) {
    Frame src(3, 3, 3, Bytes(27, 5)), dst(3, 3, 3), empty(0, 0, 3);
    ImageResize(src.img, dst.img, 0, 2);
    EXPECT_EQ(dst.img.width, 0);
    ImageResample(empty.img, dst.img, 2, 2);
    EXPECT_EQ(dst.img.width, 2);
    EXPECT_EQ(dst.Bytes(), Bytes(12, 0));
}

}  // namespace
}  // namespace movaltic
