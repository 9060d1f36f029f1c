// The ZUV movie file: 64-byte header, block table, 256-frame index blocks and
// one frame record per frame (optional palette chunk, picture chunk of strips).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "movaltic/imaging/basic.h"

namespace movaltic {

constexpr int32_t kZuvHeaderLength = 64;
constexpr int32_t kZuvVersion = 97;
constexpr int32_t kZuvBlockTableOffset = 64;
constexpr int32_t kZuvFirstIndexOffset = 1088;
constexpr int32_t kZuvIndexBlockBytes = 3072;
constexpr int32_t kZuvSmallStripBytes = 65520;
constexpr int32_t kZuvReadSlack = 8192;  // the decoders may read a little past a strip
constexpr int32_t kZuvMaxFrames = 65536;

// Coding flag bits of the header.
constexpr int32_t kZuvFast = 1;
constexpr int32_t kZuvDifference = 2;

struct CodecHeader {
    uint8_t magic[4] = {'Z', 'U', 'V', 0x1A};
    int32_t headerLength = kZuvHeaderLength;
    int32_t version = kZuvVersion;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;
    int32_t codingFlags = 0;
    int32_t frameCount = 0;
    int32_t keyFrameInterval = 0;
    double frameRate = 0;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t reserved3 = 0;
    int32_t smallStrips = 0;
    int32_t replacedFrames = 0;
};

void EncodeCodecHeader(const CodecHeader& h, uint8_t out[64]);
CodecHeader DecodeCodecHeader(const uint8_t in[64]);

struct CodecIndexEntry {
    int32_t offset = 0;     // file offset of the frame record, 0 while not written
    int32_t firstRead = 0;  // bytes a reader takes in one piece
    int32_t flags = 0;      // bit 0: the record has a palette chunk
};

struct FileCloser {
    void operator()(FILE* f) const {
        if (f) std::fclose(f);
    }
};

// One open ZUV file, read or written. Move-only: it owns the file.
struct CodecState {
    CodecHeader header;
    int32_t blockTable[256] = {};
    CodecIndexEntry index[256] = {};
    int32_t indexBlock = -1;  // number of the index block in memory
    std::unique_ptr<FILE, FileCloser> file;
    int64_t frameBytes = 0;
    int32_t nextFrame = 1;
    uint8_t lastPalette[768] = {};
    std::vector<uint8_t> previous;    // writer: coded source of the last frame written
    std::vector<uint8_t> difference;  // 24-bit difference coding
    std::vector<uint8_t> buffer;      // reader: frame record; writer: strip output
    std::vector<uint8_t> source;      // writer: the frame top row first
    std::vector<uint8_t> record;      // writer: the frame record being built
    bool differenceCoding = false;
    bool writing = false;
    bool paletteRead = false;  // the last frame read carried a palette chunk
    bool endOfFile = false;
};

// All report through ErrCode: 1 cannot open, 2 cannot create, 3 no ZUV magic,
// 4 unknown version or unusable header, 5 write failed, 6 read failed or the
// frame record is damaged, 9 no further frame, 11 frame refused, 1000 memory
// or a frame image that does not fit.
void CodecFileOpen(CodecState& state, const std::string& fileName);
// image must keep the previous frame between calls: unchanged runs skip it.
void CodecReadFrame(CodecState& state, imagerec& image);
void CodecFileCreate(CodecState& state, const std::string& fileName, int32_t width, int32_t height,
                     int32_t bytesPerPixel, int32_t fast, int32_t keyFrameInterval, double frameRate,
                     int32_t smallStrips, int32_t reserved1, int32_t reserved2);
void CodecWriteFrame(CodecState& state, const imagerec& image);
void CodecFileClose(CodecState& state);

// Rows per strip for a frame of the given row bytes and height.
int32_t CodecStripRows(int64_t rowBytes, int32_t height, bool smallStrips);

}  // namespace movaltic
