// Lane helpers of the per-pixel loops (operations only, not a public API):
// packed B,G,R pixels split into one vector per byte position and joined
// again, and the byte arithmetic they share. Vectors pass by reference: by
// value they would change the calling convention between the AVX2 and the
// baseline builds.
#pragma once

#include <cstdint>
#include <cstring>

// Hot per-pixel loops get an AVX2 build beside the baseline one on x86-64;
// both compute exactly the same bytes. Not under the sanitizers: the loader
// picks a clone by running its resolver before their run time is set up.
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define MOVALTIC_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define MOVALTIC_SANITIZED 1
#endif
#if defined(__GNUC__) && defined(__x86_64__) && !defined(MOVALTIC_SANITIZED)
#define MOVALTIC_HOT_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define MOVALTIC_HOT_CLONES
#endif

namespace movaltic::lanes {

typedef uint8_t U8x8 __attribute__((vector_size(8)));
typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint8_t U8x32 __attribute__((vector_size(32)));
typedef int16_t I16x8 __attribute__((vector_size(16)));
typedef int16_t I16x16 __attribute__((vector_size(32)));
typedef uint16_t U16x32 __attribute__((vector_size(64)));

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

// The inverse of SplitPixels16: three byte lanes back to 48 packed bytes.
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

// Sixteen packed pixels as three widened lanes, and back (values 0..255).
[[gnu::always_inline]] inline void LoadPixels16(const uint8_t* q, I16x16& x0, I16x16& x1, I16x16& x2) {
    U8x16 b0, b1, b2;
    SplitPixels16(q, b0, b1, b2);
    x0 = __builtin_convertvector(b0, I16x16);
    x1 = __builtin_convertvector(b1, I16x16);
    x2 = __builtin_convertvector(b2, I16x16);
}

[[gnu::always_inline]] inline void StorePixels16(uint8_t* q, const I16x16& x0, const I16x16& x1, const I16x16& x2) {
    JoinPixels16(q, __builtin_convertvector(x0, U8x16), __builtin_convertvector(x1, U8x16),
                 __builtin_convertvector(x2, U8x16));
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

// min(255, a + b) for bytes: b is capped at the room left above a.
[[gnu::always_inline]] inline void AddCapped(const U8x32& a, const U8x32& b, U8x32& out) {
    const U8x32 room = ~a;
    out = a + (b < room ? b : room);
}

}  // namespace movaltic::lanes
