// Encoding and decoding speed and file size of ZUV FAST and BEST on a
// 300-frame 640 x 480 true-colour clip, next to the ffmpeg command encoding
// and decoding the same frames as FFV1 and ZMBV. Run by hand:
//   build/bench/zuv/zuv_bench [scratch folder, default /tmp]
// ffmpeg runs single-threaded, like our coders; its times include reading
// the raw frames and starting the program.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/zuv_file.h"

using namespace movaltic;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrames = 300;

// A background of soft gradients and fine texture, still or panning one
// pixel a frame, with three objects moving over it and a patch whose colour
// drifts: what a filtered animation or a camera pan looks like.
void Synthesise(int n, bool pan, std::vector<uint8_t>& bgr) {
    for (int y = 0; y < kHeight; ++y)
        for (int xx = 0; xx < kWidth; ++xx) {
            const int x = pan ? xx + n : xx;
            uint8_t* p = &bgr[(size_t(y) * kWidth + xx) * 3];
            p[0] = uint8_t(x / 3 + ((x * 7 + y * 13) % 11 == 0 ? 20 : 0));
            p[1] = uint8_t(y / 2 + (x / 40) * 3);
            p[2] = uint8_t(128 + 100 * std::sin(x / 90.0 + y / 70.0));
        }
    auto disc = [&](int cx, int cy, int r, uint8_t b, uint8_t g, uint8_t rr) {
        for (int y = std::max(0, cy - r); y < std::min(kHeight, cy + r); ++y)
            for (int x = std::max(0, cx - r); x < std::min(kWidth, cx + r); ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r) {
                    uint8_t* p = &bgr[(size_t(y) * kWidth + x) * 3];
                    p[0] = b;
                    p[1] = uint8_t(g + (x - cx) / 2);
                    p[2] = rr;
                }
    };
    disc(50 + 2 * n, 240 + int(80 * std::sin(n / 20.0)), 60, 30, 200, 40);
    disc(600 - n, 100 + n / 3, 35, 220, 60, 60);
    disc(320 + int(200 * std::cos(n / 30.0)), 380, 45, 10, 10, 240);
    for (int y = 20; y < 80; ++y)
        for (int x = 500; x < 620; ++x) {
            uint8_t* p = &bgr[(size_t(y) * kWidth + x) * 3];
            p[0] = uint8_t(n);
            p[1] = uint8_t(255 - n / 2);
            p[2] = uint8_t(x ^ y);
        }
}

double Seconds(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double>(b - a).count(); }

struct Row {
    std::string name;
    double encodeFps = 0, decodeFps = 0;
    int64_t bytes = 0;
};

Row Zuv(const std::string& path, const std::vector<std::vector<uint8_t>>& frames, bool fast) {
    Row row{fast ? "ZUV FAST" : "ZUV BEST"};
    imagerec img;
    img.width = kWidth;
    img.height = kHeight;
    img.bytesPerPixel = 3;
    img.bitsPerPixel = 24;
    img.topDown = 1;
    img.size = kWidth * kHeight * 3;
    CodecState w;
    auto t0 = Clock::now();
    CodecFileCreate(w, path, kWidth, kHeight, 3, fast ? 1 : 0, 0, 25.0, 0, 0, 0);
    for (const auto& f : frames) {
        img.pixels = const_cast<uint8_t*>(f.data());
        CodecWriteFrame(w, img);
    }
    CodecFileClose(w);
    auto t1 = Clock::now();
    if (ErrCode > 0) std::fprintf(stderr, "%s: write failed (%d)\n", row.name.c_str(), ErrCode);
    row.encodeFps = kFrames / Seconds(t0, t1);
    row.bytes = int64_t(std::filesystem::file_size(path));

    std::vector<uint8_t> buf(size_t(img.size));
    img.pixels = buf.data();
    CodecState r;
    int bad = 0;
    t0 = Clock::now();
    CodecFileOpen(r, path);
    for (int n = 0; n < kFrames; ++n) {
        CodecReadFrame(r, img);
        if (ErrCode > 0) ++bad;
    }
    CodecFileClose(r);
    t1 = Clock::now();
    if (bad || buf != frames.back()) std::fprintf(stderr, "%s: decoded frames differ\n", row.name.c_str());
    row.decodeFps = kFrames / Seconds(t0, t1);
    img.pixels = nullptr;
    return row;
}

Row Ffmpeg(const std::string& name, const std::string& raw, const std::string& out, const std::string& codec) {
    Row row{"ffmpeg " + name};
    const std::string input = "-f rawvideo -pix_fmt bgr24 -s 640x480 -r 25 -i " + raw;
    std::string enc = "ffmpeg -v error -y -threads 1 " + input + " -threads 1 " + codec + " " + out;
    auto t0 = Clock::now();
    if (std::system(enc.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", enc.c_str());
    auto t1 = Clock::now();
    std::string dec = "ffmpeg -v error -threads 1 -i " + out + " -f null -";
    if (std::system(dec.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", dec.c_str());
    auto t2 = Clock::now();
    row.encodeFps = kFrames / Seconds(t0, t1);
    row.decodeFps = kFrames / Seconds(t1, t2);
    row.bytes = int64_t(std::filesystem::file_size(out));
    return row;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string dir = std::string(argc > 1 ? argv[1] : "/tmp") + "/zuv_bench_" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    for (bool pan : {false, true}) {
        std::vector<std::vector<uint8_t>> frames(kFrames, std::vector<uint8_t>(size_t(kWidth) * kHeight * 3));
        std::vector<uint8_t> raw;
        for (int n = 0; n < kFrames; ++n) {
            Synthesise(n, pan, frames[size_t(n)]);
            raw.insert(raw.end(), frames[size_t(n)].begin(), frames[size_t(n)].end());
        }
        WriteWholeFile(dir + "/clip.raw", raw);
        std::vector<Row> rows;
        rows.push_back(Zuv(dir + "/fast.zuv", frames, true));
        rows.push_back(Zuv(dir + "/best.zuv", frames, false));
        rows.push_back(Ffmpeg("FFV1", dir + "/clip.raw", dir + "/ffv1.avi", "-c:v ffv1"));
        rows.push_back(Ffmpeg("ZMBV", dir + "/clip.raw", dir + "/zmbv.avi", "-c:v zmbv -pix_fmt bgr0"));
        std::printf("300 frames, 640 x 480, 24-bit, %s background (raw %.1f MB)\n", pan ? "panning" : "still",
                    raw.size() / 1e6);
        std::printf("%-14s %12s %12s %12s\n", "coder", "encode fps", "decode fps", "size (MB)");
        for (const Row& r : rows)
            std::printf("%-14s %12.1f %12.1f %12.2f\n", r.name.c_str(), r.encodeFps, r.decodeFps, r.bytes / 1e6);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
