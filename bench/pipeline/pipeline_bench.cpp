// A whole job, headless, timed next to the ffmpeg command that does the
// nearest thing in the same run:
//   300 frames of 640 x 480, Brightness +20 %, Blur, Flip Horizontal,
//   8-bit output with one palette for the movie, ZUV BEST.
//   ffmpeg: lutrgb, convolution, hflip, palettegen/paletteuse, FFV1.
// With --hd: a 600-frame 1080p Motion JPEG movie (as cameras write it),
//   Negative and Flip Vertical, rescaled to 1600 x 900 and written as Motion
//   JPEG; then 200 frames of 4K (3840 x 2160) to itself, and 640 x 480
//   without rescaling; each with the job's own peak resident memory.
//   ffmpeg: lut, vflip, scale, mjpeg, with its default threads in RGB and
//   YUV, and single-threaded in YUV.
// Usage: movaltic_pipeline_bench [--hd] [work folder]   (needs ffmpeg on the PATH)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <malloc.h>
#include <sys/resource.h>

#include <cstring>
#include <fstream>

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

bool Run(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// The resident high-water mark is set back to what is resident now, so that
// the next reading is one job's own; false where the kernel has no such reset.
bool ResetPeakMemory() {
    malloc_trim(0);  // what an earlier job freed is no part of this one's
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
    f.flush();
    return bool(f);
}

// The process's resident high-water mark in MB (VmHWM), else ru_maxrss.
double PeakMemoryMb() {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
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

// One camera-movie job: Negative and Flip Vertical, rescaled to outW x outH
// (none when the sizes match) and written as Motion JPEG; then FFmpeg on the
// same movie, with its default threads in RGB and in YUV (its fastest, though
// it negates luma and chroma, not R, G and B) and single-threaded in YUV.
// Returns Movaltic's time, 0 on failure.
double CameraJob(const fs::path& dir, int frames, int inW, int inH, int outW, int outH) {
    const std::string size = std::to_string(inW) + "x" + std::to_string(inH);
    const fs::path input = dir / ("camera-" + size + ".avi");
    if (!Run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=" + size + ":rate=30", "-frames:v",
              std::to_string(frames), "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", input.string()})) {
        std::fprintf(stderr, "ffmpeg could not write the input movie\n");
        return 0;
    }
    CountingHost host;
    SetPipelineHost(&host);
    MoviesInit();
    ResetJobSettings();
    ToDoList.count = 0;
    InputMovie.name->SetName(input.string());
    MovieInspect(InputMovie);
    if (!InputMovie.name->IsValid() || InputMovie.frames != frames) return 0;
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
    const bool ownPeak = ResetPeakMemory();
    auto t0 = std::chrono::steady_clock::now();
    RunProcessing();
    const double ours = Seconds(t0);
    const double peak = PeakMemoryMb();
    MoviesFree();
    SetPipelineHost(nullptr);
    if (host.errors) return 0;

    const std::string scale = inW == outW && inH == outH ? "" : ",scale=" + std::to_string(outW) + ":" +
                                                                   std::to_string(outH);
    auto ffmpeg = [&](const std::string& filters, bool oneThread) {
        std::vector<std::string> args = {"ffmpeg", "-v", "error", "-y"};
        if (oneThread) args.insert(args.end(), {"-threads", "1", "-filter_threads", "1"});
        args.insert(args.end(), {"-i", input.string(), "-vf", filters + scale, "-c:v", "mjpeg", "-q:v", "9"});
        if (oneThread) args.insert(args.end(), {"-threads", "1"});
        args.push_back((dir / "ffmpeg.avi").string());
        auto t = std::chrono::steady_clock::now();
        return Run(args) ? Seconds(t) : 0.0;
    };
    const double rgb = ffmpeg("lutrgb=r=negval:g=negval:b=negval,vflip", false);
    const double yuv = ffmpeg("lutyuv=y=negval:u=negval:v=negval,vflip", false);
    const double yuvOne = ffmpeg("lutyuv=y=negval:u=negval:v=negval,vflip", true);

    std::printf("job: %d frames %s Motion JPEG, Negative, Flip Vertical, to %dx%d Motion JPEG\n", frames,
                size.c_str(), outW, outH);
    std::printf("  movaltic:                       %7.2f s  %6.1f frames/s", ours, frames / ours);
    std::printf("  peak %6.1f MB%s\n", peak, ownPeak ? "" : " (of the process)");
    auto line = [&](const char* what, double t) {
        if (t > 0) std::printf("  %-31s %7.2f s  %6.1f frames/s  ffmpeg / movaltic %.2f\n", what, t, frames / t,
                               t / ours);
        else std::printf("  %-31s failed\n", what);
    };
    line("ffmpeg in RGB (lutrgb):", rgb);
    line("ffmpeg in YUV (lutyuv):", yuv);
    line("ffmpeg in YUV, single-threaded:", yuvOne);
    return ours;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hd") == 0) {
        const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "movaltic-hd-bench";
        fs::create_directories(dir);
        const bool ok = CameraJob(dir, 600, 1920, 1080, 1600, 900) > 0 &&
                        CameraJob(dir, 200, 3840, 2160, 3840, 2160) > 0 &&
                        CameraJob(dir, 600, 640, 480, 640, 480) > 0;
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
