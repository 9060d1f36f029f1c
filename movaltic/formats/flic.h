// FLI and FLC animation files: 8-bit frames, each coded as changes to the
// one before. A 320 x 200 movie is written as FLI, every other size as FLC.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "movaltic/imaging/basic.h"

namespace movaltic {

constexpr uint16_t kFliMagic = 0xAF11;
constexpr uint16_t kFlcMagic = 0xAF12;
constexpr uint16_t kFlicFrameType = 0xF1FA;
// Header flags of a file whose writer finished it, ring frame and all.
constexpr uint16_t kFlicFinished = 3;

// Subchunk types of a frame chunk.
enum FlicChunk : uint16_t {
    kFlicColor256 = 4,
    kFlicWordDelta = 7,
    kFlicColor64 = 11,
    kFlicByteDelta = 12,
    kFlicBlack = 13,
    kFlicByteRun = 15,
    kFlicCopy = 16,
};

// Reader or writer state of one FLI/FLC movie; cleared by FlicOpen and FlicCreate.
struct FlicState {
    uint8_t header[128] = {};
    std::FILE* file = nullptr;
    std::string fileName;      // the name actually opened or created
    bool fli = false;
    bool writing = false;
    int32_t frameCounter = 1;  // 1-based number of the next frame
    int64_t framePixels = 0;   // width x height (65535 x 65535 passes 32 bits)
    bool endOfFile = false;
    bool paletteRead = false;  // the last frame read carried a colour chunk
    int64_t fileSize = 0;      // reading: length of the file
    int64_t position = 0;      // reading: offset of the next chunk
    bool cutShort = false;     // reading: the file ends before the frames its header counts

    // Writing: the first frame (written again as the ring frame), the
    // previous frame top row first, and the palette last written.
    std::vector<uint8_t> firstPixels;
    uint8_t firstPalette[768] = {};
    std::vector<uint8_t> previous;
    uint8_t lastPalette[768] = {};
    int32_t framesWritten = 0;
    bool writeFailed = false;

    FlicState() = default;
    FlicState(const FlicState&) = delete;
    FlicState& operator=(const FlicState&) = delete;
    ~FlicState();

    uint16_t frames() const;
    uint16_t width() const;
    uint16_t height() const;
    uint16_t depth() const;
    uint32_t speed() const;
};

void FlicOpen(FlicState& state, const std::string& fileName);
void FlicReadFrame(FlicState& state, imagerec& image);
void FlicCreate(FlicState& state, const std::string& fileName, int32_t width, double frameRate, int32_t height);
void FlicWriteFrame(FlicState& state, const imagerec& image);
void FlicClose(FlicState& state);
// For tests: hook is called before each write of a file being written.
void FlicSetWriteHookForTests(void (*hook)());

// Frames per second from the header's speed, rounded to tenths; 0 for a speed of 0.
double FlicFrameRate(const FlicState& state);

// The speed field written for a frame rate: 1/70 s units for FLI,
// milliseconds for FLC. A rate of 0 or less is taken as one frame a second.
uint32_t FlicSpeedFor(bool fli, double frameRate);

// Frame-chunk decoding on its own (the reader and the fuzzer use it): applies
// one frame chunk's subchunks (data after the 16-byte head) to a top-down
// width x height picture and its R,G,B palette. Returns true when a colour
// chunk was seen; chunksRead (when given) receives the number of subchunks
// whose head could be read, a last one cut short by the data's end included.
// Never reads or writes outside the given buffers.
bool FlicApplyFrame(const uint8_t* data, size_t size, int32_t subchunks, uint8_t* pixels, int32_t width,
                    int32_t height, uint8_t* palette, int32_t* chunksRead = nullptr);

// Encoders of the writer, exposed for tests: each returns the subchunk data
// (without the 6-byte head). prev and cur are top-down width x height
// pictures; the word delta reads one byte past the picture's end for odd
// widths, so both buffers must have one more byte than the picture.
std::vector<uint8_t> FlicEncodeByteRun(const uint8_t* cur, int32_t width, int32_t height);
std::vector<uint8_t> FlicEncodeByteDelta(const uint8_t* prev, const uint8_t* cur, int32_t width, int32_t height);
std::vector<uint8_t> FlicEncodeWordDelta(const uint8_t* prev, const uint8_t* cur, int32_t width, int32_t height);

}  // namespace movaltic
