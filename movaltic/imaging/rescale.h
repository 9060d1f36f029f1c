// Rescaling by picking pixels (Resize) or by averaging and interpolating
// (Resample). Steps are fixed point: 100000 is one source pixel or row.
#pragma once

#include <cstdint>

#include "movaltic/imaging/basic.h"

namespace movaltic {

constexpr int32_t kScaleOne = 100000;

// 1 or 3 bytes per pixel; the target keeps the depth and the palette.
void ImageResize(const imagerec& src, imagerec& dst, int32_t newWidth, int32_t newHeight);
// 1 or 3 bytes per pixel; the target is always 24-bit. A target that does
// not fit is left alone without an error code.
void ImageResample(const imagerec& src, imagerec& dst, int32_t newWidth, int32_t newHeight);

}  // namespace movaltic
