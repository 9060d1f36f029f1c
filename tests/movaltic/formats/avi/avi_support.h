// Helpers of the AVI tests: frames with their own buffers, conversion to
// top-down RGB24 for comparisons, temporary folders and the ffmpeg command.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "movaltic/formats/avi_riff.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/imaging/basic.h"

namespace movaltic::avitest {

namespace fs = std::filesystem;

class Picture {
public:
    Picture(int32_t w, int32_t h, int32_t bytes, int32_t bits = 0) : buf(size_t(w) * h * bytes) {
        img.pixels = buf.data();
        img.width = w;
        img.height = h;
        img.bytesPerPixel = bytes;
        img.bitsPerPixel = bits ? bits : 8 * bytes;
        img.size = int32_t(buf.size());
        img.topDown = 1;
    }
    Picture(const Picture&) = delete;
    ~Picture() { img.pixels = nullptr; }
    std::vector<uint8_t> buf;
    imagerec img;
};

// The picture as top-down R, G, B bytes.
inline std::vector<uint8_t> ToRgb(const imagerec& img) {
    std::vector<uint8_t> out(size_t(img.width) * img.height * 3);
    for (int32_t y = 0; y < img.height; ++y) {
        const int32_t row = img.topDown ? y : img.height - 1 - y;
        const uint8_t* src = img.pixels + size_t(row) * img.width * img.bytesPerPixel;
        uint8_t* dst = &out[size_t(y) * img.width * 3];
        for (int32_t x = 0; x < img.width; ++x, dst += 3) {
            if (img.bytesPerPixel == 1) {
                std::memcpy(dst, img.palette + 3 * src[x], 3);
            } else if (img.bytesPerPixel == 3) {
                dst[0] = src[3 * x + 2];
                dst[1] = src[3 * x + 1];
                dst[2] = src[3 * x];
            } else {
                uint16_t v = GetLE16(src + 2 * x);
                int r, g, b;
                if (img.bitsPerPixel == 16) {
                    r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
                    dst[1] = uint8_t((g << 2) | (g >> 4));
                } else {
                    r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
                    dst[1] = uint8_t((g << 3) | (g >> 2));
                }
                dst[0] = uint8_t((r << 3) | (r >> 2));
                dst[2] = uint8_t((b << 3) | (b >> 2));
            }
        }
    }
    return out;
}

inline double MeanAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

inline int MaxAbsDiff(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    if (a.size() != b.size()) return 1 << 20;
    int m = 0;
    for (size_t i = 0; i < a.size(); ++i) m = std::max(m, std::abs(int(a[i]) - int(b[i])));
    return m;
}

class TempDir : public ::testing::Test {
public:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // A parameterised test's names hold '/': one folder, not a folder in one.
        std::string name = std::string(info->test_suite_name()) + "_" + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir = fs::temp_directory_path() / ("avi_test_" + std::to_string(::getpid()) + "_" + name);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    fs::path dir;
};

inline std::string Fixture(const std::string& name) { return std::string(TEST_DATA_DIR) + "/avi/" + name; }

inline bool HaveFfmpeg() { return std::system("ffmpeg -version >/dev/null 2>&1") == 0; }

// Decodes a movie with the ffmpeg command into top-down RGB24 frames.
inline bool FfmpegFrames(const std::string& movie, const std::string& rawOut, std::vector<uint8_t>& out) {
    std::string cmd = "ffmpeg -v error -y -i '" + movie + "' -f rawvideo -pix_fmt rgb24 '" + rawOut + "'";
    if (std::system(cmd.c_str()) != 0) return false;
    return ReadWholeFile(rawOut, out);
}

// Finds the first chunk with that id in a RIFF file's bytes (a crude walk:
// descends into every LIST). Returns the offset of its data, or 0.
inline size_t FindChunk(const std::vector<uint8_t>& f, const char* id, size_t from = 12) {
    size_t pos = from;
    while (pos + 8 <= f.size()) {
        if (std::memcmp(&f[pos], id, 4) == 0) return pos + 8;
        if (std::memcmp(&f[pos], "LIST", 4) == 0) {
            pos += 12;
            continue;
        }
        uint32_t size = GetLE32(&f[pos + 4]);
        pos += 8 + size + (size & 1);
    }
    return 0;
}

// Ends the JPEG scan of one video chunk at `part` of it with an end marker,
// the chunk's size and the index kept, as a camera whose card filled while
// it wrote the frame leaves it.
inline bool CutVideoScan(const std::string& file, size_t index, double part) {
    AviReader r;
    std::vector<uint8_t> f;
    if (!r.Open(file) || r.videoStream < 0 || index >= r.streams[size_t(r.videoStream)].chunks.size() ||
        !ReadWholeFile(file, f))
        return false;
    const AviChunk& c = r.streams[size_t(r.videoStream)].chunks[index];
    const uint8_t sos[] = {0xFF, 0xDA};
    uint8_t* p = &f[c.offset];
    const size_t scan = size_t(std::search(p, p + c.size, sos, sos + 2) - p);
    const size_t at = scan + size_t(double(c.size - scan) * part);
    if (at + 1 >= c.size) return false;
    p[at] = 0xFF;
    p[at + 1] = 0xD9;
    return WriteWholeFile(file, f);
}

}  // namespace movaltic::avitest
