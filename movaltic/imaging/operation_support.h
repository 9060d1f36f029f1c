// Checks shared by the frame operations' source files.
#pragma once

#include <algorithm>
#include <cstdint>

#include "movaltic/imaging/basic.h"
#include "movaltic/imaging/depth.h"

namespace movaltic {

// Dialogs allow -100..100; anything else (a hand-edited or merged value) is
// held to that range rather than wrapped, so no table divides by zero.
inline int32_t PercentParam(int32_t p) { return std::clamp(p, -100, 100); }

// Palette or 24-bit frames only, into a target large enough (it may be the source).
inline bool CheckInPlace(const imagerec& src, const imagerec& dst) {
    if (src.bytesPerPixel != 1 && src.bytesPerPixel != 3) return false;
    return ImageCheckTarget(src, dst, src.bytesPerPixel, false);
}

}  // namespace movaltic
