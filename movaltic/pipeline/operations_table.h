// The fixed table of the 17 operations a to-do list is built from.
#pragma once

#include <cstdint>
#include <string>

namespace movaltic {

struct fnlistrec {
    const char* name;
    int32_t paramCount;  // 0, 1 or 3
    int32_t decimals;    // 1: parameters shown with two decimals
    uint8_t noMerge;     // 1: equal neighbouring steps are never merged
    uint8_t paletteCapable;  // 1: works on an 8-bit frame and keeps it 8-bit
};

constexpr int32_t kOperationCount = 17;
extern const fnlistrec fnlist[kOperationCount];

// Operation indexes, in table order.
enum OperationId : int32_t {
    kOpBrightness = 0,
    kOpContrast,
    kOpNegative,
    kOpGrayscale,
    kOpGamma,
    kOpSaturation,
    kOpAdjustRGB,
    kOpBlur,
    kOpSoften,
    kOpSharpen,
    kOpFindEdges,
    kOpEmboss,
    kOpFlipVertical,
    kOpFlipHorizontal,
    kOpMirrorVertical,
    kOpMirrorHorizontal,
    kOpChaos,
};

// Index of the first operation whose name starts the text (case ignored),
// so a whole list line works too; -1 when none does.
int32_t OperationIndex(const std::string& text);

}  // namespace movaltic
