// Small frames for the imaging tests, freed when they go out of scope.
#pragma once

#include <cstring>
#include <initializer_list>
#include <vector>

#include "movaltic/imaging/basic.h"

namespace movaltic::test {

struct Frame {
    imagerec img;
    Frame() = default;
    Frame(int32_t w, int32_t h, int32_t bpp, std::vector<uint8_t> bytes = {}, bool topDown = false) {
        ImageCreate(img, w, h, bpp);
        img.topDown = topDown ? 1 : 0;
        if (!bytes.empty()) std::memcpy(img.pixels, bytes.data(), bytes.size());
    }
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
    ~Frame() { ImageFree(img); }

    void SetPalette(std::initializer_list<std::vector<uint8_t>> entries) {
        int i = 0;
        for (const auto& e : entries) {
            if (e.size() == 3) std::memcpy(img.palette + 3 * i, e.data(), 3);
            ++i;
        }
    }
    std::vector<uint8_t> Bytes() const {
        return std::vector<uint8_t>(img.pixels, img.pixels + img.frameBytes());
    }
    std::vector<uint8_t> PaletteEntry(int i) const {
        return std::vector<uint8_t>(img.palette + 3 * i, img.palette + 3 * i + 3);
    }
};

}  // namespace movaltic::test
