// Reduction of true-colour frames to one optimised palette of at most 255
// colours: a 64x64x64 colour histogram, box splitting, and a cell-to-index
// lookup table. Order of use: HistogramAlloc, HistogramClear, add frames,
// PaletteChoose, remap frames, HistogramFree. One set of state for the program.
#pragma once

#include <cstdint>

#include "movaltic/imaging/basic.h"

namespace movaltic {

constexpr int32_t kHistogramCells = 64 * 64 * 64;
constexpr int32_t kMaxColorBoxes = 255;

// Counts per cell; after PaletteChoose the palette index of each cell.
extern int32_t* ColorHistogram;
extern uint8_t ChosenPalette[768];
extern int32_t ColorsWanted;
extern int32_t UsedCells;

struct ColorBox {
    int32_t lo[3];  // red, green, blue cell bounds, inclusive, 0..63
    int32_t hi[3];
    int32_t size;   // longest extent, 0 when the box is not to be split
    int32_t axis;   // 0 red, 1 green, 2 blue
};
extern ColorBox ColorBoxes[kMaxColorBoxes];

inline int32_t ColorCellIndex(uint8_t r, uint8_t g, uint8_t b) {
    return (r >> 2) | ((g >> 2) << 6) | ((b >> 2) << 12);
}

void HistogramAlloc();
void HistogramClear();
void HistogramAdd8(const imagerec& frame);
void HistogramAdd24(const imagerec& frame);
void HistogramAddFrame(const imagerec& frame);
int32_t HistogramCountUsed();
void HistogramFree();

void PaletteChoose(int32_t n);
void PaletteDirect();
void BoxShrink(ColorBox& box);
void BoxPaletteBuild();

void PaletteRemap8(const imagerec& src, imagerec& dst);
void PaletteRemap24(const imagerec& src, imagerec& dst);
void PaletteRemapFrame(const imagerec& src, imagerec& dst);

// The whole sequence for one frame, with a palette of its own (256 asked,
// 255 chosen). Must not run while a job's single-palette passes hold the
// histogram.
void FrameToOwnPalette(const imagerec& src, imagerec& dst);

}  // namespace movaltic
