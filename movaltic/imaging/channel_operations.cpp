// The channel-table operations: Brightness, Contrast, Adjust RGB and Gamma
// Correct. Each builds three 256-entry tables; 8-bit frames apply them to the
// palette. On 24-bit frames the first three are computed in byte lanes
// instead (a saturating add, or a multiply with clipping), with each lane
// holding the parameters of the channel its byte belongs to; Gamma reads its
// tables by a vectorised lookup. Every path gives the tables' bytes.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "movaltic/imaging/channel_runs.h"
#include "movaltic/imaging/lane_builds.h"
#include "movaltic/imaging/operation_support.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/pixel_lanes.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

using namespace lanes;

namespace {

// Per-channel values of an operation, blue first (the byte order of a pixel).
struct Channels {
    int p[3];  // held to -100..100
    int m[3];  // |p|
    Channels(int32_t red, int32_t green, int32_t blue)
        : p{PercentParam(blue), PercentParam(green), PercentParam(red)},
          m{std::abs(p[0]), std::abs(p[1]), std::abs(p[2])} {}
};

#if defined(__GNUC__) && defined(__x86_64__)
#define MOVALTIC_CHANNEL_LANES 1

// The byte arithmetic of the lane loops, once for 16-byte (SSE2, every
// x86-64) and once for 32-byte (AVX2) vectors.
namespace sse2 {
using V = __m128i;
constexpr int W = 16;
[[gnu::always_inline]] inline V Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
[[gnu::always_inline]] inline void Store(uint8_t* p, V v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
[[gnu::always_inline]] inline V AddSat(V a, V b) { return _mm_adds_epu8(a, b); }
[[gnu::always_inline]] inline V SubSat(V a, V b) { return _mm_subs_epu8(a, b); }
[[gnu::always_inline]] inline V Sub(V a, V b) { return _mm_sub_epi8(a, b); }
[[gnu::always_inline]] inline V Add(V a, V b) { return _mm_add_epi8(a, b); }
[[gnu::always_inline]] inline V Min(V a, V b) { return _mm_min_epu8(a, b); }
[[gnu::always_inline]] inline V Max(V a, V b) { return _mm_max_epu8(a, b); }
[[gnu::always_inline]] inline V And(V a, V b) { return _mm_and_si128(a, b); }
[[gnu::always_inline]] inline V Xor(V a, V b) { return _mm_xor_si128(a, b); }
[[gnu::always_inline]] inline V Select(V m, V a, V b) { return _mm_or_si128(_mm_and_si128(m, a), _mm_andnot_si128(m, b)); }
[[gnu::always_inline]] inline V Splat(uint8_t b) { return _mm_set1_epi8(char(b)); }
[[gnu::always_inline]] inline V HighBit(V x) { return _mm_cmpgt_epi8(_mm_setzero_si128(), x); }  // x > 127
[[gnu::always_inline]] inline V Zero() { return _mm_setzero_si128(); }
[[gnu::always_inline]] inline V UnpackLo(V a) { return _mm_unpacklo_epi8(a, _mm_setzero_si128()); }
[[gnu::always_inline]] inline V UnpackHi(V a) { return _mm_unpackhi_epi8(a, _mm_setzero_si128()); }
[[gnu::always_inline]] inline V MulHigh(V a, V k) { return _mm_mulhi_epu16(a, k); }
[[gnu::always_inline]] inline V Pack(V lo, V hi) { return _mm_packus_epi16(lo, hi); }
#include "movaltic/imaging/channel_lanes.inc"
}  // namespace sse2

// Everything up to MOVALTIC_LANES_END is built for AVX2 and runs only where the
// processor has it.
MOVALTIC_LANES_BEGIN("avx2")
namespace avx2 {
using V = __m256i;
constexpr int W = 32;
[[gnu::always_inline]] inline V Load(const uint8_t* p) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)); }
[[gnu::always_inline]] inline void Store(uint8_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
[[gnu::always_inline]] inline V AddSat(V a, V b) { return _mm256_adds_epu8(a, b); }
[[gnu::always_inline]] inline V SubSat(V a, V b) { return _mm256_subs_epu8(a, b); }
[[gnu::always_inline]] inline V Sub(V a, V b) { return _mm256_sub_epi8(a, b); }
[[gnu::always_inline]] inline V Add(V a, V b) { return _mm256_add_epi8(a, b); }
[[gnu::always_inline]] inline V Min(V a, V b) { return _mm256_min_epu8(a, b); }
[[gnu::always_inline]] inline V Max(V a, V b) { return _mm256_max_epu8(a, b); }
[[gnu::always_inline]] inline V And(V a, V b) { return _mm256_and_si256(a, b); }
[[gnu::always_inline]] inline V Xor(V a, V b) { return _mm256_xor_si256(a, b); }
[[gnu::always_inline]] inline V Select(V m, V a, V b) { return _mm256_blendv_epi8(b, a, m); }
[[gnu::always_inline]] inline V Splat(uint8_t b) { return _mm256_set1_epi8(char(b)); }
[[gnu::always_inline]] inline V HighBit(V x) { return _mm256_cmpgt_epi8(_mm256_setzero_si256(), x); }
[[gnu::always_inline]] inline V Zero() { return _mm256_setzero_si256(); }
[[gnu::always_inline]] inline V UnpackLo(V a) { return _mm256_unpacklo_epi8(a, _mm256_setzero_si256()); }
[[gnu::always_inline]] inline V UnpackHi(V a) { return _mm256_unpackhi_epi8(a, _mm256_setzero_si256()); }
[[gnu::always_inline]] inline V MulHigh(V a, V k) { return _mm256_mulhi_epu16(a, k); }
[[gnu::always_inline]] inline V Pack(V lo, V hi) { return _mm256_packus_epi16(lo, hi); }
#include "movaltic/imaging/channel_lanes.inc"
// A 256-entry table read sixteen entries at a time (a byte shuffle uses the
// low four bits of each index and gives 0 where the top bit is set). Row k
// of each half holds table rows k and k + 1 exclusive-ored (row 7 alone), so
// that the rows a byte reaches add up to its own: for a byte of half h and
// row j, i + (0x70 - 16 k) keeps the low four bits and the top bit clear for
// every k >= j and sets the top bit for k < j. Every row is in both halves
// of the vector, and all sixteen reads are independent.
struct LookupRows {
    __m256i row[2][8];
};

inline void LoadRows(const uint8_t* table, LookupRows& t) {
    for (int h = 0; h < 2; ++h)
        for (int k = 0; k < 8; ++k) {
            uint8_t r[16];
            for (int j = 0; j < 16; ++j) {
                const int i = 128 * h + 16 * k + j;
                r[j] = uint8_t(k == 7 ? table[i] : table[i] ^ table[i + 16]);
            }
            t.row[h][k] = _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(r)));
        }
}

inline __m256i Lookup(__m256i x, const LookupRows& t) {
    const __m256i halves[2] = {x, _mm256_xor_si256(x, _mm256_set1_epi8(char(0x80)))};
    __m256i part[16];
    // Unrolled, so the parts stay in registers.
#pragma GCC unroll 2
    for (int h = 0; h < 2; ++h)
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k)
            part[8 * h + k] = _mm256_shuffle_epi8(
                t.row[h][k], _mm256_adds_epu8(halves[h], _mm256_set1_epi8(char(0x70 - 16 * k))));
#pragma GCC unroll 4
    for (int step = 1; step < 16; step *= 2)
#pragma GCC unroll 8
        for (int k = 0; k + step < 16; k += 2 * step) part[k] = _mm256_xor_si256(part[k], part[k + step]);
    return part[0];
}

// Equal tables (the same gamma for all three colours) need no splitting.
int64_t LookupSameRun(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* table) {
    LookupRows t;
    LoadRows(table, t);
    // Whole pixels only: the tail goes to the pixel loop, which must not see
    // a byte twice when the frame is converted in place.
    const int64_t bytes = 3 * n / 96 * 96;
    int64_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i), Lookup(v, t));
    }
    return i / 3;
}

int64_t LookupRun(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* blue, const uint8_t* green,
                  const uint8_t* red) {
    if (std::memcmp(blue, green, 256) == 0 && std::memcmp(blue, red, 256) == 0)
        return LookupSameRun(src, dst, n, blue);
    LookupRows tb, tg, tr;
    LoadRows(blue, tb);
    LoadRows(green, tg);
    LoadRows(red, tr);
    int64_t i = 0;
    for (; i + 32 <= n; i += 32) {
        const uint8_t* s = src + 3 * i;
        uint8_t* d = dst + 3 * i;
        U8x16 a0, a1, a2, b0, b1, b2;
        SplitPixels16(s, a0, a1, a2);
        SplitPixels16(s + 48, b0, b1, b2);
        U8x32 x[3];
        Concat16(a0, b0, x[0]);
        Concat16(a1, b1, x[1]);
        Concat16(a2, b2, x[2]);
        const LookupRows* tables[3] = {&tb, &tg, &tr};
#pragma GCC unroll 3
        for (int k = 0; k < 3; ++k) {
            __m256i v;
            std::memcpy(&v, &x[k], 32);
            v = Lookup(v, *tables[k]);
            std::memcpy(&x[k], &v, 32);
        }
        JoinPixels16(d, Low16(x[0]), Low16(x[1]), Low16(x[2]));
        JoinPixels16(d + 48, High16(x[0]), High16(x[1]), High16(x[2]));
    }
    return i;
}

}  // namespace avx2
MOVALTIC_LANES_END

// A 256-entry table is four registers here, read by two two-register byte
// permutes and a blend on bit 7: Gamma then runs at memory speed, where
// sixteen 16-entry shuffles bound it with AVX2.
MOVALTIC_LANES_BEGIN("avx2,avx512f,avx512bw,avx512vbmi")
namespace avx512 {

struct Table {
    __m512i low0, low1, high0, high1;
    explicit Table(const uint8_t* t)
        : low0(_mm512_loadu_si512(t)), low1(_mm512_loadu_si512(t + 64)), high0(_mm512_loadu_si512(t + 128)),
          high1(_mm512_loadu_si512(t + 192)) {}
};

inline __m512i Lookup(__m512i x, const Table& t) {
    const __m512i low = _mm512_permutex2var_epi8(t.low0, x, t.low1);
    const __m512i high = _mm512_permutex2var_epi8(t.high0, x, t.high1);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
}

// Bytes j of the q-th 64-byte block of a 192-byte run that belong to channel
// c: (64q + j) mod 3 = c, and 64 mod 3 = 1.
constexpr uint64_t ChannelMask(int q, int c) {
    uint64_t m = 0;
    for (int j = 0; j < 64; ++j)
        if ((q + j) % 3 == c) m |= uint64_t(1) << j;
    return m;
}
constexpr uint64_t kGreenMasks[3] = {ChannelMask(0, 1), ChannelMask(1, 1), ChannelMask(2, 1)};
constexpr uint64_t kRedMasks[3] = {ChannelMask(0, 2), ChannelMask(1, 2), ChannelMask(2, 2)};

int64_t LookupRun(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* blue, const uint8_t* green,
                  const uint8_t* red) {
    const bool same = std::memcmp(blue, green, 256) == 0 && std::memcmp(blue, red, 256) == 0;
    const Table tb(blue), tg(green), tr(red);
    // Whole runs of 64 pixels, so the pixel loop takes the tail without
    // seeing a byte twice in place.
    const int64_t bytes = 3 * n / 192 * 192;
    int64_t i = 0;
    for (; i < bytes; i += 192) {
#pragma GCC unroll 3
        for (int q = 0; q < 3; ++q) {
            const __m512i x = _mm512_loadu_si512(src + i + 64 * q);
            __m512i v = Lookup(x, tb);
            if (!same) {
                v = _mm512_mask_blend_epi8(kGreenMasks[q], v, Lookup(x, tg));
                v = _mm512_mask_blend_epi8(kRedMasks[q], v, Lookup(x, tr));
            }
            _mm512_storeu_si512(dst + i + 64 * q, v);
        }
    }
    return i / 3;
}

}  // namespace avx512
MOVALTIC_LANES_END

#endif

// Table lookup of pixels, four at a time through locals so the stores cannot
// be taken to change the tables.
void LookupRunBaseline(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* blue, const uint8_t* green,
                       const uint8_t* red) {
    int64_t i = 0;
    for (; i + 4 <= n; i += 4) {
        uint8_t in[12], out[12];
        std::memcpy(in, src + 3 * i, 12);
        for (int k = 0; k < 12; k += 3) {
            out[k] = blue[in[k]];
            out[k + 1] = green[in[k + 1]];
            out[k + 2] = red[in[k + 2]];
        }
        std::memcpy(dst + 3 * i, out, 12);
    }
    for (; i < n; ++i) {
        const uint8_t* s = src + 3 * i;
        uint8_t* d = dst + 3 * i;
        const uint8_t b = blue[s[0]], g = green[s[1]], r = red[s[2]];
        d[0] = b;
        d[1] = g;
        d[2] = r;
    }
}


// Applies three channel tables to src and writes dst (same record allowed);
// known builders compute 24-bit pixels in lanes instead.
void ApplyTables(const imagerec& src, imagerec& dst, const uint8_t* red, const uint8_t* green,
                 const uint8_t* blue, ChannelTableBuilder builder, const Channels* c) {
    if (src.bytesPerPixel == 1) {
        uint8_t pal[768];
        for (int i = 0; i < 256; ++i) {
            pal[3 * i] = red[src.palette[3 * i]];
            pal[3 * i + 1] = green[src.palette[3 * i + 1]];
            pal[3 * i + 2] = blue[src.palette[3 * i + 2]];
        }
        ImageCopyPixels(src, dst);
        std::memcpy(dst.palette, pal, 768);
    } else {
        int64_t (*run)(const uint8_t*, uint8_t*, int64_t, const Channels&) = nullptr;
#if MOVALTIC_CHANNEL_LANES
        const bool useAvx2 = HaveAvx2();
        if (builder == BrightnessTable) run = useAvx2 ? avx2::BrightnessRun : sse2::BrightnessRun;
        else if (builder == AdjustTable) run = useAvx2 ? avx2::AdjustRun : sse2::AdjustRun;
        else if (builder == ContrastTable) run = useAvx2 ? avx2::ContrastRun : sse2::ContrastRun;
#else
        (void)builder;
#endif
        const int64_t w = src.width;
        RunBands(src.height, w * 3, [&](int64_t from, int64_t to) {
            const uint8_t* in = src.pixels + 3 * from * w;
            uint8_t* out = dst.pixels + 3 * from * w;
            const int64_t n = (to - from) * w;
            if (run && c) {
                const int64_t done = run(in, out, n, *c);
                LookupRunBaseline(in + 3 * done, out + 3 * done, n - done, blue, green, red);
            } else {
                ChannelLookupRun(in, out, n, blue, green, red);
            }
        });
    }
    ImageCopyHeader(src, dst, false);
}

// ln(i / 255) for i = 1..254, computed once per run.
const double* GammaLogs() {
    static const std::vector<double> logs = [] {
        std::vector<double> v(256, 0.0);
        for (int i = 1; i < 255; ++i) v[size_t(i)] = std::log(double(i) / 255.0);
        return v;
    }();
    return logs.data();
}

}  // namespace

void AllowChannelAvx2(bool allowed) {
#if MOVALTIC_CHANNEL_LANES
    gAvx2Allowed = allowed;
#else
    (void)allowed;
#endif
}

void AllowChannelAvx512(bool allowed) {
#if MOVALTIC_CHANNEL_LANES
    gAvx512Allowed = allowed;
#else
    (void)allowed;
#endif
}

void ChannelLookupRun(const uint8_t* src, uint8_t* dst, int64_t pixels, const uint8_t* blue, const uint8_t* green,
                      const uint8_t* red) {
    int64_t done = 0;
#if MOVALTIC_CHANNEL_LANES
    if (HaveAvx512Vbmi()) done = avx512::LookupRun(src, dst, pixels, blue, green, red);
    else if (HaveAvx2()) done = avx2::LookupRun(src, dst, pixels, blue, green, red);
#endif
    LookupRunBaseline(src + 3 * done, dst + 3 * done, pixels - done, blue, green, red);
}

void IdentityTable(uint8_t* table) {
    for (int i = 0; i < 256; ++i) table[i] = uint8_t(i);
}

void BrightnessTable(int32_t param, uint8_t* table) {
    const int p = PercentParam(param), m = std::abs(p);
    const int d = 255 * m / 100;
    for (int i = 0; i < 256; ++i) table[i] = uint8_t(p > 0 ? std::min(255, i + d) : std::max(0, i - d));
}

void AdjustTable(int32_t param, uint8_t* table) {
    const int p = PercentParam(param), m = std::abs(p);
    for (int i = 0; i < 256; ++i) {
        const int d = i * m / 100;
        table[i] = uint8_t(p > 0 ? std::min(255, i + d) : std::max(0, i - d));
    }
}

void ContrastTable(int32_t param, uint8_t* table) {
    const int p = PercentParam(param), m = std::abs(p);
    const int t = 127 * m / 100;
    const int base = 128 / (128 - t);
    for (int i = 0; i < 256; ++i) {
        int out;
        if (i >= 128) {
            const int u = (i - 128) * m / 100;
            out = p > 0 ? std::min(255, i + base + u) : std::max(128, i - base - u);
        } else {
            const int v = (127 - i) * m / 100;
            out = p > 0 ? std::max(0, i - base - v) : std::min(128, i + base + v);
        }
        table[i] = uint8_t(out);
    }
}

int32_t GammaHundredths(double gamma) {
    // Formed in extended precision on purpose: a stored 1.2 (just below 1.2)
    // gives 119, as the program always did.
    long double a = static_cast<long double>(gamma) * 100.0L;
    if (!(a > 0.0L)) return 0;
    if (a > 1.0e6L) return 1000000;
    return int32_t(a);
}

void GammaTable(double gamma, uint8_t* table) {
    const int32_t a = GammaHundredths(gamma);
    IdentityTable(table);
    if (a == 0) return;
    const double* logs = GammaLogs();
    const double e = 100.0 / a;
    for (int i = 1; i < 255; ++i) {
        double v = std::nearbyint(255.0 * std::exp(logs[i] * e));  // halves to even
        table[i] = uint8_t(std::clamp(v, 0.0, 255.0));
    }
    table[0] = 0;
    table[255] = 255;
}

void ChannelTable(ChannelTableBuilder builder, int32_t param, uint8_t* table) {
    if (param == 0) IdentityTable(table);
    else builder(param, table);
}

void ApplyChannelOperation(const imagerec& src, imagerec& dst, int32_t red, int32_t green,
                           int32_t blue, ChannelTableBuilder builder) {
    if (!CheckInPlace(src, dst)) return;
    if (red == 0 && green == 0 && blue == 0) {
        ImageCopy(src, dst);
        return;
    }
    uint8_t tr[256], tg[256], tb[256];
    ChannelTable(builder, red, tr);
    ChannelTable(builder, green, tg);
    ChannelTable(builder, blue, tb);
    const Channels c(red, green, blue);
    ApplyTables(src, dst, tr, tg, tb, builder, &c);
}

void OpBrightness(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue) {
    ApplyChannelOperation(src, dst, red, green, blue, BrightnessTable);
}

void OpContrast(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue) {
    ApplyChannelOperation(src, dst, red, green, blue, ContrastTable);
}

void OpAdjustRGB(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue) {
    ApplyChannelOperation(src, dst, red, green, blue, AdjustTable);
}

void OpGamma(const imagerec& src, imagerec& dst, double red, double green, double blue) {
    if (!CheckInPlace(src, dst)) return;
    if (red == 0 && green == 0 && blue == 0) {
        ImageCopy(src, dst);
        return;
    }
    uint8_t tr[256], tg[256], tb[256];
    GammaTable(red, tr);
    GammaTable(green, tg);
    GammaTable(blue, tb);
    ApplyTables(src, dst, tr, tg, tb, nullptr, nullptr);
}

}  // namespace movaltic
