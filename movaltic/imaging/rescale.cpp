#include "movaltic/imaging/rescale.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/pixel_lanes.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

namespace {

// (a x b) / 100000 rounded up, for non-negative values.
inline int64_t CeilScale(int64_t a, int64_t b) { return (a * b + kScaleOne - 1) / kScaleOne; }

// Frames with nothing to scale from still give a defined (black) target.
void BlankTarget(const imagerec& src, imagerec& dst, int32_t w, int32_t h, int32_t bpp,
                 bool withPalette) {
    FillBytes(dst.pixels, int64_t(w) * h * bpp, 0);
    ImageCopyHeader(src, dst, withPalette);
    dst.width = w;
    dst.height = h;
}

}  // namespace

void ImageResize(const imagerec& src, imagerec& dst, int32_t newWidth, int32_t newHeight) {
    const int32_t bpp = src.bytesPerPixel;
    if (newWidth < 0) newWidth = 0;
    if (newHeight < 0) newHeight = 0;
    const int64_t needed = int64_t(newWidth) * newHeight * bpp;
    if (&src == &dst || dst.size < needed || (needed > 0 && !dst.pixels)) {
        ErrCode = kErrMemory;
        return;
    }
    if (bpp != 1 && bpp != 3) return;
    if (newWidth == 0 || newHeight == 0 || src.width <= 0 || src.height <= 0) {
        BlankTarget(src, dst, newWidth, newHeight, bpp, true);
        return;
    }
    const int64_t sw = src.width, sh = src.height;
    const int64_t stepX = sw * kScaleOne / newWidth;
    const int64_t stepY = sh * kScaleOne / newHeight;

    // Source pixel of every target column, worked out once for all rows.
    std::vector<int32_t> pick(static_cast<size_t>(newWidth));
    if (stepX <= kScaleOne) {
        for (int32_t k = 0; k < newWidth; ++k) pick[size_t(k)] = int32_t(k * stepX / kScaleOne);
    } else {
        int64_t index = 0, acc = 0;
        pick[0] = 0;
        for (int32_t k = 1; k < newWidth; ++k) {
            ++index;
            acc += stepX;
            if (acc >= index * kScaleOne) {
                ++index;
                while (index * kScaleOne < acc) ++index;
            }
            pick[size_t(k)] = int32_t(std::min<int64_t>(index, sw - 1));
        }
    }
    const int64_t outRow = int64_t(newWidth) * bpp;
    RunBands(newHeight, outRow, [&](int64_t from, int64_t to) {
        int64_t lastRow = -1;
        for (int64_t k = from; k < to; ++k) {
            int64_t row = stepY <= kScaleOne ? k * stepY / kScaleOne : CeilScale(k, stepY);
            row = std::min<int64_t>(row, sh - 1);
            uint8_t* out = dst.pixels + k * outRow;
            if (row == lastRow) {  // a repeated row is a copy of the one just made
                std::memcpy(out, out - outRow, size_t(outRow));
                continue;
            }
            lastRow = row;
            const uint8_t* in = src.pixels + row * sw * bpp;
            if (bpp == 1) {
                for (int32_t x = 0; x < newWidth; ++x) out[x] = in[pick[size_t(x)]];
            } else {
                for (int32_t x = 0; x < newWidth; ++x) std::memcpy(out + 3 * x, in + 3 * pick[size_t(x)], 3);
            }
        }
    });
    ImageCopyHeader(src, dst, true);
    dst.width = newWidth;
    dst.height = newHeight;
}

namespace {

// Narrower row: every target pixel is the mean of its group of source pixels.
// A group that ends exactly on the accumulator still takes one more pixel
// (the test is "accumulator at least the position"), so groups are not
// simply the pixels up to ceil((k + 1) x step) - 1.
struct PixelGroups {
    int32_t width = -1, newWidth = -1;
    int64_t stepX = -1;
    std::vector<int32_t> first, count;  // of each target pixel
};

// The groups depend on the sizes alone, so a movie's frames share them.
const PixelGroups& ShrinkGroups(int32_t width, int32_t newWidth, int64_t stepX) {
    static thread_local PixelGroups g;
    if (g.width == width && g.newWidth == newWidth && g.stepX == stepX) return g;
    g.width = width;
    g.newWidth = newWidth;
    g.stepX = stepX;
    g.first.assign(size_t(newWidth), 0);
    g.count.assign(size_t(newWidth), 0);
    int64_t next = 0, acc = 0, pos = 0;
    for (int32_t k = 0; k < newWidth; ++k) {
        // Groups never start past the row for a step above one pixel; the clamp
        // only guards the read.
        g.first[size_t(k)] = int32_t(std::min<int64_t>(next, width - 1));
        int32_t count = 1;
        ++next;
        acc += stepX;
        pos += kScaleOne;
        if (acc >= pos) {
            do {
                if (next >= width) break;
                ++count;
                ++next;
                pos += kScaleOne;
            } while (pos < acc);
        }
        g.count[size_t(k)] = count;
    }
    return g;
}

void RowAverageShrink24(const uint8_t* in, int32_t width, uint8_t* out, int32_t newWidth,
                        int64_t stepX) {
    const PixelGroups& g = ShrinkGroups(width, newWidth, stepX);
    for (int32_t k = 0; k < newWidth; ++k) {
        const uint8_t* p = in + 3 * size_t(g.first[size_t(k)]);
        const int32_t count = g.count[size_t(k)];
        uint8_t* o = out + 3 * size_t(k);
        if (count == 1) {
            o[0] = p[0], o[1] = p[1], o[2] = p[2];
        } else if (count == 2) {
            for (int b = 0; b < 3; ++b) o[b] = uint8_t((unsigned(p[b]) + p[b + 3]) >> 1);
        } else {
            uint32_t sum[3] = {0, 0, 0};
            for (int32_t i = 0; i < count; ++i)
                for (int b = 0; b < 3; ++b) sum[b] += p[3 * i + b];
            // Groups of three (a 4K row to 1600 pixels) by multiplying, which
            // divides sums up to 765 by 3 exactly.
            if (count == 3)
                for (int b = 0; b < 3; ++b) o[b] = uint8_t((sum[b] * 43691u) >> 17);
            else
                for (int b = 0; b < 3; ++b) o[b] = uint8_t(sum[b] / uint32_t(count));
        }
    }
}

inline void Mean3(const uint8_t* a, const uint8_t* b, uint8_t* out) {
    for (int i = 0; i < 3; ++i) out[i] = uint8_t((a[i] + b[i]) / 2);
}

// Wider (or equal) row: doubled while the factor allows, then stretched by
// inserting means of neighbours.
void RowInterpolateEnlarge24(const uint8_t* in, int32_t width, uint8_t* out, int32_t newWidth,
                             int32_t factor, std::vector<uint8_t>& work) {
    std::vector<uint8_t> cur(in, in + size_t(width) * 3);
    int64_t curWidth = width;
    while (factor > 1 && curWidth * 2 <= newWidth) {
        work.resize(size_t(curWidth) * 6);
        for (int64_t i = 0; i < curWidth; ++i) {
            const uint8_t* p = &cur[size_t(3 * i)];
            const uint8_t* q = i + 1 < curWidth ? p + 3 : p;
            std::memcpy(&work[size_t(6 * i)], p, 3);
            Mean3(p, q, &work[size_t(6 * i + 3)]);
        }
        cur.swap(work);
        curWidth *= 2;
        factor /= 2;
    }
    const int64_t step = curWidth * kScaleOne / newWidth;
    int64_t n = 0;
    for (int64_t i = 0; i < curWidth && n < newWidth; ++i) {
        const uint8_t* p = &cur[size_t(3 * i)];
        std::memcpy(out + 3 * n, p, 3);
        ++n;
        if (step != kScaleOne && n < newWidth && n * step < (i + 1) * kScaleOne) {
            const uint8_t* q = i + 1 < curWidth ? p + 3 : p;
            Mean3(p, q, out + 3 * n);
            ++n;
        }
    }
    for (; n < newWidth; ++n) std::memcpy(out + 3 * n, out + 3 * (n - 1), 3);
}

// Sums of `count` bytes divided by count, looked up rather than divided: a
// frame's groups of rows have at most two sizes, so two tables serve it.
struct QuotientTables {
    uint32_t count[2] = {0, 0};
    std::vector<uint8_t> table[2];
    int next = 0;
};

// sum[i]: byte i of `count` rows from `first` on added up, sixteen bytes at a
// time (the groups that have a table are small enough for 16 bits).
MOVALTIC_HOT_CLONES void SumRows16(const uint8_t* first, int64_t rowBytes, int32_t count, uint16_t* sum) {
    typedef uint16_t U16x16 __attribute__((vector_size(32)));
    int64_t i = 0;
    for (; i + 16 <= rowBytes; i += 16) {
        U16x16 total = {};
        for (int32_t r = 0; r < count; ++r) {
            lanes::U8x16 bytes;
            std::memcpy(&bytes, first + r * rowBytes + i, 16);
            total += __builtin_convertvector(bytes, U16x16);
        }
        std::memcpy(sum + i, &total, 32);
    }
    for (; i < rowBytes; ++i) {
        uint32_t total = 0;
        for (int32_t r = 0; r < count; ++r) total += first[r * rowBytes + i];
        sum[i] = uint16_t(total);
    }
}

// The table for count (null for groups too large for one).
const uint8_t* Quotients(uint32_t count, QuotientTables& t) {
    constexpr uint32_t kLargestTabled = 64;
    if (count > kLargestTabled) return nullptr;
    for (int k = 0; k < 2; ++k)
        if (t.count[k] == count) return t.table[k].data();
    const int k = t.next;
    t.next ^= 1;
    t.count[k] = count;
    t.table[k].resize(size_t(255 * count + 1));
    for (uint32_t s = 0; s <= 255 * count; ++s) t.table[k][s] = uint8_t(s / count);
    return t.table[k].data();
}

}  // namespace

void ImageResample(const imagerec& src, imagerec& dst, int32_t newWidth, int32_t newHeight) {
    if (src.bytesPerPixel != 1 && src.bytesPerPixel != 3) return;
    if (newWidth < 0) newWidth = 0;
    if (newHeight < 0) newHeight = 0;
    const int64_t needed = int64_t(newWidth) * newHeight * 3;
    if (&src == &dst || dst.size < needed || (needed > 0 && !dst.pixels)) return;

    imagerec expanded;
    const imagerec* in = AsTrueColour(src, expanded);
    if (!in) return;
    auto finish = [&] {
        ImageCopyHeader(*in, dst, false);
        dst.bytesPerPixel = 3;
        dst.bitsPerPixel = 24;
        dst.width = newWidth;
        dst.height = newHeight;
        ImageFree(expanded);
    };
    if (newWidth == 0 || newHeight == 0 || in->width <= 0 || in->height <= 0) {
        FillBytes(dst.pixels, needed, 0);
        finish();
        return;
    }
    const int64_t sw = in->width, sh = in->height;
    const int64_t stepX = sw * kScaleOne / newWidth;
    const int64_t stepY = sh * kScaleOne / newHeight;
    const int32_t factorX = int32_t(newWidth / sw);
    int32_t factorY = int32_t(newHeight / sh);
    const int64_t inRow = sw * 3, outRow = int64_t(newWidth) * 3;

    // Vertical reduction first: each kept row is the mean of its group of
    // rows (a group of one is the row itself, read where it is); then the
    // horizontal pass into the first rowCount rows of the target.
    const uint8_t* rows = in->pixels;
    const bool reduce = newHeight < sh;
    int64_t rowCount = reduce ? newHeight : sh;
    // Rows are independent: a large picture shares them out among the job's
    // band threads, or else between two threads, each with buffers of its own.
    auto passRows = [&](int64_t from, int64_t to) {
    std::vector<uint8_t> mean(reduce ? size_t(inRow) : 0);
    std::vector<uint32_t> sum(reduce ? size_t(inRow) : 0);
    std::vector<uint16_t> sum16(reduce ? size_t(inRow) : 0);
    QuotientTables quotients;
    auto sourceRow = [&](int64_t k) -> const uint8_t* {
        if (!reduce) return rows + k * inRow;
        const int64_t first = std::min<int64_t>(CeilScale(k, stepY), sh - 1);
        const int64_t last = std::clamp<int64_t>(CeilScale(k + 1, stepY) - 1, first, sh - 1);
        if (first == last) return rows + first * inRow;
        uint8_t* out = mean.data();
        if (last == first + 1) {
            const uint8_t* a = rows + first * inRow;
            const uint8_t* b = a + inRow;
            for (int64_t i = 0; i < inRow; ++i) out[i] = uint8_t((unsigned(a[i]) + b[i]) >> 1);
            return out;
        }
        const uint32_t count = uint32_t(last - first + 1);
        if (const uint8_t* quotient = Quotients(count, quotients)) {
            SumRows16(rows + first * inRow, inRow, int32_t(count), sum16.data());
            for (int64_t i = 0; i < inRow; ++i) out[i] = quotient[sum16[size_t(i)]];
            return out;
        }
        std::fill(sum.begin(), sum.end(), 0u);
        for (int64_t r = first; r <= last; ++r) {
            const uint8_t* p = rows + r * inRow;
            for (int64_t i = 0; i < inRow; ++i) sum[size_t(i)] += p[i];
        }
        for (int64_t i = 0; i < inRow; ++i) out[i] = uint8_t(sum[size_t(i)] / count);
        return out;
    };
    std::vector<uint8_t> work;
    for (int64_t r = from; r < to; ++r) {
        const uint8_t* p = sourceRow(r);
        uint8_t* out = dst.pixels + r * outRow;
        if (stepX > kScaleOne) RowAverageShrink24(p, int32_t(sw), out, newWidth, stepX);
        else RowInterpolateEnlarge24(p, int32_t(sw), out, newWidth, factorX, work);
    }
    };
    constexpr int64_t kThreadedBytes = 1 << 20;
    if (BandPoolInstalled()) RunBands(rowCount, outRow, passRows);
    else if (rowCount * outRow >= kThreadedBytes) RunInTwo(rowCount, rowCount / 2, passRows);
    else passRows(0, rowCount);

    // Vertical enlargement: doubling passes alternate in direction (backward
    // first), then one stretching pass in the direction that would come next.
    if (rowCount < newHeight) {
        std::vector<uint8_t> cur(dst.pixels, dst.pixels + size_t(rowCount * outRow));
        std::vector<uint8_t> next;
        bool backward = true;
        auto row = [&](std::vector<uint8_t>& v, int64_t i) { return &v[size_t(i * outRow)]; };
        auto meanRow = [&](const uint8_t* a, const uint8_t* b, uint8_t* o) {
            for (int64_t i = 0; i < outRow; ++i) o[i] = uint8_t((a[i] + b[i]) / 2);
        };
        while (factorY > 1 && rowCount * 2 <= newHeight) {
            next.resize(size_t(rowCount * 2 * outRow));
            for (int64_t i = 0; i < rowCount; ++i) {
                if (backward) {  // mean with the row before, then the row
                    meanRow(row(cur, i), row(cur, i > 0 ? i - 1 : i), row(next, 2 * i));
                    std::memcpy(row(next, 2 * i + 1), row(cur, i), size_t(outRow));
                } else {  // the row, then the mean with the row after
                    std::memcpy(row(next, 2 * i), row(cur, i), size_t(outRow));
                    meanRow(row(cur, i), row(cur, i + 1 < rowCount ? i + 1 : i), row(next, 2 * i + 1));
                }
            }
            cur.swap(next);
            rowCount *= 2;
            factorY /= 2;
            backward = !backward;
        }
        const int64_t step = rowCount * kScaleOne / newHeight;
        if (step == kScaleOne) {
            std::memcpy(dst.pixels, cur.data(), size_t(rowCount * outRow));
        } else {
            // Stretching pass, counted in the direction of work.
            auto target = [&](int64_t n) {
                return dst.pixels + (backward ? newHeight - 1 - n : n) * outRow;
            };
            auto source = [&](int64_t i) { return row(cur, backward ? rowCount - 1 - i : i); };
            int64_t n = 0;
            for (int64_t i = 0; i < rowCount && n < newHeight; ++i) {
                const uint8_t* p = source(i);
                std::memcpy(target(n), p, size_t(outRow));
                ++n;
                if (n < newHeight && n * step < (i + 1) * kScaleOne) {
                    const uint8_t* q = i + 1 < rowCount ? source(i + 1) : p;
                    meanRow(p, q, target(n));
                    ++n;
                }
            }
            for (; n < newHeight; ++n) std::memcpy(target(n), target(n - 1), size_t(outRow));
        }
    }
    finish();
}

}  // namespace movaltic
