// Frames per second of every frame operation and of the per-frame palette on
// 640x480 24-bit frames, next to FFmpeg's nearest filter and, where
// python3-opencv is installed, OpenCV's nearest function on the same frames,
// all single-threaded. Run by hand:
//   movaltic_imaging_bench [lavfi-source-or-file] [frames] [ours]
// ("ours" skips the FFmpeg and OpenCV runs.)
// FFmpeg is timed as a whole command and a run with the null filter (same
// input, same conversions) is subtracted, so start-up and reading cancel out.
// OpenCV is timed call by call from Python (the call's overhead included),
// each frame first copied into a work array as ours is; it writes in place
// where ours does (Negative, Flip Horizontal), else another array.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
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

// OpenCV's nearest function: a Python expression of the frame f writing d.
struct CvCall {
    std::string name;
    std::string call;
};

struct Row {
    const char* name;
    std::function<void(imagerec&, imagerec&)> op;  // current -> current or spare
    bool twoImage;
    const char* ffName;
    std::string ffGraph;    // empty: no counterpart
    std::string ffBaseline; // the same graph with the filter replaced by null
    std::vector<CvCall> cv = {};
};

// Times each call over every frame, best of the repeats; prints "index fps".
const char* const kOpenCvScript = R"(import sys, time
import numpy as np, cv2
cv2.setNumThreads(1)
frames = np.fromfile(sys.argv[1], np.uint8).reshape(-1, 480, 640, 3)
repeats = int(sys.argv[2])
cur = np.empty((480, 640, 3), np.uint8)
out = np.empty_like(cur)
for index, line in enumerate(open(sys.argv[3])):
    op = eval('lambda f, d: ' + line.strip())
    best = float('inf')
    for r in range(repeats):
        total = 0.0
        for frame in frames:
            np.copyto(cur, frame)
            t0 = time.perf_counter()
            op(cur, out)
            total += time.perf_counter() - t0
        best = min(best, total)
    print(index, len(frames) / best, flush=True)
)";

// The first Python with cv2, or empty.
std::string PythonWithOpenCv() {
    for (const char* py : {"python3", "/usr/bin/python3"})
        if (Run(std::string(py) + " -c 'import cv2' >/dev/null 2>&1") == 0) return py;
    return "";
}

// Frames per second of each call, by its place in calls; empty when OpenCV
// is not there or the script failed.
std::vector<double> OpenCvFps(const std::string& dir, const std::vector<std::string>& calls) {
    const std::string py = PythonWithOpenCv();
    if (py.empty()) return {};
    const std::string script = dir + "/cv_bench.py", list = dir + "/cv_calls.txt";
    FILE* f = std::fopen(script.c_str(), "w");
    if (!f) return {};
    std::fputs(kOpenCvScript, f);
    std::fclose(f);
    f = std::fopen(list.c_str(), "w");
    if (!f) return {};
    for (const std::string& c : calls) std::fprintf(f, "%s\n", c.c_str());
    std::fclose(f);
    FILE* p = popen((py + " " + script + " " + gRaw + " " + std::to_string(kRepeats) + " " + list).c_str(), "r");
    if (!p) return {};
    std::vector<double> fps(calls.size(), -1);
    int index = 0;
    double v = 0;
    while (std::fscanf(p, "%d %lf", &index, &v) == 2)
        if (index >= 0 && size_t(index) < fps.size()) fps[size_t(index)] = v;
    if (pclose(p) != 0) return {};
    return fps;
}

// filter2D with the kernel's weights over 2 to the shift, its bias as delta,
// edges repeated as ours are.
std::string Filter2D(const FilterKernel& k) {
    std::ostringstream s;
    s << "cv2.filter2D(f, -1, np.array([";
    for (int j = 0; j < 9; ++j) s << (j ? ", " : "") << k.weights[j];
    s << "], np.float32).reshape(3, 3) / " << (1 << k.shift) << ", dst=d, delta=" << k.bias
      << ", borderType=cv2.BORDER_REPLICATE)";
    return s.str();
}

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
        {"Negative", [](imagerec& a, imagerec&) { OpNegative(a); }, false, "negate", "negate", "null",
         {{"bitwise_not", "cv2.bitwise_not(f, dst=f)"}}},
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
         convolution("3 1 3 1 0 1 3 1 3", "1/16", "0"), "format=gbrp",
         {{"filter2D 3x3", Filter2D(kBlurKernel)},
          {"blur 3x3 (box)", "cv2.blur(f, (3, 3), dst=d, borderType=cv2.BORDER_REPLICATE)"}}},
        {"Soften", [](imagerec& a, imagerec& b) { OpSoften(a, b); }, true, "convolution (gbrp)",
         convolution("1 1 1 1 8 1 1 1 1", "1/16", "0"), "format=gbrp",
         {{"filter2D 3x3", Filter2D(kSoftenKernel)}}},
        {"Sharpen", [](imagerec& a, imagerec& b) { OpSharpen(a, b); }, true, "convolution (gbrp)",
         convolution("0 -1 0 -1 8 -1 0 -1 0", "1/4", "0"), "format=gbrp",
         {{"filter2D 3x3", Filter2D(kSharpenKernel)}}},
        {"Find Edges", [](imagerec& a, imagerec& b) { OpFindEdges(a, b); }, true, "convolution (gbrp)",
         convolution("0 -1 0 -1 4 -1 0 -1 0", "1", "255"), "format=gbrp",
         {{"filter2D 3x3", Filter2D(kFindEdgesKernel)}}},
        {"Emboss", [](imagerec& a, imagerec& b) { OpEmboss(a, b); }, true, "convolution (gbrp)",
         convolution("1 0 0 0 0 0 0 0 -1", "1", "128"), "format=gbrp",
         {{"filter2D 3x3", Filter2D(EmbossKernel(false))}}},
        {"Flip Vertical", [](imagerec& a, imagerec&) { OpFlipVertical(a); }, false, "vflip", "vflip", "null"},
        {"Flip Horizontal", [](imagerec& a, imagerec&) { OpFlipHorizontal(a); }, false, "hflip", "hflip", "null",
         {{"flip", "cv2.flip(f, 1, dst=f)"}}},
        {"Mirror Vertical", [](imagerec& a, imagerec&) { OpMirrorVertical(a, a); }, false, "-", "", ""},
        {"Mirror Horizontal", [](imagerec& a, imagerec&) { OpMirrorHorizontal(a, a); }, false, "-", "", ""},
        {"Chaos 3", [](imagerec& a, imagerec& b) { OpChaos(a, b, 3); }, true, "-", "", ""},
    };

    imagerec cur, spare;
    ImageCreate(cur, kWidth, kHeight, 3);
    ImageCreate(spare, kWidth, kHeight, 3);
    std::map<std::string, double> baselines;

    // OpenCV first, all its calls in one Python process.
    std::vector<std::string> cvCalls;
    for (const Row& row : rows)
        for (const CvCall& c : row.cv) cvCalls.push_back(c.call);
    const std::vector<double> cvFps = oursOnly ? std::vector<double>() : OpenCvFps(dir, cvCalls);
    if (!oursOnly && cvFps.empty()) std::printf("OpenCV: no python3 with cv2 (python3-opencv), left out\n\n");
    size_t cvIndex = 0;
    // "name fps ratio" of an OpenCV call, or dashes.
    auto cvColumns = [&](const CvCall* c, double ours) {
        char text[96];
        const double fps = c && cvIndex < cvFps.size() ? cvFps[cvIndex] : -1;
        if (c) ++cvIndex;
        if (fps > 0)
            std::snprintf(text, sizeof text, "   %-16s %10.0f %7.1fx", c->name.c_str(), fps, ours / fps);
        else
            std::snprintf(text, sizeof text, "   %-16s %10s %8s", c ? c->name.c_str() : "-", "-", "-");
        return std::string(text);
    };

    std::printf("%-20s %12s   %-22s %12s %8s   %-16s %10s %8s\n", "operation", "ours fps", "FFmpeg filter",
                "FFmpeg fps", "ratio", "OpenCV function", "OpenCV fps", "ratio");
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
        char ffText[64];
        if (row.ffGraph.empty() || oursOnly) {
            std::snprintf(ffText, sizeof ffText, "%12s %8s", "-", "-");
        } else {
            if (!baselines.count(row.ffBaseline)) baselines[row.ffBaseline] = FfmpegSeconds(row.ffBaseline);
            const double ff = FfmpegSeconds(row.ffGraph) - baselines[row.ffBaseline];
            if (ff <= 0.002) std::snprintf(ffText, sizeof ffText, "%12s %8s", "(in noise)", "-");
            else std::snprintf(ffText, sizeof ffText, "%12.0f %7.1fx", gFrames / ff, ours / (gFrames / ff));
        }
        std::printf("%-20s %12.0f   %-22s %s%s\n", row.name, ours, row.ffName, ffText,
                    cvColumns(row.cv.empty() ? nullptr : &row.cv[0], ours).c_str());
        // Further OpenCV counterparts of the same operation on lines of their own.
        for (size_t k = 1; k < row.cv.size(); ++k)
            std::printf("%-20s %12s   %-22s %12s %8s%s\n", "", "", "", "", "", cvColumns(&row.cv[k], ours).c_str());
    }
    std::printf("\n");

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
