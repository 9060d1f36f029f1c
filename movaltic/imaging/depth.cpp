#include "movaltic/imaging/depth.h"

#include <cstring>

namespace movaltic {

bool ImageCheckTarget(const imagerec& src, const imagerec& dst, int32_t bytesPerPixel,
                      bool mustDiffer) {
    if (mustDiffer && &src == &dst) {
        ErrCode = kErrMemory;
        return false;
    }
    int64_t needed = int64_t(bytesPerPixel) * src.width * src.height;
    if (needed < 0 || dst.size < needed || (needed > 0 && !dst.pixels)) {
        ErrCode = kErrMemory;
        return false;
    }
    return true;
}

namespace {

inline uint16_t Pack565(uint8_t r, uint8_t g, uint8_t b) {
    return uint16_t(((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3));
}

void PixelsPal8To16(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* pal) {
    uint16_t words[256];
    for (int i = 0; i < 256; ++i) words[i] = Pack565(pal[3 * i], pal[3 * i + 1], pal[3 * i + 2]);
    for (int64_t i = 0; i < n; ++i) {
        uint16_t w = words[src[i]];
        dst[2 * i] = uint8_t(w);
        dst[2 * i + 1] = uint8_t(w >> 8);
    }
}

void PixelsPal8To24(const uint8_t* src, uint8_t* dst, int64_t n, const uint8_t* pal) {
    for (int64_t i = 0; i < n; ++i) {
        const uint8_t* e = pal + 3 * src[i];
        dst[3 * i] = e[2];
        dst[3 * i + 1] = e[1];
        dst[3 * i + 2] = e[0];
    }
}

void Pixels15To24(const uint8_t* src, uint8_t* dst, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
        unsigned w = unsigned(src[2 * i]) | (unsigned(src[2 * i + 1]) << 8);
        dst[3 * i] = uint8_t((w & 0x1F) << 3);
        dst[3 * i + 1] = uint8_t(((w >> 5) & 0x1F) << 3);
        dst[3 * i + 2] = uint8_t(((w >> 10) & 0x1F) << 3);
    }
}

void Pixels16To24(const uint8_t* src, uint8_t* dst, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
        unsigned w = unsigned(src[2 * i]) | (unsigned(src[2 * i + 1]) << 8);
        dst[3 * i] = uint8_t((w & 0x1F) << 3);
        dst[3 * i + 1] = uint8_t(((w >> 5) & 0x3F) << 2);
        dst[3 * i + 2] = uint8_t(((w >> 11) & 0x1F) << 3);
    }
}

void Pixels24To16(const uint8_t* src, uint8_t* dst, int64_t n) {
    for (int64_t i = 0; i < n; ++i) {
        uint16_t w = Pack565(src[3 * i + 2], src[3 * i + 1], src[3 * i]);
        dst[2 * i] = uint8_t(w);
        dst[2 * i + 1] = uint8_t(w >> 8);
    }
}

}  // namespace

void ImageConvertDepth(const imagerec& src, imagerec& dst, int32_t bytesPerPixel) {
    if (!ImageCheckTarget(src, dst, bytesPerPixel, true)) return;
    if (bytesPerPixel == src.bytesPerPixel) {
        ImageCopy(src, dst);
        return;
    }
    const int64_t n = int64_t(src.width) * src.height;
    const int from = src.bytesPerPixel;
    const bool supported = (from == 1 && (bytesPerPixel == 2 || bytesPerPixel == 3)) ||
                           (from == 2 && bytesPerPixel == 3) || (from == 3 && bytesPerPixel == 2);
    if (!supported) return;
    if (n > 0) {
        if (from == 1 && bytesPerPixel == 2) PixelsPal8To16(src.pixels, dst.pixels, n, src.palette);
        else if (from == 1) PixelsPal8To24(src.pixels, dst.pixels, n, src.palette);
        else if (from == 2 && src.bitsPerPixel == 15) Pixels15To24(src.pixels, dst.pixels, n);
        else if (from == 2) Pixels16To24(src.pixels, dst.pixels, n);
        else Pixels24To16(src.pixels, dst.pixels, n);
    }
    ImageCopyHeader(src, dst, false);
    dst.bytesPerPixel = bytesPerPixel;
    dst.bitsPerPixel = 8 * bytesPerPixel;
}

const imagerec* AsTrueColour(const imagerec& src, imagerec& temp) {
    if (src.bytesPerPixel != 1) return &src;
    ImageCreate(temp, src.width, src.height, 3);
    if (ErrCode == kErrMemory) return nullptr;
    ImageConvertDepth(src, temp, 3);
    return &temp;
}

}  // namespace movaltic
