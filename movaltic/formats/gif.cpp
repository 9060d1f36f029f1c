// GIF reading: the first picture of the file, 8-bit, not interlaced.
#include <algorithm>
#include <cstring>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace movaltic {

namespace {

constexpr int kMaxCodes = 4096;

// Reads a colour table of 2^(1 + (flags & 7)) R,G,B entries.
bool ReadColourTable(ByteReader& in, uint8_t flags, uint8_t* palette) {
    const size_t entries = size_t(1) << (1 + (flags & 7));
    std::memset(palette, 0, 768);
    return in.bytes(palette, 3 * entries);
}

// Variable-width LZW over the joined data sub-blocks, least significant bit
// first. Stops at the end code, when the picture is full, when the data runs
// out, or at a code that is not yet in the table. Returns whether it met the
// end code; with out null it only walks the codes, whatever the picture.
bool DecodeLzw(const std::vector<uint8_t>& data, int minCodeSize, uint8_t* out, int64_t pixels) {
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t stack[kMaxCodes + 1];
    for (int i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = uint8_t(i);
    }
    int width = minCodeSize + 1;
    int nextFree = clear + 2;
    int old = -1;
    uint8_t firstChar = 0;
    int64_t done = 0;
    size_t bitPos = 0;
    const size_t totalBits = data.size() * 8;
    while (!out || done < pixels) {
        if (bitPos + size_t(width) > totalBits) return false;
        int code = 0;
        for (int i = 0; i < width; ++i, ++bitPos)
            code |= ((data[bitPos >> 3] >> (bitPos & 7)) & 1) << i;
        if (code == clear) {
            width = minCodeSize + 1;
            nextFree = clear + 2;
            old = -1;
            continue;
        }
        if (code == end) return true;
        if (old < 0) {
            // The first code after a clear stands for one byte.
            if (code >= clear) return false;
            if (out) out[done++] = uint8_t(code);
            old = code;
            firstChar = uint8_t(code);
            continue;
        }
        if (code > nextFree || (code == nextFree && nextFree >= kMaxCodes)) return false;
        if (out) {
            int sp = 0;
            int cur = code;
            if (code == nextFree) {
                stack[sp++] = firstChar;
                cur = old;
            }
            while (cur >= clear) {
                stack[sp++] = suffix[cur];
                cur = prefix[cur];
            }
            stack[sp++] = uint8_t(cur);
            firstChar = uint8_t(cur);
            while (sp > 0 && done < pixels) out[done++] = stack[--sp];
        }
        if (nextFree < kMaxCodes) {
            prefix[nextFree] = uint16_t(old);
            suffix[nextFree] = firstChar;
            ++nextFree;
            if (nextFree >= (1 << width) && width < 12) ++width;
        }
        old = code;
    }
    return false;
}

// The picture's colour table (into palette, when it has its own), then its
// LZW data: the minimum code size and the data sub-blocks joined.
int32_t ReadPictureData(ByteReader& in, uint8_t flags, uint8_t* palette, int& minCodeSize,
                        std::vector<uint8_t>& data) {
    // A local colour table is the one the picture's indices refer to.
    if ((flags & 0x80) && !ReadColourTable(in, flags, palette)) return kErrMemory;
    minCodeSize = in.u8();
    if (in.failed()) return kErrMemory;
    if (minCodeSize < 2 || minCodeSize > 8) return kErrHeader;
    for (uint8_t n = in.u8(); n != 0 && !in.failed(); n = in.u8()) {
        size_t take = std::min<size_t>(n, in.remaining());
        data.insert(data.end(), in.here(), in.here() + take);
        in.skip(take);
    }
    return kErrNone;
}

// Whether the picture's LZW data stops at its own end code, however many
// pixels it gave before it: the rest of the picture is then left as it is.
bool EndsWithEndCode(ByteReader in, uint8_t flags) {
    uint8_t palette[768];
    int minCodeSize = 0;
    std::vector<uint8_t> data;
    return ReadPictureData(in, flags, palette, minCodeSize, data) == kErrNone &&
           DecodeLzw(data, minCodeSize, nullptr, 0);
}

}  // namespace

int32_t ReadGifImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info) {
    ByteReader in(file);
    uint8_t head[13];
    if (!in.bytes(head, sizeof head) || std::memcmp(head, "GIF", 3) != 0 || !(head[10] & 0x80)) return kErrHeader;
    uint8_t palette[768];
    if (!ReadColourTable(in, head[10], palette)) return kErrHeader;

    // Walk the blocks up to the first image descriptor.
    for (;;) {
        const uint8_t block = in.u8();
        if (in.failed() || block == 0x3B) return kErrHeader;
        if (block == 0x2C) break;
        if (block != 0x21) return kErrHeader;
        in.u8();  // extension label
        for (uint8_t n = in.u8(); n != 0 && !in.failed(); n = in.u8()) in.skip(n);
        if (in.failed()) return kErrHeader;
    }
    in.skip(4);  // left, top
    const uint16_t width = in.u16();
    const uint16_t height = in.u16();
    const uint8_t flags = in.u8();
    if (in.failed() || (flags & 0x40) || width == 0 || height == 0) return kErrHeader;
    // Refused before a frame is made for it: a picture larger than any the
    // program takes, or than the rest of the file could fill, one code of
    // at least 3 bits giving at most a table entry's kMaxCodes pixels,
    // unless its data ends it early with the end code.
    const int64_t pixels = int64_t(width) * height;
    if (pixels > kMaxFramePixels) return kErrMemory;
    if (pixels > kMaxCodes * (8 * int64_t(in.remaining()) / 3) && !EndsWithEndCode(in, flags)) return kErrMemory;
    info.width = width;
    info.height = height;
    info.bytesPerPixel = 1;
    info.bitsPerPixel = 8;
    info.topDown = true;
    if (!image) return kErrNone;
    if (pixels > image->size) return kErrTooLarge;

    int minCodeSize = 0;
    std::vector<uint8_t> data;
    if (const int32_t code = ReadPictureData(in, flags, palette, minCodeSize, data)) return code;
    DecodeLzw(data, minCodeSize, image->pixels, pixels);
    image->width = width;
    image->height = height;
    image->bytesPerPixel = 1;
    image->bitsPerPixel = 8;
    image->topDown = 1;
    std::memcpy(image->palette, palette, 768);
    return kErrNone;
}

}  // namespace movaltic
