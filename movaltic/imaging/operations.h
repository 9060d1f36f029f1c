// The 17 frame operations of the to-do list. Frames arrive with 1 byte per
// pixel (palette) or 3 bytes per pixel (B,G,R); 2-byte frames are widened
// by the pipeline before the list runs.
//
// In-place operations are called with the same record as source and target;
// two-image operations (the 3x3 filters and Chaos) need a distinct target.
// A target that is too small (or the source itself, for the filters) sets
// ErrCode 1000 and nothing changes.
#pragma once

#include <cstdint>

#include "movaltic/imaging/basic.h"

namespace movaltic {

// Builds the 256-entry output table of one channel for one parameter.
using ChannelTableBuilder = void (*)(int32_t param, uint8_t* table);

void IdentityTable(uint8_t* table);
void BrightnessTable(int32_t param, uint8_t* table);
void AdjustTable(int32_t param, uint8_t* table);
void ContrastTable(int32_t param, uint8_t* table);
// Gamma takes the real value; a = gamma x 100 truncated (1.2 gives 119).
void GammaTable(double gamma, uint8_t* table);
int32_t GammaHundredths(double gamma);

// The table of one channel as the percent operations build it: a parameter
// of 0 leaves the channel as it is, whatever the builder would make of it.
void ChannelTable(ChannelTableBuilder builder, int32_t param, uint8_t* table);

// Percent parameters are used as signed 8-bit values (saturated, not wrapped).
void ApplyChannelOperation(const imagerec& src, imagerec& dst, int32_t red, int32_t green,
                           int32_t blue, ChannelTableBuilder builder);

void OpBrightness(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue);
void OpContrast(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue);
void OpNegative(imagerec& img);
void OpGrayscale(const imagerec& src, imagerec& dst);
void OpGamma(const imagerec& src, imagerec& dst, double red, double green, double blue);
void OpSaturation(const imagerec& src, imagerec& dst, int32_t percent);
void OpAdjustRGB(const imagerec& src, imagerec& dst, int32_t red, int32_t green, int32_t blue);

// 3x3 neighbourhood filter. Weights are in buffer order: the first three
// apply to the row before in the buffer, the last three to the row after.
struct FilterKernel {
    int16_t weights[9];
    int32_t shift;  // 0..15, arithmetic (rounds toward minus infinity)
    int32_t bias;
};
extern const FilterKernel kSoftenKernel;
extern const FilterKernel kBlurKernel;
extern const FilterKernel kSharpenKernel;
extern const FilterKernel kFindEdgesKernel;
// Emboss lights from the picture's top left whatever the row order, so its
// kernel depends on topDown.
FilterKernel EmbossKernel(bool topDown);

void ImageFilter3x3(const imagerec& src, imagerec& dst, const FilterKernel& kernel);
void OpBlur(const imagerec& src, imagerec& dst);
void OpSoften(const imagerec& src, imagerec& dst);
void OpSharpen(const imagerec& src, imagerec& dst);
void OpFindEdges(const imagerec& src, imagerec& dst);
void OpEmboss(const imagerec& src, imagerec& dst);

void OpFlipVertical(imagerec& img);
void OpFlipHorizontal(imagerec& img);
void OpMirrorVertical(const imagerec& src, imagerec& dst);
void OpMirrorHorizontal(const imagerec& src, imagerec& dst);

// Chaos's own generator: seed x 134775813 + 1, draw = high half of seed x range.
struct ChaosGenerator {
    uint32_t seed = 0;
    uint32_t Draw(uint32_t range) {
        seed = seed * 134775813u + 1u;
        return uint32_t((uint64_t(seed) * range) >> 32);
    }
};
void OpChaos(const imagerec& src, imagerec& dst, int32_t pixels);

}  // namespace movaltic
