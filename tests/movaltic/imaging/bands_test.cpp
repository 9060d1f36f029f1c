// Frame work shared out by bands of rows among a job's band threads gives
// the bytes of the same work on one thread, for every frame operation, the
// rescales and the colour conversion for Motion JPEG, at sizes with odd
// widths and heights, a single row, and enough rows for many bands.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "frames.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/rescale.h"
#include "movaltic/imaging/threads.h"
#include "movaltic/imaging/yuv.h"

namespace {

using namespace movaltic;
using movaltic::test::Frame;

// Every byte differs from its neighbours, runs of saturated colour included,
// so that a band that read the wrong row or wrote past its own would show.
void Fill(imagerec& img, uint32_t seed) {
    for (int64_t i = 0; i < img.frameBytes(); ++i) {
        seed = seed * 1664525u + 1013904223u;
        img.pixels[i] = (i / 97) % 5 == 0 ? uint8_t(seed >> 31 ? 255 : 0) : uint8_t(seed >> 24);
    }
}

struct Work {
    const char* name;
    std::function<void(imagerec& cur, imagerec& spare)> run;  // result in spare
};

void InPlace(imagerec& cur, imagerec& spare, const std::function<void(imagerec&)>& op) {
    op(cur);
    ImageCopy(cur, spare);
}

const std::vector<Work>& AllWork() {
    static const std::vector<Work> work = {
        {"Brightness", [](imagerec& c, imagerec& s) { OpBrightness(c, s, 20, -30, 55); }},
        {"Contrast", [](imagerec& c, imagerec& s) { OpContrast(c, s, 40, -10, 0); }},
        {"Negative", [](imagerec& c, imagerec& s) { InPlace(c, s, OpNegative); }},
        {"Grayscale", [](imagerec& c, imagerec& s) { OpGrayscale(c, s); }},
        {"Gamma", [](imagerec& c, imagerec& s) { OpGamma(c, s, 1.2, 0.8, 2.0); }},
        {"Saturate", [](imagerec& c, imagerec& s) { OpSaturation(c, s, 45); }},
        {"Desaturate", [](imagerec& c, imagerec& s) { OpSaturation(c, s, -60); }},
        {"AdjustRGB", [](imagerec& c, imagerec& s) { OpAdjustRGB(c, s, -20, 30, 70); }},
        {"Blur", [](imagerec& c, imagerec& s) { OpBlur(c, s); }},
        {"Soften", [](imagerec& c, imagerec& s) { OpSoften(c, s); }},
        {"Sharpen", [](imagerec& c, imagerec& s) { OpSharpen(c, s); }},
        {"FindEdges", [](imagerec& c, imagerec& s) { OpFindEdges(c, s); }},
        {"Emboss", [](imagerec& c, imagerec& s) { OpEmboss(c, s); }},
        {"FlipHorizontal", [](imagerec& c, imagerec& s) { InPlace(c, s, OpFlipHorizontal); }},
        {"MirrorVertical", [](imagerec& c, imagerec& s) { OpMirrorVertical(c, s); }},
        {"MirrorHorizontal", [](imagerec& c, imagerec& s) { OpMirrorHorizontal(c, s); }},
        {"ResampleSmaller", [](imagerec& c, imagerec& s) { ImageResample(c, s, c.width * 2 / 3 + 1, c.height * 3 / 5 + 1); }},
        {"ResampleLarger", [](imagerec& c, imagerec& s) { ImageResample(c, s, c.width + 3, c.height + 1); }},
        {"ResizeSmaller", [](imagerec& c, imagerec& s) { ImageResize(c, s, c.width * 3 / 4 + 1, c.height / 2 + 1); }},
        {"ResizeLarger", [](imagerec& c, imagerec& s) { ImageResize(c, s, c.width + 5, c.height * 5 / 4 + 1); }},
    };
    return work;
}

struct Size {
    int32_t width, height;
};

void PrintTo(const Size& s, std::ostream* os) { *os << s.width << "x" << s.height; }

// The bytes of `work` on a fresh copy of the same frame; spare is large
// enough for the largest result.
std::vector<uint8_t> Result(const Work& work, const Size& size, bool topDown) {
    Frame cur(size.width, size.height, 3, {}, topDown);
    Fill(cur.img, uint32_t(size.width * 31 + size.height));
    Frame spare(size.width + 5, size.height * 5 / 4 + 2, 3);
    work.run(cur.img, spare.img);
    EXPECT_EQ(ErrCode, 0) << work.name;
    std::vector<uint8_t> bytes = spare.Bytes();
    bytes.push_back(spare.img.topDown);
    return bytes;
}

class BandedWork : public ::testing::TestWithParam<Size> {
protected:
    void TearDown() override {
        InstallBandPool(nullptr);
        RefuseNewThreads(false);
    }
};

TEST_P(BandedWork, GivesTheBytesOfOneThread) {
    const Size size = GetParam();
    for (const Work& work : AllWork()) {
        for (bool topDown : {false, true}) {
            InstallBandPool(nullptr);
            const std::vector<uint8_t> one = Result(work, size, topDown);
            BandPool pool(3);
            ASSERT_EQ(pool.helpers(), 3);
            InstallBandPool(&pool);
            const std::vector<uint8_t> banded = Result(work, size, topDown);
            InstallBandPool(nullptr);
            EXPECT_TRUE(one == banded) << work.name << (topDown ? " top-down" : " bottom-up");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, BandedWork,
                         ::testing::Values(Size{1, 1}, Size{9, 1}, Size{1, 7}, Size{333, 257}, Size{1501, 3},
                                           Size{1027, 771}),
                         [](const ::testing::TestParamInfo<Size>& s) {
                             return std::to_string(s.param.width) + "x" + std::to_string(s.param.height);
                         });

// The planes Motion JPEG codes, by the formulas one pixel at a time.
void ReferenceYuv(const imagerec& img, std::vector<uint8_t>& planes) {
    const int32_t w = img.width, h = img.height;
    planes.assign(size_t(w) * h * 3 / 2, 0);
    uint8_t* y = planes.data();
    uint8_t* cb = y + size_t(w) * h;
    uint8_t* cr = cb + size_t(w) * h / 4;
    auto px = [&](int32_t row, int32_t col, int c) { return int(img.pixels[(size_t(row) * w + col) * 3 + c]); };
    for (int32_t r = 0; r < h; ++r)
        for (int32_t c = 0; c < w; ++c)
            y[size_t(r) * w + c] = uint8_t((19595 * px(r, c, 2) + 38470 * px(r, c, 1) + 7471 * px(r, c, 0) + 32768) >> 16);
    for (int32_t r = 0; r < h; r += 2)
        for (int32_t c = 0; c < w; c += 2) {
            int sum[3] = {0, 0, 0};
            for (int k = 0; k < 3; ++k) sum[k] = px(r, c, k) + px(r, c + 1, k) + px(r + 1, c, k) + px(r + 1, c + 1, k);
            const int u = (-11059 * sum[2] - 21709 * sum[1] + 32768 * sum[0] + (128 << 18) + (1 << 17)) >> 18;
            const int v = (32768 * sum[2] - 27439 * sum[1] - 5329 * sum[0] + (128 << 18) + (1 << 17)) >> 18;
            cb[size_t(r / 2) * (w / 2) + c / 2] = uint8_t(std::clamp(u, 0, 255));
            cr[size_t(r / 2) * (w / 2) + c / 2] = uint8_t(std::clamp(v, 0, 255));
        }
}

TEST(BandedYuv, GivesTheFormulasBytesWithAndWithoutBandThreads) {
    // Widths around the sixteen-pixel lanes, and heights for many bands.
    for (const Size size : {Size{2, 2}, Size{14, 2}, Size{16, 4}, Size{18, 6}, Size{46, 10}, Size{640, 480},
                            Size{1282, 1080}}) {
        Frame img(size.width, size.height, 3);
        Fill(img.img, uint32_t(size.width));
        std::vector<uint8_t> expected;
        ReferenceYuv(img.img, expected);
        for (int helpers : {0, 3}) {
            BandPool pool(helpers);
            InstallBandPool(helpers ? &pool : nullptr);
            std::vector<uint8_t> planes(expected.size(), 0x5A);
            uint8_t* const out[3] = {planes.data(), planes.data() + size_t(size.width) * size.height,
                                     planes.data() + size_t(size.width) * size.height * 5 / 4};
            const int32_t lines[3] = {size.width, size.width / 2, size.width / 2};
            BgrToFullRangeYuv420(img.img.pixels, size.width * 3, size.width, size.height, out, lines);
            InstallBandPool(nullptr);
            EXPECT_TRUE(planes == expected) << size.width << "x" << size.height << " helpers " << helpers;
        }
    }
}

// Where no band thread starts, the caller does every band; a band that
// throws (memory run out) fails the whole work once every band has ended.
TEST(BandPool, RunsOnTheCallerWhenThreadsAreRefusedAndHandsOnFailures) {
    RefuseNewThreads(true);
    BandPool refused(4);
    RefuseNewThreads(false);
    EXPECT_EQ(refused.helpers(), 0);
    std::vector<int> seen(100, 0);
    refused.Run(100, 8, [&](int64_t from, int64_t to) {
        for (int64_t i = from; i < to; ++i) ++seen[size_t(i)];
    });
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 100);

    BandPool pool(3);
    std::vector<int> done(12, 0);
    EXPECT_THROW(pool.Run(12, 12,
                          [&](int64_t from, int64_t) {
                              done[size_t(from)] = 1;
                              if (from == 5) throw std::bad_alloc();
                          }),
                 std::bad_alloc);
    EXPECT_EQ(std::count(done.begin(), done.end(), 1), 12);
    // And the pool serves again afterwards.
    std::fill(seen.begin(), seen.end(), 0);
    InstallBandPool(&pool);
    RunBands(100, 1 << 20, [&](int64_t from, int64_t to) {
        for (int64_t i = from; i < to; ++i) ++seen[size_t(i)];
    });
    InstallBandPool(nullptr);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 100);
}

}  // namespace
