// Coding speed and file size of a 300-frame 640 x 480 synthetic clip: FLC,
// our AVI with FFV1 and with Motion JPEG, and the ffmpeg command doing the
// same coding in the same run (single-threaded encoding, like ours). Run by
// hand: build/bench/avi/avi_bench [folder for the files]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/formats/flic.h"

using namespace movaltic;
namespace fs = std::filesystem;

namespace {

constexpr int W = 640, H = 480, N = 300;
constexpr double kRate = 25;

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// A moving gradient with a bouncing box: frames differ everywhere a little
// and in one place a lot, like a pan with an object.
void MakeFrame(int n, std::vector<uint8_t>& bgr, std::vector<uint8_t>& index) {
    const int bx = (n * 7) % (W - 120), by = (n * 5) % (H - 90);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            uint8_t* p = &bgr[(size_t(y) * W + x) * 3];
            bool box = x >= bx && x < bx + 120 && y >= by && y < by + 90;
            p[0] = uint8_t(box ? 30 : (x + n) / 3);
            p[1] = uint8_t(box ? 220 : (y * 2 + n) / 4);
            p[2] = uint8_t(box ? 40 : (x + y) / 5);
            index[size_t(y) * W + x] = uint8_t(box ? 255 : ((x + n) / 20 + (y / 30) * 32) % 250);
        }
}

struct Row {
    std::string name;
    double encodeFps = 0, decodeFps = 0;
    uintmax_t bytes = 0;
};

Row OurAvi(const std::string& name, size_t compressor, const std::string& file,
           const std::vector<std::vector<uint8_t>>& clip) {
    AviCompressionSettings s;
    s.compressor = compressor;
    AviSetCompressor(s, W, H, 3);
    std::vector<uint8_t> buf(size_t(W) * H * 3);
    imagerec img;
    img.pixels = buf.data();
    img.width = W;
    img.height = H;
    img.bytesPerPixel = 3;
    img.bitsPerPixel = 24;
    img.size = int32_t(buf.size());
    img.topDown = 1;
    Row r{name};
    AviState st;
    ErrCode = 0;
    auto t0 = Clock::now();
    AviCreate(st, file, kRate);
    for (const auto& f : clip) {
        std::memcpy(buf.data(), f.data(), buf.size());
        AviWriteFrame(st, img);
    }
    AviClose(st);
    r.encodeFps = N / Seconds(t0);
    if (ErrCode) std::fprintf(stderr, "%s: error %d\n", name.c_str(), ErrCode);
    r.bytes = fs::file_size(file);
    t0 = Clock::now();
    AviOpen(st, file);
    while (!st.videoEnded) AviReadFrame(st, img);
    AviClose(st);
    r.decodeFps = N / Seconds(t0);
    img.pixels = nullptr;
    return r;
}

Row Ffmpeg(const std::string& name, const std::string& args, const std::string& file,
           const std::vector<std::vector<uint8_t>>& clip) {
    Row r{name};
    std::string cmd = "ffmpeg -v error -y -f rawvideo -pix_fmt bgr24 -s 640x480 -r 25 -i - -threads 1 " + args +
                      " '" + file + "'";
    auto t0 = Clock::now();
    FILE* p = popen(cmd.c_str(), "w");
    if (!p) return r;
    for (const auto& f : clip) std::fwrite(f.data(), 1, f.size(), p);
    if (pclose(p) != 0) return r;
    r.encodeFps = N / Seconds(t0);
    r.bytes = fs::file_size(file);
    r.decodeFps = 0;
    t0 = Clock::now();
    std::string dec = "ffmpeg -v error -i '" + file + "' -f rawvideo -pix_fmt bgr24 -y /dev/null";
    if (std::system(dec.c_str()) == 0) r.decodeFps = N / Seconds(t0);
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "avi_bench";
    fs::create_directories(dir);
    std::vector<std::vector<uint8_t>> clip(N, std::vector<uint8_t>(size_t(W) * H * 3));
    std::vector<std::vector<uint8_t>> clip8(N, std::vector<uint8_t>(size_t(W) * H));
    for (int n = 0; n < N; ++n) MakeFrame(n, clip[n], clip8[n]);

    std::vector<Row> rows;
    {
        Row r{"FLC (ours)"};
        std::vector<uint8_t> buf(size_t(W) * H);
        imagerec img;
        img.pixels = buf.data();
        img.width = W;
        img.height = H;
        img.bytesPerPixel = 1;
        img.bitsPerPixel = 8;
        img.size = int32_t(buf.size());
        img.topDown = 1;
        for (int i = 0; i < 256; ++i) img.palette[3 * i] = img.palette[3 * i + 1] = img.palette[3 * i + 2] = uint8_t(i);
        FlicState st;
        auto t0 = Clock::now();
        FlicCreate(st, (dir / "clip.flc").string(), W, kRate, H);
        const std::string name = st.fileName;
        for (const auto& f : clip8) {
            std::memcpy(buf.data(), f.data(), buf.size());
            FlicWriteFrame(st, img);
        }
        FlicClose(st);
        r.encodeFps = N / Seconds(t0);
        r.bytes = fs::file_size(name);
        t0 = Clock::now();
        FlicOpen(st, name);
        while (!st.endOfFile) FlicReadFrame(st, img);
        FlicClose(st);
        r.decodeFps = N / Seconds(t0);
        rows.push_back(r);
        Row f{"FLC (ffmpeg decodes ours)"};
        t0 = Clock::now();
        std::string dec = "ffmpeg -v error -i '" + name + "' -f rawvideo -pix_fmt pal8 -y /dev/null";
        if (std::system(dec.c_str()) == 0) f.decodeFps = N / Seconds(t0);
        f.bytes = r.bytes;
        rows.push_back(f);
        img.pixels = nullptr;
    }
    size_t ffv1 = 0, mjpeg = 0;
    for (size_t i = 0; i < AviCompressorList().size(); ++i) {
        if (std::string(AviCompressorList()[i].name) == "FFV1 (lossless)") ffv1 = i;
        if (std::string(AviCompressorList()[i].name) == "Motion JPEG") mjpeg = i;
    }
    rows.push_back(OurAvi("AVI FFV1 (ours)", ffv1, (dir / "ours_ffv1.avi").string(), clip));
    rows.push_back(Ffmpeg("AVI FFV1 (ffmpeg)", "-c:v ffv1 -g 15 -pix_fmt bgr0", (dir / "ff_ffv1.avi").string(), clip));
    rows.push_back(OurAvi("AVI Motion JPEG (ours)", mjpeg, (dir / "ours_mjpeg.avi").string(), clip));
    rows.push_back(Ffmpeg("AVI Motion JPEG (ffmpeg)", "-c:v mjpeg -q:v 9 -pix_fmt yuvj420p",
                          (dir / "ff_mjpeg.avi").string(), clip));

    std::printf("%-28s %12s %12s %14s\n", "300 x 640x480", "encode fps", "decode fps", "bytes");
    for (const Row& r : rows)
        std::printf("%-28s %12.1f %12.1f %14ju\n", r.name.c_str(), r.encodeFps, r.decodeFps, r.bytes);
    return 0;
}
