// Bitmap headers and the RLE8 coding of 8-bit AVI frames.
#include "movaltic/formats/avi_codec.h"

#include <algorithm>
#include <cstring>

#include "movaltic/formats/byte_io.h"

namespace movaltic {

// ---- bitmaps ----

std::vector<uint8_t> MakeBitmapHeader(int32_t width, int32_t height, int32_t bitCount, uint32_t compression,
                                      uint32_t imageSize, const uint8_t* rgbPalette) {
    std::vector<uint8_t> h(40, 0);
    PutLE32(&h[0], 40);
    PutLE32(&h[4], uint32_t(width));
    PutLE32(&h[8], uint32_t(height));
    PutLE16(&h[12], 1);
    PutLE16(&h[14], uint16_t(bitCount));
    PutLE32(&h[16], compression);
    PutLE32(&h[20], imageSize);
    if (bitCount == 8 && rgbPalette) {
        h.resize(40 + 1024, 0);
        for (int i = 0; i < 256; ++i) {
            h[40 + 4 * i] = rgbPalette[3 * i + 2];
            h[41 + 4 * i] = rgbPalette[3 * i + 1];
            h[42 + 4 * i] = rgbPalette[3 * i];
        }
    }
    return h;
}

namespace {

// Codes pixels [x, end) of one row in encoded mode (runs) and absolute mode
// (literals of 3 or more, padded to an even length).
void Rle8Span(const uint8_t* row, int32_t x, int32_t end, std::vector<uint8_t>& out) {
    while (x < end) {
        int32_t run = 1;
        while (x + run < end && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        // A literal stretch ends where a run of 3 begins.
        int32_t n = 0;
        while (x + n < end && n < 255) {
            if (n > 0 && x + n + 2 < end && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]) break;
            ++n;
        }
        if (n >= 3) {
            out.push_back(0);
            out.push_back(uint8_t(n));
            out.insert(out.end(), row + x, row + x + n);
            if (n & 1) out.push_back(0);
        } else {
            for (int32_t k = 0; k < n; ++k) {
                out.push_back(1);
                out.push_back(row[x + k]);
            }
        }
        x += n;
    }
}

}  // namespace

std::vector<uint8_t> Rle8Encode(const uint8_t* pixels, const uint8_t* prev, int32_t width, int32_t height) {
    std::vector<uint8_t> out;
    out.reserve(size_t(width) * height / 4 + 64);
    if (!prev) {
        for (int32_t y = 0; y < height; ++y) {
            Rle8Span(pixels + size_t(y) * width, 0, width, out);
            if (y + 1 < height) out.insert(out.end(), {0, 0});
        }
        out.insert(out.end(), {0, 1});
        return out;
    }
    // Delta frame: the cursor (cx, cy) moves over unchanged pixels by escapes.
    int32_t cx = 0, cy = 0;
    auto moveTo = [&](int32_t tx, int32_t ty) {
        if (ty > cy && tx < cx) {
            out.insert(out.end(), {0, 0});  // end of line: to the start of the next row
            cx = 0;
            ++cy;
        }
        while (tx > cx || ty > cy) {
            int32_t dx = std::min(255, tx - cx), dy = std::min(255, ty - cy);
            out.insert(out.end(), {0, 2, uint8_t(dx), uint8_t(dy)});
            cx += dx;
            cy += dy;
        }
    };
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* c = pixels + size_t(y) * width;
        const uint8_t* p = prev + size_t(y) * width;
        int32_t x = 0;
        while (x < width) {
            while (x < width && c[x] == p[x]) ++x;
            if (x >= width) break;
            // A changed span ends at 4 unchanged pixels in a row, where a delta pays.
            int32_t end = x, same = 0;
            while (end < width && same < 4) {
                same = c[end] == p[end] ? same + 1 : 0;
                ++end;
            }
            if (same >= 4) end -= same;
            moveTo(x, y);
            Rle8Span(c, x, end, out);
            cx = end;
            x = end;
        }
    }
    out.insert(out.end(), {0, 1});
    return out;
}

void Rle8Decode(const uint8_t* data, size_t size, uint8_t* pixels, int32_t width, int32_t height) {
    ByteReader r(data, size);
    int64_t x = 0, y = 0;
    while (!r.failed() && r.remaining() >= 2 && y < height) {
        uint8_t a = r.u8(), b = r.u8();
        uint8_t* row = pixels + size_t(y) * width;
        if (a > 0) {
            for (int k = 0; k < a; ++k, ++x)
                if (x < width) row[x] = b;
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            return;
        } else if (b == 2) {
            x += r.u8();
            y += r.u8();
        } else {
            for (int k = 0; k < b; ++k, ++x) {
                uint8_t v = r.u8();
                if (x < width && !r.failed()) row[x] = v;
            }
            if (b & 1) r.u8();
        }
    }
}

}  // namespace movaltic
