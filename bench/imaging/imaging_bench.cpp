// Frames per second of every frame operation and of the per-frame palette on
// 640x480 24-bit frames, next to FFmpeg's nearest filter on the same frames,
// both single-threaded. Run by hand:
//   movaltic_imaging_bench [lavfi-source-or-file] [frames] [ours]
// ("ours" skips the FFmpeg runs.)
// FFmpeg is timed as a whole command and a run with the null filter (same
// input, same conversions) is subtracted, so start-up and reading cancel out.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

#include "movaltic/imaging/basic.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/palette.h"

using namespace movaltic;

namespace {

constexpr int kWidth = 640, kHeight = 480, kFrameBytes = kWidth * kHeight * 3;
constexpr int kRepeats = 3;
constexpr int kFfmpegRepeats = 5;  // whole processes are noisier than our loops

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int Run(const std::string& cmd) { return std::system(cmd.c_str()); }

std::string gRaw;
int gFrames = 0;

// Seconds of the best of kRepeats runs of an ffmpeg filter graph over the frames.
double FfmpegSeconds(const std::string& graph, const std::string& out = "-f null -") {
    double best = 1e9;
    for (int r = 0; r < kFfmpegRepeats; ++r) {
        const std::string cmd = "ffmpeg -v error -nostdin -y -threads 1 -filter_threads 1 "
                                "-filter_complex_threads 1 -f rawvideo -pix_fmt bgr24 -s 640x480 -i " +
                                gRaw + " -filter_complex \"" + graph + "\" -threads 1 " + out;
        const double t0 = Now();
        if (Run(cmd) != 0) {
            std::fprintf(stderr, "ffmpeg failed: %s\n", cmd.c_str());
            return -1;
        }
        best = std::min(best, Now() - t0);
    }
    return best;
}

struct Row {
    const char* name;
    std::function<void(imagerec&, imagerec&)> op;  // current -> current or spare
    bool twoImage;
    const char* ffName;
    std::string ffGraph;    // empty: no counterpart
    std::string ffBaseline; // the same graph with the filter replaced by null
};

double PsnrOf(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
    double se = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const double d = double(a[i]) - double(b[i]);
        se += d * d;
    }
    const double mse = se / double(a.size());
    return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace

int main(int argc, char** argv) {
    std::string source = argc > 1 ? argv[1] : "testsrc2=s=640x480:r=25";
    gFrames = argc > 2 ? std::atoi(argv[2]) : 100;
    const bool oursOnly = argc > 3 && std::strcmp(argv[3], "ours") == 0;
    char dir[] = "/tmp/mimgbenchXXXXXX";
    if (!mkdtemp(dir)) return 1;
    gRaw = std::string(dir) + "/in.bgr";
    const bool isFile = access(source.c_str(), R_OK) == 0;
    if (Run("ffmpeg -v error -nostdin -y " + std::string(isFile ? "" : "-f lavfi ") + "-i \"" + source +
            "\" -frames:v " + std::to_string(gFrames) + " -vf scale=640:480 -pix_fmt bgr24 -f rawvideo " +
            gRaw) != 0)
        return 1;

    std::vector<std::vector<uint8_t>> input;
    if (FILE* f = std::fopen(gRaw.c_str(), "rb")) {
        std::vector<uint8_t> buf(kFrameBytes);
        while (std::fread(buf.data(), 1, buf.size(), f) == buf.size()) input.push_back(buf);
        std::fclose(f);
    }
    gFrames = int(input.size());
    if (gFrames == 0) return 1;
    std::printf("%d frames of 640x480 from %s, single-threaded\n\n", gFrames, source.c_str());

    const std::string conv = "format=gbrp,convolution=";
    auto convolution = [&](const char* m, const char* rdiv, const char* bias) {
        std::string p;
        for (int k = 0; k < 4; ++k)
            p += (k ? ":" : "") + std::to_string(k) + "m='" + m + "':" + std::to_string(k) + "rdiv=" +
                 rdiv + ":" + std::to_string(k) + "bias=" + bias;
        return conv + p;
    };
    const Row rows[] = {
        {"Brightness +20", [](imagerec& a, imagerec&) { OpBrightness(a, a, 20, 20, 20); }, false,
         "lutrgb", "lutrgb=r='min(val+51,255)':g='min(val+51,255)':b='min(val+51,255)'", "null"},
        {"Contrast +20", [](imagerec& a, imagerec&) { OpContrast(a, a, 20, 20, 20); }, false, "lutrgb",
         "lutrgb=r='clip((val-128)*1.2+128,0,255)':g='clip((val-128)*1.2+128,0,255)':b='clip((val-128)*1.2+128,0,255)'",
         "null"},
        {"Negative", [](imagerec& a, imagerec&) { OpNegative(a); }, false, "negate", "negate", "null"},
        {"Grayscale", [](imagerec& a, imagerec&) { OpGrayscale(a, a); }, false, "hue=s=0 (yuv444p)",
         "format=yuv444p,hue=s=0", "format=yuv444p"},
        {"Gamma Correct. 1.2", [](imagerec& a, imagerec&) { OpGamma(a, a, 1.2, 1.2, 1.2); }, false, "lutrgb",
         "lutrgb=r='255*pow(val/255,1/1.2)':g='255*pow(val/255,1/1.2)':b='255*pow(val/255,1/1.2)'", "null"},
        // Unequal gammas take the per-colour lookup, equal ones a single table.
        {"Gamma 1.2/1.0/0.8", [](imagerec& a, imagerec&) { OpGamma(a, a, 1.2, 1.0, 0.8); }, false, "lutrgb",
         "lutrgb=r='255*pow(val/255,1/1.2)':g='255*pow(val/255,1/1.0)':b='255*pow(val/255,1/0.8)'", "null"},
        {"Saturation +50", [](imagerec& a, imagerec&) { OpSaturation(a, a, 50); }, false, "hue=s=1.5 (yuv444p)",
         "format=yuv444p,hue=s=1.5", "format=yuv444p"},
        {"Saturation -50", [](imagerec& a, imagerec&) { OpSaturation(a, a, -50); }, false, "hue=s=0.5 (yuv444p)",
         "format=yuv444p,hue=s=0.5", "format=yuv444p"},
        {"Adjust RGB +20", [](imagerec& a, imagerec&) { OpAdjustRGB(a, a, 20, 20, 20); }, false, "lutrgb",
         "lutrgb=r='min(val*1.2,255)':g='min(val*1.2,255)':b='min(val*1.2,255)'", "null"},
        {"Brightness +20/-10/0", [](imagerec& a, imagerec&) { OpBrightness(a, a, 20, -10, 0); }, false, "lutrgb",
         "lutrgb=r='min(val+51,255)':g='max(val-25,0)':b='val'", "null"},
        {"Contrast -30/+10/+60", [](imagerec& a, imagerec&) { OpContrast(a, a, -30, 10, 60); }, false, "lutrgb",
         "lutrgb=r='clip((val-128)*0.7+128,0,255)':g='clip((val-128)*1.1+128,0,255)':b='clip((val-128)*1.6+128,0,255)'",
         "null"},
        {"Blur", [](imagerec& a, imagerec& b) { OpBlur(a, b); }, true, "convolution (gbrp)",
         convolution("3 1 3 1 0 1 3 1 3", "1/16", "0"), "format=gbrp"},
        {"Soften", [](imagerec& a, imagerec& b) { OpSoften(a, b); }, true, "convolution (gbrp)",
         convolution("1 1 1 1 8 1 1 1 1", "1/16", "0"), "format=gbrp"},
        {"Sharpen", [](imagerec& a, imagerec& b) { OpSharpen(a, b); }, true, "convolution (gbrp)",
         convolution("0 -1 0 -1 8 -1 0 -1 0", "1/4", "0"), "format=gbrp"},
        {"Find Edges", [](imagerec& a, imagerec& b) { OpFindEdges(a, b); }, true, "convolution (gbrp)",
         convolution("0 -1 0 -1 4 -1 0 -1 0", "1", "255"), "format=gbrp"},
        {"Emboss", [](imagerec& a, imagerec& b) { OpEmboss(a, b); }, true, "convolution (gbrp)",
         convolution("1 0 0 0 0 0 0 0 -1", "1", "128"), "format=gbrp"},
        {"Flip Vertical", [](imagerec& a, imagerec&) { OpFlipVertical(a); }, false, "vflip", "vflip", "null"},
        {"Flip Horizontal", [](imagerec& a, imagerec&) { OpFlipHorizontal(a); }, false, "hflip", "hflip", "null"},
        {"Mirror Vertical", [](imagerec& a, imagerec&) { OpMirrorVertical(a, a); }, false, "-", "", ""},
        {"Mirror Horizontal", [](imagerec& a, imagerec&) { OpMirrorHorizontal(a, a); }, false, "-", "", ""},
        {"Chaos 3", [](imagerec& a, imagerec& b) { OpChaos(a, b, 3); }, true, "-", "", ""},
    };

    imagerec cur, spare;
    ImageCreate(cur, kWidth, kHeight, 3);
    ImageCreate(spare, kWidth, kHeight, 3);
    std::map<std::string, double> baselines;
    std::printf("%-20s %12s   %-22s %12s %8s\n", "operation", "ours fps", "FFmpeg filter", "FFmpeg fps", "ratio");
    for (const Row& row : rows) {
        double best = 1e9;
        for (int r = 0; r < kRepeats; ++r) {
            double total = 0;
            for (int i = 0; i < gFrames; ++i) {
                std::memcpy(cur.pixels, input[size_t(i)].data(), kFrameBytes);
                cur.width = kWidth;
                cur.height = kHeight;
                cur.bytesPerPixel = 3;
                cur.bitsPerPixel = 24;
                const double t0 = Now();
                row.op(cur, spare);
                total += Now() - t0;
            }
            best = std::min(best, total);
        }
        const double ours = gFrames / best;
        if (row.ffGraph.empty() || oursOnly) {
            std::printf("%-20s %12.0f   %-22s %12s %8s\n", row.name, ours, row.ffName, "-", "-");
            continue;
        }
        if (!baselines.count(row.ffBaseline)) baselines[row.ffBaseline] = FfmpegSeconds(row.ffBaseline);
        const double ff = FfmpegSeconds(row.ffGraph) - baselines[row.ffBaseline];
        if (ff <= 0.002)
            std::printf("%-20s %12.0f   %-22s %12s %8s\n", row.name, ours, row.ffName, "(in noise)", "-");
        else
            std::printf("%-20s %12.0f   %-22s %12.0f %7.1fx\n", row.name, ours, row.ffName, gFrames / ff,
                        ours / (gFrames / ff));
    }

    // One optimised palette per frame, as the pipeline does for 8-bit output.
    imagerec out;
    ImageCreate(out, kWidth, kHeight, 1);
    std::vector<uint8_t> ourFrames(size_t(gFrames) * kFrameBytes);
    double best = 1e9;
    for (int r = 0; r < kRepeats; ++r) {
        HistogramAlloc();
        double total = 0;
        for (int i = 0; i < gFrames; ++i) {
            std::memcpy(cur.pixels, input[size_t(i)].data(), kFrameBytes);
            const double t0 = Now();
            HistogramClear();
            HistogramAddFrame(cur);
            PaletteChoose(256);
            PaletteRemapFrame(cur, out);
            total += Now() - t0;
            uint8_t* o = &ourFrames[size_t(i) * kFrameBytes];
            for (int p = 0; p < kWidth * kHeight; ++p) {
                const uint8_t* e = out.palette + 3 * out.pixels[p];
                o[3 * p] = e[2];
                o[3 * p + 1] = e[1];
                o[3 * p + 2] = e[0];
            }
        }
        HistogramFree();
        best = std::min(best, total);
    }
    if (oursOnly) {
        std::printf("%-20s %12.0f\n\nPalette for one frame: %.2f ms\n", "Palette per frame", gFrames / best,
                    1000.0 * best / gFrames);
        return 0;
    }
    const std::string pal = "split[a][b];[a]palettegen=stats_mode=single[p];[b][p]paletteuse=new=1:dither=none";
    const double ffPal = FfmpegSeconds(pal) - FfmpegSeconds("null");
    std::printf("%-20s %12.0f   %-22s %12.0f %7.1fx\n", "Palette per frame", gFrames / best,
                "palettegen+paletteuse", gFrames / ffPal, (gFrames / best) / (gFrames / ffPal));
    std::printf("\nPalette for one frame: %.2f ms\n", 1000.0 * best / gFrames);

    const std::string ffOut = std::string(dir) + "/ff.bgr";
    FfmpegSeconds(pal + ",format=bgr24", "-f rawvideo " + ffOut);
    std::vector<uint8_t> all(size_t(gFrames) * kFrameBytes), ffFrames(all.size());
    for (int i = 0; i < gFrames; ++i) std::memcpy(&all[size_t(i) * kFrameBytes], input[size_t(i)].data(), kFrameBytes);
    if (FILE* f = std::fopen(ffOut.c_str(), "rb")) {
        const size_t got = std::fread(ffFrames.data(), 1, ffFrames.size(), f);
        std::fclose(f);
        if (got == ffFrames.size())
            std::printf("PSNR of 256-colour frames: ours %.2f dB, FFmpeg (dither=none) %.2f dB\n",
                        PsnrOf(all, ourFrames), PsnrOf(all, ffFrames));
    }
    ImageFree(cur);
    ImageFree(spare);
    ImageFree(out);
    Run("rm -rf " + std::string(dir));
    return 0;
}
