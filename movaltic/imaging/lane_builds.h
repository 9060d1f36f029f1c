// The run-time choice between the builds of the lane loops (AVX-512, AVX2,
// the 16-byte baseline) shared by the channel operations, the 3x3 filters,
// Negative and Flip Horizontal. AllowChannelAvx2 and AllowChannelAvx512
// (channel_runs.h) narrow the choice so the tests can run every build on
// one machine.
#pragma once

namespace movaltic::lanes {

#if defined(__GNUC__) && defined(__x86_64__)
#define MOVALTIC_X86_LANES 1

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
