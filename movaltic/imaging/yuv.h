// 24-bit frames into the planes video coders take.
#pragma once

#include <cstddef>
#include <cstdint>

namespace movaltic {

// B, G, R rows into the full-range 4:2:0 planes JPEG codes (the JFIF
// formulas, in 16-bit fixed point; each chroma sample from the mean of its
// 2 x 2 pixels, as JPEG sites them). top is the picture's top row, each next
// row stride bytes on; width and height are even. Large pictures are shared
// out by bands of rows.
void BgrToFullRangeYuv420(const uint8_t* top, ptrdiff_t stride, int32_t width, int32_t height,
                          uint8_t* const planes[3], const int32_t linesizes[3]);

}  // namespace movaltic
