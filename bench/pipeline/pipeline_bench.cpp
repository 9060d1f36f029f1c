// A whole job, headless, timed next to the ffmpeg command that does the
// nearest thing in the same run:
//   300 frames of 640 x 480, Brightness +20 %, Blur, Flip Horizontal,
//   8-bit output with one palette for the movie, ZUV BEST.
//   ffmpeg: lutrgb, convolution, hflip, palettegen/paletteuse, FFV1.
// With --hd: camera movies in Motion JPEG (as cameras write them), Negative
//   and Flip Vertical, written as Motion JPEG: 1080p to 1600 x 900 and to
//   itself (600 frames), 4K (3840 x 2160) to 1600 x 900 and to itself (200
//   frames), and 640 x 480 to itself (600 frames). Each job runs in a process
//   of its own, so that its peak resident memory is the one /usr/bin/time -v
//   gives for it; ffmpeg's beside it.
//   ffmpeg: lut, vflip, scale, mjpeg, with its default threads in RGB and
//   YUV, and single-threaded in YUV.
// Usage: movaltic_pipeline_bench [work folder]
//        movaltic_pipeline_bench --hd [work folder] [row ...]
//   rows: 1080p-900 1080p-1080p 4k-900 4k-4k 480p (all when none is named)
// Needs ffmpeg on the PATH.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/resource.h>

#include <cstring>

#include "movaltic/formats/avi_movie.h"
#include "movaltic/pipeline/job_settings.h"
#include "movaltic/pipeline/movie.h"
#include "movaltic/pipeline/processing.h"
#include "movaltic/pipeline/todo_list.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace movaltic;

namespace {

constexpr int kFrames = 300;

// Runs a command; peakMb, where given, takes its peak resident memory.
bool Run(const std::vector<std::string>& args, double* peakMb = nullptr) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (peakMb) *peakMb = usage.ru_maxrss / 1024.0;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// FNV-1a of a file's bytes, to tell at a glance whether two builds wrote the same movie.
uint64_t FileHash(const fs::path& file) {
    uint64_t h = 1469598103934665603ull;
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        std::vector<unsigned char> buf(1 << 16);
        size_t n = 0;
        while ((n = std::fread(buf.data(), 1, buf.size(), f)) > 0)
            for (size_t i = 0; i < n; ++i) h = (h ^ buf[i]) * 1099511628211ull;
        std::fclose(f);
    }
    return h;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

class CountingHost : public PipelineHost {
public:
    int errors = 0;
    bool MessageBox(Box kind, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (kind == Box::Error) ++errors;
        return false;
    }
};

// The Movaltic side of a camera job, in this (child) process.
bool MovalticCameraJob(const fs::path& dir, const fs::path& input, int frames, int outW, int outH) {
    CountingHost host;
    SetPipelineHost(&host);
    MoviesInit();
    ResetJobSettings();
    ToDoList.count = 0;
    InputMovie.name->SetName(input.string());
    MovieInspect(InputMovie);
    if (!InputMovie.name->IsValid() || InputMovie.frames != frames) return false;
    FramesToProcess = InputMovie.frames;
    OutputMovie.name->SetName((dir / "output.avi").string());
    OutputMovie.kind = kKindAVI;
    OutputMovie.container = 1;
    OutputMovie.width = outW;
    OutputMovie.height = outH;
    OutputMovie.bytesPerPixel = 3;
    OutputMovie.bitsPerPixel = 24;
    OutputMovie.frames = FramesToProcess;
    OutputMovie.frameRate = 30;
    CopySound = 0;
    const auto& list = AviCompressorList();
    size_t mjpeg = 0;
    for (size_t k = 0; k < list.size(); ++k)
        if (std::strcmp(list[k].name, "Motion JPEG") == 0) mjpeg = k;
    AviCompressionSettings settings;
    settings.compressor = mjpeg;  // quality 7500: quantiser 9
    AviSetCompressor(settings, outW, outH, 3);
    CompressorPending = 0;
    for (int op : {kOpNegative, kOpFlipVertical}) {
        steprec s;
        s.operation = op;
        StepInsert(-1, s);
    }
    RunProcessing();
    MoviesFree();
    SetPipelineHost(nullptr);
    return host.errors == 0;
}

// One camera-movie job: Negative and Flip Vertical, rescaled to outW x outH
// (none when the sizes match) and written as Motion JPEG, in a process of its
// own; then FFmpeg on the same movie, with its default threads in RGB and in
// YUV (its fastest, though it negates luma and chroma, not R, G and B) and
// single-threaded in YUV. Returns Movaltic's time, 0 on failure.
double CameraJob(const fs::path& dir, int frames, int inW, int inH, int outW, int outH) {
    const std::string size = std::to_string(inW) + "x" + std::to_string(inH);
    const fs::path input = dir / ("camera-" + size + "-" + std::to_string(frames) + ".avi");
    if (!fs::exists(input) &&
        !Run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=30", "-frames:v",
              std::to_string(frames), "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", input.string()})) {
        std::fprintf(stderr, "ffmpeg could not write the input movie\n");
        return 0;
    }
    std::fflush(nullptr);
    auto t0 = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) _exit(MovalticCameraJob(dir, input, frames, outW, outH) ? 0 : 1);
    if (pid < 0) return 0;
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double ours = Seconds(t0);
    const double peak = usage.ru_maxrss / 1024.0;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return 0;

    const std::string scale = inW == outW && inH == outH ? "" : ",scale=" + std::to_string(outW) + ":" +
                                                                   std::to_string(outH);
    auto ffmpeg = [&](const std::string& filters, bool oneThread, double& ffPeak) {
        std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y"};
        if (oneThread) args.insert(args.end(), {"-threads", "1", "-filter_threads", "1"});
        args.insert(args.end(), {"-i", input.string(), "-vf", filters + scale, "-c:v", "mjpeg", "-q:v", "9"});
        if (oneThread) args.insert(args.end(), {"-threads", "1"});
        args.push_back((dir / "ffmpeg.avi").string());
        auto t = std::chrono::steady_clock::now();
        return Run(args, &ffPeak) ? Seconds(t) : 0.0;
    };
    double rgbPeak = 0, yuvPeak = 0, yuvOnePeak = 0;
    const double rgb = ffmpeg("lutrgb=r=negval:g=negval:b=negval,vflip", false, rgbPeak);
    const double yuv = ffmpeg("lutyuv=y=negval:u=negval:v=negval,vflip", false, yuvPeak);
    const double yuvOne = ffmpeg("lutyuv=y=negval:u=negval:v=negval,vflip", true, yuvOnePeak);

    std::printf("job: %d frames %s Motion JPEG, Negative, Flip Vertical, to %dx%d Motion JPEG\n", frames,
                size.c_str(), outW, outH);
    std::printf("  movaltic:                       %7.2f s  %6.1f frames/s  peak %6.1f MB  output %016llx\n", ours,
                frames / ours, peak, static_cast<unsigned long long>(FileHash(dir / "output.avi")));
    auto line = [&](const char* what, double t, double ffPeak) {
        if (t > 0)
            std::printf("  %-31s %7.2f s  %6.1f frames/s  peak %6.1f MB  ffmpeg / movaltic %.2f\n", what, t,
                        frames / t, ffPeak, t / ours);
        else std::printf("  %-31s failed\n", what);
    };
    line("ffmpeg in RGB (lutrgb):", rgb, rgbPeak);
    line("ffmpeg in YUV (lutyuv):", yuv, yuvPeak);
    line("ffmpeg in YUV, single-threaded:", yuvOne, yuvOnePeak);
    std::fflush(stdout);
    return ours;
}

struct CameraRow {
    const char* name;
    int frames, inW, inH, outW, outH;
};
const CameraRow kCameraRows[] = {
    {"1080p-900", 600, 1920, 1080, 1600, 900}, {"1080p-1080p", 600, 1920, 1080, 1920, 1080},
    {"4k-900", 200, 3840, 2160, 1600, 900},    {"4k-4k", 200, 3840, 2160, 3840, 2160},
    {"480p", 600, 640, 480, 640, 480},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hd") == 0) {
        const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "movaltic-hd-bench";
        fs::create_directories(dir);
        std::vector<std::string> wanted(argv + std::min(argc, 3), argv + argc);
        bool ok = true;
        for (const CameraRow& row : kCameraRows) {
            if (!wanted.empty() && std::find(wanted.begin(), wanted.end(), row.name) == wanted.end()) continue;
            ok = CameraJob(dir, row.frames, row.inW, row.inH, row.outW, row.outH) > 0 && ok;
        }
        return ok ? 0 : 1;
    }
    fs::path dir = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "movaltic-pipeline-bench";
    fs::create_directories(dir);
    const fs::path input = dir / "input.avi";

    // The input, not timed: an uncompressed 24-bit AVI both sides read.
    if (!Run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=640x480:rate=25", "-frames:v",
              std::to_string(kFrames), "-c:v", "rawvideo", "-pix_fmt", "bgr24", input.string()})) {
        std::fprintf(stderr, "ffmpeg could not write the input movie\n");
        return 1;
    }

    CountingHost host;
    SetPipelineHost(&host);
    MoviesInit();
    ResetJobSettings();
    InputMovie.name->SetName(input.string());
    MovieInspect(InputMovie);
    if (!InputMovie.name->IsValid() || InputMovie.frames != kFrames) {
        std::fprintf(stderr, "the input movie could not be read\n");
        return 1;
    }
    FramesToProcess = InputMovie.frames;
    OutputMovie.name->SetName((dir / "output.zuv").string());
    OutputMovie.kind = kKindZUV;
    OutputMovie.container = 1;
    OutputMovie.width = InputMovie.width;
    OutputMovie.height = InputMovie.height;
    OutputMovie.bytesPerPixel = 1;
    OutputMovie.bitsPerPixel = 8;
    OutputMovie.frames = FramesToProcess;
    OutputMovie.frameRate = 25;
    SinglePalette = 1;
    FastCompression = 0;  // BEST
    const int ops[3] = {kOpBrightness, kOpBlur, kOpFlipHorizontal};
    for (int op : ops) {
        steprec s;
        s.operation = op;
        if (op == kOpBrightness) s.params[0] = s.params[1] = s.params[2] = 20;
        StepInsert(-1, s);
    }

    auto t0 = std::chrono::steady_clock::now();
    RunProcessing();
    const double ours = Seconds(t0);
    if (host.errors) return 1;

    // Brightness +20 % adds 255 x 20 / 100 = 51 to every channel; the blur
    // kernel is the program's (3 1 3 / 1 0 1 / 3 1 3) / 16.
    const std::string lut = "min(val+51\\,255)";
    const std::string kernel = "3 1 3 1 0 1 3 1 3";
    const std::string graph = "[0:v]lutrgb=r=" + lut + ":g=" + lut + ":b=" + lut +
                              ",format=gbrp,convolution=0m='" + kernel + "':1m='" + kernel + "':2m='" + kernel +
                              "':0rdiv=1/16:1rdiv=1/16:2rdiv=1/16,hflip,split[a][b];[a]palettegen=max_colors=255[p];"
                              "[b][p]paletteuse=dither=none";
    auto t1 = std::chrono::steady_clock::now();
    const bool ffOk = Run({"ffmpeg", "-v", "error", "-y", "-i", input.string(), "-filter_complex", graph, "-c:v",
                           "ffv1", (dir / "ffmpeg.avi").string()});
    const double theirs = Seconds(t1);

    std::printf("job: %d frames 640x480, Brightness, Blur, Flip Horizontal, 8-bit single palette\n", kFrames);
    std::printf("movaltic (ZUV BEST):            %7.2f s  %6.1f frames/s  %8.1f KB\n", ours, kFrames / ours,
                double(fs::file_size(dir / "output.zuv")) / 1024.0);
    if (ffOk)
        std::printf("ffmpeg (lutrgb..paletteuse, FFV1): %7.2f s  %6.1f frames/s  %8.1f KB\n", theirs,
                    kFrames / theirs, double(fs::file_size(dir / "ffmpeg.avi")) / 1024.0);
    else
        std::printf("ffmpeg failed\n");
    MoviesFree();
    SetPipelineHost(nullptr);
    return ffOk ? 0 : 1;
}
