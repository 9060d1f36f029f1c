#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "frames.h"
#include "movaltic/imaging/operations.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

Bytes Table(void (*build)(int32_t, uint8_t*), int32_t p) {
    Bytes t(256);
    build(p, t.data());
    return t;
}

TEST(ChannelTables, BrightnessAddsAQuarterOfFullScalePerTenPercent) {
    EXPECT_EQ(Table(BrightnessTable, 100), Bytes(256, 255));
    Bytes up = Table(BrightnessTable, 10), down = Table(BrightnessTable, -10);
    EXPECT_EQ(up[0], 25);
    EXPECT_EQ(up[230], 255);
    EXPECT_EQ(up[229], 254);
    EXPECT_EQ(down[30], 5);
    EXPECT_EQ(down[10], 0);
}

TEST(ChannelTables, AdjustScalesEachValue) {
    EXPECT_EQ(Table(AdjustTable, -100), Bytes(256, 0));
    Bytes twice = Table(AdjustTable, 100);
    EXPECT_EQ(twice[100], 200);
    EXPECT_EQ(twice[200], 255);
    EXPECT_EQ(Table(AdjustTable, 50)[3], 4);  // 3 x 50 / 100 rounds down to 1
}

TEST(ChannelTables, ContrastMovesAwayFromOrTowardsTheMiddle) {
    Bytes one = Table(ContrastTable, 1);
    EXPECT_EQ(one[128], 129);
    EXPECT_EQ(one[127], 126);
    EXPECT_EQ(one[0], 0);
    EXPECT_EQ(Table(ContrastTable, -100), Bytes(256, 128));
    Bytes half = Table(ContrastTable, 50);  // t = 63, base = 1
    EXPECT_EQ(half[200], 200 + 1 + 36);
    EXPECT_EQ(half[60], 60 - 1 - 33);
    Bytes less = Table(ContrastTable, -50);
    EXPECT_EQ(less[200], 200 - 1 - 36);
    EXPECT_EQ(less[129], 128);
}

TEST(ChannelTables, PercentsOutsideTheDialogRangeAreHeldToIt) {
    EXPECT_EQ(Table(ContrastTable, 101), Table(ContrastTable, 100));
    EXPECT_EQ(Table(BrightnessTable, -300), Table(BrightnessTable, -100));
}

TEST(GammaTable, HundredthsAreTruncatedFromTheStoredValue) {
    EXPECT_EQ(GammaHundredths(1.2), 119);
    EXPECT_EQ(GammaHundredths(1.5), 150);
    EXPECT_EQ(GammaHundredths(1.0), 100);
    EXPECT_EQ(GammaHundredths(0.0), 0);
}

TEST(GammaTable, MapsThroughThePowerOfHundredOverA) {
    Bytes t(256), identity(256);
    std::iota(identity.begin(), identity.end(), 0);
    GammaTable(1.0, t.data());
    EXPECT_EQ(t, identity);
    GammaTable(0.0, t.data());
    EXPECT_EQ(t, identity);
    GammaTable(2.0, t.data());
    EXPECT_EQ((Bytes{t[0], t[1], t[64], t[128], t[200], t[254], t[255]}),
              (Bytes{0, 16, 128, 181, 226, 254, 255}));
    GammaTable(1.2, t.data());  // a = 119
    EXPECT_EQ((Bytes{t[1], t[64], t[128], t[200], t[254]}), (Bytes{2, 80, 143, 208, 254}));
}

TEST(ChannelOperations, ChangeEachByteOfTrueColourPixels) {
    Frame f(2, 1, 3, {30, 40, 50, 250, 0, 200}, true);
    OpBrightness(f.img, f.img, 10, 0, -10);
    EXPECT_EQ(f.Bytes(), (Bytes{5, 40, 75, 225, 0, 225}));
    EXPECT_EQ(f.img.topDown, 1);
    OpAdjustRGB(f.img, f.img, 100, 0, -100);
    EXPECT_EQ(f.Bytes(), (Bytes{0, 40, 150, 0, 0, 255}));
}

TEST(ChannelOperations, ChangeOnlyThePaletteOfPaletteFrames) {
    Frame src(3, 1, 1, {0, 1, 0});
    src.SetPalette({{10, 20, 30}, {128, 127, 0}});
    Frame dst(3, 1, 1);
    OpContrast(src.img, dst.img, 1, 1, 0);
    EXPECT_EQ(dst.Bytes(), (Bytes{0, 1, 0}));
    EXPECT_EQ(dst.PaletteEntry(1), (Bytes{129, 126, 0}));
    EXPECT_EQ(src.PaletteEntry(1), (Bytes{128, 127, 0}));
    OpGamma(src.img, src.img, 2.0, 1.0, 1.0);
    EXPECT_EQ(src.PaletteEntry(0), (Bytes{50, 20, 30}));
}

TEST(ChannelOperations, AllZeroParametersCopy) {
    Frame src(1, 1, 3, {1, 2, 3}), dst(1, 1, 3);
    OpBrightness(src.img, dst.img, 0, 0, 0);
    EXPECT_EQ(dst.Bytes(), (Bytes{1, 2, 3}));
}

TEST(ChannelOperations, TooSmallTargetIsRefused) {
    Frame src(2, 1, 3, {1, 2, 3, 4, 5, 6}), dst(5, 1, 1);
    ErrCode = 0;
    OpBrightness(src.img, dst.img, 50, 50, 50);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(dst.Bytes(), Bytes(5, 0));
}

TEST(Negative, InvertsEveryByteOrThePalette) {
    Bytes px(27);
    std::iota(px.begin(), px.end(), 100);
    Frame f(3, 3, 3, px);
    OpNegative(f.img);
    for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(f.img.pixels[i], 255 - px[i]);
    Frame p(2, 1, 1, {0, 1});
    p.SetPalette({{0, 100, 255}});
    OpNegative(p.img);
    EXPECT_EQ(p.PaletteEntry(0), (Bytes{255, 155, 0}));
    EXPECT_EQ(p.PaletteEntry(255), (Bytes{255, 255, 255}));
    EXPECT_EQ(p.Bytes(), (Bytes{0, 1}));
}

TEST(Grayscale, SetsEachPixelToItsMean) {
    Frame f(2, 1, 3, {10, 20, 60, 255, 255, 254});
    OpGrayscale(f.img, f.img);
    EXPECT_EQ(f.Bytes(), (Bytes{30, 30, 30, 254, 254, 254}));
    Frame p(1, 1, 1, {0}), q(1, 1, 1);
    p.SetPalette({{1, 2, 4}});
    OpGrayscale(p.img, q.img);
    EXPECT_EQ(q.PaletteEntry(0), (Bytes{2, 2, 2}));
}

struct SaturationCase {
    Bytes in;
    int percent;
    Bytes out;
};

TEST(Saturation, SpreadsOrPullsTheBytesByRank) {
    const SaturationCase cases[] = {
        {{10, 20, 60}, 50, {0, 15, 72}},    {{10, 20, 60}, -50, {20, 25, 45}},
        {{10, 20, 60}, -100, {30, 30, 30}}, {{60, 20, 10}, 100, {85, 20, 0}},
        {{20, 60, 10}, 50, {15, 72, 0}},    {{100, 100, 50}, 50, {112, 113, 38}},
        {{50, 100, 100}, 50, {38, 112, 113}}, {{200, 30, 30}, 50, {242, 0, 0}},
        {{0, 128, 255}, 100, {0, 255, 255}}, {{0, 128, 255}, -50, {63, 128, 191}},
        {{77, 77, 77}, 100, {77, 77, 77}},  {{77, 77, 77}, -100, {77, 77, 77}},
        {{9, 8, 7}, 0, {9, 8, 7}},
    };
    for (const auto& c : cases) {
        Frame f(1, 1, 3, c.in);
        OpSaturation(f.img, f.img, c.percent);
        EXPECT_EQ(f.Bytes(), c.out) << int(c.in[0]) << "," << int(c.in[1]) << "," << int(c.in[2])
                                    << " at " << c.percent;
    }
}

TEST(Saturation, WorksOnThePaletteOfPaletteFrames) {
    Frame f(1, 1, 1, {3});
    f.SetPalette({{}, {}, {}, {10, 20, 60}});
    OpSaturation(f.img, f.img, -100);
    EXPECT_EQ(f.PaletteEntry(3), (Bytes{30, 30, 30}));
    EXPECT_EQ(f.Bytes(), (Bytes{3}));
}

const Bytes kFilterInput = {10, 20, 30, 200, 100, 50, 0, 255, 128,
                            90, 80, 70, 5, 250, 125, 60, 60, 60};

struct FilterCase {
    const char* name;
    void (*op)(const imagerec&, imagerec&);
    bool topDown;
    Bytes out3x2, out3x1;
};

TEST(Filters, GiveExactBytesWithReplicatedEdges) {
    const FilterCase cases[] = {
        {"soften", OpSoften, false,
         {43, 51, 43, 123, 115, 63, 32, 210, 109, 76, 95, 70, 34, 181, 99, 54, 110, 76},
         {45, 35, 33, 126, 114, 60, 37, 225, 113}},
        {"blur", OpBlur, false,
         {76, 98, 62, 43, 116, 74, 65, 166, 90, 69, 111, 70, 52, 108, 73, 57, 163, 91},
         {93, 55, 38, 29, 132, 75, 87, 187, 93}},
        {"sharpen", OpSharpen, false,
         {0, 0, 15, 255, 43, 16, 0, 255, 164, 131, 52, 66, 0, 255, 173, 88, 0, 26},
         {0, 0, 25, 255, 81, 35, 0, 255, 147}},
        {"find edges", OpFindEdges, false,
         {0, 115, 195, 255, 30, 122, 0, 255, 255, 255, 145, 240, 0, 255, 255, 255, 0, 122},
         {65, 175, 235, 255, 180, 197, 55, 255, 255}},
        {"emboss top-down", OpEmboss, true,
         {133, 0, 33, 78, 88, 98, 255, 168, 118, 133, 0, 33, 78, 88, 98, 255, 168, 118},
         {0, 48, 108, 138, 0, 30, 255, 0, 50}},
        {"emboss bottom-up", OpEmboss, false,
         {123, 255, 223, 178, 168, 158, 0, 88, 138, 123, 255, 223, 178, 168, 158, 0, 88, 138},
         {255, 208, 148, 118, 255, 226, 0, 255, 206}},
    };
    for (const auto& c : cases) {
        Frame src(3, 2, 3, kFilterInput, c.topDown), dst(3, 2, 3);
        c.op(src.img, dst.img);
        EXPECT_EQ(dst.Bytes(), c.out3x2) << c.name;
        EXPECT_EQ(dst.img.topDown, c.topDown ? 1 : 0) << c.name;
        // One row is its own row before and after; one column its own neighbours.
        Bytes first(kFilterInput.begin(), kFilterInput.begin() + 9);
        Frame row(3, 1, 3, first, c.topDown), col(1, 3, 3, first, c.topDown), out(3, 1, 3);
        c.op(row.img, out.img);
        EXPECT_EQ(out.Bytes(), c.out3x1) << c.name << " row";
        c.op(col.img, out.img);
        EXPECT_EQ(out.Bytes(), c.out3x1) << c.name << " column";
    }
}

TEST(Filters, FlatAreasGiveTheKernelsFixedPoints) {
    Frame flat(4, 3, 3, Bytes(36, 77)), out(4, 3, 3);
    OpSharpen(flat.img, out.img);
    EXPECT_EQ(out.Bytes(), Bytes(36, 77));
    OpSoften(flat.img, out.img);
    EXPECT_EQ(out.Bytes(), Bytes(36, 77));
    OpFindEdges(flat.img, out.img);
    EXPECT_EQ(out.Bytes(), Bytes(36, 255));
    OpEmboss(flat.img, out.img);
    EXPECT_EQ(out.Bytes(), Bytes(36, 128));
    Frame one(1, 1, 3, {9, 99, 199}), single(1, 1, 3);
    OpBlur(one.img, single.img);
    EXPECT_EQ(single.Bytes(), (Bytes{9, 99, 199}));
}

TEST(Filters, PaletteFramesComeOutTrueColour) {
    Frame src(2, 1, 1, {0, 1}), dst(2, 1, 3);
    src.SetPalette({{30, 20, 10}, {128, 64, 32}});
    OpSoften(src.img, dst.img);
    EXPECT_EQ(dst.img.bytesPerPixel, 3);
    EXPECT_EQ(dst.img.bitsPerPixel, 24);
    // Each pixel weighs 13/16 itself and 3/16 its neighbour in a 1-row, 2-pixel frame.
    EXPECT_EQ(dst.Bytes(), (Bytes{(10 * 13 + 32 * 3) >> 4, (20 * 13 + 64 * 3) >> 4,
                                  (30 * 13 + 128 * 3) >> 4, (10 * 3 + 32 * 13) >> 4,
                                  (20 * 3 + 64 * 13) >> 4, (30 * 3 + 128 * 13) >> 4}));
}

TEST(Filters, RefuseTheSourceAsTargetAndTooSmallTargets) {
    Frame f(2, 2, 3, Bytes(12, 50));
    ErrCode = 0;
    OpBlur(f.img, f.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(f.Bytes(), Bytes(12, 50));
    Frame p(2, 2, 1), small(11, 1, 1);
    ErrCode = 0;
    OpSharpen(p.img, small.img);  // an 8-bit source needs a 24-bit-sized target
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(small.img.width, 11);
}

TEST(Flips, VerticalOnlyTurnsTheRowOrder) {
    Frame f(2, 2, 1, {1, 2, 3, 4});
    OpFlipVertical(f.img);
    EXPECT_EQ(f.img.topDown, 1);
    EXPECT_EQ(f.Bytes(), (Bytes{1, 2, 3, 4}));
    OpFlipVertical(f.img);
    EXPECT_EQ(f.img.topDown, 0);
}

TEST(Flips, HorizontalReversesEachRow) {
    Frame t(3, 1, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    OpFlipHorizontal(t.img);
    EXPECT_EQ(t.Bytes(), (Bytes{7, 8, 9, 4, 5, 6, 1, 2, 3}));
    Frame p(4, 2, 1, {1, 2, 3, 4, 5, 6, 7, 8});
    OpFlipHorizontal(p.img);
    EXPECT_EQ(p.Bytes(), (Bytes{4, 3, 2, 1, 8, 7, 6, 5}));
    Frame narrow(1, 3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    OpFlipHorizontal(narrow.img);
    EXPECT_EQ(narrow.Bytes(), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(Mirrors, VerticalReflectsThePictureTopOntoItsBottom) {
    Frame down(1, 4, 1, {1, 2, 3, 4}, true);
    OpMirrorVertical(down.img, down.img);
    EXPECT_EQ(down.Bytes(), (Bytes{1, 2, 2, 1}));
    EXPECT_EQ(down.img.topDown, 0);
    Frame up(1, 4, 1, {1, 2, 3, 4}, false);  // buffer row 3 is the top
    OpMirrorVertical(up.img, up.img);
    EXPECT_EQ(up.Bytes(), (Bytes{4, 3, 3, 4}));
    Frame odd(2, 3, 3, {1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6}, true);
    OpMirrorVertical(odd.img, odd.img);
    EXPECT_EQ(odd.Bytes(), (Bytes{1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 1, 1, 1, 2, 2, 2}));
}

TEST(Mirrors, HorizontalReflectsTheLeftHalfOntoTheRight) {
    Frame three(3, 1, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    OpMirrorHorizontal(three.img, three.img);
    EXPECT_EQ(three.Bytes(), (Bytes{1, 2, 3, 4, 5, 6, 1, 2, 3}));
    Frame src(4, 1, 1, {1, 2, 3, 4}), dst(4, 1, 1);
    src.SetPalette({{5, 6, 7}});
    OpMirrorHorizontal(src.img, dst.img);
    EXPECT_EQ(dst.Bytes(), (Bytes{1, 2, 2, 1}));
    EXPECT_EQ(dst.PaletteEntry(0), (Bytes{5, 6, 7}));
}

Bytes Sequence(int n) {
    Bytes b(static_cast<size_t>(n));
    std::iota(b.begin(), b.end(), 0);
    return b;
}

TEST(Chaos, ScattersWithItsOwnGeneratorFromSeedZero) {
    Frame src(4, 4, 1, Sequence(16)), dst(4, 4, 1);
    OpChaos(src.img, dst.img, 1);
    EXPECT_EQ(dst.Bytes(), (Bytes{0, 1, 7, 3, 2, 2, 8, 7, 8, 13, 10, 10, 12, 13, 14, 10}));
    OpChaos(src.img, dst.img, 2);
    EXPECT_EQ(dst.Bytes(), (Bytes{0, 7, 2, 3, 4, 2, 9, 15, 8, 13, 10, 11, 6, 13, 14, 15}));
    EXPECT_EQ(src.Bytes(), Sequence(16));
}

TEST(Chaos, MovesWholeTrueColourPixels) {
    Bytes px;
    for (int i = 0; i < 16; ++i) px.insert(px.end(), {uint8_t(i), uint8_t(i + 100), uint8_t(i + 200)});
    Frame src(4, 4, 3, px), dst(4, 4, 3);
    OpChaos(src.img, dst.img, 1);
    const Bytes expect = {0, 1, 7, 3, 2, 2, 8, 7, 8, 13, 10, 10, 12, 13, 14, 10};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(dst.img.pixels[3 * i], expect[size_t(i)]);
        EXPECT_EQ(dst.img.pixels[3 * i + 2], expect[size_t(i)] + 200);
    }
}

TEST(Chaos, RepeatsItsPatternAndClampsTheDistance) {
    Frame src(24, 24, 1, Sequence(576)), a(24, 24, 1), b(24, 24, 1);
    OpChaos(src.img, a.img, 0);
    OpChaos(src.img, b.img, 1);
    EXPECT_EQ(a.Bytes(), b.Bytes());
    OpChaos(src.img, a.img, -7);
    EXPECT_EQ(a.Bytes(), b.Bytes());
    OpChaos(src.img, a.img, 11);
    OpChaos(src.img, b.img, 10);
    EXPECT_EQ(a.Bytes(), b.Bytes());
    OpChaos(src.img, a.img, 9);
    EXPECT_NE(a.Bytes(), b.Bytes());
}

TEST(Operations, EmptyAndSinglePixelFramesAreSafe) {
    Frame empty(0, 0, 3), out(1, 1, 3);
    ErrCode = 0;
    OpSoften(empty.img, out.img);
    OpChaos(empty.img, out.img, 3);
    OpMirrorVertical(empty.img, empty.img);
    OpFlipHorizontal(empty.img);
    OpNegative(empty.img);
    EXPECT_EQ(ErrCode, 0);
    Frame one(1, 1, 1, {0});
    OpChaos(one.img, one.img, 10);
    OpMirrorHorizontal(one.img, one.img);
    EXPECT_EQ(one.Bytes(), (Bytes{0}));
}

}  // namespace
}  // namespace movaltic

namespace movaltic {
namespace {

// Bytes with many ties and extremes, so every ranking outcome turns up.
Bytes MixedBytes(size_t n) {
    Bytes b(n);
    uint32_t seed = 12345;
    const uint8_t common[] = {0, 1, 2, 50, 50, 128, 200, 254, 255, 255};
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        b[i] = (seed >> 16) % 3 == 0 ? common[(seed >> 8) % 10] : uint8_t(seed >> 20);
    }
    return b;
}

TEST(WideFrames, SaturationOfAWholeFrameMatchesPixelByPixel) {
    const int w = 37, h = 3;
    const Bytes px = MixedBytes(size_t(w * h * 3));
    for (int percent : {-100, -73, -50, -1, 1, 37, 50, 99, 100}) {
        Frame whole(w, h, 3, px);
        OpSaturation(whole.img, whole.img, percent);
        for (int i = 0; i < w * h; ++i) {
            Frame one(1, 1, 3, Bytes(px.begin() + 3 * i, px.begin() + 3 * i + 3));
            OpSaturation(one.img, one.img, percent);
            ASSERT_EQ(Bytes(whole.img.pixels + 3 * i, whole.img.pixels + 3 * i + 3), one.Bytes())
                << "pixel " << i << " at " << percent;
        }
    }
}

TEST(WideFrames, GrayscaleOfAWholeFrameIsEachPixelsMean) {
    const Bytes px = MixedBytes(41 * 3);
    Frame src(41, 1, 3, px), dst(41, 1, 3);
    OpGrayscale(src.img, dst.img);
    for (int i = 0; i < 41; ++i) {
        const uint8_t g = uint8_t((px[3 * i] + px[3 * i + 1] + px[3 * i + 2]) / 3);
        ASSERT_EQ(Bytes(dst.img.pixels + 3 * i, dst.img.pixels + 3 * i + 3), Bytes(3, g)) << i;
    }
}

// The filter rule written out plainly: nine clamped neighbours per byte.
Bytes ReferenceFilter(const Bytes& in, int w, int h, const FilterKernel& k) {
    Bytes out(in.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 3; ++b) {
                int sum = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int yy = std::clamp(y + dy, 0, h - 1), xx = std::clamp(x + dx, 0, w - 1);
                        sum += k.weights[(dy + 1) * 3 + dx + 1] * in[size_t((yy * w + xx) * 3 + b)];
                    }
                out[size_t((y * w + x) * 3 + b)] = uint8_t(std::clamp(k.bias + (sum >> k.shift), 0, 255));
            }
    return out;
}

TEST(WideFrames, FiltersMatchThePlainRuleOnEveryByte) {
    const int w = 23, h = 4;
    const Bytes px = MixedBytes(size_t(w * h * 3));
    const FilterKernel kernels[] = {kSoftenKernel, kBlurKernel, kSharpenKernel, kFindEdgesKernel,
                                    EmbossKernel(true), EmbossKernel(false)};
    for (const FilterKernel& k : kernels) {
        Frame src(w, h, 3, px), dst(w, h, 3);
        ImageFilter3x3(src.img, dst.img, k);
        EXPECT_EQ(dst.Bytes(), ReferenceFilter(px, w, h, k)) << "bias " << k.bias << " shift " << k.shift;
    }
}

TEST(WideFrames, FlipHorizontalReversesLongRows) {
    const int w = 29;
    const Bytes px = MixedBytes(size_t(w * 2 * 3));
    Frame f(w, 2, 3, px);
    OpFlipHorizontal(f.img);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < w; ++x)
            for (int b = 0; b < 3; ++b)
                ASSERT_EQ(f.img.pixels[(y * w + x) * 3 + b], px[size_t((y * w + (w - 1 - x)) * 3 + b)]);
}

}  // namespace
}  // namespace movaltic
