#include "movaltic/imaging/yuv.h"

#include <algorithm>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "movaltic/imaging/lane_builds.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

using namespace lanes;

namespace {

struct PlaneRows {
    uint8_t* y0;
    uint8_t* y1;
    uint8_t* cb;
    uint8_t* cr;
};

// Columns from .. width - 1 of one pair of rows by the formulas, one pixel
// at a time.
void PairColumns(const uint8_t* r0, const uint8_t* r1, int32_t from, int32_t width, const PlaneRows& o) {
    for (int32_t x = from; x < width; ++x) {
        o.y0[x] = uint8_t((19595 * r0[3 * x + 2] + 38470 * r0[3 * x + 1] + 7471 * r0[3 * x] + 32768) >> 16);
        o.y1[x] = uint8_t((19595 * r1[3 * x + 2] + 38470 * r1[3 * x + 1] + 7471 * r1[3 * x] + 32768) >> 16);
    }
    for (int32_t x = from; x < width; x += 2) {
        const int b = r0[3 * x] + r0[3 * x + 3] + r1[3 * x] + r1[3 * x + 3];
        const int g = r0[3 * x + 1] + r0[3 * x + 4] + r1[3 * x + 1] + r1[3 * x + 4];
        const int r = r0[3 * x + 2] + r0[3 * x + 5] + r1[3 * x + 2] + r1[3 * x + 5];
        const int u = (-11059 * r - 21709 * g + 32768 * b + (128 << 18) + (1 << 17)) >> 18;
        const int v = (32768 * r - 27439 * g - 5329 * b + (128 << 18) + (1 << 17)) >> 18;
        o.cb[x / 2] = uint8_t(std::clamp(u, 0, 255));
        o.cr[x / 2] = uint8_t(std::clamp(v, 0, 255));
    }
}

#if MOVALTIC_X86_LANES

// Byte j of channel c of sixteen packed pixels, taken from the k-th of the
// three 16-byte vectors that hold them (0x80: from another one).
struct SplitMasks {
    uint8_t m[3][3][16];
    constexpr SplitMasks() : m() {
        for (int c = 0; c < 3; ++c)
            for (int k = 0; k < 3; ++k)
                for (int j = 0; j < 16; ++j) {
                    const int from = 3 * j + c - 16 * k;
                    m[c][k][j] = uint8_t(from >= 0 && from < 16 ? from : 0x80);
                }
    }
};
constexpr SplitMasks kSplit;

MOVALTIC_LANES_BEGIN("avx2")
namespace avx2 {

[[gnu::always_inline]] inline __m128i Channel(const __m128i v[3], int c) {
    __m128i out = _mm_setzero_si128();
    for (int k = 0; k < 3; ++k)
        out = _mm_or_si128(out, _mm_shuffle_epi8(v[k], _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSplit.m[c][k]))));
    return out;
}

// Eight 32-bit lanes to bytes, saturated, in order: the low eight of a and
// then of b.
[[gnu::always_inline]] inline __m128i PackBytes(__m256i a, __m256i b) {
    const __m256i words = _mm256_permute4x64_epi64(_mm256_packus_epi32(a, b), 0xD8);
    return _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
}

[[gnu::always_inline]] inline __m256i Luma8(__m128i b, __m128i g, __m128i r) {
    const __m256i y = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_cvtepu8_epi32(r), _mm256_set1_epi32(19595)),
                         _mm256_mullo_epi32(_mm256_cvtepu8_epi32(g), _mm256_set1_epi32(38470))),
        _mm256_add_epi32(_mm256_mullo_epi32(_mm256_cvtepu8_epi32(b), _mm256_set1_epi32(7471)),
                         _mm256_set1_epi32(32768)));
    return _mm256_srli_epi32(y, 16);
}

[[gnu::always_inline]] inline __m128i Luma16(__m128i b, __m128i g, __m128i r) {
    return PackBytes(Luma8(b, g, r), Luma8(_mm_srli_si128(b, 8), _mm_srli_si128(g, 8), _mm_srli_si128(r, 8)));
}

// The eight sums of 2 x 2 pixels of one channel in two rows.
[[gnu::always_inline]] inline __m256i BlockSums(__m128i a, __m128i b) {
    const __m256i rows = _mm256_add_epi16(_mm256_cvtepu8_epi16(a), _mm256_cvtepu8_epi16(b));
    return _mm256_madd_epi16(rows, _mm256_set1_epi16(1));
}

[[gnu::always_inline]] inline __m256i Chroma(__m256i r, __m256i g, __m256i b, int kr, int kg, int kb) {
    const __m256i sum = _mm256_add_epi32(
        _mm256_add_epi32(_mm256_mullo_epi32(r, _mm256_set1_epi32(kr)), _mm256_mullo_epi32(g, _mm256_set1_epi32(kg))),
        _mm256_add_epi32(_mm256_mullo_epi32(b, _mm256_set1_epi32(kb)), _mm256_set1_epi32((128 << 18) + (1 << 17))));
    return _mm256_srai_epi32(sum, 18);
}

// Sixteen columns of a pair of rows at a time; returns the columns done.
int32_t PairLanes(const uint8_t* r0, const uint8_t* r1, int32_t width, const PlaneRows& o) {
    int32_t x = 0;
    for (; x + 16 <= width; x += 16) {
        __m128i v0[3], v1[3];
        for (int k = 0; k < 3; ++k) {
            v0[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r0 + 3 * x + 16 * k));
            v1[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(r1 + 3 * x + 16 * k));
        }
        const __m128i b0 = Channel(v0, 0), g0 = Channel(v0, 1), rr0 = Channel(v0, 2);
        const __m128i b1 = Channel(v1, 0), g1 = Channel(v1, 1), rr1 = Channel(v1, 2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o.y0 + x), Luma16(b0, g0, rr0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(o.y1 + x), Luma16(b1, g1, rr1));
        const __m256i b = BlockSums(b0, b1), g = BlockSums(g0, g1), r = BlockSums(rr0, rr1);
        // Negative values and those past 255 saturate in the packing, as
        // the clamp does.
        const __m128i uv = PackBytes(Chroma(r, g, b, -11059, -21709, 32768), Chroma(r, g, b, 32768, -27439, -5329));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o.cb + x / 2), uv);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(o.cr + x / 2), _mm_srli_si128(uv, 8));
    }
    return x;
}

}  // namespace avx2
MOVALTIC_LANES_END

#endif

// Rows 2 x from .. 2 x to - 1: sixteen columns at a time in lanes where the
// processor has them, the rest one at a time, by the same formulas.
void PairRows(const uint8_t* top, ptrdiff_t stride, int32_t width, int64_t from, int64_t to,
              uint8_t* const planes[3], const int32_t linesizes[3]) {
    for (int64_t p = from; p < to; ++p) {
        const uint8_t* r0 = top + 2 * p * stride;
        const uint8_t* r1 = r0 + stride;
        PlaneRows o;
        o.y0 = planes[0] + 2 * p * linesizes[0];
        o.y1 = o.y0 + linesizes[0];
        o.cb = planes[1] + p * linesizes[1];
        o.cr = planes[2] + p * linesizes[2];
        int32_t x = 0;
#if MOVALTIC_X86_LANES
        if (HaveAvx2()) x = avx2::PairLanes(r0, r1, width, o);
#endif
        PairColumns(r0, r1, x, width, o);
    }
}

}  // namespace

void BgrToFullRangeYuv420(const uint8_t* top, ptrdiff_t stride, int32_t width, int32_t height,
                          uint8_t* const planes[3], const int32_t linesizes[3]) {
    const int64_t pairs = height / 2;
    auto part = [&](int64_t from, int64_t to) { PairRows(top, stride, width, from, to, planes, linesizes); };
    // Without the job's band threads, a large picture's rows are shared out
    // between two threads.
    constexpr int64_t kThreadedPixels = 1 << 18;
    if (BandPoolInstalled()) RunBands(pairs, 6 * int64_t(width), part);
    else if (int64_t(width) * height >= kThreadedPixels) RunInTwo(pairs, pairs / 2, part);
    else part(0, pairs);
}

}  // namespace movaltic
