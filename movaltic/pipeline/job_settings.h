// Settings of one filtering job, shared by the window, the dialogs and the pipeline.
// There is no settings file: every value starts from its default at program start.
#pragma once

#include <cstdint>

namespace movaltic {

extern int32_t FramesToProcess;   // frames per pass
extern int32_t PreviewFrame;      // 1-based input frame of the previews, -1 without input
extern uint8_t SinglePalette;     // 8-bit output: one palette for the whole movie
extern uint8_t PaletteReduction;  // decided at the start of every run
extern uint8_t FastCompression;   // ZUV coding FAST (1) or BEST (0)
extern uint8_t DosPlayable;       // ZUV strips of at most 65,520 bytes
extern int32_t KeyFrameInterval;  // ZUV key frame every n frames, 0 = first only
extern uint8_t CopySound;         // AVI sound to an AVI output
extern uint8_t UseResample;       // rescale by Resample (1) or Resize (0)
extern uint8_t RescaleAtStart;    // rescale before (1) or after (0) the to-do list
extern uint8_t TakeInputDefaults; // next output settings start from the input
extern uint8_t CompressorPending; // an AVI output still needs its compressor chosen

// Set by closing the progress window and by a frame error; cleared when a
// pass starts. The frame loop polls it after every frame and every step.
extern uint8_t StopFlag;

// The defaults of a fresh start (also used by tests between jobs).
void ResetJobSettings();

}  // namespace movaltic
