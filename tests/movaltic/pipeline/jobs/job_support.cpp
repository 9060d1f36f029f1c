#include "job_support.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>

#include "movaltic/formats/byte_io.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/formats/zuv_file.h"
#include "movaltic/imaging/depth.h"
#include "movaltic/imaging/operations.h"
#include "movaltic/imaging/palette.h"
#include "movaltic/imaging/rescale.h"

extern char** environ;

namespace jobs {

namespace fs = std::filesystem;

void Frame::Rgb(int x, int y, uint8_t out[3]) const {
    int row = topDown ? y : height - 1 - y;
    const uint8_t* p = pixels.data() + (int64_t(row) * width + x) * bytesPerPixel;
    if (bytesPerPixel == 1) {
        std::memcpy(out, palette.data() + 3 * p[0], 3);
    } else if (bytesPerPixel == 3) {
        out[0] = p[2];
        out[1] = p[1];
        out[2] = p[0];
    } else {
        uint16_t v = uint16_t(p[0] | (p[1] << 8));
        out[0] = uint8_t(((v >> 11) & 31) << 3);
        out[1] = uint8_t(((v >> 5) & 63) << 2);
        out[2] = uint8_t((v & 31) << 3);
    }
}

Frame CopyFrame(const imagerec& img) {
    Frame f;
    f.width = img.width;
    f.height = img.height;
    f.bytesPerPixel = img.bytesPerPixel;
    f.topDown = img.topDown != 0;
    f.pixels.assign(img.pixels, img.pixels + img.frameBytes());
    f.palette.assign(img.palette, img.palette + 768);
    return f;
}

::testing::AssertionResult SamePicture(const Frame& a, const Frame& b, int tolerance) {
    if (a.width != b.width || a.height != b.height)
        return ::testing::AssertionFailure()
               << "size " << a.width << "x" << a.height << " vs " << b.width << "x" << b.height;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            uint8_t p[3], q[3];
            a.Rgb(x, y, p);
            b.Rgb(x, y, q);
            if (std::abs(p[0] - q[0]) > tolerance || std::abs(p[1] - q[1]) > tolerance || std::abs(p[2] - q[2]) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << "," << y << ") " << int(p[0]) << "," << int(p[1]) << "," << int(p[2])
                       << " vs " << int(q[0]) << "," << int(q[1]) << "," << int(q[2]);
        }
    return ::testing::AssertionSuccess();
}

bool RecordingHost::MessageBox(Box kind, const std::string& text) {
    boxes.push_back(ShownBox{kind, text});
    return kind == Box::Confirm && confirmAnswer;
}

void RecordingHost::ProcessMessages() {
    ++pumps;
    if (cancelAtMessagePump >= 0 && pumps >= cancelAtMessagePump) StopFlag = 1;
}

void RecordingHost::ProgressStart(const std::string& caption, int32_t frameCount) {
    PipelineHost::ProgressStart(caption, frameCount);
    captions.push_back(caption);
    progressFrames = 0;
}

void RecordingHost::ProgressFrame(int32_t n) {
    progressFrames = n;
    if (cancelAfterFrames >= 0 && n >= cancelAfterFrames) StopFlag = 1;
}

void RecordingHost::FrameReady(int32_t, const imagerec& frame) { written.push_back(CopyFrame(frame)); }

std::string RecordingHost::BoxTexts() const {
    std::string s;
    for (const ShownBox& b : boxes) s += b.text + "\n";
    return s;
}

void JobTest::SetUp() {
    MoviesInit();
    ResetJobSettings();
    ToDoList.count = 0;
    ErrCode = 0;
    SetPipelineHost(&host);
    PreviewInit();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // A parameterised test's names hold '/': one folder, not a folder in one.
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    std::replace(name.begin(), name.end(), '/', '-');
    dir = fs::temp_directory_path() / ("movaltic-jobs-" + std::to_string(::getpid()) + "-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
}

void JobTest::TearDown() {
    PreviewFree();
    MoviesFree();
    SetPipelineHost(nullptr);
    ToDoList.count = 0;
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir, ec);
}

void JobTest::ChooseInput(const fs::path& file) {
    input = file;
    InputMovie.name->SetName(file.string());
    MovieInspect(InputMovie);
    FramesToProcess = InputMovie.frames;
    PreviewFrame = 1;
}

void JobTest::ChooseOutput(const fs::path& file, int32_t bytesPerPixel, int32_t width, int32_t height) {
    OutputMovie.name->SetName(file.string());
    OutputMovie.kind = OutputKindOf(OutputMovie.name->GetName());
    OutputMovie.container = IsContainerKind(OutputMovie.kind) ? 1 : 0;
    OutputMovie.width = width > 0 ? width : InputMovie.width;
    OutputMovie.height = height > 0 ? height : InputMovie.height;
    OutputMovie.bytesPerPixel = bytesPerPixel;
    OutputMovie.bitsPerPixel = bytesPerPixel * 8;
    OutputMovie.frames = FramesToProcess;
    OutputMovie.frameRate = OutputMovie.container ? 25 : 0;
    FixFlicExtension();
}

void JobTest::AddStep(int32_t operation, double a, double b, double c) {
    steprec s;
    s.operation = operation;
    s.params[0] = a;
    s.params[1] = b;
    s.params[2] = c;
    ASSERT_TRUE(StepInsert(-1, s));
}

namespace {

// One step of the to-do list on a frame; two-image operations write spare,
// which then changes places with cur.
void ApplyStep(const steprec& step, imagerec*& cur, imagerec*& spare) {
    int32_t n[3];
    for (int k = 0; k < 3; ++k) n[k] = int32_t(std::nearbyint(step.params[k]));
    imagerec& a = *cur;
    bool swap = false;
    switch (step.operation) {
    case kOpBrightness: OpBrightness(a, a, n[0], n[1], n[2]); break;
    case kOpContrast: OpContrast(a, a, n[0], n[1], n[2]); break;
    case kOpNegative: OpNegative(a); break;
    case kOpGrayscale: OpGrayscale(a, a); break;
    case kOpGamma: OpGamma(a, a, step.params[0], step.params[1], step.params[2]); break;
    case kOpSaturation: OpSaturation(a, a, n[0]); break;
    case kOpAdjustRGB: OpAdjustRGB(a, a, n[0], n[1], n[2]); break;
    case kOpBlur: OpBlur(a, *spare); swap = true; break;
    case kOpSoften: OpSoften(a, *spare); swap = true; break;
    case kOpSharpen: OpSharpen(a, *spare); swap = true; break;
    case kOpFindEdges: OpFindEdges(a, *spare); swap = true; break;
    case kOpEmboss: OpEmboss(a, *spare); swap = true; break;
    case kOpFlipVertical: OpFlipVertical(a); break;
    case kOpFlipHorizontal: OpFlipHorizontal(a); break;
    case kOpMirrorVertical: OpMirrorVertical(a, a); break;
    case kOpMirrorHorizontal: OpMirrorHorizontal(a, a); break;
    case kOpChaos: OpChaos(a, *spare, n[0]); swap = true; break;
    default: break;
    }
    if (swap) std::swap(cur, spare);
}

void Rescale(imagerec*& cur, imagerec*& spare, int32_t w, int32_t h, bool resample) {
    if (cur->width == w && cur->height == h) return;
    if (resample) ImageResample(*cur, *spare, w, h);
    else ImageResize(*cur, *spare, w, h);
    std::swap(cur, spare);
}

}  // namespace

std::vector<Frame> JobTest::ExpectedFrames(size_t n) {
    std::vector<Frame> in = ReadMovie(input);
    if (in.size() > n) in.resize(n);
    const int32_t outW = OutputMovie.width, outH = OutputMovie.height, outBpp = OutputMovie.bytesPerPixel;
    std::vector<Frame> out;
    const int32_t w = std::max(outW, in.empty() ? 0 : in[0].width), h = std::max(outH, in.empty() ? 0 : in[0].height);
    imagerec a, b;
    ImageCreate(a, w, h + 1, 3);
    ImageCreate(b, w, h + 1, 3);
    std::vector<Frame> processed;
    for (const Frame& f : in) {
        imagerec* cur = &a;
        imagerec* spare = &b;
        cur->width = f.width;
        cur->height = f.height;
        cur->bytesPerPixel = f.bytesPerPixel;
        cur->bitsPerPixel = 8 * f.bytesPerPixel;
        cur->topDown = f.topDown ? 1 : 0;
        std::memcpy(cur->pixels, f.pixels.data(), f.pixels.size());
        std::memcpy(cur->palette, f.palette.data(), 768);
        if (cur->bytesPerPixel == 2) {
            ImageConvertDepth(*cur, *spare, 3);
            std::swap(cur, spare);
        }
        if (RescaleAtStart) Rescale(cur, spare, outW, outH, UseResample != 0);
        for (int32_t s = 0; s < ToDoList.count; ++s) ApplyStep(ToDoList.entries[s], cur, spare);
        if (!RescaleAtStart) Rescale(cur, spare, outW, outH, UseResample != 0);
        processed.push_back(CopyFrame(*cur));
    }
    const bool reduce = outBpp == 1 && !processed.empty() && processed[0].bytesPerPixel != 1;
    if (reduce && SinglePalette) {
        HistogramAlloc();
        for (const Frame& f : processed) {
            Frame copy = f;
            imagerec img;
            img.pixels = copy.pixels.data();
            img.width = f.width;
            img.height = f.height;
            img.bytesPerPixel = f.bytesPerPixel;
            img.bitsPerPixel = 8 * f.bytesPerPixel;
            img.size = int32_t(copy.pixels.size());
            HistogramAddFrame(img);
            img.pixels = nullptr;
        }
        PaletteChoose(256);
    } else if (reduce) {
        HistogramAlloc();
    }
    for (const Frame& f : processed) {
        imagerec* cur = &a;
        cur->width = f.width;
        cur->height = f.height;
        cur->bytesPerPixel = f.bytesPerPixel;
        cur->bitsPerPixel = 8 * f.bytesPerPixel;
        cur->topDown = f.topDown ? 1 : 0;
        std::memcpy(cur->pixels, f.pixels.data(), f.pixels.size());
        std::memcpy(cur->palette, f.palette.data(), 768);
        if (reduce) {
            if (!SinglePalette) {
                HistogramClear();
                HistogramAddFrame(*cur);
                PaletteChoose(256);
            }
            PaletteRemapFrame(a, b);
            cur = &b;
        } else if (cur->bytesPerPixel != outBpp) {
            ImageConvertDepth(a, b, outBpp);
            cur = &b;
        }
        out.push_back(CopyFrame(*cur));
    }
    if (reduce) HistogramFree();
    ImageFree(a);
    ImageFree(b);
    return out;
}

void JobTest::ExpectOutputFrames(const fs::path& output, size_t n, int tolerance) {
    ASSERT_EQ(host.written.size(), n) << host.BoxTexts();
    const std::vector<Frame> want = expected.empty() ? ExpectedFrames(n) : expected;
    ASSERT_EQ(want.size(), n) << "input " << input;
    std::vector<Frame> back = ReadMovie(output);
    ASSERT_EQ(back.size(), n) << output;
    for (size_t i = 0; i < n; ++i) EXPECT_TRUE(SamePicture(back[i], want[i], tolerance)) << "frame " << i;
}

std::vector<Frame> JobTest::ReadMovie(const fs::path& file) {
    std::vector<Frame> frames;
    oFlexName name;
    name.SetName(file.string());
    movierec movie;
    movie.name = &name;
    MovieInspect(movie);
    if (!name.IsValid()) return frames;
    imagerec img;
    ImageCreate(img, movie.width, movie.height, 3);
    MovieOpen(movie);
    if (ErrCode <= 0) {
        for (int i = 0; i < movie.frames; ++i) {
            MovieReadFrame(movie, img, i);
            if (ErrCode > 0) break;
            frames.push_back(CopyFrame(img));
        }
    }
    MovieClose(movie);
    ImageFree(img);
    return frames;
}

void FillPattern(imagerec& img, int frame) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x) {
            uint8_t* p = img.pixels + (int64_t(y) * img.width + x) * 3;
            p[0] = uint8_t(x * 4 + frame * 16);
            p[1] = uint8_t(y * 5 + frame * 8);
            p[2] = uint8_t((x ^ y) * 3 + frame * 30);
        }
}

namespace {
// The pattern at 1 byte per pixel: a 256-grey ramp picked by the pattern.
void ToGreyPalette(imagerec& img) {
    imagerec grey;
    ImageCreate(grey, img.width, img.height, 1);
    for (int i = 0; i < 256; ++i) grey.palette[3 * i] = grey.palette[3 * i + 1] = grey.palette[3 * i + 2] = uint8_t(i);
    for (int64_t i = 0; i < int64_t(img.width) * img.height; ++i)
        grey.pixels[i] = uint8_t((img.pixels[3 * i] + img.pixels[3 * i + 1] + img.pixels[3 * i + 2]) / 3);
    grey.topDown = img.topDown;
    ImageCopy(grey, img);
    ImageFree(grey);
}

// Frame i of a test movie, top row first, in 8-bit grey when grey is set.
void PatternFrame(imagerec& img, int i, int w, int h, bool grey) {
    ImageFree(img);
    ImageCreate(img, w, h, 3);
    FillPattern(img, i);
    img.topDown = 1;
    if (grey) ToGreyPalette(img);
}
}  // namespace

void WriteSequence(const fs::path& first, int n, int w, int h, int bytesPerPixel) {
    oFlexName name;
    name.SetName(first.string());
    imagerec img;
    for (int i = 0; i < n; ++i) {
        PatternFrame(img, i, w, h, bytesPerPixel == 1);
        oFlexName file = name;
        file.number += i;
        SeqWriteFrame(file.GetFileName(), img, false);
        ASSERT_LE(ErrCode, 0) << file.GetFileName();
    }
    ImageFree(img);
}

void WriteZuv(const fs::path& file, int n, int w, int h, int bytesPerPixel, bool fast) {
    CodecState state;
    CodecFileCreate(state, file.string(), w, h, bytesPerPixel, fast ? 1 : 0, 0, 25.0, 1, 0, 0);
    ASSERT_LE(ErrCode, 0);
    imagerec img;
    for (int i = 0; i < n; ++i) {
        PatternFrame(img, i, w, h, bytesPerPixel == 1);
        CodecWriteFrame(state, img);
        ASSERT_LE(ErrCode, 0);
    }
    CodecFileClose(state);
    ASSERT_LE(ErrCode, 0);
    ImageFree(img);
}

fs::path WriteFlic(const fs::path& file, int n, int w, int h) {
    FlicState state;
    FlicCreate(state, file.string(), w, 25.0, h);
    EXPECT_LE(ErrCode, 0);
    const fs::path created = state.fileName;
    imagerec img;
    for (int i = 0; i < n; ++i) {
        PatternFrame(img, i, w, h, true);
        FlicWriteFrame(state, img);
        EXPECT_LE(ErrCode, 0);
    }
    FlicClose(state);
    EXPECT_LE(ErrCode, 0);
    ImageFree(img);
    return created;
}

namespace {

bool Run(const std::vector<std::string>& args, const char* output) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return false;
    int status = 0;
    if (waitpid(pid, &status, 0) < 0) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

bool RunProgram(const std::vector<std::string>& args) { return Run(args, "/dev/null"); }

std::string ProgramOutput(const std::vector<std::string>& args) {
    char name[] = "/tmp/movaltic-output-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) return {};
    close(fd);
    std::string text;
    if (Run(args, name)) {
        std::vector<uint8_t> bytes;
        if (movaltic::ReadWholeFile(name, bytes)) text.assign(bytes.begin(), bytes.end());
    }
    unlink(name);
    return text;
}

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = old_;
    lim.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lim);
}

FileSizeLimit::~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, previous_);
}

bool HaveFfmpeg() {
    static int have = -1;
    if (have < 0) have = RunProgram({"ffmpeg", "-version"}) ? 1 : 0;
    return have == 1;
}

int64_t StatusBytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::atoll(line.c_str() + key.size() + 1) * 1024;
    return 0;
}

}  // namespace jobs
