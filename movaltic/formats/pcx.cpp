// ZSoft PCX: 8-bit pictures with a trailing palette and 24-bit pictures of
// three colour planes, run-length coded.
#include <algorithm>
#include <cstring>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/image_files.h"

namespace movaltic {

namespace {

constexpr size_t kPcxHeaderBytes = 128;
constexpr int64_t kPcxLongestRun = 63;  // bytes out of one 2-byte run

// Run-length decoder whose runs may cross rows.
class PcxRuns {
public:
    PcxRuns(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    // Fills n bytes; returns how many the data still had.
    size_t fill(uint8_t* dst, size_t n) {
        size_t done = 0;
        while (done < n) {
            if (repeat_ > 0) {
                size_t k = std::min(n - done, repeat_);
                std::memset(dst + done, value_, k);
                done += k;
                repeat_ -= k;
                continue;
            }
            if (pos_ >= size_) break;
            uint8_t b = data_[pos_++];
            if (b >= 192) {
                if (pos_ >= size_) break;
                value_ = data_[pos_++];
                repeat_ = size_t(b - 192);
            } else {
                dst[done++] = b;
            }
        }
        return done;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    size_t repeat_ = 0;
    uint8_t value_ = 0;
};

void PutRun(std::vector<uint8_t>& out, uint8_t value, int count) {
    if (count == 1 && value < 192) {
        out.push_back(value);
    } else {
        out.push_back(uint8_t(192 + count));
        out.push_back(value);
    }
}

void EncodeLine(std::vector<uint8_t>& out, const uint8_t* line, size_t n) {
    size_t i = 0;
    while (i < n) {
        int count = 1;
        while (i + size_t(count) < n && count < 63 && line[i + size_t(count)] == line[i]) ++count;
        PutRun(out, line[i], count);
        i += size_t(count);
    }
}

}  // namespace

int32_t ReadPcxImage(const std::vector<uint8_t>& file, imagerec* image, ImageInfo& info) {
    if (file.size() < kPcxHeaderBytes) return kErrHeader;
    const uint8_t* h = file.data();
    const int planes = h[65];
    const int32_t width = int32_t(GetLE16(h + 8)) - int32_t(GetLE16(h + 4)) + 1;
    const int32_t height = int32_t(GetLE16(h + 10)) - int32_t(GetLE16(h + 6)) + 1;
    // Two planes of 8 bits would be no picture this program knows.
    if (h[0] != 10 || h[2] != 1 || h[3] != 8 || (planes != 1 && planes != 3) || width <= 0 || height <= 0)
        return kErrHeader;
    if (int64_t(width) * height > kMaxFramePixels) return kErrMemory;
    // Plane lines follow the header's bytes-per-line, as this program and
    // other programs write them.
    const int32_t evenWidth = width + (width & 1);
    int32_t lineBytes = GetLE16(h + 66);
    if (lineBytes < width) lineBytes = evenWidth;
    const size_t rowLength = size_t(lineBytes) * size_t(planes);
    // A picture that even the longest runs of the data could not fill is
    // refused here, before a frame is made for it.
    const size_t dataBytes = file.size() - kPcxHeaderBytes;
    if (int64_t(rowLength) * height > kPcxLongestRun * int64_t((dataBytes + 1) / 2)) return kErrMemory;
    info.width = width;
    info.height = height;
    info.bytesPerPixel = planes;
    info.bitsPerPixel = 8 * planes;
    info.topDown = true;
    if (!image) return kErrNone;
    if (int64_t(width) * height * planes > image->size) return kErrTooLarge;

    uint8_t palette[768] = {};
    if (planes == 1) {
        if (file.size() < kPcxHeaderBytes + 768) return kErrMemory;
        const uint8_t* p = file.data() + file.size() - 768;
        std::memcpy(palette, p, 768);
    }

    // Earlier versions wrote 24-bit pictures of odd width with the three
    // planes of width bytes back to back and all the padding after the
    // third. Such a file has this program's header (resolution fields equal
    // to the picture's size) and zeros at the end of each row where padded
    // plane lines would hold pixels; its rows are all decoded before the
    // layout is decided. Other files go row by row.
    const bool mayBeOldLayout = planes == 3 && (width & 1) && lineBytes == width + 1 && GetLE16(h + 12) == width &&
                                GetLE16(h + 14) == height;
    std::vector<uint8_t> rows(rowLength * size_t(mayBeOldLayout ? height : 1), 0);
    PcxRuns runs(file.data() + kPcxHeaderBytes, dataBytes);
    auto decodeRow = [&](int32_t y) {
        uint8_t* row = rows.data() + (mayBeOldLayout ? size_t(y) * rowLength : 0);
        const size_t got = runs.fill(row, rowLength);
        if (got < rowLength) std::memset(row + got, 0, rowLength - got);
        return got == rowLength;
    };
    auto storeRow = [&](int32_t y, size_t stride) {
        const uint8_t* row = rows.data() + (mayBeOldLayout ? size_t(y) * rowLength : 0);
        uint8_t* dst = image->pixels + int64_t(y) * width * planes;
        if (planes == 1) {
            std::memcpy(dst, row, size_t(width));
            return;
        }
        const uint8_t* r = row;
        const uint8_t* g = r + stride;
        const uint8_t* b = g + stride;
        for (int32_t x = 0; x < width; ++x) {
            dst[3 * x] = b[x];
            dst[3 * x + 1] = g[x];
            dst[3 * x + 2] = r[x];
        }
    };
    // Rows are stored up to the one where the data ended; the rest of the
    // picture stays as it was.
    if (mayBeOldLayout) {
        int32_t rowsOut = 0;
        while (rowsOut < height && decodeRow(rowsOut++)) {
        }
        bool paddedPlanes = true, zerosAtEnd = true;
        for (int32_t y = 0; y < rowsOut; ++y) {
            const uint8_t* r = rows.data() + size_t(y) * rowLength;
            paddedPlanes = paddedPlanes && r[width] == 0 && r[2 * width + 1] == 0;
            zerosAtEnd = zerosAtEnd && r[3 * width] == 0 && r[3 * width + 1] == 0;
        }
        const bool oldLayout = !paddedPlanes && zerosAtEnd;
        for (int32_t y = 0; y < rowsOut; ++y) storeRow(y, oldLayout ? size_t(width) : size_t(lineBytes));
    } else {
        for (int32_t y = 0; y < height; ++y) {
            const bool full = decodeRow(y);
            storeRow(y, size_t(lineBytes));
            if (!full) break;
        }
    }
    image->width = width;
    image->height = height;
    image->bytesPerPixel = planes;
    image->bitsPerPixel = 8 * planes;
    image->topDown = 1;
    if (planes == 1) std::memcpy(image->palette, palette, 768);
    return kErrNone;
}

std::vector<uint8_t> WritePcxImage(const imagerec& image) {
    const image_detail::RowsToWrite source(image, false);
    const int32_t bpp = source.bpp;
    const int32_t w = image.width;
    std::vector<uint8_t> out(kPcxHeaderBytes, 0);
    out[0] = 10;
    out[1] = 5;
    out[2] = 1;
    out[3] = 8;
    PutLE16(&out[8], uint16_t(w - 1));
    PutLE16(&out[10], uint16_t(image.height - 1));
    PutLE16(&out[12], uint16_t(w));
    PutLE16(&out[14], uint16_t(image.height));
    out[65] = uint8_t(bpp);
    PutLE16(&out[66], uint16_t(w + (w & 1)));
    std::vector<uint8_t> planes(size_t(w) * size_t(bpp));
    for (const uint8_t* row : source.rows) {
        if (bpp == 1) {
            EncodeLine(out, row, size_t(w));
        } else {
            for (int32_t x = 0; x < w; ++x) {
                planes[size_t(x)] = row[3 * x + 2];
                planes[size_t(w + x)] = row[3 * x + 1];
                planes[size_t(2 * w + x)] = row[3 * x];
            }
            if (w & 1) {
                // Each plane line is padded to the even bytes-per-line of the
                // header, where every other reader looks for the next plane.
                for (int plane = 0; plane < 3; ++plane) {
                    EncodeLine(out, planes.data() + size_t(plane) * size_t(w), size_t(w));
                    out.push_back(0);
                }
                continue;
            }
            EncodeLine(out, planes.data(), planes.size());
        }
        if (w & 1) out.push_back(0);
    }
    if (bpp == 1) {
        out.push_back(12);
        out.insert(out.end(), image.palette, image.palette + 768);
    }
    return out;
}

}  // namespace movaltic
