// Strip coding of ZUV frames: the BEST and FAST bit-string coders, their
// decoders, the 24-bit difference coding and the bit writer they share.
#pragma once

#include <cstddef>
#include <cstdint>

#include "movaltic/imaging/basic.h"

namespace movaltic {

// Bits are gathered most significant first into a 32-bit word that is stored
// high byte first once full, so the output reads as a plain MSB-first stream.
struct CodecBitWriter {
    uint8_t* out = nullptr;  // next word goes here
    uint8_t* start = nullptr;
    uint64_t acc = 0;        // pending bits, right-aligned
    int pending = 0;         // number of pending bits (< 32 between calls)

    explicit CodecBitWriter(uint8_t* output) : out(output), start(output) {}
    // Bytes of whole words stored so far; pending bits do not count.
    int64_t bytesStored() const { return out - start; }
};

inline void CodecPutBits(CodecBitWriter& w, uint32_t value, int count) {
    w.acc = (w.acc << count) | (value & ((1u << count) - 1));
    w.pending += count;
    if (w.pending >= 32) {
        w.pending -= 32;
        uint32_t word = uint32_t(w.acc >> w.pending);
        w.out[0] = uint8_t(word >> 24);
        w.out[1] = uint8_t(word >> 16);
        w.out[2] = uint8_t(word >> 8);
        w.out[3] = uint8_t(word);
        w.out += 4;
        w.acc &= (uint64_t(1) << w.pending) - 1;
    }
}

// Pads the string to a whole byte; returns its length in bytes.
int64_t CodecFlushBits(CodecBitWriter& w);

// Bits of the length code of v (2..767).
inline int LengthCodeBits(int v) {
    if (v >= 256) return 16;
    int b = 31 - __builtin_clz(uint32_t(v));  // floor(log2 v)
    return 2 * b;
}

inline void CodecPutLength(CodecBitWriter& w, int v) {
    CodecPutBits(w, uint32_t(v >= 256 ? v - 256 : v), LengthCodeBits(v));
}

// Number of leading bytes equal in a and b, at most limit.
int CountEqualBytes(const uint8_t* a, const uint8_t* b, int limit);
// Length in bytes of the run of pixels equal to the first, at most limitPixels
// pixels; 0 when the first two pixels differ.
int CountPixelRun(const uint8_t* p, int limitPixels, int bytesPerPixel);

// Code one strip of rows x width pixels. previous is the same strip of the
// previous frame (may be null when compare is false). Returns the bit string's
// length in bytes, or 0 when the coder gave up. output must hold the strip's
// bytes + 8,192.
int32_t CodecPackStripBest(const uint8_t* source, uint8_t* output, const uint8_t* previous, bool compare,
                           int bytesPerPixel, int rows, int width);
int32_t CodecPackStripFast(const uint8_t* source, uint8_t* output, const uint8_t* previous, bool compare,
                           int bytesPerPixel, int rows, int width);

// Decode one strip into destination (which holds the previous frame's strip).
// sourceLength bounds the bit string; false when the string is corrupt (a
// token would write or copy outside the strip, or the string runs out).
bool CodecUnpackStrip(const uint8_t* source, size_t sourceLength, uint8_t* destination, int width, int rows,
                      int bytesPerPixel);
bool CodecUnpackStripFast(const uint8_t* source, size_t sourceLength, uint8_t* destination, int width, int rows,
                          int bytesPerPixel);

// 24-bit difference coding; both restart at every call (every strip).
void DeltaEncode24(const uint8_t* source, uint8_t* destination, int64_t pixelCount);
void DeltaDecode24(const uint8_t* source, uint8_t* destination, int64_t pixelCount);

void SwapBytes(uint8_t* a, uint8_t* b, size_t count);
// Reverses the order of the image's rows in place.
void ImageFlipRows(imagerec& image);

}  // namespace movaltic
