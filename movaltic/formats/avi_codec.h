// Video coding for AVI streams: device-independent bitmaps (raw 8/16/24/32
// bits and RLE8) by our own code, every other codec through libavcodec.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "movaltic/imaging/basic.h"

struct AVFrame;
struct AVPacket;

namespace movaltic {

// ---- compressors offered for AVI output ----

enum class AviCodecKind { Uncompressed, Rle8, FFmpeg };

struct AviCompressor {
    const char* name;          // shown in the compressor list
    AviCodecKind kind;
    uint32_t handler;          // stream header handler code
    uint32_t compression;      // bitmap header compression field
    const char* encoder;       // libavcodec encoder name (FFmpeg kind)
    bool hasQuality;           // the quality setting applies
    bool hasKeyFrames;         // the key frame interval applies
    bool hasDataRate;          // the data rate setting applies
};

// The list in the order shown; entry 0 is "Full Frames (Uncompressed)".
const std::vector<AviCompressor>& AviCompressorList();
// Whether entry index can code frames of that many bytes per pixel (RLE8
// takes 8-bit frames only; FFmpeg entries need the encoder to be present).
bool AviCompressorAccepts(size_t index, int32_t bytesPerPixel);
// Bit count of the stream that entry index writes for frames of that depth.
int32_t AviCompressorOutputBits(size_t index, int32_t bytesPerPixel);

// The user's choice and its options.
struct AviCompressionSettings {
    size_t compressor = 0;       // index into AviCompressorList()
    int32_t quality = 7500;      // 0..10000, as the stream header stores it
    int32_t keyFrameEvery = 15;  // frames; 0: the compressor decides
    int32_t dataRate = 0;        // kilobytes per second; 0: not limited
};

// ---- bitmaps ----

// A 40-byte bitmap information header, and for 8 bits the 256 colours
// (B, G, R, 0) from an R, G, B palette.
std::vector<uint8_t> MakeBitmapHeader(int32_t width, int32_t height, int32_t bitCount, uint32_t compression,
                                      uint32_t imageSize, const uint8_t* rgbPalette);

// RLE8 coding of a bottom-up 8-bit picture. With prev, pixels equal to it
// are skipped by delta escapes (a delta frame); without, every pixel is coded.
std::vector<uint8_t> Rle8Encode(const uint8_t* pixels, const uint8_t* prev, int32_t width, int32_t height);
// Decodes RLE8 onto a bottom-up picture that holds the previous frame.
// Never writes outside width x height.
void Rle8Decode(const uint8_t* data, size_t size, uint8_t* pixels, int32_t width, int32_t height);

// ---- decoding a video stream ----

class AviVideoDecoder {
public:
    AviVideoDecoder();
    ~AviVideoDecoder();
    AviVideoDecoder(const AviVideoDecoder&) = delete;
    AviVideoDecoder& operator=(const AviVideoDecoder&) = delete;

    // format: the stream's whole 'strf'; handler: its stream header code.
    // False when the format cannot be decoded.
    bool Open(const std::vector<uint8_t>& format, uint32_t handler);
    // Whether frames go through libavcodec; for those the depth is only
    // known once a frame is decoded, which SetProbeChunk does aside.
    bool usesFFmpeg() const;
    // Motion JPEG through libavcodec: a chunk that carries all its tables is
    // a picture by itself.
    bool decodesJpeg() const;
    void SetProbeChunk(const std::vector<uint8_t>& firstChunk);
    // The depth another decoder of the same stream found with its probe.
    void SetDepthOf(const AviVideoDecoder& probed);
    // A frame with any damage the codec notices fails instead of decoding,
    // so that it can be decoded again where the frame before shows through.
    void FailDamagedFrames();

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t bytesPerPixel() const { return bytesPerPixel_; }
    int32_t bitsPerPixel() const { return bitsPerPixel_; }

    // A "##pc" palette change.
    void ChangePalette(const uint8_t* data, size_t size);
    // Whether image's buffer holds a whole frame.
    bool Fits(const imagerec& image) const;
    // Our own codecs: decodes one chunk into image, whose buffer must hold
    // the frame. An empty chunk (a dropped frame) gives the last picture
    // again, whatever the codec. False on failure.
    bool Decode(const std::vector<uint8_t>& chunk, imagerec& image);

    // libavcodec: codecs with B-frames give a picture some chunks after its
    // own, so chunks go in and pictures come out on their own terms. Send
    // hands over one chunk; Flush, at the stream's end, lets the pictures
    // still held back come out; TakePicture puts the next picture in display
    // order into image, or the last one again when there is none.
    bool Send(const std::vector<uint8_t>& chunk);
    bool Flush();
    bool HasPicture() const;
    bool flushed() const;
    bool TakePicture(imagerec& image);
    // TakePicture in three parts: the next picture taken from the codec's
    // queue (none when it has none: the last one stands), converted to our
    // depth, then given out with Decode of an empty chunk. Send and Flush
    // may run on another thread while the taken picture converts.
    void TakeDecoded();
    bool ConvertTaken();
    bool PreparePicture();

private:
    struct FF;
    bool SendPacket(const AVPacket* pkt);
    bool Convert(const AVFrame* frame);
    void Output(imagerec& image) const;

    int32_t width_ = 0, height_ = 0, bytesPerPixel_ = 0, bitsPerPixel_ = 0;
    int32_t bitCount_ = 0;
    uint32_t compression_ = 0;
    bool topDown_ = false;       // the stream's rows run top to bottom
    bool rgb565_ = false;
    uint8_t palette_[768] = {};  // R, G, B, of the picture given out
    uint8_t streamPalette_[768] = {};  // the stream's, with its changes, for libavcodec
    bool paletteChanged_ = true;
    void SizePicture();
    std::vector<uint8_t> picture_;  // the last picture given out, at our depth
    std::vector<uint8_t> probeFormat_;
    uint32_t probeHandler_ = 0;
    std::unique_ptr<FF> ff_;
};

// ---- encoding a video stream through libavcodec ----

class AviVideoEncoder {
public:
    AviVideoEncoder();
    ~AviVideoEncoder();
    AviVideoEncoder(const AviVideoEncoder&) = delete;
    AviVideoEncoder& operator=(const AviVideoEncoder&) = delete;

    // srcBits: 8, 15, 16 or 24, the frames handed to Encode. False when the
    // encoder is missing or refuses the size or settings.
    bool Open(const AviCompressor& compressor, const AviCompressionSettings& settings, int32_t width,
              int32_t height, int32_t srcBits, uint32_t scale, uint32_t rate);
    // The stream format: bitmap header, colours for 8-bit output, then the
    // encoder's extra data.
    std::vector<uint8_t> Format(const uint8_t* rgbPalette) const;
    int32_t outputBits() const { return outputBits_; }
    // Codes one picture of the opened size and depth, its top row at
    // topRow and each next row stride bytes on (negative for a picture
    // kept bottom row first); false when the encoder gives no data for it.
    bool Encode(const uint8_t* topRow, ptrdiff_t stride, const uint8_t* rgbPalette, std::vector<uint8_t>& out,
                bool& keyFrame);

private:
    struct FF;
    std::unique_ptr<FF> ff_;
    const AviCompressor* compressor_ = nullptr;
    int32_t width_ = 0, height_ = 0, srcBits_ = 0, outputBits_ = 0;
};

}  // namespace movaltic
