// The palette choice on random frames against a plain version of the rule:
// histogram counts, box shrinking slab by slab, splitting at one third from
// the high end, count-weighted box means and the cell-to-index table.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "frames.h"
#include "movaltic/imaging/palette.h"

namespace movaltic {
namespace {

using test::Frame;
using Bytes = std::vector<uint8_t>;

struct RefBox {
    int lo[3], hi[3], size, axis;
};

struct RefPalette {
    std::vector<int64_t> cells = std::vector<int64_t>(64 * 64 * 64, 0);
    Bytes palette = Bytes(768, 255);

    int64_t& At(const int (&c)[3]) { return cells[size_t(c[0] + 64 * c[1] + 4096 * c[2])]; }

    bool SlabUsed(const RefBox& box, int axis, int v) {
        int lo[3] = {box.lo[0], box.lo[1], box.lo[2]}, hi[3] = {box.hi[0], box.hi[1], box.hi[2]};
        lo[axis] = hi[axis] = v;
        int c[3];
        for (c[0] = lo[0]; c[0] <= hi[0]; ++c[0])
            for (c[1] = lo[1]; c[1] <= hi[1]; ++c[1])
                for (c[2] = lo[2]; c[2] <= hi[2]; ++c[2])
                    if (At(c) > 0) return true;
        return false;
    }

    void Shrink(RefBox& box) {
        box.size = box.axis = 0;
        for (int a = 0; a < 3; ++a)
            if (!(box.lo[a] < box.hi[a])) return;
        for (int a = 0; a < 3; ++a) {
            while (box.lo[a] < box.hi[a] && !SlabUsed(box, a, box.lo[a])) ++box.lo[a];
            while (box.hi[a] > box.lo[a] && !SlabUsed(box, a, box.hi[a])) --box.hi[a];
        }
        for (int a = 0; a < 3; ++a)
            if (box.hi[a] - box.lo[a] + 1 > box.size) box.size = box.hi[a] - box.lo[a] + 1, box.axis = a;
    }

    void Choose(int n) {
        n = std::clamp(n, 2, 255);
        int used = 0;
        for (int64_t c : cells) used += c > 0;
        if (n >= used) {
            int next = 0;
            for (size_t i = 0; i < cells.size(); ++i)
                if (cells[i] > 0) {
                    const int rgb[3] = {int(i % 64), int(i / 64 % 64), int(i / 4096)};
                    for (int k = 0; k < 3; ++k) palette[size_t(3 * next + k)] = uint8_t(4 * rgb[k] + 3);
                    cells[i] = next++;
                }
            return;
        }
        std::vector<RefBox> boxes(1, RefBox{{0, 0, 0}, {63, 63, 63}, 0, 0});
        Shrink(boxes[0]);
        if (boxes[0].size == 0) return;
        for (int i = 0; i < n - 1; ++i) {
            int d = 0;
            for (int k = 1; k <= i; ++k)
                if (boxes[size_t(k)].size > boxes[size_t(d)].size) d = k;
            RefBox added = boxes[size_t(d)];
            const int a = added.axis, e = (added.lo[a] + 2 * added.hi[a]) / 3;
            added.lo[a] = e + 1;
            boxes[size_t(d)].hi[a] = e;
            boxes.push_back(added);
            Shrink(boxes[size_t(d)]);
            Shrink(boxes.back());
        }
        palette[0] = palette[1] = palette[2] = 0;
        for (int b = 0; b < n; ++b) {
            const RefBox& box = boxes[size_t(b)];
            int64_t total = 0, sum[3] = {0, 0, 0};
            int c[3];
            for (c[0] = box.lo[0]; c[0] <= box.hi[0]; ++c[0])
                for (c[1] = box.lo[1]; c[1] <= box.hi[1]; ++c[1])
                    for (c[2] = box.lo[2]; c[2] <= box.hi[2]; ++c[2]) {
                        total += At(c);
                        for (int k = 0; k < 3; ++k) sum[k] += c[k] * At(c);
                        At(c) = b + 1;
                    }
            if (total == 0) total = 1;
            for (int k = 0; k < 3; ++k) palette[size_t(3 * (b + 1) + k)] = uint8_t(4 * (sum[k] / total) + 3);
        }
    }
};

class PaletteReference : public ::testing::Test {
protected:
    void SetUp() override {
        HistogramAlloc();
        ASSERT_NE(ColorHistogram, nullptr);
        HistogramClear();
    }
    void TearDown() override { HistogramFree(); }
};

// Random frames drawn from a few clusters, so boxes get uneven counts,
// empty slabs to shrink away and equal sizes to break ties on.
Bytes ClusteredPixels(int n, uint32_t seed, int clusters, int spread) {
    std::mt19937 gen(seed);
    std::vector<std::array<int, 3>> centres;
    for (int c = 0; c < clusters; ++c) centres.push_back({int(gen() % 256), int(gen() % 256), int(gen() % 256)});
    Bytes px;
    for (int i = 0; i < n; ++i) {
        const auto& c = centres[gen() % centres.size()];
        for (int k = 0; k < 3; ++k)
            px.push_back(uint8_t(std::clamp(c[size_t(k)] + int(gen() % uint32_t(2 * spread + 1)) - spread, 0, 255)));
    }
    return px;
}

TEST_F(PaletteReference, ChoiceAndMappingMatchThePlainRuleOnRandomFrames) {
    uint32_t seed = 7;
    for (int clusters : {1, 3, 12})
        for (int spread : {2, 20, 128})
            for (int wanted : {1, 2, 3, 7, 16, 64, 256}) {
                const int w = 37, h = 23;
                const Bytes px = ClusteredPixels(w * h, seed++, clusters, spread);
                Frame f(w, h, 3, px), out(w, h, 1);
                HistogramClear();
                HistogramAddFrame(f.img);
                RefPalette ref;
                for (size_t i = 0; i < px.size(); i += 3) {
                    const int c[3] = {px[i + 2] / 4, px[i + 1] / 4, px[i] / 4};
                    ++ref.At(c);
                }
                PaletteChoose(wanted);
                ref.Choose(wanted);
                ASSERT_EQ(Bytes(ChosenPalette, ChosenPalette + 768), ref.palette)
                    << clusters << " clusters, spread " << spread << ", " << wanted << " wanted";
                PaletteRemapFrame(f.img, out.img);
                for (int i = 0; i < w * h; ++i) {
                    const int c[3] = {px[size_t(3 * i + 2)] / 4, px[size_t(3 * i + 1)] / 4, px[size_t(3 * i)] / 4};
                    ASSERT_EQ(out.img.pixels[i], uint8_t(ref.At(c))) << "pixel " << i;
                }
            }
}

}  // namespace
}  // namespace movaltic
