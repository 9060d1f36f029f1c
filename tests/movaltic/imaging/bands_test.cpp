// Frame work shared out by bands of rows among a job's band threads gives
// the bytes of the same work on one thread, for each banded frame operation,
// the rescales and the colour conversion for Motion JPEG.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <tuple>
#include <utility>
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

using Op = void (*)(imagerec& cur, imagerec& spare);  // result in spare

// The bytes of op on a fresh frame; spare is large enough for any result.
std::vector<uint8_t> Result(Op op, int32_t w, int32_t h, bool topDown) {
    Frame cur(w, h, 3, {}, topDown);
    Fill(cur.img, uint32_t(w * 31 + h));
    Frame spare(w + 5, h * 5 / 4 + 2, 3);
    op(cur.img, spare.img);
    EXPECT_EQ(ErrCode, 0);
    std::vector<uint8_t> bytes = spare.Bytes();
    bytes.push_back(spare.img.topDown);
    return bytes;
}

TEST(BandedWork, GivesTheBytesOfOneThread) {
    // One operation of each banded code path.
    const struct {
        const char* name;
        Op op;
    } ops[] = {
        {"Brightness", [](imagerec& c, imagerec& s) { OpBrightness(c, s, 20, -30, 55); }},
        {"Negative", [](imagerec& c, imagerec& s) { OpNegative(c); ImageCopy(c, s); }},
        {"Saturate", [](imagerec& c, imagerec& s) { OpSaturation(c, s, 45); }},
        {"Blur", [](imagerec& c, imagerec& s) { OpBlur(c, s); }},
        {"FlipHorizontal", [](imagerec& c, imagerec& s) { OpFlipHorizontal(c); ImageCopy(c, s); }},
        {"MirrorVertical", [](imagerec& c, imagerec& s) { OpMirrorVertical(c, s); }},
        {"MirrorHorizontal", [](imagerec& c, imagerec& s) { OpMirrorHorizontal(c, s); }},
        {"ResampleSmaller", [](imagerec& c, imagerec& s) { ImageResample(c, s, c.width * 2 / 3 + 1, c.height * 3 / 5 + 1); }},
        {"ResampleLarger", [](imagerec& c, imagerec& s) { ImageResample(c, s, c.width + 3, c.height + 1); }},
        {"ResizeSmaller", [](imagerec& c, imagerec& s) { ImageResize(c, s, c.width * 3 / 4 + 1, c.height / 2 + 1); }},
        {"ResizeLarger", [](imagerec& c, imagerec& s) { ImageResize(c, s, c.width + 5, c.height * 5 / 4 + 1); }},
    };
    // Odd widths and heights, single rows; bands are a quarter MB at least, so
    // the last two sizes give 2 and 5 bands.
    const std::tuple<int32_t, int32_t, bool> sizes[] = {
        {1, 1, false}, {9, 1, true}, {1, 7, false}, {601, 331, true}, {661, 673, false}};
    BandPool pool(3);
    ASSERT_EQ(pool.helpers(), 3);
    for (const auto& [w, h, topDown] : sizes)
        for (const auto& [name, op] : ops) {
            const std::vector<uint8_t> one = Result(op, w, h, topDown);
            InstallBandPool(&pool);
            const std::vector<uint8_t> banded = Result(op, w, h, topDown);
            InstallBandPool(nullptr);
            EXPECT_TRUE(one == banded) << name << " " << w << "x" << h << (topDown ? " top-down" : "");
        }
}

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
    // Widths around the sixteen-pixel lanes, and heights for six bands.
    const std::pair<int32_t, int32_t> sizes[] = {{2, 2}, {14, 2}, {16, 4}, {18, 6}, {46, 10}, {962, 546}};
    for (const auto& [w, h] : sizes) {
        Frame img(w, h, 3);
        Fill(img.img, uint32_t(w));
        std::vector<uint8_t> expected;
        ReferenceYuv(img.img, expected);
        for (int helpers : {0, 3}) {
            BandPool pool(helpers);
            InstallBandPool(helpers ? &pool : nullptr);
            std::vector<uint8_t> planes(expected.size(), 0x5A);
            uint8_t* const out[3] = {planes.data(), planes.data() + w * h, planes.data() + w * h * 5 / 4};
            const int32_t lines[3] = {w, w / 2, w / 2};
            BgrToFullRangeYuv420(img.img.pixels, w * 3, w, h, out, lines);
            InstallBandPool(nullptr);
            EXPECT_TRUE(planes == expected) << w << "x" << h << " helpers " << helpers;
        }
    }
}

// Where no band thread starts, the caller does every band; a band that
// throws (memory run out) fails the whole work once every band has ended,
// and the pool serves again afterwards.
TEST(BandPool, RunsOnTheCallerWhenThreadsAreRefusedAndHandsOnFailures) {
    RefuseNewThreads(true);
    BandPool refused(4);
    RefuseNewThreads(false);
    EXPECT_EQ(refused.helpers(), 0);
    BandPool pool(3);
    for (int round = 0; round < 3; ++round) {
        std::vector<int> seen(12, 0);
        const auto run = [&] {
            (round ? pool : refused).Run(12, 12, [&](int64_t from, int64_t to) {
                for (int64_t i = from; i < to; ++i) ++seen[size_t(i)];
                if (round == 1 && from == 5) throw std::bad_alloc();
            });
        };
        if (round == 1)
            EXPECT_THROW(run(), std::bad_alloc);
        else
            run();
        EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 12) << "round " << round;
    }
}

}  // namespace
