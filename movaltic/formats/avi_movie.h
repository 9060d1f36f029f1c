// AVI movies: reading frames and sound, writing frames (raw, RLE8 or through
// the compressor the user chose) and copying sound block by block.
// The operations set ErrCode only when they fail.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "movaltic/formats/avi_codec.h"
#include "movaltic/imaging/basic.h"

namespace movaltic {

// One block of sound, passed from AviReadSound to AviWriteSound.
struct AviSoundBlock {
    std::vector<uint8_t> streamInfo;  // the input's stream header ('strh', 56 bytes)
    std::vector<uint8_t> format;      // the input's whole sound format ('strf')
    std::vector<uint8_t> data;        // this block's bytes; empty once the sound has ended
    std::vector<uint32_t> chunkSizes; // the input chunks data is made of, in order
    bool valid() const { return streamInfo.size() >= 56; }
};

struct AviImpl;

// Reader or writer state of one AVI movie; cleared by AviOpen and AviCreate.
struct AviState {
    std::string fileName;
    int32_t width = 0, height = 0;
    int32_t bytesPerPixel = 0, bitsPerPixel = 0;  // 1/8, 2/15 (or 16 for 5-6-5), 3/24
    int32_t frames = 0;          // video stream length
    double frameRate = 0;        // rate / scale of the video stream; 0 when the scale is 0
    bool hasSound = false;
    uint32_t soundLength = 0;    // sound stream length, in its own units
    uint32_t soundRate = 0;      // sound samples per second (rate / scale of the sound stream)
    int32_t frameCounter = 0;    // frames read or written
    // Reading: the rate the frames read are written at, where that is not
    // the input's own (0); the sound read keeps up with their time there.
    double outputFrameRate = 0;
    bool videoEnded = false;
    bool soundEnded = false;
    bool writing = false;
    std::unique_ptr<AviImpl> impl;

    AviState();
    ~AviState();
    AviState(const AviState&) = delete;
    AviState& operator=(const AviState&) = delete;
};

void AviOpen(AviState& state, const std::string& fileName);
void AviReadFrame(AviState& state, imagerec& image);
void AviReadSound(AviState& state, AviSoundBlock& block);
void AviCreate(AviState& state, const std::string& fileName, double frameRate);
void AviWriteFrame(AviState& state, const imagerec& image);
// A frame coded already by an AviFrameCoder: its chunk is written as it is.
struct AviCodedFrame {
    std::vector<uint8_t> data;
    bool keyFrame = false;
    bool ready = false;  // false: the writer codes the frame itself
};
void AviWriteFrame(AviState& state, const imagerec& image, const AviCodedFrame* coded);
void AviWriteSound(AviState& state, const AviSoundBlock& block);
void AviClose(AviState& state);

// Codes frames of an output away from its writer, on a thread of a job's,
// one coder per thread. Only a compressor that codes every frame by itself
// alone, to the same bytes whoever codes it (Motion JPEG at a fixed
// quality), is coded here; Code returns false for any other, and the writer
// codes those frames in order.
class AviFrameCoder {
public:
    AviFrameCoder();
    ~AviFrameCoder();
    AviFrameCoder(const AviFrameCoder&) = delete;
    AviFrameCoder& operator=(const AviFrameCoder&) = delete;
    // image as AviWriteFrame of state would code it; reads only what stays
    // put while the writer writes other frames.
    bool Code(const AviState& state, const imagerec& image, AviCodedFrame& out);
    // Whether the output's frames are coded apart at all.
    static bool CodesApart(const AviState& state);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The stream header's scale for a frame rate at rate 1,000,000; a rate of 0
// or less is taken as one frame a second.
uint32_t AviScaleFor(double frameRate);

// ---- the compressor choice, program-wide ----

struct AviCompressionChoice {
    AviCompressionSettings settings;
    bool compressing = false;            // the chosen handler is not "DIB "
    bool sequenceStarted = false;        // an output has started coding with it
    std::vector<uint8_t> outputFormat;   // 40-byte bitmap header of the coded frames
    bool unsupported = false;            // "msvc" with 8-bit output
};
extern AviCompressionChoice AviCompression;

constexpr const char* kAviCompressorTitle = "Select AVI Video Compression";

// What the window side is asked to show: the list (AviCompressorList, with
// AviCompressorAccepts for the depth) and the current settings to start from.
struct AviCompressorRequest {
    int32_t width = 0, height = 0, bytesPerPixel = 0;
    const char* title = kAviCompressorTitle;
};
// Shows the choice; true when confirmed, with the settings filled in.
using AviCompressorDialog = std::function<bool(const AviCompressorRequest&, AviCompressionSettings&)>;
void SetAviCompressorDialog(AviCompressorDialog dialog);

// Asks through the dialog; cancelled (or no dialog) gives ErrCode 1000.
void AviChooseCompressor(int32_t width, int32_t height, int32_t bytesPerPixel);
// The confirmed part of a choice, also usable without a dialog.
void AviSetCompressor(const AviCompressionSettings& settings, int32_t width, int32_t height, int32_t bytesPerPixel);

}  // namespace movaltic
