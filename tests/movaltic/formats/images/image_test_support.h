// Helpers of the image-file tests (the ZUV tests share Frame): frames that own their pixels, PPM
// reference pictures and a scratch folder.
#pragma once

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/imaging/basic.h"

namespace image_test {

struct Frame {
    std::vector<uint8_t> buf;
    movaltic::imagerec img;
    Frame(int w, int h, int bpp, bool topDown = true, size_t extra = 0) : buf(size_t(w) * h * bpp + extra) {
        img.pixels = buf.data();
        img.width = w;
        img.height = h;
        img.bytesPerPixel = bpp;
        img.bitsPerPixel = 8 * bpp;
        img.size = int32_t(buf.size());
        img.topDown = topDown ? 1 : 0;
    }
    Frame(const Frame&) = delete;
    ~Frame() { img.pixels = nullptr; }
    // Pixels of the picture's row y counted from the top.
    const uint8_t* row(int y) const {
        int memRow = img.topDown ? y : img.height - 1 - y;
        return buf.data() + size_t(memRow) * img.width * img.bytesPerPixel;
    }
};

// A binary PPM: width, height and R,G,B pixels, top row first.
struct Ppm {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
};

inline Ppm LoadPpm(const std::string& path) {
    Ppm p;
    std::vector<uint8_t> f;
    if (!movaltic::ReadWholeFile(path, f)) return p;
    size_t pos = 0;
    auto token = [&]() {
        for (;;) {
            while (pos < f.size() && isspace(f[pos])) ++pos;
            if (pos >= f.size() || f[pos] != '#') break;
            while (pos < f.size() && f[pos] != '\n') ++pos;  // comment line
        }
        std::string t;
        while (pos < f.size() && !isspace(f[pos])) t += char(f[pos++]);
        return t;
    };
    if (token() != "P6") return p;
    p.width = std::stoi(token());
    p.height = std::stoi(token());
    token();
    ++pos;
    p.rgb.assign(f.begin() + long(pos), f.end());
    return p;
}

// The R,G,B of the frame's pixel (x, y from the top), through the palette
// for 8-bit frames.
inline void PixelRgb(const Frame& f, int x, int y, uint8_t* rgb) {
    const uint8_t* p = f.row(y) + size_t(x) * f.img.bytesPerPixel;
    if (f.img.bytesPerPixel == 1) {
        std::memcpy(rgb, f.img.palette + 3 * p[0], 3);
    } else {
        rgb[0] = p[2];
        rgb[1] = p[1];
        rgb[2] = p[0];
    }
}

class TempDir {
public:
    TempDir() {
        path_ = std::filesystem::temp_directory_path() / ("image_test_" + std::to_string(getpid()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    std::string operator()(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

inline std::string DataFile(const std::string& name) { return std::string(TEST_DATA_DIR) + "/images/" + name; }

}  // namespace image_test
