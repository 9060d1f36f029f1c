#include "movaltic/imaging/operations.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "movaltic/imaging/depth.h"

namespace movaltic {

namespace {

// Dialogs allow -100..100; anything else (a hand-edited or merged value) is
// held to that range rather than wrapped, so no table divides by zero.
int32_t PercentParam(int32_t p) { return std::clamp(p, -100, 100); }

// Divide-by-3 of a byte sum (0..765): grey value of a pixel.
struct Div3Table {
    uint8_t v[766];
    Div3Table() {
        for (int i = 0; i < 766; ++i) v[i] = uint8_t(i / 3);
    }
};
const Div3Table kDiv3;

// Hot per-pixel loops get an AVX2 build beside the baseline one on x86-64;
// both compute exactly the same bytes.
#if defined(__GNUC__) && defined(__x86_64__) && !defined(__SANITIZE_ADDRESS__)
#define MOVALTIC_HOT_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MOVALTIC_HOT_CLONES
#endif

typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint8_t U8x8 __attribute__((vector_size(8)));

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

typedef int16_t I16x16 __attribute__((vector_size(32)));
typedef int16_t I16x8 __attribute__((vector_size(16)));

// Sixteen packed pixels split into three byte lanes, without widening.
[[gnu::always_inline]] inline void SplitPixels16(const uint8_t* q, U8x16& x0, U8x16& x1, U8x16& x2) {
    U8x16 A, B, C;
    std::memcpy(&A, q, 16);
    std::memcpy(&B, q + 16, 16);
    std::memcpy(&C, q + 32, 16);
    x0 = __builtin_shufflevector(
        __builtin_shufflevector(A, B, 0, 3, 6, 9, 12, 15, 18, 21, 24, 27, 30, 0, 0, 0, 0, 0), C, 0, 1, 2, 3, 4,
        5, 6, 7, 8, 9, 10, 17, 20, 23, 26, 29);
    x1 = __builtin_shufflevector(
        __builtin_shufflevector(A, B, 1, 4, 7, 10, 13, 16, 19, 22, 25, 28, 31, 0, 0, 0, 0, 0), C, 0, 1, 2, 3, 4,
        5, 6, 7, 8, 9, 10, 18, 21, 24, 27, 30);
    x2 = __builtin_shufflevector(
        __builtin_shufflevector(A, B, 2, 5, 8, 11, 14, 17, 20, 23, 26, 29, 0, 0, 0, 0, 0, 0), C, 0, 1, 2, 3, 4,
        5, 6, 7, 8, 9, 16, 19, 22, 25, 28, 31);
}

// Sixteen packed B,G,R pixels (48 bytes) split into three lanes of bytes and
// widened. Vectors pass by reference: by value they would change the
// calling convention between the AVX2 and the baseline builds.
[[gnu::always_inline]] inline void LoadPixels16(const uint8_t* q, I16x16& x0, I16x16& x1, I16x16& x2) {
    U8x16 b0, b1, b2;
    SplitPixels16(q, b0, b1, b2);
    x0 = __builtin_convertvector(b0, I16x16);
    x1 = __builtin_convertvector(b1, I16x16);
    x2 = __builtin_convertvector(b2, I16x16);
}

[[gnu::always_inline]] inline void StorePixels16(uint8_t* q, const I16x16& x0, const I16x16& x1, const I16x16& x2) {
    const U8x16 o0 = __builtin_convertvector(x0, U8x16);
    const U8x16 o1 = __builtin_convertvector(x1, U8x16);
    const U8x16 o2 = __builtin_convertvector(x2, U8x16);
    const U8x16 r0 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5), o2,
        0, 1, 16, 3, 4, 17, 6, 7, 18, 9, 10, 19, 12, 13, 20, 15);
    const U8x16 r1 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26), o2,
        0, 21, 2, 3, 22, 5, 6, 23, 8, 9, 24, 11, 12, 25, 14, 15);
    const U8x16 r2 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0), o2,
        26, 1, 2, 27, 4, 5, 28, 7, 8, 29, 10, 11, 30, 13, 14, 31);
    std::memcpy(q, &r0, 16);
    std::memcpy(q + 16, &r1, 16);
    std::memcpy(q + 32, &r2, 16);
}

// out = (a x k) >> 16 for unsigned 16-bit lanes (the high half of the product).
[[gnu::always_inline]] inline void MulHigh16(const I16x16& a, uint16_t k, I16x16& out) {
    // Written per lane; the compiler turns it into one high-half multiply.
    uint16_t in[16], res[16];
    std::memcpy(in, &a, 32);
    for (int i = 0; i < 16; ++i) res[i] = uint16_t((uint32_t(in[i]) * k) >> 16);
    std::memcpy(&out, res, 32);
}

// out = d x m / 100 rounded down for d in 0..255 and m in 0..100, as one
// high-half multiply by k = ceil(m x 65536 / 100): the error stays below
// 255 / 65536, too little to reach the next whole number, since d x m / 100
// lies at most 0.99 above a whole number. At m = 100, k would not fit: out = d.
struct PercentFactor {
    uint16_t k;
    bool whole;
    explicit PercentFactor(int32_t m)
        : k(uint16_t(m >= 100 ? 0 : (m * 65536 + 99) / 100)), whole(m >= 100) {}
};

[[gnu::always_inline]] inline void PercentOf16(const I16x16& d, const PercentFactor& f, I16x16& out) {
    if (f.whole) out = d;
    else MulHigh16(d, f.k, out);
}

typedef uint8_t U8x32 __attribute__((vector_size(32)));
typedef uint16_t U16x32 __attribute__((vector_size(64)));

[[gnu::always_inline]] inline void JoinPixels16(uint8_t* q, const U8x16& o0, const U8x16& o1, const U8x16& o2) {
    const U8x16 r0 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 0, 16, 0, 1, 17, 0, 2, 18, 0, 3, 19, 0, 4, 20, 0, 5), o2,
        0, 1, 16, 3, 4, 17, 6, 7, 18, 9, 10, 19, 12, 13, 20, 15);
    const U8x16 r1 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 21, 0, 6, 22, 0, 7, 23, 0, 8, 24, 0, 9, 25, 0, 10, 26), o2,
        0, 21, 2, 3, 22, 5, 6, 23, 8, 9, 24, 11, 12, 25, 14, 15);
    const U8x16 r2 = __builtin_shufflevector(
        __builtin_shufflevector(o0, o1, 0, 11, 27, 0, 12, 28, 0, 13, 29, 0, 14, 30, 0, 15, 31, 0), o2,
        26, 1, 2, 27, 4, 5, 28, 7, 8, 29, 10, 11, 30, 13, 14, 31);
    std::memcpy(q, &r0, 16);
    std::memcpy(q + 16, &r1, 16);
    std::memcpy(q + 32, &r2, 16);
}

[[gnu::always_inline]] inline void Concat16(const U8x16& lo, const U8x16& hi, U8x32& out) {
    out = __builtin_shufflevector(lo, hi, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
                                   19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
}

[[gnu::always_inline]] inline U8x16 Low16(const U8x32& v) {
    return __builtin_shufflevector(v, v, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
}

[[gnu::always_inline]] inline U8x16 High16(const U8x32& v) {
    return __builtin_shufflevector(v, v, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31);
}

// min(255, a + b) for bytes: b is capped at the room left above a.
[[gnu::always_inline]] inline void AddCapped(const U8x32& a, const U8x32& b, U8x32& out) {
    const U8x32 room = ~a;
    out = a + (b < room ? b : room);
}

// PercentOf16 for byte lanes; only the product needs sixteen bits.
[[gnu::always_inline]] inline void PercentOf32(const U8x32& d, const PercentFactor& f, U8x32& out) {
    if (f.whole) {
        out = d;
        return;
    }
    // Written per lane, as in MulHigh16, so it becomes high-half multiplies.
    const U16x32 w = __builtin_convertvector(d, U16x32);
    uint16_t in[32], res[32];
    std::memcpy(in, &w, 64);
    for (int i = 0; i < 32; ++i) res[i] = uint16_t((uint32_t(in[i]) * f.k) >> 16);
    U16x32 r;
    std::memcpy(&r, res, 64);
    out = __builtin_convertvector(r, U8x32);
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

// Applies three channel tables to src and writes dst (same record allowed).
void ApplyTables(const imagerec& src, imagerec& dst, const uint8_t* red, const uint8_t* green,
                 const uint8_t* blue) {
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
        const int64_t n = int64_t(src.width) * src.height;
        const uint8_t* s = src.pixels;
        uint8_t* d = dst.pixels;
        for (int64_t i = 0; i < n; ++i, s += 3, d += 3) {
            d[0] = blue[s[0]];
            d[1] = green[s[1]];
            d[2] = red[s[2]];
        }
    }
    ImageCopyHeader(src, dst, false);
}

bool CheckInPlace(const imagerec& src, const imagerec& dst) {
    if (src.bytesPerPixel != 1 && src.bytesPerPixel != 3) return false;
    return ImageCheckTarget(src, dst, src.bytesPerPixel, false);
}

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

void ApplyChannelOperation(const imagerec& src, imagerec& dst, int32_t red, int32_t green,
                           int32_t blue, ChannelTableBuilder builder) {
    if (!CheckInPlace(src, dst)) return;
    if (red == 0 && green == 0 && blue == 0) {
        ImageCopy(src, dst);
        return;
    }
    uint8_t tr[256], tg[256], tb[256];
    auto build = [builder](int32_t p, uint8_t* t) {
        if (p == 0) IdentityTable(t);
        else builder(p, t);
    };
    build(red, tr);
    build(green, tg);
    build(blue, tb);
    ApplyTables(src, dst, tr, tg, tb);
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
    ApplyTables(src, dst, tr, tg, tb);
}

void OpNegative(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    if (img.bytesPerPixel == 1) {
        for (int i = 0; i < 768; ++i) img.palette[i] = uint8_t(255 - img.palette[i]);
        return;
    }
    const int64_t n = img.frameBytes();
    uint8_t* p = img.pixels;
    int64_t i = 0;
    // Eight bytes at a time; 255 - x is x XOR 0xFF for a byte.
    for (; i + 8 <= n; i += 8) {
        uint64_t w;
        std::memcpy(&w, p + i, 8);
        w = ~w;
        std::memcpy(p + i, &w, 8);
    }
    for (; i < n; ++i) p[i] = uint8_t(~p[i]);
}

void OpGrayscale(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    if (src.bytesPerPixel == 1) {
        ForEachColour(src, dst, [](uint8_t* c) { c[0] = c[1] = c[2] = kDiv3.v[c[0] + c[1] + c[2]]; });
        return;
    }
    GrayRun(src.pixels, dst.pixels, int64_t(src.width) * src.height);
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
        DesaturateRun(dst.pixels, int64_t(src.width) * src.height, m, pull);
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
    SaturateRun(dst.pixels, int64_t(src.width) * src.height, t);
    ImageCopyHeader(src, dst, false);
}

const FilterKernel kSoftenKernel = {{1, 1, 1, 1, 8, 1, 1, 1, 1}, 4, 0};
const FilterKernel kBlurKernel = {{3, 1, 3, 1, 0, 1, 3, 1, 3}, 4, 0};
const FilterKernel kSharpenKernel = {{0, -1, 0, -1, 8, -1, 0, -1, 0}, 2, 0};
const FilterKernel kFindEdgesKernel = {{0, -1, 0, -1, 4, -1, 0, -1, 0}, 0, 255};

FilterKernel EmbossKernel(bool topDown) {
    const int16_t c = topDown ? 1 : -1;
    return FilterKernel{{c, 0, 0, 0, 0, 0, 0, 0, int16_t(-c)}, 0, 128};
}

namespace {

inline uint8_t Clamp255(int v) { return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Eight bytes at a time in 16-bit lanes, exactly the arithmetic of one byte.

inline I16x8 Load8(const uint8_t* p) {
    U8x8 b;
    std::memcpy(&b, p, 8);
    return __builtin_convertvector(b, I16x8);
}

// One output row of a 24-bit frame: up, mid, down are the rows before, at and
// after it in the buffer (edge rows repeat themselves).
void FilterRow3x3(const uint8_t* up, const uint8_t* mid, const uint8_t* down, uint8_t* out,
                  int32_t width, const FilterKernel& k) {
    const int16_t* w = k.weights;
    const int shift = k.shift, bias = k.bias;
    // Sums stay within 16 bits for every kernel in use (at most 16 x 255).
    auto one = [&](int l, int c, int r) {
        int sum = w[0] * up[l] + w[1] * up[c] + w[2] * up[r] + w[3] * mid[l] + w[4] * mid[c] +
                  w[5] * mid[r] + w[6] * down[l] + w[7] * down[c] + w[8] * down[r];
        return Clamp255(bias + (sum >> shift));
    };
    const int rowBytes = width * 3;
    if (width == 1) {
        for (int b = 0; b < 3; ++b) out[b] = one(b, b, b);
        return;
    }
    for (int b = 0; b < 3; ++b) out[b] = one(b, b, b + 3);
    const I16x8 zero = {}, top = zero + int16_t(255), lanesBias = zero + int16_t(bias);
    I16x8 W[9];
    for (int j = 0; j < 9; ++j) W[j] = zero + w[j];
    int i = 3;
    for (; i + 8 <= rowBytes - 3; i += 8) {
        I16x8 sum = W[0] * Load8(up + i - 3) + W[1] * Load8(up + i) + W[2] * Load8(up + i + 3) +
                      W[3] * Load8(mid + i - 3) + W[4] * Load8(mid + i) + W[5] * Load8(mid + i + 3) +
                      W[6] * Load8(down + i - 3) + W[7] * Load8(down + i) + W[8] * Load8(down + i + 3);
        I16x8 v = (sum >> shift) + lanesBias;
        v = v < zero ? zero : v;
        v = v > top ? top : v;
        U8x8 o = __builtin_convertvector(v, U8x8);
        std::memcpy(out + i, &o, 8);
    }
    for (; i < rowBytes - 3; ++i) out[i] = one(i - 3, i, i + 3);
    for (int j = rowBytes - 3; j < rowBytes; ++j) out[j] = one(j - 3, j, j);
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
    if (w > 0) {
        for (int32_t y = 0; y < h; ++y) {
            const uint8_t* mid = in->pixels + y * row;
            const uint8_t* up = y > 0 ? mid - row : mid;
            const uint8_t* down = y + 1 < h ? mid + row : mid;
            FilterRow3x3(up, mid, down, dst.pixels + y * row, w, kernel);
        }
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

void OpFlipVertical(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    img.topDown = img.topDown ? 0 : 1;
}

void OpFlipHorizontal(imagerec& img) {
    if (!CheckInPlace(img, img)) return;
    const int32_t w = img.width, bpp = img.bytesPerPixel;
    if (w < 2) return;
    const int64_t rowBytes = int64_t(w) * bpp;
    // A copy of the row (one spare byte for the 4-byte loads) is written back
    // reversed; each 4-byte store's extra byte is overwritten by the next pixel.
    std::vector<uint8_t> copy(size_t(rowBytes) + 1);
    for (int32_t y = 0; y < img.height; ++y) {
        uint8_t* row = img.pixels + y * rowBytes;
        if (bpp == 1) {
            std::reverse(row, row + w);
            continue;
        }
        std::memcpy(copy.data(), row, size_t(rowBytes));
        const uint8_t* from = copy.data() + rowBytes - 3;
        for (int32_t j = 0; j < w - 1; ++j, from -= 3) {
            uint32_t v;
            std::memcpy(&v, from, 4);
            std::memcpy(row + 3 * j, &v, 4);
        }
        std::memcpy(row + 3 * (w - 1), copy.data(), 3);
    }
}

void OpMirrorVertical(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int64_t row = dst.rowBytes();
    const int32_t h = dst.height;
    for (int32_t i = 0; i < h / 2; ++i) {
        uint8_t* first = dst.pixels + i * row;
        uint8_t* last = dst.pixels + (h - 1 - i) * row;
        // The top picture row is the first buffer row only when top-down.
        if (dst.topDown) MoveBytes(first, last, row);
        else MoveBytes(last, first, row);
    }
    dst.topDown = 0;  // the picture is symmetric now
}

void OpMirrorHorizontal(const imagerec& src, imagerec& dst) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int32_t w = dst.width, bpp = dst.bytesPerPixel;
    for (int32_t y = 0; y < dst.height; ++y) {
        uint8_t* row = dst.pixels + int64_t(y) * w * bpp;
        for (int32_t j = 0; j < w / 2; ++j)
            std::memcpy(row + int64_t(w - 1 - j) * bpp, row + int64_t(j) * bpp, size_t(bpp));
    }
}

namespace {
ChaosGenerator gChaosGenerator;
}

void OpChaos(const imagerec& src, imagerec& dst, int32_t pixels) {
    if (!CheckInPlace(src, dst)) return;
    ImageCopy(src, dst);
    const int32_t n = std::clamp(pixels, 1, 10);
    const uint32_t range = uint32_t(2 * n + 1);
    // Same seed for every frame, so the scatter pattern stays put through a movie.
    const uint32_t saved = gChaosGenerator.seed;
    gChaosGenerator.seed = 0;
    const int32_t w = dst.width, h = dst.height, bpp = dst.bytesPerPixel;
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const int32_t dx = x - n + int32_t(gChaosGenerator.Draw(range));
            const int32_t dy = y - n + int32_t(gChaosGenerator.Draw(range));
            if (dx >= 0 && dx < w && dy >= 0 && dy < h) {
                const uint8_t* from = dst.pixels + (int64_t(y) * w + x) * bpp;
                uint8_t* to = dst.pixels + (int64_t(dy) * w + dx) * bpp;
                if (bpp == 1) *to = *from;
                else { to[0] = from[0]; to[1] = from[1]; to[2] = from[2]; }
            }
        }
    }
    gChaosGenerator.seed = saved;
}

}  // namespace movaltic
