// Whole random frames through the optimised routines, compared byte for byte
// with plain scalar versions of the rules written out here independently:
// odd widths, 1-pixel, 1-row and 1-column frames, both row orders.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>

#include "frames.h"
#include "movaltic/imaging/channel_runs.h"
#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/rescale.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

constexpr int64_t kOne = 100000;

struct Size {
    int w, h;
};
const Size kSizes[] = {{1, 1}, {1, 5}, {7, 1}, {2, 2}, {3, 3}, {5, 4}, {15, 2}, {16, 3},
                       {17, 3}, {31, 2}, {33, 5}, {47, 1}};

Bytes RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 gen(seed);
    // Plenty of ties and extremes beside uniform bytes.
    const uint8_t common[] = {0, 0, 1, 127, 128, 128, 254, 255, 255};
    Bytes b(n);
    for (auto& v : b) {
        const uint32_t r = gen();
        v = r % 4 == 0 ? common[(r >> 8) % 9] : uint8_t(r >> 16);
    }
    return b;
}

std::string Where(const Size& s, int topDown) {
    return std::to_string(s.w) + "x" + std::to_string(s.h) + (topDown ? " top-down" : " bottom-up");
}

// ---- Channel tables -----------------------------------------------------

int RefBrightness(int p, int i) {
    const int m = std::abs(p), d = 255 * m / 100;
    return p > 0 ? std::min(255, i + d) : std::max(0, i - d);
}

int RefAdjust(int p, int i) {
    const int m = std::abs(p), d = i * m / 100;
    return p > 0 ? std::min(255, i + d) : std::max(0, i - d);
}

int RefContrast(int p, int i) {
    const int m = std::abs(p), t = 127 * m / 100, base = 128 / (128 - t);
    if (i >= 128) {
        const int u = (i - 128) * m / 100;
        return p > 0 ? std::min(255, i + base + u) : std::max(128, i - base - u);
    }
    const int v = (127 - i) * m / 100;
    return p > 0 ? std::max(0, i - base - v) : std::min(128, i + base + v);
}

int RefGamma(double g, int i) {
    const long double product = static_cast<long double>(g) * 100.0L;
    const int a = int(product);
    if (a == 0 || i == 0 || i == 255) return i;
    return int(std::nearbyint(255.0 * std::pow(double(i) / 255.0, 100.0 / a)));
}

TEST(ReferenceTables, PercentTablesFollowTheirFormulasForEveryParameter) {
    for (int p = -100; p <= 100; ++p) {
        if (p == 0) continue;
        uint8_t b[256], a[256], c[256];
        BrightnessTable(p, b);
        AdjustTable(p, a);
        ContrastTable(p, c);
        for (int i = 0; i < 256; ++i) {
            ASSERT_EQ(b[i], RefBrightness(p, i)) << p << " " << i;
            ASSERT_EQ(a[i], RefAdjust(p, i)) << p << " " << i;
            ASSERT_EQ(c[i], RefContrast(p, i)) << p << " " << i;
        }
    }
}

TEST(ReferenceTables, GammaTablesFollowThePowerOfHundredOverA) {
    for (int k = 1; k <= 499; ++k) {
        const double g = k / 100.0;
        uint8_t t[256];
        GammaTable(g, t);
        for (int i = 0; i < 256; ++i) ASSERT_EQ(t[i], RefGamma(g, i)) << g << " " << i;
    }
}

// ---- Per-pixel colour operations ----------------------------------------

using PixelRule = void (*)(uint8_t* bgr, int param);

void RefSaturate(uint8_t* x, int p) {
    const int m = std::abs(p);
    auto T = [m](int d) { return d * m / 100; };
    if (p < 0) {
        const int g = (x[0] + x[1] + x[2]) / 3;
        for (int k = 0; k < 3; ++k) x[k] = uint8_t(x[k] >= g ? x[k] - T(x[k] - g) : x[k] + T(g - x[k]));
        return;
    }
    // Ranking by the three comparisons, one row of the table each.
    const bool a = x[0] < x[1], b = x[0] < x[2], c = x[1] < x[2];
    int L, M, S;
    if (!a && !b && !c) L = 0, M = 1, S = 2;
    else if (!a && !b && c) L = 0, M = 2, S = 1;
    else if (!a && b && c) L = 2, M = 0, S = 1;
    else if (a && !b && !c) L = 1, M = 0, S = 2;
    else if (a && b && !c) L = 1, M = 2, S = 0;
    else L = 2, M = 1, S = 0;
    const int l = x[L], mid = x[M], s = x[S];
    const int half = T(l - s) / 2;
    const int nS = std::max(0, s - half);
    const int nL = std::min(255, l + half);
    const int nM = std::min(255, nS + (mid - s) + T(mid - s));
    x[L] = uint8_t(nL);
    x[M] = uint8_t(nM);
    x[S] = uint8_t(nS);
}

void RefGrey(uint8_t* x, int) { x[0] = x[1] = x[2] = uint8_t((x[0] + x[1] + x[2]) / 3); }

// Applies a pixel rule to every pixel of a 24-bit frame or every palette entry.
void RefColourOp(Bytes& pixels, uint8_t* palette, int bpp, PixelRule rule, int param) {
    if (bpp == 1) {
        for (int i = 0; i < 256; ++i) rule(palette + 3 * i, param);
        return;
    }
    for (size_t i = 0; i + 2 < pixels.size(); i += 3) rule(&pixels[i], param);
}

TEST(ReferenceFrames, SaturationAndGrayscaleMatchThePlainRuleOnWholeFrames) {
    uint32_t seed = 1;
    for (const Size& s : kSizes)
        for (int bpp : {1, 3})
            for (int p : {-100, -99, -37, -1, 1, 2, 33, 50, 99, 100}) {
                const Bytes px = RandomBytes(size_t(s.w * s.h * bpp), seed++);
                const Bytes pal = RandomBytes(768, seed++);
                Frame in(s.w, s.h, bpp, px);
                std::copy(pal.begin(), pal.end(), in.img.palette);
                Frame sat(s.w, s.h, bpp), grey(s.w, s.h, bpp);
                OpSaturation(in.img, sat.img, p);
                OpGrayscale(in.img, grey.img);
                Bytes refPx = px, refGreyPx = px;
                Bytes refPal = pal, refGreyPal = pal;
                RefColourOp(refPx, refPal.data(), bpp, RefSaturate, p);
                RefColourOp(refGreyPx, refGreyPal.data(), bpp, RefGrey, 0);
                ASSERT_EQ(sat.Bytes(), refPx) << Where(s, 0) << " bpp " << bpp << " at " << p;
                ASSERT_EQ(grey.Bytes(), refGreyPx) << Where(s, 0) << " bpp " << bpp;
                if (bpp == 1) {
                    ASSERT_EQ(Bytes(sat.img.palette, sat.img.palette + 768), refPal) << p;
                    ASSERT_EQ(Bytes(grey.img.palette, grey.img.palette + 768), refGreyPal);
                }
                // In place gives the same bytes.
                OpSaturation(in.img, in.img, p);
                ASSERT_EQ(in.Bytes(), refPx) << Where(s, 0) << " in place at " << p;
            }
}

TEST(ReferenceFrames, ChannelOperationsAndNegativeMatchThePlainRuleOnWholeFrames) {
    uint32_t seed = 100;
    for (const Size& s : kSizes) {
        const Bytes px = RandomBytes(size_t(s.w * s.h * 3), seed++);
        const int r = int(seed % 201) - 100, g = int(seed * 7 % 201) - 100, b = int(seed * 13 % 201) - 100;
        Frame in(s.w, s.h, 3, px), bright(s.w, s.h, 3), contrast(s.w, s.h, 3), adjust(s.w, s.h, 3);
        OpBrightness(in.img, bright.img, r, g, b);
        OpContrast(in.img, contrast.img, r, g, b);
        OpAdjustRGB(in.img, adjust.img, r, g, b);
        Bytes eb = px, ec = px, ea = px;
        for (size_t i = 0; i < px.size(); i += 3) {
            const int ps[3] = {b, g, r};  // bytes are blue, green, red
            for (int k = 0; k < 3; ++k) {
                const int v = px[i + size_t(k)];
                eb[i + size_t(k)] = uint8_t(ps[k] ? RefBrightness(ps[k], v) : v);
                ec[i + size_t(k)] = uint8_t(ps[k] ? RefContrast(ps[k], v) : v);
                ea[i + size_t(k)] = uint8_t(ps[k] ? RefAdjust(ps[k], v) : v);
            }
        }
        ASSERT_EQ(bright.Bytes(), eb) << Where(s, 0);
        ASSERT_EQ(contrast.Bytes(), ec) << Where(s, 0);
        ASSERT_EQ(adjust.Bytes(), ea) << Where(s, 0);

        Frame neg(s.w, s.h, 3, px);
        OpNegative(neg.img);
        Bytes en = px;
        for (auto& v : en) v = uint8_t(255 - v);
        ASSERT_EQ(neg.Bytes(), en) << Where(s, 0);
    }
}

// The lane loops against the per-channel rule for every parameter: a frame
// of odd width whose every channel holds every byte value, whole blocks and a
// tail, in place and into another frame, both row orders; equal and unequal
// parameters per channel (Gamma reads one table for all three when they match).
Bytes AllValuesFrame(int w, int h) {
    Bytes px(size_t(w * h * 3));
    for (size_t i = 0; i < px.size(); ++i) px[i] = uint8_t(i * 37 + i / 768);
    return px;
}

using ChannelRule = int (*)(int, int);

void ExpectChannelRule(const Bytes& px, const Bytes& got, const int (&bgr)[3], ChannelRule rule,
                       const std::string& what) {
    for (size_t i = 0; i < px.size(); ++i) {
        const int p = bgr[i % 3], v = px[i];
        ASSERT_EQ(int(got[i]), p ? rule(p, v) : v) << what << " byte " << i;
    }
}

// Every build of the lane loops and the lookup: the processor's choice,
// AVX2 without AVX-512, then the baseline.
enum class Build { Chosen, Avx2, Baseline };
class LaneBuilds : public ::testing::TestWithParam<Build> {
protected:
    void SetUp() override {
        AllowChannelAvx2(GetParam() != Build::Baseline);
        AllowChannelAvx512(GetParam() == Build::Chosen);
    }
    void TearDown() override {
        AllowChannelAvx2(true);
        AllowChannelAvx512(true);
    }
};
INSTANTIATE_TEST_SUITE_P(ReferenceFrames, LaneBuilds, ::testing::Values(Build::Chosen, Build::Avx2, Build::Baseline),
                         [](const auto& p) {
                             return p.param == Build::Chosen ? "Chosen" : p.param == Build::Avx2 ? "Avx2" : "Baseline";
                         });

TEST_P(LaneBuilds, LanesGiveTheTableBytesForEveryParameter) {
    const int w = 101, h = 5;
    const Bytes px = AllValuesFrame(w, h);
    using Op = void (*)(const imagerec&, imagerec&, int32_t, int32_t, int32_t);
    const struct {
        Op op;
        ChannelRule rule;
        const char* name;
    } ops[] = {{OpBrightness, RefBrightness, "Brightness"}, {OpContrast, RefContrast, "Contrast"},
               {OpAdjustRGB, RefAdjust, "Adjust RGB"}};
    for (int p = -100; p <= 100; ++p) {
        const int sets[3][3] = {{p, p, p}, {p, -p, p / 2}, {0, p, -p}};  // blue, green, red
        for (const auto& bgr : sets)
            for (const auto& o : ops)
                for (int topDown = 0; topDown < 2; ++topDown) {
                    Frame in(w, h, 3, px, topDown), out(w, h, 3);
                    o.op(in.img, out.img, bgr[2], bgr[1], bgr[0]);
                    const std::string what = std::string(o.name) + " " + std::to_string(p) + " " + Where({w, h}, topDown);
                    ExpectChannelRule(px, out.Bytes(), bgr, o.rule, what);
                    EXPECT_EQ(out.img.topDown, topDown);
                    o.op(in.img, in.img, bgr[2], bgr[1], bgr[0]);
                    ASSERT_EQ(in.Bytes(), out.Bytes()) << what << " in place";
                }
    }
}

TEST_P(LaneBuilds, GammaLookupGivesTheTableBytesForEveryGamma) {
    // 11 x 1 ends a vector inside a pixel: in place, each byte is looked up once.
    for (const auto& [w, h] : {std::pair{77, 3}, std::pair{11, 1}}) {
        const Bytes px = AllValuesFrame(w, h);
        for (int a = 1; a <= 499; ++a) {
            const double g = a / 100.0, other = (500 - a) / 100.0;
            const double sets[2][3] = {{g, g, g}, {g, other, g / 2}};  // blue, green, red
            for (const auto& bgr : sets)
                for (int topDown = 0; topDown < 2; ++topDown) {
                    Frame in(w, h, 3, px, topDown);
                    OpGamma(in.img, in.img, bgr[2], bgr[1], bgr[0]);
                    const Bytes got = in.Bytes();
                    for (size_t i = 0; i < px.size(); ++i)
                        ASSERT_EQ(int(got[i]), RefGamma(bgr[i % 3], px[i]))
                            << a << " byte " << i << " " << topDown << " width " << w;
                }
        }
    }
}

// ---- 3x3 filters ----------------------------------------------------------

// Weights by buffer order; neighbours outside the frame are the pixel's own
// row or column on that side.
Bytes RefFilter(const Bytes& in, int w, int h, const int (&k)[9], int shift, int bias) {
    Bytes out(in.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (int j = 0; j < 9; ++j) {
                    int yy = y + j / 3 - 1, xx = x + j % 3 - 1;
                    if (yy < 0) yy = y;
                    if (yy >= h) yy = y;
                    if (xx < 0) xx = x;
                    if (xx >= w) xx = x;
                    sum += k[j] * in[size_t((yy * w + xx) * 3 + c)];
                }
                const int16_t sum16 = int16_t(sum);
                // Arithmetic shift: rounds toward minus infinity.
                const int q = int(std::floor(double(sum16) / double(1 << shift)));
                out[size_t((y * w + x) * 3 + c)] = uint8_t(std::clamp(bias + q, 0, 255));
            }
    return out;
}

Bytes Expand(const Bytes& idx, const Bytes& pal) {
    Bytes out;
    for (uint8_t i : idx) {
        out.push_back(pal[size_t(3 * i + 2)]);
        out.push_back(pal[size_t(3 * i + 1)]);
        out.push_back(pal[size_t(3 * i)]);
    }
    return out;
}

struct FilterCase {
    void (*op)(const imagerec&, imagerec&);
    int k[9];
    int shift, bias;
    bool emboss;
};
// The five filters' weights, written out here on their own.
const FilterCase kFilterCases[] = {
    {OpSoften, {1, 1, 1, 1, 8, 1, 1, 1, 1}, 4, 0, false},
    {OpBlur, {3, 1, 3, 1, 0, 1, 3, 1, 3}, 4, 0, false},
    {OpSharpen, {0, -1, 0, -1, 8, -1, 0, -1, 0}, 2, 0, false},
    {OpFindEdges, {0, -1, 0, -1, 4, -1, 0, -1, 0}, 0, 255, false},
    {OpEmboss, {0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 128, true},
};

Bytes RefFilter(const Bytes& in, int w, int h, const FilterCase& c, int topDown) {
    int k[9];
    std::copy(std::begin(c.k), std::end(c.k), k);
    if (c.emboss) {
        // Lit from the picture's top left whichever row comes first.
        k[0] = topDown ? 1 : -1;
        k[8] = -k[0];
    }
    return RefFilter(in, w, h, k, c.shift, c.bias);
}

TEST(ReferenceFrames, FiltersMatchThePlainRuleForBothRowOrdersAndPaletteInput) {
    uint32_t seed = 300;
    for (const Size& s : kSizes)
        for (int topDown : {0, 1})
            for (int bpp : {1, 3})
                for (const FilterCase& c : kFilterCases) {
                    const Bytes px = RandomBytes(size_t(s.w * s.h * bpp), seed++);
                    const Bytes pal = RandomBytes(768, seed++);
                    Frame in(s.w, s.h, bpp, px, topDown == 1), out(s.w, s.h, 3);
                    std::copy(pal.begin(), pal.end(), in.img.palette);
                    c.op(in.img, out.img);
                    const Bytes true24 = bpp == 1 ? Expand(px, pal) : px;
                    ASSERT_EQ(out.Bytes(), RefFilter(true24, s.w, s.h, c, topDown))
                        << Where(s, topDown) << " bpp " << bpp << " bias " << c.bias;
                    ASSERT_EQ(out.img.bytesPerPixel, 3);
                    ASSERT_EQ(out.img.topDown, topDown);
                }
}

// The lane loops of the filters on every build: rows too short for any
// vector, ending a vector inside a pixel, or taking the widest; one to three
// rows, both row orders. The source itself is refused as the target.
TEST_P(LaneBuilds, FiltersGiveThePlainRulesBytes) {
    uint32_t seed = 1300;
    for (int w : {1, 2, 3, 11, 22, 641})
        for (int h = 1; h <= 3; ++h)
            for (int topDown : {0, 1}) {
                const Bytes px = RandomBytes(size_t(w * h * 3), seed++);
                for (const FilterCase& c : kFilterCases) {
                    Frame in(w, h, 3, px, topDown == 1), out(w, h, 3);
                    c.op(in.img, out.img);
                    ASSERT_EQ(out.Bytes(), RefFilter(px, w, h, c, topDown)) << Where({w, h}, topDown) << " bias "
                                                                            << c.bias << " shift " << c.shift;
                    ErrCode = 0;
                    c.op(in.img, in.img);
                    ASSERT_EQ(ErrCode, 1000);
                    ASSERT_EQ(in.Bytes(), px);
                }
            }
}

// Kernels the program does not have: at the edge of what the lanes hold
// exactly, and past it, where sums wrap at 16 bits, a shift passes 15 or
// the bias 16 bits.
TEST_P(LaneBuilds, AnyKernelFollowsTheSixteenBitRule) {
    const FilterKernel kernels[] = {
        {{-128, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 32767},
        {{-64, 32, 0, 0, 16, 0, 0, 0, -16}, 7, 300},
        {{127, -1, 0, 0, 1, 0, 0, 0, 0}, 0, -32768},
        {{300, -200, 7, 1000, 4000, -3000, 2, 0, 9}, 3, 77},
        {{1, 2, 3, 4, 5, 6, 7, 8, 9}, 20, 0},
        {{1, 0, 0, 0, -1, 0, 0, 0, 0}, 0, 40000},
    };
    uint32_t seed = 1700;
    for (int w : {22, 641}) {
        const Bytes px = RandomBytes(size_t(w * 3 * 3), seed++);
        for (const FilterKernel& k : kernels) {
            int weights[9];
            std::copy(std::begin(k.weights), std::end(k.weights), weights);
            Frame in(w, 3, 3, px), out(w, 3, 3);
            ImageFilter3x3(in.img, out.img, k);
            ASSERT_EQ(out.Bytes(), RefFilter(px, w, 3, weights, std::min(k.shift, 15), k.bias))
                << w << " first weight " << k.weights[0];
        }
    }
}

// Negative and Flip Horizontal in place on every build, with chunks from the
// two ends of a row that overlap in the middle (17 and 22 pixels).
TEST_P(LaneBuilds, NegativeAndFlipHorizontalGiveThePlainRulesBytes) {
    uint32_t seed = 2100;
    for (int w : {1, 2, 3, 11, 17, 22, 641})
        for (int h = 1; h <= 3; ++h) {
            const Bytes px = RandomBytes(size_t(w * h * 3), seed++);
            Frame neg(w, h, 3, px), flip(w, h, 3, px);
            OpNegative(neg.img);
            OpFlipHorizontal(flip.img);
            Bytes en(px.size()), ef(px.size());
            for (size_t i = 0; i < px.size(); ++i) {
                en[i] = uint8_t(255 - px[i]);
                const size_t x = i / 3 % size_t(w), rowStart = i - i % size_t(3 * w);
                ef[i] = px[rowStart + 3 * (size_t(w) - 1 - x) + i % 3];
            }
            ASSERT_EQ(neg.Bytes(), en) << w << "x" << h;
            ASSERT_EQ(flip.Bytes(), ef) << w << "x" << h;
        }
}

// ---- Moving pixels ----------------------------------------------------------

TEST(ReferenceFrames, FlipsMirrorsAndChaosMatchThePlainRule) {
    uint32_t seed = 900;
    for (const Size& s : kSizes)
        for (int topDown : {0, 1})
            for (int bpp : {1, 3}) {
                const Bytes px = RandomBytes(size_t(s.w * s.h * bpp), seed++);
                const size_t row = size_t(s.w * bpp);
                auto at = [&](auto& b, int x, int y) { return b.begin() + long(y * row + size_t(x * bpp)); };

                Frame flip(s.w, s.h, bpp, px, topDown == 1);
                OpFlipHorizontal(flip.img);
                Bytes ef = px;
                for (int y = 0; y < s.h; ++y)
                    for (int x = 0; x < s.w; ++x) std::copy_n(at(px, s.w - 1 - x, y), bpp, at(ef, x, y));
                ASSERT_EQ(flip.Bytes(), ef) << Where(s, topDown);

                Frame mh(s.w, s.h, bpp, px, topDown == 1);
                OpMirrorHorizontal(mh.img, mh.img);
                Bytes emh = px;
                for (int y = 0; y < s.h; ++y)
                    for (int j = 0; j < s.w / 2; ++j) std::copy_n(at(px, j, y), bpp, at(emh, s.w - 1 - j, y));
                ASSERT_EQ(mh.Bytes(), emh) << Where(s, topDown);

                Frame mv(s.w, s.h, bpp, px, topDown == 1), mvOut(s.w, s.h, bpp);
                OpMirrorVertical(mv.img, mvOut.img);
                Bytes emv = px;
                for (int i = 0; i < s.h / 2; ++i) {
                    const int top = topDown ? i : s.h - 1 - i, bottom = topDown ? s.h - 1 - i : i;
                    std::copy_n(at(px, 0, top), row, at(emv, 0, bottom));
                }
                ASSERT_EQ(mvOut.Bytes(), emv) << Where(s, topDown);
                ASSERT_EQ(mvOut.img.topDown, 0);

                for (int n : {1, 3, 10}) {
                    Frame chaosIn(s.w, s.h, bpp, px, topDown == 1), chaosOut(s.w, s.h, bpp);
                    OpChaos(chaosIn.img, chaosOut.img, n);
                    Bytes ec = px;
                    uint32_t state = 0;
                    auto draw = [&state](uint32_t r) {
                        state = state * 0x08088405u + 1u;
                        return int(uint32_t((uint64_t(state) * r) >> 32));
                    };
                    for (int y = 0; y < s.h; ++y)
                        for (int x = 0; x < s.w; ++x) {
                            const int dx = x - n + draw(uint32_t(2 * n + 1));
                            const int dy = y - n + draw(uint32_t(2 * n + 1));
                            if (dx >= 0 && dx < s.w && dy >= 0 && dy < s.h) {
                                const Bytes moved(at(ec, x, y), at(ec, x, y) + bpp);
                                std::copy(moved.begin(), moved.end(), at(ec, dx, dy));
                            }
                        }
                    ASSERT_EQ(chaosOut.Bytes(), ec) << Where(s, topDown) << " chaos " << n;
                }
            }
}

// ---- Depth ------------------------------------------------------------------

TEST(ReferenceFrames, DepthConversionsFollowTheBitLayouts) {
    uint32_t seed = 1500;
    for (const Size& s : kSizes) {
        const int n = s.w * s.h;
        const Bytes px24 = RandomBytes(size_t(3 * n), seed++);
        const Bytes words = RandomBytes(size_t(2 * n), seed++);

        Frame t24(s.w, s.h, 3, px24), t16(s.w, s.h, 2);
        ImageConvertDepth(t24.img, t16.img, 2);
        Bytes e16;
        for (int i = 0; i < n; ++i) {
            const int b = px24[size_t(3 * i)], g = px24[size_t(3 * i + 1)], r = px24[size_t(3 * i + 2)];
            const int w = (r / 8) * 2048 + (g / 4) * 32 + b / 8;
            e16.push_back(uint8_t(w % 256));
            e16.push_back(uint8_t(w / 256));
        }
        ASSERT_EQ(t16.Bytes(), e16) << Where(s, 0);
        ASSERT_EQ(t16.img.bitsPerPixel, 16);

        for (int bits : {15, 16}) {
            Frame w(s.w, s.h, 2, words), out(s.w, s.h, 3);
            w.img.bitsPerPixel = bits;
            ImageConvertDepth(w.img, out.img, 3);
            Bytes e;
            for (int i = 0; i < n; ++i) {
                const int v = words[size_t(2 * i)] + 256 * words[size_t(2 * i + 1)];
                if (bits == 15) {
                    e.push_back(uint8_t((v % 32) * 8));
                    e.push_back(uint8_t((v / 32 % 32) * 8));
                    e.push_back(uint8_t((v / 1024 % 32) * 8));
                } else {
                    e.push_back(uint8_t((v % 32) * 8));
                    e.push_back(uint8_t((v / 32 % 64) * 4));
                    e.push_back(uint8_t((v / 2048) * 8));
                }
            }
            ASSERT_EQ(out.Bytes(), e) << Where(s, 0) << " from " << bits;
        }
    }
}

// ---- Resize -----------------------------------------------------------------

Bytes RefResize(const Bytes& in, int sw, int sh, int bpp, int nw, int nh) {
    const int64_t stepX = int64_t(sw) * kOne / nw, stepY = int64_t(sh) * kOne / nh;
    std::vector<int> cols;
    if (stepX <= kOne) {
        for (int k = 0; k < nw; ++k) cols.push_back(int(k * stepX / kOne));
    } else {
        int64_t index = 0, acc = 0;
        cols.push_back(0);
        for (int k = 1; k < nw; ++k) {
            ++index;
            acc += stepX;
            if (acc >= index * kOne) {
                ++index;
                while (index * kOne < acc) ++index;
            }
            cols.push_back(int(index));
        }
    }
    std::vector<int> rows;
    if (stepY <= kOne) {
        for (int n = 0; n < sh; ++n)
            while (int(rows.size()) < nh && int64_t(rows.size()) * stepY < (n + 1) * kOne) rows.push_back(n);
    } else {
        for (int k = 0; k < nh; ++k) {
            const int64_t r = (k * stepY + kOne - 1) / kOne;
            if (r >= sh) break;
            rows.push_back(int(r));
        }
    }
    Bytes out;
    for (int r : rows)
        for (int c : cols) {
            EXPECT_LT(c, sw);
            for (int b = 0; b < bpp; ++b) out.push_back(in[size_t((r * sw + std::min(c, sw - 1)) * bpp + b)]);
        }
    return out;
}

TEST(ReferenceFrames, ResizePicksTheSamePixelsAsThePlainRule) {
    uint32_t seed = 2000;
    for (int sw : {1, 2, 3, 4, 5, 7, 9, 16})
        for (int sh : {1, 2, 3, 5})
            for (int nw : {1, 2, 3, 4, 6, 7, 10, 17, 32})
                for (int nh : {1, 2, 3, 4, 7, 11})
                    for (int bpp : {1, 3}) {
                        const Bytes px = RandomBytes(size_t(sw * sh * bpp), seed++);
                        Frame in(sw, sh, bpp, px), out(nw, nh, bpp);
                        ImageResize(in.img, out.img, nw, nh);
                        const Bytes ref = RefResize(px, sw, sh, bpp, nw, nh);
                        ASSERT_EQ(out.img.width, nw);
                        ASSERT_EQ(out.img.height, nh);
                        ASSERT_EQ(ref.size(), out.Bytes().size())
                            << sw << "x" << sh << " to " << nw << "x" << nh;
                        ASSERT_EQ(out.Bytes(), ref) << sw << "x" << sh << " to " << nw << "x" << nh;
                    }
}

// ---- Resample ---------------------------------------------------------------

using Pixel = std::array<uint8_t, 3>;
using Row = std::vector<Pixel>;

Pixel Mean(const Pixel& a, const Pixel& b) {
    return {uint8_t((a[0] + b[0]) / 2), uint8_t((a[1] + b[1]) / 2), uint8_t((a[2] + b[2]) / 2)};
}

Row RefShrinkRow(const Row& in, int nw, int64_t stepX) {
    Row out;
    size_t next = 0;
    int64_t acc = 0, pos = 0;
    for (int k = 0; k < nw; ++k) {
        // A group starts at the next unused pixel; past the end, the last one.
        const size_t first = std::min(next, in.size() - 1);
        uint64_t sum[3] = {in[first][0], in[first][1], in[first][2]}, count = 1;
        ++next;
        acc += stepX;
        pos += kOne;
        if (acc >= pos) {
            do {
                if (next >= in.size()) break;
                for (int b = 0; b < 3; ++b) sum[b] += in[next][size_t(b)];
                ++count;
                ++next;
                pos += kOne;
            } while (pos < acc);
        }
        out.push_back({uint8_t(sum[0] / count), uint8_t(sum[1] / count), uint8_t(sum[2] / count)});
    }
    return out;
}

Row RefEnlargeRow(Row cur, int nw, int factor) {
    if (factor >= 2) {
        while (factor > 1) {
            Row d;
            for (size_t i = 0; i < cur.size(); ++i) {
                d.push_back(cur[i]);
                d.push_back(Mean(cur[i], i + 1 < cur.size() ? cur[i + 1] : cur[i]));
            }
            cur = d;
            factor /= 2;
        }
    }
    const int64_t step = int64_t(cur.size()) * kOne / nw;
    if (step == kOne) return cur;
    Row out;
    for (size_t i = 0; i < cur.size() && int(out.size()) < nw; ++i) {
        out.push_back(cur[i]);
        if (int(out.size()) < nw && int64_t(out.size()) * step < int64_t(i + 1) * kOne)
            out.push_back(Mean(cur[i], i + 1 < cur.size() ? cur[i + 1] : cur[i]));
    }
    while (int(out.size()) < nw) out.push_back(out.back());
    return out;
}

Row MeanRow(const Row& a, const Row& b) {
    Row r;
    for (size_t i = 0; i < a.size(); ++i) r.push_back(Mean(a[i], b[i]));
    return r;
}

Bytes RefResample(const Bytes& in, int sw, int sh, int nw, int nh) {
    const int64_t stepX = int64_t(sw) * kOne / nw, stepY = int64_t(sh) * kOne / nh;
    const int factorX = nw / sw;
    int factorY = nh / sh;
    std::vector<Row> rows;
    for (int y = 0; y < sh; ++y) {
        Row r;
        for (int x = 0; x < sw; ++x) {
            const size_t o = size_t((y * sw + x) * 3);
            r.push_back({in[o], in[o + 1], in[o + 2]});
        }
        rows.push_back(r);
    }
    if (nh < sh) {
        std::vector<Row> reduced;
        for (int k = 0; k < nh; ++k) {
            const int64_t first = (k * stepY + kOne - 1) / kOne;
            const int64_t last = std::min<int64_t>(((k + 1) * stepY + kOne - 1) / kOne - 1, sh - 1);
            Row r;
            for (int x = 0; x < sw; ++x) {
                uint64_t sum[3] = {0, 0, 0};
                for (int64_t y = first; y <= last; ++y)
                    for (int b = 0; b < 3; ++b) sum[b] += rows[size_t(y)][size_t(x)][size_t(b)];
                const uint64_t count = uint64_t(last - first + 1);
                r.push_back({uint8_t(sum[0] / count), uint8_t(sum[1] / count), uint8_t(sum[2] / count)});
            }
            reduced.push_back(r);
        }
        rows = reduced;
    }
    for (Row& r : rows) r = stepX > kOne ? RefShrinkRow(r, nw, stepX) : RefEnlargeRow(r, nw, factorX);
    if (nh >= sh) {
        bool backward = true;
        while (factorY > 1) {
            std::vector<Row> d;
            for (size_t i = 0; i < rows.size(); ++i) {
                if (backward) {
                    d.push_back(MeanRow(rows[i], rows[i > 0 ? i - 1 : i]));
                    d.push_back(rows[i]);
                } else {
                    d.push_back(rows[i]);
                    d.push_back(MeanRow(rows[i], rows[i + 1 < rows.size() ? i + 1 : i]));
                }
            }
            rows = d;
            factorY /= 2;
            backward = !backward;
        }
        const int64_t step = int64_t(rows.size()) * kOne / nh;
        if (step < kOne) {
            if (backward) std::reverse(rows.begin(), rows.end());
            std::vector<Row> out;
            for (size_t i = 0; i < rows.size() && int(out.size()) < nh; ++i) {
                out.push_back(rows[i]);
                if (int(out.size()) < nh && int64_t(out.size()) * step < int64_t(i + 1) * kOne)
                    out.push_back(MeanRow(rows[i], rows[i + 1 < rows.size() ? i + 1 : i]));
            }
            while (int(out.size()) < nh) out.push_back(out.back());
            if (backward) std::reverse(out.begin(), out.end());
            rows = out;
        }
    }
    Bytes out;
    for (const Row& r : rows)
        for (const Pixel& p : r) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST(ReferenceFrames, ResampleAveragesAndInterpolatesLikeThePlainRule) {
    uint32_t seed = 5000;
    for (int sw : {1, 2, 3, 4, 5, 6, 7, 9, 16})
        for (int sh : {1, 2, 3, 5, 6})
            for (int nw : {1, 2, 3, 4, 5, 7, 10, 17, 32})
                for (int nh : {1, 2, 3, 4, 7, 11, 13})
                    for (int topDown : {0, 1}) {
                        const Bytes px = RandomBytes(size_t(sw * sh * 3), seed++);
                        Frame in(sw, sh, 3, px, topDown == 1), out(nw, nh, 3);
                        ImageResample(in.img, out.img, nw, nh);
                        ASSERT_EQ(out.img.topDown, topDown);
                        ASSERT_EQ(out.Bytes(), RefResample(px, sw, sh, nw, nh))
                            << sw << "x" << sh << " to " << nw << "x" << nh;
                    }
}

TEST(ReferenceFrames, ResampleJoinsThePixelThatMeetsTheAccumulatorExactly) {
    // 6 to 4: step 150000. The second group starts at pixel 2 with the
    // accumulator (300000) equal to the position, so pixel 3 joins it.
    Frame in(6, 1, 3, {0, 0, 0, 10, 10, 10, 20, 20, 20, 41, 41, 41, 60, 60, 60, 90, 90, 90}),
        out(4, 1, 3);
    ImageResample(in.img, out.img, 4, 1);
    EXPECT_EQ(out.Bytes(), (Bytes{5, 5, 5, 30, 30, 30, 60, 60, 60, 90, 90, 90}));
}

}  // namespace
}  // namespace movaltic
