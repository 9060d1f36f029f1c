// Frames of an AVI video stream decoded ahead of the reader, on threads of
// their own: the next frame while the caller works on this one, or, for a
// stream whose every frame is a picture by itself, several frames at once.
// Where no thread is granted, the frame is decoded when it is asked for.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "movaltic/formats/avi_codec.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/imaging/basic.h"

namespace movaltic {

// What the decoding thread made of the next frame's chunk: a picture, or
// none at all (the chunk of a dropped frame: the last picture stands).
struct NextPicture {
    enum Kind { Picture, Dropped, End, Failed, ReadFailed } kind = End;
};

// The next frame decoded on a thread of its own while the caller converts
// and works on this one.
class DecodeAhead {
public:
    explicit DecodeAhead(std::function<NextPicture()> decode) : decode_(std::move(decode)) {}
    ~DecodeAhead() { Stop(); }
    DecodeAhead(const DecodeAhead&) = delete;
    DecodeAhead& operator=(const DecodeAhead&) = delete;

    // Starts on the next frame.
    void Request();
    // The frame requested, or the next one decoded now when none was.
    NextPicture Take();
    // Waits for a frame in progress; the thread ends.
    void Stop();

private:
    void Loop();

    std::function<NextPicture()> decode_;
    std::thread thread_;
    std::mutex m_;
    std::condition_variable cv_;
    NextPicture result_;
    bool wanted_ = false, done_ = false, quit_ = false;
    bool pending_ = false, refused_ = false;  // the caller's side
    bool startRefused_ = false;               // refused for good
};

// Whether every frame of the stream decodes apart from the others to the
// picture the stream's one decoder gives frame after frame: each chunk a
// whole Motion JPEG picture with its own quantisation tables, all with
// their Huffman tables or all without (the decoder's defaults), with no
// dropped frames or palette changes between them.
bool StreamDecodesApart(AviReader& reader, const AviVideoDecoder& decoder, const AviReader::Stream& video,
                        size_t maxChunk);

// The frames of such a stream from a given one on, each thread decoding
// every count-th frame with a decoder of its own, which holds the picture
// until it is handed out, in order. A thread decodes its next frame once
// its picture was taken, so at most count frames are in flight. A frame
// that is not one whole picture (a scan cut short, a codec error) is not
// given: what it lacks, the stream's one decoder shows from the frame
// before, so it and the frames after it are left to that decoder.
class ApartDecoding {
public:
    ApartDecoding(AviReader& reader, const AviReader::Stream& video, size_t firstChunk)
        : reader_(reader), video_(video), first_(firstChunk) {}
    ~ApartDecoding() { StopLanes(); }
    ApartDecoding(const ApartDecoding&) = delete;
    ApartDecoding& operator=(const ApartDecoding&) = delete;

    // False, with no thread left, unless every lane has its decoder and thread.
    // The lanes' decoders give the depth of the stream's, which probed it.
    bool Start(int32_t count, const AviVideoDecoder& stream);
    enum Taken { Given, InOrder, End };
    // The next frame into image, as the stream's decoder gives it out; or
    // InOrder, with nothing given: the frames from nextChunk() on are to be
    // decoded in order. End after the last frame.
    Taken Take(imagerec& image);
    size_t nextChunk() const { return first_ + taken_; }

private:
    struct Lane {
        AviVideoDecoder decoder;
        std::thread thread;
        size_t next = 0;  // its next chunk
        bool ready = false, ok = false;
    };
    void Decode(Lane& lane);
    void StopLanes();

    AviReader& reader_;
    const AviReader::Stream& video_;
    const size_t first_;
    std::vector<Lane> lanes_;
    size_t taken_ = 0;  // frames handed out
    std::mutex m_;
    std::condition_variable cv_;
    bool quit_ = false;
};

}  // namespace movaltic
