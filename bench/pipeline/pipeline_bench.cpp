// A whole job, headless, timed next to the ffmpeg command that does the
// nearest thing in the same run:
//   300 frames of 640 x 480, Brightness +20 %, Blur, Flip Horizontal,
//   8-bit output with one palette for the movie, ZUV BEST.
//   ffmpeg: lutrgb, convolution, hflip, palettegen/paletteuse, FFV1.
// With --hd: a 1080p Motion JPEG movie (as cameras write it), Brightness
//   +20 % and Flip Horizontal, rescaled to 1600 x 900 and written as Motion
//   JPEG; ffmpeg: lutrgb, hflip, scale, mjpeg, single-threaded. Also the
//   peak memory of the job.
// Usage: movaltic_pipeline_bench [--hd] [work folder]   (needs ffmpeg on the PATH)
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

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

class CountingHost : public PipelineHost {
public:
    int errors = 0;
    bool MessageBox(Box kind, const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        if (kind == Box::Error) ++errors;
        return false;
    }
};

int HdJob(const fs::path& dir, int frames) {
    const fs::path input = dir / "camera.avi";
    if (!Run({"ffmpeg", "-v", "error", "-y", "-f", "lavfi", "-i", "testsrc2=size=1920x1080:rate=30", "-frames:v",
              std::to_string(frames), "-c:v", "mjpeg", "-q:v", "3", "-pix_fmt", "yuvj420p", input.string()})) {
        std::fprintf(stderr, "ffmpeg could not write the input movie\n");
        return 1;
    }
    CountingHost host;
    SetPipelineHost(&host);
    MoviesInit();
    ResetJobSettings();
    InputMovie.name->SetName(input.string());
    MovieInspect(InputMovie);
    if (!InputMovie.name->IsValid() || InputMovie.frames != frames) return 1;
    FramesToProcess = InputMovie.frames;
    OutputMovie.name->SetName((dir / "output.avi").string());
    OutputMovie.kind = kKindAVI;
    OutputMovie.container = 1;
    OutputMovie.width = 1600;
    OutputMovie.height = 900;
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
    settings.compressor = mjpeg;
    AviSetCompressor(settings, 1600, 900, 3);
    CompressorPending = 0;
    for (int op : {kOpBrightness, kOpFlipHorizontal}) {
        steprec s;
        s.operation = op;
        if (op == kOpBrightness) s.params[0] = s.params[1] = s.params[2] = 20;
        StepInsert(-1, s);
    }
    auto t0 = std::chrono::steady_clock::now();
    RunProcessing();
    const double ours = Seconds(t0);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    if (host.errors) return 1;
    const std::string lut = "min(val+51\\,255)";
    auto t1 = std::chrono::steady_clock::now();
    const bool ffOk = Run({"ffmpeg", "-v", "error", "-y", "-threads", "1", "-i", input.string(), "-filter_threads",
                           "1", "-vf", "lutrgb=r=" + lut + ":g=" + lut + ":b=" + lut + ",hflip,scale=1600:900",
                           "-c:v", "mjpeg", "-q:v", "9", "-threads", "1", (dir / "ffmpeg.avi").string()});
    const double theirs = Seconds(t1);
    // The same in YUV, without the conversions to RGB and back; it brightens
    // the luma only, so it is not the same job, but it is FFmpeg's fastest.
    auto t2 = std::chrono::steady_clock::now();
    const bool yuvOk = Run({"ffmpeg", "-v", "error", "-y", "-threads", "1", "-i", input.string(), "-filter_threads",
                            "1", "-vf", "lutyuv=y=" + lut + ",hflip,scale=1600:900", "-c:v", "mjpeg", "-q:v", "9",
                            "-threads", "1", (dir / "ffmpeg-yuv.avi").string()});
    const double yuv = Seconds(t2);
    std::printf("job: %d frames 1920x1080 Motion JPEG, Brightness, Flip Horizontal, to 1600x900 Motion JPEG\n",
                frames);
    std::printf("movaltic:                 %7.2f s  %6.1f frames/s  peak %6.1f MB\n", ours, frames / ours,
                usage.ru_maxrss / 1024.0);
    if (ffOk) std::printf("ffmpeg (single-threaded): %7.2f s  %6.1f frames/s  ratio %.2f\n", theirs, frames / theirs,
                          ours / theirs);
    if (yuvOk) std::printf("ffmpeg in YUV (lutyuv):   %7.2f s  %6.1f frames/s  ratio %.2f\n", yuv, frames / yuv,
                           ours / yuv);
    MoviesFree();
    SetPipelineHost(nullptr);
    return ffOk ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--hd") == 0) {
        const fs::path dir = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "movaltic-hd-bench";
        fs::create_directories(dir);
        return HdJob(dir, 300);
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
