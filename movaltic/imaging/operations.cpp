#include "movaltic/imaging/operations.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/lane_builds.h"
#include "movaltic/imaging/operation_support.h"
#include "movaltic/imaging/pixel_lanes.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

using namespace lanes;

namespace {

// Divide-by-3 of a byte sum (0..765): grey value of a pixel.
struct Div3Table {
    uint8_t v[766];
    Div3Table() {
        for (int i = 0; i < 766; ++i) v[i] = uint8_t(i / 3);
    }
};
const Div3Table kDiv3;

// Each byte moves towards the grey value g = sum / 3 by T(|byte - g|).
inline void DesaturatePixel(uint8_t* c, const int16_t* pull) {
    const int g = kDiv3.v[c[0] + c[1] + c[2]];
    c[0] = uint8_t(c[0] + pull[c[0] - g + 255]);
    c[1] = uint8_t(c[1] + pull[c[1] - g + 255]);
    c[2] = uint8_t(c[2] + pull[c[2] - g + 255]);
}

struct SaturateTables {
    int32_t m;
    uint8_t half[256];  // T(d) / 2
    int16_t grow[256];  // d + T(d)
};

// Each byte is ranked largest, middle or smallest by the comparisons
// a = x0 < x1, b = x0 < x2, c = x1 < x2 (equal bytes are not smaller):
//   x0 largest when !a && !b, smallest when a && b;
//   x1 largest when a && !c, smallest when !a && c;
//   x2 largest when b && c, smallest when !b && !c; middle otherwise.
inline void SaturatePixel(uint8_t* px, const SaturateTables& t) {
    const int x0 = px[0], x1 = px[1], x2 = px[2];
    const bool a = x0 < x1, b = x0 < x2, c = x1 < x2;
    const int L = std::max(x0, std::max(x1, x2)), S = std::min(x0, std::min(x1, x2));
    const int M = x0 + x1 + x2 - L - S;
    const int s = t.half[L - S];
    const int nS = std::max(0, S - s);
    const int nL = std::min(255, L + s);
    const int nM = std::min(255, nS + t.grow[M - S]);
    px[0] = uint8_t(!a && !b ? nL : (a && b ? nS : nM));
    px[1] = uint8_t(a && !c ? nL : (!a && c ? nS : nM));
    px[2] = uint8_t(b && c ? nL : (!b && !c ? nS : nM));
}

// SaturatePixel for n packed pixels, thirty-two at a time. Every value stays
// within 0..255, so byte lanes do the work of the 16-bit ones at twice the
// width; sums that could pass 255 are capped as they are formed.
MOVALTIC_HOT_CLONES void SaturateRun(uint8_t* p, int64_t n, const SaturateTables& t) {
    const PercentFactor f(t.m);
    int64_t i = 0;
    for (; i + 32 <= n; i += 32) {
        uint8_t* q = p + 3 * i;
        U8x16 a0, a1, a2, b0, b1, b2;
        SplitPixels16(q, a0, a1, a2);
        SplitPixels16(q + 48, b0, b1, b2);
        U8x32 x0, x1, x2;
        Concat16(a0, b0, x0);
        Concat16(a1, b1, x1);
        Concat16(a2, b2, x2);
        const U8x32 a = x0 < x1, b = x0 < x2, c = x1 < x2;
        const U8x32 hi12 = c ? x2 : x1, lo12 = c ? x1 : x2;
        const U8x32 L = x0 > hi12 ? x0 : hi12, S = x0 < lo12 ? x0 : lo12;
        const U8x32 D = L - S, E = x0 + x1 + x2 - L - S - S;
        U8x32 TD, TE, nL, nSE, nM;
        PercentOf32(D, f, TD);
        PercentOf32(E, f, TE);
        const U8x32 s = TD >> 1;
        const U8x32 nS = S - (S < s ? S : s);
        AddCapped(L, s, nL);
        AddCapped(nS, E, nSE);
        AddCapped(nSE, TE, nM);
        const U8x32 ab = a & b, a_or_b = a | b, bc = b & c, b_or_c = b | c, a_xor_c = a ^ c;
        const U8x32 o0 = ab ? nS : (a_or_b ? nM : nL);
        const U8x32 o1 = a_xor_c ? (a ? nL : nS) : nM;
        const U8x32 o2 = bc ? nL : (b_or_c ? nM : nS);
        JoinPixels16(q, Low16(o0), Low16(o1), Low16(o2));
        JoinPixels16(q + 48, High16(o0), High16(o1), High16(o2));
    }
    for (; i < n; ++i) SaturatePixel(p + 3 * i, t);
}

// Grey value (sum / 3) of n packed pixels from src into dst (may be the same).
MOVALTIC_HOT_CLONES void GrayRun(const uint8_t* src, uint8_t* dst, int64_t n) {
    int64_t i = 0;
    for (; i + 16 <= n; i += 16) {
        I16x16 x0, x1, x2, g;
        LoadPixels16(src + 3 * i, x0, x1, x2);
        MulHigh16(x0 + x1 + x2, 21846, g);  // sum / 3 rounded down for sums up to 765
        StorePixels16(dst + 3 * i, g, g, g);
    }
    for (; i < n; ++i) {
        const uint8_t* s = src + 3 * i;
        uint8_t* d = dst + 3 * i;
        d[0] = d[1] = d[2] = kDiv3.v[s[0] + s[1] + s[2]];
    }
}

[[gnu::always_inline]] inline void PullTowards(I16x16& x, const I16x16& g, const PercentFactor& f) {
    const I16x16 zero = {};
    const I16x16 d = x - g, above = d >= zero;
    I16x16 T;
    PercentOf16(above ? d : zero - d, f, T);
    x = above ? x - T : x + T;
}

MOVALTIC_HOT_CLONES void DesaturateRun(uint8_t* p, int64_t n, int32_t m, const int16_t* pull) {
    const PercentFactor f(m);
    int64_t i = 0;
    for (; i + 16 <= n; i += 16) {
        uint8_t* q = p + 3 * i;
        I16x16 x0, x1, x2;
        LoadPixels16(q, x0, x1, x2);
        // (sum x 21846) >> 16 is sum / 3 rounded down for sums up to 765.
        I16x16 g;
        MulHigh16(x0 + x1 + x2, 21846, g);
        PullTowards(x0, g, f);
        PullTowards(x1, g, f);
        PullTowards(x2, g, f);
        StorePixels16(q, x0, x1, x2);
    }
    for (; i < n; ++i) DesaturatePixel(p + 3 * i, pull);
}

// ---- Negative and Flip Horizontal in lanes ----------------------------------

// Swaps pixels l and r - 1 working inwards while at least two are left.
inline void SwapPixelsInwards(uint8_t* row, int32_t l, int32_t r) {
    for (; r - l >= 2; ++l, --r) {
        uint8_t a[3];
        std::memcpy(a, row + 3 * l, 3);
        std::memcpy(row + 3 * l, row + 3 * (r - 1), 3);
        std::memcpy(row + 3 * (r - 1), a, 3);
    }
}

// Source byte of byte k of a reversed run of sixteen 3-byte pixels.
constexpr int ReversedByte(int k) { return 3 * (15 - k / 3) + k % 3; }

#if MOVALTIC_X86_LANES

// 255 - x is x XOR 0xFF for a byte. Returns the bytes done.
int64_t InvertRunSse2(uint8_t* p, int64_t n) {
    const __m128i ones = _mm_set1_epi8(-1);
    int64_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m128i* q = reinterpret_cast<__m128i*>(p + i);
        _mm_storeu_si128(q, _mm_xor_si128(_mm_loadu_si128(q), ones));
    }
    return i;
}

MOVALTIC_LANES_BEGIN("avx2")
namespace avx2 {

int64_t InvertRun(uint8_t* p, int64_t n) {
    const __m256i ones = _mm256_set1_epi8(-1);
    int64_t i = 0;
    for (; i + 128 <= n; i += 128) {
        __m256i* q = reinterpret_cast<__m256i*>(p + i);
        const __m256i a = _mm256_loadu_si256(q), b = _mm256_loadu_si256(q + 1), c = _mm256_loadu_si256(q + 2),
                      d = _mm256_loadu_si256(q + 3);
        _mm256_storeu_si256(q, _mm256_xor_si256(a, ones));
        _mm256_storeu_si256(q + 1, _mm256_xor_si256(b, ones));
        _mm256_storeu_si256(q + 2, _mm256_xor_si256(c, ones));
        _mm256_storeu_si256(q + 3, _mm256_xor_si256(d, ones));
    }
    return i;
}

// Sixteen pixels as three 16-byte vectors; output vector q takes its bytes
// from input vector p by one byte shuffle (0x80 gives 0), for the pairs that
// share any byte.
struct ReverseShuffles {
    uint8_t index[3][3][16];
    bool used[3][3];
    constexpr ReverseShuffles() : index(), used() {
        for (int q = 0; q < 3; ++q)
            for (int j = 0; j < 16; ++j) {
                const int from = ReversedByte(16 * q + j);
                for (int p = 0; p < 3; ++p) {
                    const bool here = from / 16 == p;
                    index[q][p][j] = uint8_t(here ? from % 16 : 0x80);
                    used[q][p] = used[q][p] || here;
                }
            }
    }
};
constexpr ReverseShuffles kReverse;

struct Chunk {
    __m128i v[3];
};

[[gnu::always_inline]] inline Chunk LoadChunk(const uint8_t* p) {
    Chunk c;
    for (int k = 0; k < 3; ++k) c.v[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    return c;
}

[[gnu::always_inline]] inline void StoreReversed(uint8_t* p, const Chunk& c) {
#pragma GCC unroll 3
    for (int q = 0; q < 3; ++q) {
        __m128i out = _mm_setzero_si128();
#pragma GCC unroll 3
        for (int s = 0; s < 3; ++s)
            if (kReverse.used[q][s])
                out = _mm_or_si128(out, _mm_shuffle_epi8(c.v[s], _mm_loadu_si128(reinterpret_cast<const __m128i*>(
                                                                  kReverse.index[q][s]))));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16 * q), out);
    }
}

// One 24-bit row reversed in place, sixteen pixels from each end at a time;
// the last two chunks may overlap (both are loaded before either is stored).
void FlipRow(uint8_t* row, int32_t w) {
    int32_t l = 0, r = w;
    for (; r - l >= 16; l += 16, r -= 16) {
        const Chunk a = LoadChunk(row + 3 * l), b = LoadChunk(row + 3 * (r - 16));
        StoreReversed(row + 3 * l, b);
        StoreReversed(row + 3 * (r - 16), a);
    }
    SwapPixelsInwards(row, l, r);
}

}  // namespace avx2
MOVALTIC_LANES_END

MOVALTIC_LANES_BEGIN("avx2,avx512f,avx512bw,avx512vl,avx512vbmi")
namespace avx512 {

int64_t InvertRun(uint8_t* p, int64_t n) {
    const __m512i ones = _mm512_set1_epi8(-1);
    int64_t i = 0;
    for (; i + 256 <= n; i += 256) {
        uint8_t* q = p + i;
        const __m512i a = _mm512_loadu_si512(q), b = _mm512_loadu_si512(q + 64), c = _mm512_loadu_si512(q + 128),
                      d = _mm512_loadu_si512(q + 192);
        _mm512_storeu_si512(q, _mm512_xor_si512(a, ones));
        _mm512_storeu_si512(q + 64, _mm512_xor_si512(b, ones));
        _mm512_storeu_si512(q + 128, _mm512_xor_si512(c, ones));
        _mm512_storeu_si512(q + 192, _mm512_xor_si512(d, ones));
    }
    return i;
}

// Byte k of a reversed run of sixteen pixels, read from the 48 bytes held
// as a 32-byte and a 16-byte vector.
struct ReverseIndex {
    uint8_t v[32];
    constexpr ReverseIndex(int first) : v() {
        for (int k = 0; k < 32; ++k) v[k] = uint8_t(first + k < 48 ? ReversedByte(first + k) : 0);
    }
};
constexpr ReverseIndex kLowReverse(0), kHighReverse(32);

// As avx2::FlipRow, each chunk by two two-vector byte permutes. (Masked
// 48-byte stores would be fewer instructions, but a load that overlaps a
// masked store's whole vector waits for it.)
void FlipRow(uint8_t* row, int32_t w) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kLowReverse.v));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(kHighReverse.v));
    auto load = [](const uint8_t* p, __m256i& a, __m256i& b) {
        a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
        b = _mm256_zextsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)));
    };
    auto store = [&](uint8_t* p, __m256i a, __m256i b) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), _mm256_permutex2var_epi8(a, low, b));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 32),
                         _mm256_castsi256_si128(_mm256_permutex2var_epi8(a, high, b)));
    };
    int32_t l = 0, r = w;
    for (; r - l >= 16; l += 16, r -= 16) {
        uint8_t* left = row + 3 * l;
        uint8_t* right = row + 3 * (r - 16);
        __m256i a0, a1, b0, b1;
        load(left, a0, a1);
        load(right, b0, b1);
        store(left, b0, b1);
        store(right, a0, a1);
    }
    SwapPixelsInwards(row, l, r);
}

}  // namespace avx512
MOVALTIC_LANES_END

#endif

// Per-pixel colour change of a palette or of 24-bit pixels, through fn(b0, b1, b2).
template <class Fn>
void ForEachColour(const imagerec& src, imagerec& dst, Fn fn) {
    if (src.bytesPerPixel == 1) {
        uint8_t pal[768];
        std::memcpy(pal, src.palette, 768);
        for (int i = 0; i < 256; ++i) fn(pal + 3 * i);
        ImageCopyPixels(src, dst);
        ImageCopyHeader(src, dst, false);
        std::memcpy(dst.palette, pal, 768);
        return;
    }
    const int64_t n = int64_t(src.width) * src.height;
    if (&src != &dst) ImageCopyPixels(src, dst);
    uint8_t* d = dst.pixels;
    for (int64_t i = 0; i < n; ++i, d += 3) fn(d);
    ImageCopyHeader(src, dst, false);
}

}  // namespace

namespace {

void InvertBytes(uint8_t* p, int64_t n) {
    int64_t i = 0;
#if MOVALTIC_X86_LANES
    if (HaveAvx512Bw()) i = avx512::InvertRun(p, n);
    else if (HaveAvx2()) i = avx2::InvertRun(p, n);
    i += InvertRunSse2(p + i, n - i);
#endif
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        w = ~w;
        std::memcpy(p + i, &w, 8);
    }
    for (; i < n; ++i) p[i] = uint8_t(~p[i]);
}

// fn(first pixel, pixel count) over the rows of a 24-bit frame, by bands.
template <class Fn>
void ForPixelBands(const imagerec& img, Fn fn) {
    const int64_t w = img.width;
    RunBands(img.height, w * 3, [&](int64_t from, int64_t to) { fn(from * w, (to - from) * w); });
}

}  // namespace

void OpNegative(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    if (img.bytesPerPixel == 1) {
        for (int i = 0; i < 768; ++i) img.palette[i] = uint8_t(255 - img.palette[i]);
        return;
    }
    uint8_t* p = img.pixels;
    ForPixelBands(img, [&](int64_t first, int64_t n) { InvertBytes(p + 3 * first, 3 * n); });
}

void OpGrayscale(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    if (src.bytesPerPixel == 1) {
        ForEachColour(src, dst, [](uint8_t* c) { c[0] = c[1] = c[2] = kDiv3.v[c[0] + c[1] + c[2]]; });
        return;
    }
    ForPixelBands(src, [&](int64_t first, int64_t n) { GrayRun(src.pixels + 3 * first, dst.pixels + 3 * first, n); });
    ImageCopyHeader(src, dst, false);
}

void OpSaturation(const imagerec& src, imagerec& dst, int32_t percent) {
    if (!CheckInPlace(src, dst)) return;
    const int p = PercentParam(percent), m = std::abs(p);
    if (p == 0) {
        ImageCopy(src, dst);
        return;
    }
    uint8_t T[256];
    for (int d = 0; d < 256; ++d) T[d] = uint8_t(d * m / 100);
    if (p < 0) {
        // Change of a byte by its distance d from the grey value, both signs
        // in one table so the loop has no branch.
        int16_t pull[511];
        for (int d = -255; d <= 255; ++d) pull[d + 255] = int16_t(d >= 0 ? -T[d] : T[-d]);
        if (src.bytesPerPixel == 1) {
            ForEachColour(src, dst, [&pull](uint8_t* c) { DesaturatePixel(c, pull); });
            return;
        }
        if (&src != &dst) ImageCopyPixels(src, dst);
        ForPixelBands(src, [&](int64_t first, int64_t n) { DesaturateRun(dst.pixels + 3 * first, n, m, pull); });
        ImageCopyHeader(src, dst, false);
        return;
    }
    SaturateTables t;
    t.m = m;
    for (int d = 0; d < 256; ++d) {
        t.half[d] = uint8_t(T[d] / 2);
        t.grow[d] = int16_t(d + T[d]);
    }
    if (src.bytesPerPixel == 1) {
        ForEachColour(src, dst, [&t](uint8_t* px) { SaturatePixel(px, t); });
        return;
    }
    if (&src != &dst) ImageCopyPixels(src, dst);
    ForPixelBands(src, [&](int64_t first, int64_t n) { SaturateRun(dst.pixels + 3 * first, n, t); });
    ImageCopyHeader(src, dst, false);
}

void OpFlipVertical(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    img.topDown = img.topDown ? 0 : 1;
}

void OpFlipHorizontal(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    const int32_t w = img.width, bpp = img.bytesPerPixel;
    if (w < 2) return;
    const int64_t rowBytes = int64_t(w) * bpp;
#if MOVALTIC_X86_LANES
    void (*flipRow)(uint8_t*, int32_t) = nullptr;
    if (HaveAvx512Vbmi()) flipRow = avx512::FlipRow;
    else if (HaveAvx2()) flipRow = avx2::FlipRow;
    if (bpp == 3 && flipRow) {
        RunBands(img.height, rowBytes, [&](int64_t from, int64_t to) {
            for (int64_t y = from; y < to; ++y) flipRow(img.pixels + y * rowBytes, w);
        });
        return;
    }
#endif
    // Pixels swapped from both ends in place: a band allocates nothing, so
    // none can fail halfway through a frame that another band has flipped.
    RunBands(img.height, rowBytes, [&](int64_t from, int64_t to) {
        for (int64_t y = from; y < to; ++y) {
            uint8_t* row = img.pixels + y * rowBytes;
            if (bpp == 1) {
                std::reverse(row, row + w);
                continue;
            }
            for (int32_t a = 0, b = w - 1; a < b; ++a, --b) std::swap_ranges(row + 3 * a, row + 3 * a + 3, row + 3 * b);
        }
    });
}

void OpMirrorVertical(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int64_t row = dst.rowBytes();
    const int32_t h = dst.height;
    RunBands(h / 2, row, [&](int64_t from, int64_t to) {
        for (int64_t i = from; i < to; ++i) {
            uint8_t* first = dst.pixels + i * row;
            uint8_t* last = dst.pixels + (h - 1 - i) * row;
            // The top picture row is the first buffer row only when top-down.
            if (dst.topDown) MoveBytes(first, last, row);
            else MoveBytes(last, first, row);
        }
    });
    dst.topDown = 0;  // the picture is symmetric now
}

void OpMirrorHorizontal(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int32_t w = dst.width, bpp = dst.bytesPerPixel;
    RunBands(dst.height, int64_t(w) * bpp, [&](int64_t from, int64_t to) {
        for (int64_t y = from; y < to; ++y) {
            uint8_t* row = dst.pixels + y * w * bpp;
            for (int32_t j = 0; j < w / 2; ++j)
                std::memcpy(row + int64_t(w - 1 - j) * bpp, row + int64_t(j) * bpp, size_t(bpp));
        }
    });
}

void OpChaos(const imagerec& src, imagerec& dst, int32_t pixels) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int32_t n = std::clamp(pixels, 1, 10);
    const uint32_t range = uint32_t(2 * n + 1);
    // Seed 0 for every frame, so the scatter pattern stays put through a
    // movie; a generator of its own, so frames may scatter side by side.
    ChaosGenerator generator;
    const int32_t w = dst.width, h = dst.height, bpp = dst.bytesPerPixel;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t dx = x - n + int32_t(generator.Draw(range));
            const int32_t dy = y - n + int32_t(generator.Draw(range));
            if (dx >= 0 && dx < w && dy >= 0 && dy < h) {
                const uint8_t* from = dst.pixels + (int64_t(y) * w + x) * bpp;
                uint8_t* to = dst.pixels + (int64_t(dy) * w + dx) * bpp;
                if (bpp == 1) *to = *from;
                else { to[0] = from[0]; to[1] = from[1]; to[2] = from[2]; }
            }
        }
    }
}

}  // namespace movaltic
