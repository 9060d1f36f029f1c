// Shared pieces of the whole-job tests: a host that records what the
// pipeline shows and can press Cancel, a scratch folder, frame builders and
// a pixel comparison that ignores how a format stores its rows.
#pragma once

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "movaltic/imaging/basic.h"
#include "movaltic/pipeline/job_settings.h"
#include "movaltic/pipeline/movie.h"
#include "movaltic/pipeline/processing.h"
#include "movaltic/pipeline/todo_list.h"

namespace jobs {

using namespace movaltic;

struct ShownBox {
    PipelineHost::Box kind;
    std::string text;
};

// An owned copy of a frame.
struct Frame {
    int32_t width = 0, height = 0, bytesPerPixel = 0;
    bool topDown = false;
    std::vector<uint8_t> pixels;
    std::vector<uint8_t> palette;
    // R, G, B of the pixel at column x of picture row y (0 = top).
    void Rgb(int x, int y, uint8_t out[3]) const;
};
Frame CopyFrame(const imagerec& img);

class RecordingHost : public PipelineHost {
public:
    std::vector<ShownBox> boxes;
    std::vector<std::string> captions;
    std::vector<Frame> written;
    std::string status;
    int progressFrames = 0;
    int cancelAfterFrames = -1;     // Cancel once this many frames are done
    int cancelAtMessagePump = -1;   // Cancel at this call of ProcessMessages
    int pumps = 0;
    bool confirmAnswer = true;

    bool MessageBox(Box kind, const std::string& text) override;
    void ProcessMessages() override;
    void ProgressStart(const std::string& caption, int32_t frameCount) override;
    void ProgressFrame(int32_t n) override;
    void SetStatusText(const std::string& text) override { status = text; }
    void FrameReady(int32_t index, const imagerec& frame) override;
    std::string BoxTexts() const;
};

class JobTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The job's input as the window would choose it.
    void ChooseInput(const std::filesystem::path& file);
    // The job's output as the output settings would leave it.
    void ChooseOutput(const std::filesystem::path& file, int32_t bytesPerPixel, int32_t width = -1,
                      int32_t height = -1);
    void AddStep(int32_t operation, double a = 0, double b = 0, double c = 0);
    // Every frame of a movie, read through the movie dispatch.
    std::vector<Frame> ReadMovie(const std::filesystem::path& file);
    // The first n output frames of the job as set up, worked out here step by
    // step without the pipeline: the input decoded, the to-do list applied
    // through the operations themselves, the rescale, then the palette (one
    // for the movie or one per frame) or the depth conversion.
    std::vector<Frame> ExpectedFrames(size_t n);
    // The output file holds n frames equal to ExpectedFrames (or to expected,
    // when a test worked it out before the job, as an in-place job must), and
    // the pipeline handed the writer n frames.
    void ExpectOutputFrames(const std::filesystem::path& output, size_t n, int tolerance = 0);
    std::vector<Frame> expected;

    std::filesystem::path dir;
    std::filesystem::path input;
    RecordingHost host;
};

// A 24-bit test picture that changes with the frame number.
void FillPattern(imagerec& img, int frame);
// A BMP, TGA... sequence of n frames, written by the program's own writers.
void WriteSequence(const std::filesystem::path& first, int n, int w, int h, int bytesPerPixel);
void WriteZuv(const std::filesystem::path& file, int n, int w, int h, int bytesPerPixel, bool fast);
// Returns the name the FLIC writer gave the file (.FLI or .FLC).
std::filesystem::path WriteFlic(const std::filesystem::path& file, int n, int w, int h);
// Runs a program directly (no shell); false when it cannot run or fails.
bool RunProgram(const std::vector<std::string>& args);
// The same, with what it printed; empty when it could not run or failed.
std::string ProgramOutput(const std::vector<std::string>& args);
bool HaveFfmpeg();
// A field of /proc/self/status ("VmData", "VmSize") in bytes.
int64_t StatusBytes(const std::string& key);

// A full disk, as the file size limit makes it: writes past the limit fail
// with EFBIG for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*previous_)(int) = nullptr;
};

// Same picture in R, G, B terms, whatever the row order and depth.
// tolerance: largest difference of a channel (FLI keeps 6-bit colours).
::testing::AssertionResult SamePicture(const Frame& a, const Frame& b, int tolerance = 0);

}  // namespace jobs
