#include "movaltic/imaging/palette.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace movaltic {

int32_t* ColorHistogram = nullptr;
uint8_t ChosenPalette[768] = {};
int32_t ColorsWanted = 0;
int32_t UsedCells = 0;
ColorBox ColorBoxes[kMaxColorBoxes] = {};

namespace {

inline int32_t Cell(int32_t r, int32_t g, int32_t b) { return r | (g << 6) | (b << 12); }

// True when the slab at value v of axis holds a count, within the box's
// bounds on the two other axes.
bool SlabUsed(const ColorBox& box, int axis, int32_t v) {
    int32_t lo[3] = {box.lo[0], box.lo[1], box.lo[2]};
    int32_t hi[3] = {box.hi[0], box.hi[1], box.hi[2]};
    lo[axis] = hi[axis] = v;
    for (int32_t b = lo[2]; b <= hi[2]; ++b)
        for (int32_t g = lo[1]; g <= hi[1]; ++g) {
            const int32_t* row = ColorHistogram + Cell(0, g, b);
            for (int32_t r = lo[0]; r <= hi[0]; ++r)
                if (row[r] > 0) return true;
        }
    return false;
}

}  // namespace

void HistogramAlloc() {
    if (ColorHistogram) return;
    uint8_t* p = nullptr;
    SafeGetMem(p, int64_t(kHistogramCells) * int64_t(sizeof(int32_t)));
    if (ErrCode == kErrMemory) return;
    ColorHistogram = reinterpret_cast<int32_t*>(p);
}

void HistogramClear() {
    if (ColorHistogram) std::memset(ColorHistogram, 0, sizeof(int32_t) * kHistogramCells);
}

void HistogramFree() {
    uint8_t* p = reinterpret_cast<uint8_t*>(ColorHistogram);
    SafeFreeMem(p);
    ColorHistogram = nullptr;
}

void HistogramAdd24(const imagerec& frame) {
    if (!ColorHistogram || frame.bytesPerPixel != 3) return;
    const int64_t n = int64_t(frame.width) * frame.height;
    const uint8_t* p = frame.pixels;
    int32_t* h = ColorHistogram;
    for (int64_t i = 0; i < n; ++i, p += 3) {
        int32_t& c = h[ColorCellIndex(p[2], p[1], p[0])];
        c += (c != INT32_MAX);  // a whole movie of one colour must not wrap
    }
}

void HistogramAdd8(const imagerec& frame) {
    if (!ColorHistogram || frame.bytesPerPixel != 1) return;
    int32_t cells[256];
    for (int i = 0; i < 256; ++i)
        cells[i] = ColorCellIndex(frame.palette[3 * i], frame.palette[3 * i + 1], frame.palette[3 * i + 2]);
    const int64_t n = int64_t(frame.width) * frame.height;
    int32_t* h = ColorHistogram;
    for (int64_t i = 0; i < n; ++i) {
        int32_t& c = h[cells[frame.pixels[i]]];
        c += (c != INT32_MAX);
    }
}

void HistogramAddFrame(const imagerec& frame) {
    if (frame.bytesPerPixel == 1) HistogramAdd8(frame);
    else if (frame.bytesPerPixel == 3) HistogramAdd24(frame);
}

int32_t HistogramCountUsed() {
    int32_t used = 0;
    for (int32_t i = 0; i < kHistogramCells; ++i) used += ColorHistogram[i] > 0;
    return used;
}

void PaletteDirect() {
    ColorsWanted = UsedCells;
    int32_t next = 0;
    for (int32_t i = 0; i < kHistogramCells; ++i) {
        if (ColorHistogram[i] <= 0) continue;
        const int32_t r = i & 63, g = (i >> 6) & 63, b = i >> 12;
        // The cell's upper corner; pure white stays pure white.
        ChosenPalette[3 * next] = uint8_t(4 * r + 3);
        ChosenPalette[3 * next + 1] = uint8_t(4 * g + 3);
        ChosenPalette[3 * next + 2] = uint8_t(4 * b + 3);
        ColorHistogram[i] = next++;
    }
}

void BoxShrink(ColorBox& box) {
    box.size = 0;
    box.axis = 0;
    for (int a = 0; a < 3; ++a)
        if (box.lo[a] >= box.hi[a]) return;  // one cell thick: never split again
    for (int a = 0; a < 3; ++a) {
        while (box.lo[a] < box.hi[a] && !SlabUsed(box, a, box.lo[a])) ++box.lo[a];
        while (box.hi[a] > box.lo[a] && !SlabUsed(box, a, box.hi[a])) --box.hi[a];
    }
    for (int a = 0; a < 3; ++a) {
        const int32_t extent = box.hi[a] - box.lo[a] + 1;
        if (extent > box.size) {
            box.size = extent;
            box.axis = a;
        }
    }
}

void BoxPaletteBuild() {
    ChosenPalette[0] = ChosenPalette[1] = ChosenPalette[2] = 0;
    for (int32_t b = 0; b < ColorsWanted && b < kMaxColorBoxes; ++b) {
        const ColorBox& box = ColorBoxes[b];
        // 64-bit: one palette for a long movie puts billions of pixels in a box.
        int64_t total = 0, sum[3] = {0, 0, 0};
        for (int32_t z = box.lo[2]; z <= box.hi[2]; ++z)
            for (int32_t y = box.lo[1]; y <= box.hi[1]; ++y)
                for (int32_t x = box.lo[0]; x <= box.hi[0]; ++x) {
                    int32_t& c = ColorHistogram[Cell(x, y, z)];
                    const int64_t count = c;
                    total += count;
                    sum[0] += x * count;
                    sum[1] += y * count;
                    sum[2] += z * count;
                    c = b + 1;
                }
        if (total == 0) total = 1;
        for (int k = 0; k < 3; ++k) ChosenPalette[3 * (b + 1) + k] = uint8_t(4 * (sum[k] / total) + 3);
    }
}

void PaletteChoose(int32_t n) {
    std::memset(ChosenPalette, 255, sizeof ChosenPalette);
    if (!ColorHistogram) return;
    if (n >= 256) n = 255;
    if (n < 2) n = 2;
    UsedCells = HistogramCountUsed();
    if (n >= UsedCells) {
        PaletteDirect();
        return;
    }
    ColorsWanted = n;
    ColorBox& first = ColorBoxes[0];
    first = ColorBox{{0, 0, 0}, {63, 63, 63}, 0, 0};
    BoxShrink(first);
    if (first.size == 0) return;
    for (int32_t i = 0; i < n - 1; ++i) {
        int32_t d = 0;
        for (int32_t k = 1; k <= i; ++k)
            if (ColorBoxes[k].size > ColorBoxes[d].size) d = k;
        ColorBox& box = ColorBoxes[d];
        const int a = box.axis;
        const int32_t e = (box.lo[a] + 2 * box.hi[a]) / 3;
        ColorBox& added = ColorBoxes[i + 1];
        added = box;
        added.lo[a] = e + 1;
        box.hi[a] = e;
        BoxShrink(box);
        BoxShrink(added);
    }
    BoxPaletteBuild();
}

void PaletteRemap24(const imagerec& src, imagerec& dst) {
    const int64_t n = int64_t(src.width) * src.height;
    if (!ColorHistogram || src.bytesPerPixel != 3 || dst.size < n || (n > 0 && !dst.pixels)) {
        ErrCode = kErrOpen;
        return;
    }
    const uint8_t* s = src.pixels;
    uint8_t* d = dst.pixels;
    const int32_t* table = ColorHistogram;
    // Forward order keeps an in-place remap safe (1 byte written per 3 read).
    for (int64_t i = 0; i < n; ++i, s += 3) d[i] = uint8_t(table[ColorCellIndex(s[2], s[1], s[0])]);
    ImageCopyHeader(src, dst, false);
    dst.bytesPerPixel = 1;
    dst.bitsPerPixel = 8;
    std::memcpy(dst.palette, ChosenPalette, 768);
}

void PaletteRemap8(const imagerec& src, imagerec& dst) {
    const int64_t n = int64_t(src.width) * src.height;
    if (!ColorHistogram || src.bytesPerPixel != 1 || dst.size < n || (n > 0 && !dst.pixels)) {
        ErrCode = kErrOpen;
        return;
    }
    uint8_t map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = uint8_t(ColorHistogram[ColorCellIndex(src.palette[3 * i], src.palette[3 * i + 1],
                                                       src.palette[3 * i + 2])]);
    for (int64_t i = 0; i < n; ++i) dst.pixels[i] = map[src.pixels[i]];
    ImageCopyHeader(src, dst, false);
    dst.bytesPerPixel = 1;
    dst.bitsPerPixel = 8;
    std::memcpy(dst.palette, ChosenPalette, 768);
}

void PaletteRemapFrame(const imagerec& src, imagerec& dst) {
    if (src.bytesPerPixel == 1) PaletteRemap8(src, dst);
    else if (src.bytesPerPixel == 3) PaletteRemap24(src, dst);
}

void FrameToOwnPalette(const imagerec& src, imagerec& dst) {
    HistogramAlloc();
    if (!ColorHistogram) return;
    HistogramClear();
    HistogramAddFrame(src);
    PaletteChoose(256);
    PaletteRemapFrame(src, dst);
    HistogramFree();
}

}  // namespace movaltic
