// Capacity check and conversion between 8-bit palette, 16-bit and 24-bit frames.
#pragma once

#include <cstdint>

#include "movaltic/imaging/basic.h"

namespace movaltic {

// False (ErrCode 1000) when mustDiffer and both are the same record, or when
// the target cannot hold the source's pixels at bytesPerPixel.
bool ImageCheckTarget(const imagerec& src, const imagerec& dst, int32_t bytesPerPixel,
                      bool mustDiffer);

// 8 -> 16, 8 -> 24, 15 -> 24, 16 -> 24, 24 -> 16 and same-depth copies.
// 2-byte sources are read as 15 or 16 bits by their bitsPerPixel.
void ImageConvertDepth(const imagerec& src, imagerec& dst, int32_t bytesPerPixel);

// The frame itself when it is not a palette frame; otherwise its pixels
// expanded to 24 bits in temp (the caller frees temp). Null when memory runs out.
const imagerec* AsTrueColour(const imagerec& src, imagerec& temp);

}  // namespace movaltic
