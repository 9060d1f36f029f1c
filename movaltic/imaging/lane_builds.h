// The run-time choice between the builds of the lane loops (AVX-512, AVX2,
// the 16-byte baseline) shared by the channel operations, the 3x3 filters,
// Negative and Flip Horizontal. AllowChannelAvx2 and AllowChannelAvx512
// (channel_runs.h) narrow the choice so the tests can run every build on
// one machine.
#pragma once

namespace movaltic::lanes {

#if defined(__GNUC__) && defined(__x86_64__)
#define MOVALTIC_X86_LANES 1

// Code between MOVALTIC_LANES_BEGIN("avx2,...") and MOVALTIC_LANES_END is
// built for those processor features; each compiler is told in its own words
// (clang takes no "GCC target" pragma and would refuse the intrinsics).
#define MOVALTIC_LANES_TEXT(...) #__VA_ARGS__
#if defined(__clang__)
#define MOVALTIC_LANES_BEGIN(features) \
    _Pragma(MOVALTIC_LANES_TEXT(clang attribute push(__attribute__((target(features))), apply_to = function)))
#define MOVALTIC_LANES_END _Pragma("clang attribute pop")
#else
#define MOVALTIC_LANES_BEGIN(features) _Pragma("GCC push_options") _Pragma(MOVALTIC_LANES_TEXT(GCC target(features)))
#define MOVALTIC_LANES_END _Pragma("GCC pop_options")
#endif

inline bool gAvx2Allowed = true;
inline bool gAvx512Allowed = true;

inline bool HaveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have && gAvx2Allowed;
}

// 64-byte vectors with byte and 16-bit arithmetic.
inline bool HaveAvx512Bw() {
    static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return have && gAvx512Allowed && HaveAvx2();
}

// Byte permutes across whole vectors as well, at every vector width.
inline bool HaveAvx512Vbmi() {
    static const bool have = __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vl");
    return have && HaveAvx512Bw();
}
#endif

}  // namespace movaltic::lanes
