// The GO command: one or two passes over the input's frames, each frame read,
// filtered by the to-do list, rescaled, brought to the output depth and
// written; and the "Before"/"After" previews. Runs on the caller's thread; the
// host processes pending window events whenever the pipeline offers it.
#pragma once

#include <cstdint>
#include <string>

#include "movaltic/imaging/basic.h"
#include "movaltic/pipeline/movie.h"
#include "movaltic/pipeline/todo_list.h"

namespace movaltic {

// What the pipeline needs of the window around it. The Qt window implements
// it; tests implement it to answer message boxes, record progress and press
// Cancel. Every member has a quiet default so a headless caller overrides
// only what it watches.
class PipelineHost {
public:
    enum class Box { Error, Message, Confirm };
    virtual ~PipelineHost() = default;

    // Shows a box titled "Error", "Message" or "Confirm"; for Confirm returns
    // true when Yes was pressed.
    virtual bool MessageBox(Box kind, const std::string& text);
    // Pending window events; a Cancel in the progress window sets StopFlag here.
    virtual void ProcessMessages() {}

    virtual void ProgressShow() {}
    virtual void ProgressStart(const std::string& caption, int32_t frameCount);
    virtual void ProgressFrame(int32_t /*n*/) {}
    virtual void ProgressRate(int32_t /*frame*/, int64_t /*bytes*/, const std::string& /*timeText*/,
                              double /*framesPerSecond*/) {}
    virtual void ProgressClose() {}

    virtual void SetStatusText(const std::string& /*text*/) {}
    virtual void SetOutputLabel(const std::string& /*text*/) {}
    virtual void SetBusyCursor(bool /*busy*/) {}

    // Palette-based displays share one palette between the two previews.
    virtual bool DcUsesPalette() { return false; }
    virtual void DrawPreviews(const imagerec& /*before*/, const imagerec& /*after*/) {}
    // Each finished frame just before it goes to the writer (for observers
    // such as tests that compare what was written with what is read back).
    virtual void FrameReady(int32_t /*index*/, const imagerec& /*frame*/) {}
};

// The host in use; never null (a quiet default host until one is set).
PipelineHost& Host();
void SetPipelineHost(PipelineHost* host);

// The three fixed message boxes.
void ShowError(const std::string& text);
void ShowMessageBox(const std::string& text);
bool AskConfirm(const std::string& text);

extern imagerec WorkImageA, WorkImageB;
extern imagerec* CurrentImage;
extern imagerec* SpareImage;
extern int64_t BytesProcessed;
extern imagerec PreviewImage;
constexpr int32_t kPreviewBox = 128;

// True while a pass or a preview build holds the work images; the window
// keeps its commands from acting meanwhile.
bool PipelineBusy();

void RunProcessing();
bool ProcessFrames(bool write, const std::string& caption);
void ApplyOperation(const steprec& step);
void RescaleStep();
void ExpandHighColour();
void DepthStep(bool write);
void AllocWorkImages();
void FreeWorkImages();
void SwapFrameBuffers();
void UpdateRateDisplay(int32_t done, int32_t total);

bool CheckInputOutput();
// GO's check of what the job would read and write, once UpdateOutputLabel
// has widened a numbered output's digits: at least one frame, numbered names
// that hold the job's frames, and no file of the input written over.
bool CheckOutputFiles();
bool SameMovieName(const oFlexName& a, const oFlexName& b);
bool NeedsPaletteReduction();

void PreviewInit();
void PreviewFree();
void BuildInputPreview();
void BuildOutputPreview();
void FitPreviewSize(int32_t& w, int32_t& h, int32_t box);
void ExpandToTrueColour(imagerec& frame);

}  // namespace movaltic
