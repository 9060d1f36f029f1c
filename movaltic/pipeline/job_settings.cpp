#include "movaltic/pipeline/job_settings.h"

namespace movaltic {

int32_t FramesToProcess = 0;
int32_t PreviewFrame = -1;
uint8_t SinglePalette = 1;
uint8_t PaletteReduction = 0;
uint8_t FastCompression = 1;
uint8_t DosPlayable = 1;
int32_t KeyFrameInterval = 0;
uint8_t CopySound = 1;
uint8_t UseResample = 1;
uint8_t RescaleAtStart = 0;
uint8_t TakeInputDefaults = 0;
uint8_t CompressorPending = 0;
uint8_t StopFlag = 0;

void ResetJobSettings() {
    FramesToProcess = 0;
    PreviewFrame = -1;
    SinglePalette = 1;
    PaletteReduction = 0;
    FastCompression = 1;
    DosPlayable = 1;
    KeyFrameInterval = 0;
    CopySound = 1;
    UseResample = 1;
    RescaleAtStart = 0;
    TakeInputDefaults = 0;
    CompressorPending = 0;
    StopFlag = 0;
}

}  // namespace movaltic
