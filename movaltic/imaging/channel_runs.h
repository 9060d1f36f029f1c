// The table lookup of 24-bit pixels behind the channel operations, and the
// choice of build of the lane loops (channel operations, 3x3 filters,
// Negative, Flip Horizontal), open to the tests so every build can be
// checked on one machine.
#pragma once

#include <cstdint>

namespace movaltic {

// dst pixel = (blue[b], green[g], red[r]) of the src pixel, for n packed
// B,G,R pixels (src and dst may be the same).
void ChannelLookupRun(const uint8_t* src, uint8_t* dst, int64_t pixels, const uint8_t* blue, const uint8_t* green,
                      const uint8_t* red);

// With false the baseline builds run even where the processor has AVX2
// (true, the default, lets the processor decide).
void AllowChannelAvx2(bool allowed);
// With false the lane loops keep to AVX2 even where the processor has
// AVX-512.
void AllowChannelAvx512(bool allowed);

}  // namespace movaltic
