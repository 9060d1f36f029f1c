// The five 3x3 filters: Blur, Soften, Sharpen, Find Edges and Emboss, all
// through ImageFilter3x3. Every byte is nine weighted neighbours summed in
// 16 bits, shifted arithmetically, biased and clamped. The lane loops take
// the kernel's non-zero weights two by two: the bytes of the two neighbours
// are interleaved and one multiply-add of unsigned bytes by signed byte
// weights gives both products summed in a 16-bit lane. That is exact when no
// sum can pass 16 bits, which holds for every kernel the program has;
// another kernel goes through the scalar rule.
#include <algorithm>
#include <cstdlib>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/lane_builds.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

using namespace lanes;

const FilterKernel kSoftenKernel = {{1, 1, 1, 1, 8, 1, 1, 1, 1}, 4, 0};
const FilterKernel kBlurKernel = {{3, 1, 3, 1, 0, 1, 3, 1, 3}, 4, 0};
const FilterKernel kSharpenKernel = {{0, -1, 0, -1, 8, -1, 0, -1, 0}, 2, 0};
const FilterKernel kFindEdgesKernel = {{0, -1, 0, -1, 4, -1, 0, -1, 0}, 0, 255};

FilterKernel EmbossKernel(bool topDown) {
    const int16_t c = topDown ? 1 : -1;
    return FilterKernel{{c, 0, 0, 0, 0, 0, 0, 0, int16_t(-c)}, 0, 128};
}

namespace {

// A shift past 15 leaves only the sign of a 16-bit sum, as 15 does.
int KernelShift(const FilterKernel& k) { return std::clamp(int(k.shift), 0, 15); }

// One byte by the rule: l, c, r are its own byte and the same byte of the
// pixels left and right of it (itself at an edge) in the rows up, mid, down.
// The products and their sum wrap at 16 bits, as 16-bit tables would.
inline uint8_t FilterByte(const uint8_t* up, const uint8_t* mid, const uint8_t* down, int64_t l, int64_t c,
                          int64_t r, const FilterKernel& k, int shift) {
    const int16_t* w = k.weights;
    const int sum = w[0] * up[l] + w[1] * up[c] + w[2] * up[r] + w[3] * mid[l] + w[4] * mid[c] +
                    w[5] * mid[r] + w[6] * down[l] + w[7] * down[c] + w[8] * down[r];
    const int64_t v = int64_t(k.bias) + (int(int16_t(sum)) >> shift);
    return uint8_t(std::clamp<int64_t>(v, 0, 255));
}

// Bytes from .. to - 1 of one output row by the scalar rule.
void FilterBytes(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out, int32_t width,
                 const FilterKernel& k, int64_t from, int64_t to) {
    const int shift = KernelShift(k);
    const int64_t last = int64_t(width) * 3 - 3;
    for (int64_t i = from; i < to; ++i)
        out[i] = FilterByte(up, mid, down, i < 3 ? i : i - 3, i, i >= last ? i : i + 3, k, shift);
}

// The kernel's non-zero weights in pairs, for the lane loops; an odd one out
// is paired with itself at weight 0. Taps count 0..8 in the kernel's order.
struct TapPlan {
    int pairs = 0;
    int tapA[5] = {}, tapB[5] = {};
    int weightA[5] = {}, weightB[5] = {};
    int shift = 0, bias = 0;
};

// False when some sum could pass 16 bits (or a weight a signed byte, or the
// bias 16 bits): the lanes would not wrap where the rule does.
bool PlanLanes(const FilterKernel& k, TapPlan& plan) {
    int magnitude = 0, taps[9], n = 0;
    for (int j = 0; j < 9; ++j) {
        const int w = k.weights[j];
        if (w < -128 || w > 127) return false;
        magnitude += std::abs(w);
        if (w != 0) taps[n++] = j;
    }
    if (magnitude * 255 > 32767 || k.bias < -32768 || k.bias > 32767) return false;
    for (int i = 0; i < n; i += 2) {
        const int a = taps[i], b = i + 1 < n ? taps[i + 1] : a;
        plan.tapA[plan.pairs] = a;
        plan.tapB[plan.pairs] = b;
        plan.weightA[plan.pairs] = k.weights[a];
        plan.weightB[plan.pairs] = i + 1 < n ? k.weights[b] : 0;
        ++plan.pairs;
    }
    plan.shift = KernelShift(k);
    plan.bias = k.bias;
    return true;
}

#if MOVALTIC_X86_LANES

// Row of tap j (0..8) moved by its column offset: one pixel left, none, one right.
inline const uint8_t* TapRow(const uint8_t* const (&rows)[3], int j) { return rows[j / 3] + 3 * (j % 3 - 1); }

// 16 bytes: the baseline has no byte multiply-add, so the two neighbours of
// a pair are split again and multiplied as 16-bit lanes.
namespace sse2 {
using V = __m128i;
constexpr int W = 16;
struct PairWeight {
    V a, b;
    PairWeight() = default;
    PairWeight(int wa, int wb) : a(_mm_set1_epi16(int16_t(wa))), b(_mm_set1_epi16(int16_t(wb))) {}
};
struct Scale {
    __m128i shift;
    V bias;
    Scale(int s, int b) : shift(_mm_cvtsi32_si128(s)), bias(_mm_set1_epi16(int16_t(b))) {}
};
[[gnu::always_inline]] inline V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
[[gnu::always_inline]] inline void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
[[gnu::always_inline]] inline V Zero() { return _mm_setzero_si128(); }
[[gnu::always_inline]] inline V PairLo(V a, V b) { return _mm_unpacklo_epi8(a, b); }
[[gnu::always_inline]] inline V PairHi(V a, V b) { return _mm_unpackhi_epi8(a, b); }
[[gnu::always_inline]] inline V MulPairs(V x, const PairWeight& w) {
    const V a = _mm_and_si128(x, _mm_set1_epi16(0xFF)), b = _mm_srli_epi16(x, 8);
    return _mm_add_epi16(_mm_mullo_epi16(a, w.a), _mm_mullo_epi16(b, w.b));
}
[[gnu::always_inline]] inline V Add16(V a, V b) { return _mm_add_epi16(a, b); }
[[gnu::always_inline]] inline V Shift16(V a, __m128i s) { return _mm_sra_epi16(a, s); }
[[gnu::always_inline]] inline V AddSat16(V a, V b) { return _mm_adds_epi16(a, b); }
[[gnu::always_inline]] inline V PackU8(V lo, V hi) { return _mm_packus_epi16(lo, hi); }
#include "movaltic/imaging/filter_lanes.inc"
}  // namespace sse2

// Packed byte weights: the low byte of each 16-bit lane multiplies the first
// neighbour, the high byte the second.
inline int16_t PackedWeights(int wa, int wb) { return int16_t(uint16_t(uint8_t(wa) | (uint8_t(wb) << 8))); }

MOVALTIC_LANES_BEGIN("avx2")
namespace avx2 {
using V = __m256i;
constexpr int W = 32;
struct PairWeight {
    V w;
    PairWeight() = default;
    PairWeight(int wa, int wb) : w(_mm256_set1_epi16(PackedWeights(wa, wb))) {}
};
struct Scale {
    __m128i shift;
    V bias;
    Scale(int s, int b) : shift(_mm_cvtsi32_si128(s)), bias(_mm256_set1_epi16(int16_t(b))) {}
};
[[gnu::always_inline]] inline V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
[[gnu::always_inline]] inline void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
[[gnu::always_inline]] inline V Zero() { return _mm256_setzero_si256(); }
[[gnu::always_inline]] inline V PairLo(V a, V b) { return _mm256_unpacklo_epi8(a, b); }
[[gnu::always_inline]] inline V PairHi(V a, V b) { return _mm256_unpackhi_epi8(a, b); }
[[gnu::always_inline]] inline V MulPairs(V x, const PairWeight& w) { return _mm256_maddubs_epi16(x, w.w); }
[[gnu::always_inline]] inline V Add16(V a, V b) { return _mm256_add_epi16(a, b); }
[[gnu::always_inline]] inline V Shift16(V a, __m128i s) { return _mm256_sra_epi16(a, s); }
[[gnu::always_inline]] inline V AddSat16(V a, V b) { return _mm256_adds_epi16(a, b); }
[[gnu::always_inline]] inline V PackU8(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }
#include "movaltic/imaging/filter_lanes.inc"
}  // namespace avx2
MOVALTIC_LANES_END

MOVALTIC_LANES_BEGIN("avx2,avx512f,avx512bw")
namespace avx512 {
using V = __m512i;
constexpr int W = 64;
struct PairWeight {
    V w;
    PairWeight() = default;
    PairWeight(int wa, int wb) : w(_mm512_set1_epi16(PackedWeights(wa, wb))) {}
};
struct Scale {
    __m128i shift;
    V bias;
    Scale(int s, int b) : shift(_mm_cvtsi32_si128(s)), bias(_mm512_set1_epi16(int16_t(b))) {}
};
[[gnu::always_inline]] inline V Load(const uint8_t* p) { return _mm512_loadu_si512(p); }
[[gnu::always_inline]] inline void Store(uint8_t* p, V v) { _mm512_storeu_si512(p, v); }
[[gnu::always_inline]] inline V Zero() { return _mm512_setzero_si512(); }
[[gnu::always_inline]] inline V PairLo(V a, V b) { return _mm512_unpacklo_epi8(a, b); }
[[gnu::always_inline]] inline V PairHi(V a, V b) { return _mm512_unpackhi_epi8(a, b); }
[[gnu::always_inline]] inline V MulPairs(V x, const PairWeight& w) { return _mm512_maddubs_epi16(x, w.w); }
[[gnu::always_inline]] inline V Add16(V a, V b) { return _mm512_add_epi16(a, b); }
[[gnu::always_inline]] inline V Shift16(V a, __m128i s) { return _mm512_sra_epi16(a, s); }
[[gnu::always_inline]] inline V AddSat16(V a, V b) { return _mm512_adds_epi16(a, b); }
[[gnu::always_inline]] inline V PackU8(V lo, V hi) { return _mm512_packus_epi16(lo, hi); }
#include "movaltic/imaging/filter_lanes.inc"
}  // namespace avx512
MOVALTIC_LANES_END

#endif

// One output row of a 24-bit frame: up, mid, down are the rows before, at and
// after it in the buffer (edge rows repeat themselves). plan is null for a
// kernel the lanes cannot take.
void FilterRow3x3(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out, int32_t width,
                  const FilterKernel& k, const TapPlan* plan) {
    const int64_t rowBytes = int64_t(width) * 3;
    // The first and last pixel have no neighbour on one side: the rule by bytes.
    int64_t from = std::min<int64_t>(3, rowBytes), to = std::max(from, rowBytes - 3);
#if MOVALTIC_X86_LANES
    if (plan) {
        const uint8_t* const rows[3] = {up, mid, down};
        const int64_t n = to - from;
        if (n >= 64 && HaveAvx512Bw()) avx512::FilterInterior(*plan, rows, out, from, to);
        else if (n >= 32 && HaveAvx2()) avx2::FilterInterior(*plan, rows, out, from, to);
        else if (n >= 16) sse2::FilterInterior(*plan, rows, out, from, to);
        if (n >= 16) from = to;
    }
#else
    (void)plan;
#endif
    FilterBytes(up, mid, down, out, width, k, 0, std::min<int64_t>(3, rowBytes));
    FilterBytes(up, mid, down, out, width, k, from, to);
    FilterBytes(up, mid, down, out, width, k, to, rowBytes);
}

}  // namespace

void ImageFilter3x3(const imagerec& src, imagerec& dst, const FilterKernel& kernel) {
    if (!ImageCheckTarget(src, dst, 3, true)) return;
    if (src.bytesPerPixel != 1 && src.bytesPerPixel != 3) return;
    imagerec expanded;
    const imagerec* in = AsTrueColour(src, expanded);
    if (!in) return;
    const int32_t w = in->width, h = in->height;
    const int64_t row = int64_t(w) * 3;
    TapPlan plan;
    const TapPlan* lanePlan = PlanLanes(kernel, plan) ? &plan : nullptr;
    // Each band writes its own rows and reads the source rows on either
    // side of it, which no band writes.
    if (w > 0) {
        RunBands(h, row, [&](int64_t from, int64_t to) {
            for (int64_t y = from; y < to; ++y) {
                const uint8_t* mid = in->pixels + y * row;
                const uint8_t* up = y > 0 ? mid - row : mid;
                const uint8_t* down = y + 1 < h ? mid + row : mid;
                FilterRow3x3(up, mid, down, dst.pixels + y * row, w, kernel, lanePlan);
            }
        });
    }
    ImageCopyHeader(*in, dst, false);
    ImageFree(expanded);
}

void OpBlur(const imagerec& src, imagerec& dst) { ImageFilter3x3(src, dst, kBlurKernel); }
void OpSoften(const imagerec& src, imagerec& dst) { ImageFilter3x3(src, dst, kSoftenKernel); }
void OpSharpen(const imagerec& src, imagerec& dst) { ImageFilter3x3(src, dst, kSharpenKernel); }
void OpFindEdges(const imagerec& src, imagerec& dst) { ImageFilter3x3(src, dst, kFindEdgesKernel); }
void OpEmboss(const imagerec& src, imagerec& dst) {
    ImageFilter3x3(src, dst, EmbossKernel(src.topDown != 0));
}

}  // namespace movaltic
