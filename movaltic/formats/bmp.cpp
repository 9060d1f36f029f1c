// Windows bitmaps (.BMP, .DIB, .RLE): 8-bit with a colour table, plain or
// RLE8, and 24-bit, with the 40-byte information header.
#include <algorithm>
#include <cstring>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace movaltic {

namespace {

constexpr size_t kBmpHeaderBytes = 54;

// RLE8 into a picture stored in file row order; every write is clipped to
// the picture, and a short file ends the picture where it stops. Returns
// whether the data ended the picture with its end-of-picture code; with out
// null it only walks the codes.
bool DecodeRle8(const uint8_t* data, size_t size, uint8_t* out, int32_t width, int32_t height) {
    size_t pos = 0;
    int64_t x = 0, y = 0;
    auto put = [&](uint8_t v) {
        if (out && x < width && y < height) out[y * width + x] = v;
        ++x;
    };
    while (pos + 1 < size && y < height) {
        const uint8_t n = data[pos], v = data[pos + 1];
        pos += 2;
        if (n > 0) {
            for (int i = 0; i < n; ++i) put(v);
        } else if (v == 0) {
            x = 0;  // end of row: the next row starts at its left edge
            ++y;
        } else if (v == 1) {
            return true;
        } else if (v == 2) {
            if (pos + 1 >= size) return false;
            x += data[pos];
            y += data[pos + 1];
            pos += 2;
        } else {
            for (int i = 0; i < v && pos < size; ++i) put(data[pos++]);
            if (v & 1) ++pos;
        }
    }
    return false;
}

// How many rows RLE8 data of n bytes can reach: only an end of row (2 bytes,
// one row down) and a move (4 bytes, up to 255 rows down) leave a row.
int64_t Rle8RowsReached(size_t n) { return 1 + 255 * int64_t(n / 4) + (n % 4 >= 2 ? 1 : 0); }

}  // namespace

int32_t ReadBmpImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info) {
    if (file.size() < kBmpHeaderBytes || file[0] != 'B' || file[1] != 'M') return kErrHeader;
    const uint8_t* h = file.data();
    const uint32_t dataOffset = GetLE32(h + 10);
    const uint32_t infoLength = GetLE32(h + 14);
    const int32_t width = int32_t(GetLE32(h + 18));
    const int32_t rawHeight = int32_t(GetLE32(h + 22));
    const uint16_t bitCount = GetLE16(h + 28);
    const uint32_t compression = GetLE32(h + 30);
    const uint32_t coloursUsed = GetLE32(h + 46);
    if (infoLength != 40 || (bitCount != 8 && bitCount != 24)) return kErrBitmapVariant;
    // RLE4 and bit-field layouts are variants this reader does not take.
    if (compression > 1 || (compression == 1 && bitCount != 8)) return kErrBitmapVariant;
    // A negative height marks a top-down picture.
    if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN || width > 0xFFFFFF) return kErrHeader;
    const int32_t height = rawHeight < 0 ? -rawHeight : rawHeight;
    const int bpp = bitCount / 8;
    if (int64_t(width) * height > kMaxFramePixels) return kErrMemory;
    const uint32_t entries = bpp > 1 ? 0 : coloursUsed == 0 || coloursUsed > 256 ? 256 : coloursUsed;
    if (file.size() < kBmpHeaderBytes + 4 * entries) return kErrMemory;
    // The data offset says where the pixels are; files that leave it 0 or
    // point into the header get them right after the colour table.
    size_t pixelStart = kBmpHeaderBytes + 4 * entries;
    if (dataOffset >= pixelStart && dataOffset <= file.size()) pixelStart = dataOffset;
    const size_t dataBytes = file.size() - pixelStart;
    const int64_t rowBytes = int64_t(width) * bpp;
    const int64_t stride = (rowBytes + 3) & ~int64_t(3);
    // Pixels the data cannot reach are refused here, before a frame is made
    // for them, unless the data ends the picture early with its own code (the
    // rows after it stay blank). Uncompressed, the last row needs no padding
    // after it.
    if (compression == 1 ? height > Rle8RowsReached(dataBytes) &&
                               !DecodeRle8(file.data() + pixelStart, dataBytes, nullptr, width, height)
                         : int64_t(dataBytes) < stride * (height - 1) + rowBytes)
        return kErrMemory;
    info.width = width;
    info.height = height;
    info.bytesPerPixel = bpp;
    info.bitsPerPixel = bitCount;
    info.topDown = rawHeight < 0;
    if (!image) return kErrNone;
    if (int64_t(width) * height * bpp > image->size) return kErrTooLarge;

    uint8_t palette[768] = {};
    for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = h + kBmpHeaderBytes + 4 * i;
        palette[3 * i] = e[2];
        palette[3 * i + 1] = e[1];
        palette[3 * i + 2] = e[0];
    }

    uint8_t* out = image->pixels;
    if (compression == 1) {
        std::memset(out, 0, size_t(rowBytes * height));
        DecodeRle8(file.data() + pixelStart, dataBytes, out, width, height);
    } else {
        for (int32_t y = 0; y < height; ++y)
            std::memcpy(out + y * rowBytes, file.data() + pixelStart + y * stride, size_t(rowBytes));
    }
    image->width = width;
    image->height = height;
    image->bytesPerPixel = bpp;
    image->bitsPerPixel = bitCount;
    image->topDown = info.topDown ? 1 : 0;
    if (bpp == 1) std::memcpy(image->palette, palette, 768);
    return kErrNone;
}

std::vector<uint8_t> WriteBmpImage(const imagerec& image) {
    const image_detail::RowsToWrite source(image, true);
    const int32_t bpp = source.bpp;
    const size_t rowBytes = size_t(image.width) * size_t(bpp);
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    const size_t dataOffset = kBmpHeaderBytes + (bpp == 1 ? 1024 : 0);
    std::vector<uint8_t> out(dataOffset + stride * size_t(image.height), 0);
    uint8_t* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    PutLE32(h + 2, uint32_t(out.size()));
    PutLE32(h + 10, uint32_t(dataOffset));
    PutLE32(h + 14, 40);
    PutLE32(h + 18, uint32_t(image.width));
    PutLE32(h + 22, uint32_t(image.height));
    PutLE16(h + 26, 1);
    PutLE16(h + 28, uint16_t(8 * bpp));
    if (bpp == 1) {
        PutLE32(h + 46, 256);
        PutLE32(h + 50, 256);
        for (int i = 0; i < 256; ++i) {
            uint8_t* e = h + kBmpHeaderBytes + 4 * i;
            e[0] = image.palette[3 * i + 2];
            e[1] = image.palette[3 * i + 1];
            e[2] = image.palette[3 * i];
        }
    }
    uint8_t* dst = h + dataOffset;
    for (const uint8_t* row : source.rows) {
        std::memcpy(dst, row, rowBytes);
        dst += stride;
    }
    return out;
}

}  // namespace movaltic
