// Truevision TGA: colour-mapped and true-colour pictures, plain or run-length.
#include <algorithm>
#include <cstring>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace movaltic {

namespace {

constexpr int64_t kTgaLongestPacket = 128;  // pixels

inline void Expand555(uint16_t v, uint8_t* bgr) {
    bgr[0] = uint8_t((v & 31) << 3);
    bgr[1] = uint8_t(((v >> 5) & 31) << 3);
    bgr[2] = uint8_t(((v >> 10) & 31) << 3);
}

// Stores one pixel as read from the file into the picture.
inline void PutPixel(uint8_t* dst, const uint8_t* src, int filePixel, bool is16) {
    if (is16)
        Expand555(GetLE16(src), dst);
    else
        std::memcpy(dst, src, size_t(filePixel));
}

}  // namespace

int32_t ReadTgaImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info) {
    ByteReader in(file);
    const uint8_t idLength = in.u8();
    const uint8_t mapType = in.u8();
    const uint8_t imageType = in.u8();
    const uint16_t mapFirst = in.u16();
    const uint16_t mapLength = in.u16();
    const uint8_t mapBits = in.u8();
    in.skip(4);  // origin
    const uint16_t width = in.u16();
    const uint16_t height = in.u16();
    const uint8_t pixelBits = in.u8();
    const uint8_t descriptor = in.u8();
    if (in.failed() || (imageType != 1 && imageType != 2 && imageType != 9 && imageType != 10) || width == 0 ||
        height == 0)
        return kErrHeader;
    // 15-bit files hold the same 5-5-5 words as 16-bit ones.
    const bool is16 = pixelBits == 15 || pixelBits == 16;
    const int bpp = is16 ? 3 : pixelBits / 8;
    if (bpp < 1 || bpp > 3 || (!is16 && pixelBits % 8 != 0)) return kErrMemory;
    const int filePixel = is16 ? 2 : bpp;
    const int64_t pixels = int64_t(width) * height;
    if (pixels > kMaxFramePixels) return kErrMemory;
    // Pixels the data cannot fill are refused here, before a frame is made
    // for them: coded, one pixel and its packet header give at most 128.
    size_t mapBytes = 0;
    if (mapType == 1) mapBytes = bpp == 1 ? size_t(mapLength) * ((mapBits + 7u) / 8u) : size_t(mapLength) * mapBits / 8;
    const size_t dataStart = 18 + size_t(idLength) + mapBytes;
    const int64_t dataBytes = file.size() > dataStart ? int64_t(file.size() - dataStart) : 0;
    const int64_t pixelsFilled =
        imageType >= 9 ? kTgaLongestPacket * ((dataBytes + filePixel) / (1 + filePixel)) : dataBytes / filePixel;
    if (pixels > pixelsFilled) return kErrMemory;
    info.width = width;
    info.height = height;
    info.bytesPerPixel = bpp;
    info.bitsPerPixel = is16 ? 15 : 8 * bpp;
    info.topDown = (descriptor & 0x20) != 0;
    if (!image) return kErrNone;

    const int64_t pictureBytes = int64_t(width) * height * bpp;
    if (pictureBytes > image->size) return kErrTooLarge;

    in.skip(idLength);
    uint8_t palette[768] = {};
    if (mapType == 1) {
        const int entryBytes = (mapBits + 7) / 8;
        if (bpp == 1) {
            if (entryBytes != 2 && entryBytes != 3 && entryBytes != 4) return kErrHeader;
            for (int i = 0; i < mapLength; ++i) {
                uint8_t e[4] = {};
                in.bytes(e, size_t(entryBytes));
                int index = mapFirst + i;
                if (index > 255) continue;  // beyond what an 8-bit pixel can name
                uint8_t bgr[3];
                if (entryBytes == 2)
                    Expand555(GetLE16(e), bgr);
                else
                    std::memcpy(bgr, e, 3);
                palette[3 * index] = bgr[2];
                palette[3 * index + 1] = bgr[1];
                palette[3 * index + 2] = bgr[0];
            }
        } else {
            in.skip(size_t(mapLength) * size_t(mapBits) / 8);
        }
    }
    if (in.failed()) return kErrMemory;

    uint8_t* out = image->pixels;
    if (imageType == 1 || imageType == 2) {
        if (in.remaining() < size_t(pixels * filePixel)) return kErrMemory;
        const uint8_t* src = in.here();
        if (is16) {
            for (int64_t i = 0; i < pixels; ++i) Expand555(GetLE16(src + 2 * i), out + 3 * i);
        } else {
            std::memcpy(out, src, size_t(pictureBytes));
        }
    } else {
        // Packets run on across rows; a short file leaves the rest as it was.
        int64_t done = 0;
        bool dataLeft = true;
        while (done < pixels && dataLeft && !in.atEnd()) {
            const uint8_t h = in.u8();
            const int64_t count = std::min<int64_t>(h >= 128 ? h - 127 : h + 1, pixels - done);
            if (h >= 128) {
                if (in.remaining() < size_t(filePixel)) break;
                const uint8_t* px = in.here();
                for (int64_t i = 0; i < count; ++i) PutPixel(out + (done + i) * bpp, px, filePixel, is16);
                in.skip(size_t(filePixel));
                done += count;
            } else {
                for (int64_t i = 0; i < count; ++i) {
                    if (in.remaining() < size_t(filePixel)) {
                        dataLeft = false;
                        break;
                    }
                    PutPixel(out + done * bpp, in.here(), filePixel, is16);
                    in.skip(size_t(filePixel));
                    ++done;
                }
            }
        }
    }
    image->width = width;
    image->height = height;
    image->bytesPerPixel = bpp;
    image->bitsPerPixel = 8 * bpp;
    image->topDown = info.topDown ? 1 : 0;
    if (bpp == 1) std::memcpy(image->palette, palette, 768);
    return kErrNone;
}

std::vector<uint8_t> WriteTgaImage(const imagerec& image, bool compress) {
    const image_detail::RowsToWrite source(image, true);
    const int32_t bpp = source.bpp;
    const bool mapped = bpp == 1;
    std::vector<uint8_t> out(18, 0);
    out[1] = mapped ? 1 : 0;
    out[2] = uint8_t((mapped ? 1 : 2) + (compress ? 8 : 0));
    PutLE16(&out[5], mapped ? 256 : 0);
    out[7] = mapped ? 24 : 0;
    PutLE16(&out[12], uint16_t(image.width));
    PutLE16(&out[14], uint16_t(image.height));
    out[16] = uint8_t(8 * bpp);
    if (mapped) {
        for (int i = 0; i < 256; ++i) {
            out.push_back(image.palette[3 * i + 2]);
            out.push_back(image.palette[3 * i + 1]);
            out.push_back(image.palette[3 * i]);
        }
    }
    const size_t rowBytes = size_t(image.width) * size_t(bpp);
    for (const uint8_t* row : source.rows) {
        if (!compress) {
            out.insert(out.end(), row, row + rowBytes);
            continue;
        }
        // Each row is coded by itself: runs of two or more equal pixels, the
        // rest in raw packets; at most 128 pixels a packet.
        const int32_t w = image.width;
        auto same = [&](int32_t a, int32_t b) { return std::memcmp(row + a * bpp, row + b * bpp, size_t(bpp)) == 0; };
        int32_t i = 0;
        while (i < w) {
            if (i + 1 < w && same(i, i + 1)) {
                int32_t n = 2;
                while (i + n < w && n < 128 && same(i, i + n)) ++n;
                out.push_back(uint8_t(128 + n - 1));
                out.insert(out.end(), row + i * bpp, row + (i + 1) * bpp);
                i += n;
            } else {
                int32_t n = 1;
                while (i + n < w && n < 128 && !(i + n + 1 < w && same(i + n, i + n + 1))) ++n;
                out.push_back(uint8_t(n - 1));
                out.insert(out.end(), row + i * bpp, row + (i + n) * bpp);
                i += n;
            }
        }
    }
    return out;
}

}  // namespace movaltic
