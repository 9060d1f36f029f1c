#include "movaltic/formats/avi_movie.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <deque>
#include <filesystem>
#include <new>

#include "movaltic/formats/avi_read_ahead.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/imaging/threads.h"

namespace movaltic {

AviCompressionChoice AviCompression;

namespace {

AviCompressorDialog& Dialog() {
    static AviCompressorDialog dialog;
    return dialog;
}

constexpr uint32_t kVideoRate = 1000000;
constexpr size_t kMaxChunk = 256u << 20;  // no frame or sound chunk is larger

}  // namespace

struct AviImpl {
    // reading
    AviReader reader;
    AviVideoDecoder decoder;
    size_t videoCursor = 0;  // the next frame's chunk
    size_t feedCursor = 0;   // the next chunk for libavcodec, which may run ahead of the frames
    std::vector<uint8_t> chunk;
    size_t soundChunk = 0;      // the next sound chunk
    uint64_t soundBytesRead = 0;
    uint64_t soundHeldRead = 0; // the chunks passed that hold sound; an empty one plays no time
    double videoLead = 0;       // seconds before the first frame (the video stream's start)
    bool soundPlaced = false;
    uint32_t soundStart = 0;    // the sound's start against the first frame, in its units

    // writing
    AviWriter writer;
    bool streamCreated = false;
    AviCodecKind kind = AviCodecKind::Uncompressed;
    AviVideoEncoder encoder;
    AviStreamHeader videoHeader;
    std::vector<uint8_t> videoFormat;
    int32_t streamWidth = 0, streamHeight = 0, srcBytes = 0, srcBits = 0;
    int32_t keyEvery = 0;
    uint8_t lastPalette[768] = {};
    std::vector<uint8_t> dib, prevDib;
    uint32_t maxVideoChunk = 0;
    bool paletteChanges = false;
    bool soundCreated = false;
    AviStreamHeader soundHeader;
    std::vector<uint8_t> soundFormat;
    uint64_t soundBytes = 0;
    uint32_t soundChunks = 0, maxSoundChunk = 0;
    // Sound read ahead of the frames written (the output's frame rate may be
    // higher than the input's), each chunk waiting for the frame it plays with.
    std::deque<std::vector<uint8_t>> pendingSound;

    // The next frame of a libavcodec stream, or the next several of a
    // stream whose frames decode apart. Last, so that their threads end
    // before anything they use goes.
    bool apartChecked = false, decodesApart = false;
    std::unique_ptr<DecodeAhead> ahead;
    std::unique_ptr<ApartDecoding> apart;
};

AviState::AviState() = default;
AviState::~AviState() = default;

namespace {

void Reset(AviState& s) {
    s.impl.reset();
    s.fileName.clear();
    s.width = s.height = s.bytesPerPixel = s.bitsPerPixel = s.frames = s.frameCounter = 0;
    s.frameRate = s.outputFrameRate = 0;
    s.hasSound = s.videoEnded = s.soundEnded = s.writing = false;
    s.soundLength = s.soundRate = 0;
}

// What a refused chunk means: the disk ran out (kErrWrite), the file
// reached the user's file size limit or the AVI limit, or the write failed
// otherwise.
int32_t WriteError(const AviWriter& writer, int32_t otherwise) {
    if (writer.diskFull()) return writer.sizeLimited() ? kErrFileLimit : kErrWrite;
    if (writer.full()) return kErrAviFull;
    return otherwise;
}

// Whether a stream has a time base to place its sound by.
bool SoundTimed(const AviStreamHeader& h) { return h.rate > 0 && h.scale > 0; }

// When the sound after `bytes` bytes in `chunks` chunks of the stream
// plays, in seconds from the first frame. The stream counts in sample
// blocks where it has a sample size, else in chunks (one frame each of MP3,
// AC3 and the like), from its start (dwStart; an editor that cut the sound
// to begin later writes it there). Only chunks that hold bytes count: FFmpeg
// pads a late start with empty ones, which every player passes over.
double SoundSeconds(const AviStreamHeader& h, uint64_t bytes, uint64_t chunks) {
    const double units = h.sampleSize ? double(bytes) / h.sampleSize : double(chunks);
    return (h.start + units) * h.scale / h.rate;
}

}  // namespace

uint32_t AviScaleFor(double frameRate) {
    if (!(frameRate > 0)) frameRate = 1;
    double scale = std::nearbyint(kVideoRate / frameRate);
    return scale < 1 ? 1u : scale > 4294967295.0 ? 0xFFFFFFFFu : uint32_t(scale);
}

// ---- reading ----

static void AviOpenUnguarded(AviState& state, const std::string& fileName) {
    Reset(state);
    state.fileName = fileName;
    state.impl = std::make_unique<AviImpl>();
    AviImpl& a = *state.impl;
    if (!a.reader.Open(fileName) || a.reader.videoStream < 0) {
        ErrCode = kErrMemory;
        return;
    }
    const AviReader::Stream& video = a.reader.streams[size_t(a.reader.videoStream)];
    if (!a.decoder.Open(video.format, video.header.handler)) {
        ErrCode = kErrMemory;
        return;
    }
    for (const AviChunk& c : video.chunks)
        if (!c.paletteChange()) ++state.frames;
    if (a.decoder.usesFFmpeg()) {
        for (const AviChunk& c : video.chunks) {
            if (c.paletteChange() || c.size == 0) continue;
            if (a.reader.Read(c, a.chunk, kMaxChunk)) a.decoder.SetProbeChunk(a.chunk);
            break;
        }
    }
    state.width = a.decoder.width();
    state.height = a.decoder.height();
    state.bytesPerPixel = a.decoder.bytesPerPixel();
    state.bitsPerPixel = a.decoder.bitsPerPixel();
    state.frameRate = video.header.scale ? double(video.header.rate) / video.header.scale : 0;
    state.videoEnded = state.frames == 0;
    if (video.header.rate > 0) a.videoLead = double(video.header.start) * video.header.scale / video.header.rate;

    if (a.reader.audioStream >= 0) {
        const AviReader::Stream& sound = a.reader.streams[size_t(a.reader.audioStream)];
        state.hasSound = true;
        state.soundLength = sound.header.length;
        state.soundRate = sound.header.scale ? uint32_t(std::nearbyint(double(sound.header.rate) / sound.header.scale)) : 0;
        state.soundEnded = sound.chunks.empty();
    }
}

namespace {

// Hands chunks to libavcodec until it gives a picture or, at the end of the
// stream, has given all it held back. Dropped frames are left to the reader.
// False when the codec refuses a chunk, or one cannot be read (readFailed,
// which, as for our own codecs, ends the video).
bool FeedDecoder(AviImpl& a, const AviReader::Stream& video, bool& readFailed) {
    while (!a.decoder.HasPicture() && !a.decoder.flushed()) {
        if (a.feedCursor >= video.chunks.size()) return a.decoder.Flush();
        const AviChunk& c = video.chunks[a.feedCursor++];
        if (c.size == 0) continue;
        if (c.size > kMaxChunk || !a.reader.Read(c, a.chunk)) {
            readFailed = true;
            return false;
        }
        if (c.paletteChange()) {
            a.decoder.ChangePalette(a.chunk.data(), a.chunk.size());
        } else if (!a.decoder.Send(a.chunk)) {
            return false;
        }
    }
    return true;
}

// The next frame's picture decoded inside the decoder, not yet converted.
// Touches only the reader's file (read in place), the codec, its queue of
// pictures and the cursors, so it may run on its own thread while the
// caller converts the picture before.
NextPicture DecodeNext(AviImpl& a, const AviReader::Stream& video) {
    while (a.videoCursor < video.chunks.size()) {
        // The chunk only tells whether this frame was dropped; the pictures
        // come in display order from the codec.
        const AviChunk& c = video.chunks[a.videoCursor++];
        if (c.paletteChange()) continue;
        if (c.size == 0) return {NextPicture::Dropped};
        bool readFailed = false;
        if (!FeedDecoder(a, video, readFailed)) return {readFailed ? NextPicture::ReadFailed : NextPicture::Failed};
        return {NextPicture::Picture};
    }
    return {NextPicture::End};
}

// The stream's decoder, which gave the first frame, takes the frames from
// chunk `next` on in order, as it would have had it read them all: a
// damaged frame there shows the frame before it where it lacks rows. The
// frame before was a whole picture, so decoding it alone is enough.
bool ResumeInOrder(AviImpl& a, const AviReader::Stream& video, size_t next) {
    if (a.feedCursor < next) {
        if (!a.reader.Read(video.chunks[next - 1], a.chunk, kMaxChunk) || !a.decoder.Send(a.chunk) ||
            !a.decoder.PreparePicture())
            return false;
    }
    a.videoCursor = a.feedCursor = next;
    return true;
}

}  // namespace

// Lanes decoding a stream apart: as many as the cores spare, each with a
// picture and libavcodec's frames of its own (about two frames' bytes),
// within a third of the budget for frames in flight and as many threads as
// an address-space or data-segment limit leaves room for; one at least
// (where no lane can be had, the stream's one decoder reads on). Two even
// for the largest frames, whose decoding one lane would not keep up with,
// unless a memory limit leaves less room.
static int32_t ApartLanes(const AviState& state) {
    const int64_t lane = 2 * int64_t(state.width) * state.height * 3;
    const int32_t cores = std::clamp(CoreCount() / 2, 1, 3);
    const int32_t most = std::clamp(ThreadsWithin(cores), 1, cores);
    const int32_t least = FramesInFlightLimited() ? 1 : std::min(2, most);
    return CountWithin(FramesInFlightBudget() / 3, lane, least, most);
}

static void AviReadFrameUnguarded(AviState& state, imagerec& image) {
    if (!state.impl || state.writing || state.videoEnded) return;
    AviImpl& a = *state.impl;
    const AviReader::Stream& video = a.reader.streams[size_t(a.reader.videoStream)];
    if (a.decoder.usesFFmpeg()) {
        if (!a.decoder.Fits(image)) {
            ErrCode = kErrMemory;
            return;
        }
        if (!a.apartChecked) {
            a.apartChecked = true;
            a.decodesApart = StreamDecodesApart(a.reader, a.decoder, video, kMaxChunk);
        }
        // Frames after the first of a stream whose frames decode apart go to
        // several threads (a preview reads the first alone, on this one).
        if (a.decodesApart && state.frameCounter == 1 && !a.apart) {
            a.apart = std::make_unique<ApartDecoding>(a.reader, video, 1);
            if (!a.apart->Start(ApartLanes(state), a.decoder)) {
                a.apart.reset();
                a.decodesApart = false;
            }
        }
        if (a.apart) {
            const ApartDecoding::Taken taken = a.apart->Take(image);
            if (taken == ApartDecoding::Given) {
                ++state.frameCounter;
                if (state.frameCounter >= state.frames) state.videoEnded = true;
                return;
            }
            const size_t next = a.apart->nextChunk();
            a.apart.reset();
            a.decodesApart = false;
            if (taken == ApartDecoding::End) {
                state.videoEnded = true;
                return;
            }
            if (!ResumeInOrder(a, video, next)) {
                ErrCode = kErrMemory;
                return;
            }
        }
        if (!a.ahead) a.ahead = std::make_unique<DecodeAhead>([&a, &video] { return DecodeNext(a, video); });
        const NextPicture got = a.ahead->Take();
        if (got.kind == NextPicture::End) {
            state.videoEnded = true;
            return;
        }
        if (got.kind != NextPicture::Picture && got.kind != NextPicture::Dropped) {
            ErrCode = kErrMemory;
            if (got.kind == NextPicture::ReadFailed) state.videoEnded = true;
            return;
        }
        // The picture leaves the codec's queue before the frame after it
        // starts decoding, and converts meanwhile.
        if (got.kind == NextPicture::Picture) a.decoder.TakeDecoded();
        // What a damaged Motion JPEG frame does not decode keeps what the
        // codec's recycled picture held: the frame before it only if that
        // one was let go before it decoded, as in order.
        const bool letGoFirst = a.decoder.decodesJpeg();
        bool converted = !letGoFirst || a.decoder.ConvertTaken();
        if (state.frameCounter + 1 < state.frames && !a.decodesApart) a.ahead->Request();
        if (!letGoFirst) converted = a.decoder.ConvertTaken();
        if (!converted || !a.decoder.Decode({}, image)) {
            ErrCode = kErrMemory;
            return;
        }
        ++state.frameCounter;
        if (state.frameCounter >= state.frames) state.videoEnded = true;
        return;
    }
    while (a.videoCursor < video.chunks.size()) {
        const AviChunk& c = video.chunks[a.videoCursor++];
        bool ok = true;
        {
            if (c.size > kMaxChunk || !a.reader.Read(c, a.chunk)) {
                ErrCode = kErrMemory;
                state.videoEnded = true;
                return;
            }
            if (c.paletteChange()) {
                a.decoder.ChangePalette(a.chunk.data(), a.chunk.size());
                continue;
            }
            ok = a.decoder.Decode(a.chunk, image);
        }
        if (!ok) {
            ErrCode = kErrMemory;
            return;
        }
        ++state.frameCounter;
        if (state.frameCounter >= state.frames) state.videoEnded = true;
        return;
    }
    state.videoEnded = true;
}

namespace {

// The movie read starts with its first frame, which a video stream that
// starts later (its header's start) shows after a while: the sound is
// placed against that frame, and what of it plays before is left out, in
// whole chunks.
void PlaceSound(AviImpl& a, const AviReader::Stream& sound) {
    a.soundPlaced = true;
    const AviStreamHeader& h = sound.header;
    a.soundStart = h.start;
    if (!(a.videoLead > 0) || !SoundTimed(h)) return;
    while (a.soundChunk < sound.chunks.size()) {
        const AviChunk& c = sound.chunks[a.soundChunk];
        const uint64_t held = a.soundHeldRead + (c.size > 0 ? 1 : 0);
        if (SoundSeconds(h, a.soundBytesRead + c.size, held) > a.videoLead) break;
        a.soundBytesRead += c.size;
        a.soundHeldRead = held;
        ++a.soundChunk;
    }
    const double units = (SoundSeconds(h, a.soundBytesRead, a.soundHeldRead) - a.videoLead) * h.rate / h.scale;
    a.soundStart = uint32_t(std::clamp(std::nearbyint(units), 0.0, 4294967295.0));
}

}  // namespace

static void AviReadSoundUnguarded(AviState& state, AviSoundBlock& block) {
    if (!state.impl || state.writing || !state.hasSound) return;
    AviImpl& a = *state.impl;
    const AviReader::Stream& sound = a.reader.streams[size_t(a.reader.audioStream)];
    if (!a.soundPlaced) PlaceSound(a, sound);
    if (!block.valid()) {
        block.streamInfo.assign(56, 0);
        AviStreamHeader h = sound.header;
        h.start = a.soundStart;
        h.Store(block.streamInfo.data());
        block.format = sound.format;
    }
    block.data.clear();
    block.chunkSizes.clear();
    if (state.soundEnded) return;
    // The sound up to the time of the frames read so far, in whole chunks
    // as the input has them (each one frame of a variable-rate codec); all
    // the rest once the video has ended. The stream's units are bytes over
    // its sample size, or chunks where it has none. Frames written at a
    // lower rate play longer, and take the sound of that longer time along.
    const AviStreamHeader& h = sound.header;
    const bool timed = SoundTimed(h) && state.frameRate > 0;
    const double rate = state.outputFrameRate > 0 ? std::min(state.frameRate, state.outputFrameRate) : state.frameRate;
    const double seconds = state.frameRate > 0 ? state.frameCounter / rate : 0;
    auto due = [&] {
        if (state.videoEnded) return true;
        if (!timed) {
            // Without a time base, the sound's share of the frames read.
            return state.frames > 0 && double(a.soundChunk) * state.frames < double(sound.chunks.size()) * state.frameCounter;
        }
        return SoundSeconds(h, a.soundBytesRead, a.soundHeldRead) - a.videoLead < seconds;
    };
    while (a.soundChunk < sound.chunks.size() && due()) {
        const AviChunk& c = sound.chunks[a.soundChunk];
        if (c.size == 0) {  // no sound, and no time: not copied
            ++a.soundChunk;
            continue;
        }
        if (c.size > kMaxChunk) {
            ErrCode = kErrMemory;
            state.soundEnded = true;
            return;
        }
        const size_t at = block.data.size();
        block.data.resize(at + c.size);
        if (!a.reader.ReadAt(c.offset, block.data.data() + at, c.size)) {
            ErrCode = kErrMemory;
            block.data.clear();
            block.chunkSizes.clear();
            state.soundEnded = true;
            return;
        }
        block.chunkSizes.push_back(c.size);
        a.soundBytesRead += c.size;
        ++a.soundHeldRead;
        ++a.soundChunk;
    }
    if (a.soundChunk >= sound.chunks.size()) state.soundEnded = true;
}

// ---- writing ----

void AviCreate(AviState& state, const std::string& fileName, double frameRate) {
    Reset(state);
    state.fileName = fileName;
    std::error_code ec;
    if (std::filesystem::exists(fileName, ec)) {
        // Only a plain file is replaced; a device or folder of that name is an error.
        if (!std::filesystem::is_regular_file(fileName, ec)) {
            ErrCode = kErrMemory;
            return;
        }
        std::filesystem::permissions(fileName, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
                                     std::filesystem::perm_options::add, ec);
        if (!std::filesystem::remove(fileName, ec)) {
            ErrCode = kErrMemory;
            return;
        }
    }
    state.impl = std::make_unique<AviImpl>();
    if (!state.impl->writer.Create(fileName)) {
        state.impl.reset();
        ErrCode = kErrMemory;
        return;
    }
    state.frameRate = frameRate;
    state.writing = true;
}

namespace {

// The entry of the compressor list an output is written with.
size_t ChosenCompressor() {
    const AviCompressionChoice& choice = AviCompression;
    return choice.compressing && choice.settings.compressor < AviCompressorList().size() ? choice.settings.compressor
                                                                                       : 0;
}

// Whether the image holds a whole frame of a depth a stream takes.
bool FrameImage(const imagerec& image) {
    return image.pixels && image.bytesPerPixel >= 1 && image.bytesPerPixel <= 3 && image.size >= image.frameBytes();
}

// The stream picture's size for an image, its own cut to whole 4 x 4
// blocks; false when that is empty or too large for a stream header.
bool StreamSize(const imagerec& image, int32_t& sw, int32_t& sh) {
    sw = image.width / 4 * 4;
    sh = image.height / 4 * 4;
    return sw > 0 && sh > 0 && sw <= 32767 && sh <= 32767;
}

int32_t SourceBits(const imagerec& image) {
    return image.bytesPerPixel == 1 ? 8 : image.bytesPerPixel == 3 ? 24 : image.bitsPerPixel == 16 ? 16 : 15;
}

// The top row of the stream picture (the first streamHeight rows in memory)
// and the step from one row to the next below it, as a coder reads them.
const uint8_t* StreamTopRow(const imagerec& image, int32_t streamHeight, ptrdiff_t& step) {
    const ptrdiff_t stride = ptrdiff_t(image.rowBytes());
    step = image.topDown ? stride : -stride;
    return image.topDown ? image.pixels : image.pixels + ptrdiff_t(streamHeight - 1) * stride;
}

// Starts the video stream with the first frame: its header, its format and,
// when compressing, the encoder. Returns the ErrCode to report, or 0.
int32_t CreateVideoStream(AviState& state, const imagerec& image) {
    AviImpl& a = *state.impl;
    const AviCompressionChoice& choice = AviCompression;
    const auto& list = AviCompressorList();
    const size_t index = ChosenCompressor();
    const AviCompressor& compressor = list[index];
    a.kind = compressor.kind;
    a.keyEvery = choice.settings.keyFrameEvery;
    a.srcBytes = image.bytesPerPixel;
    a.srcBits = SourceBits(image);

    AviStreamHeader& h = a.videoHeader;
    h = {};
    h.type = FourCC("vids");
    h.handler = index ? compressor.handler : FourCC("DIB ");
    h.quality = index ? choice.settings.quality : 0;
    h.scale = AviScaleFor(state.frameRate);
    h.rate = kVideoRate;
    h.right = int16_t(a.streamWidth);
    h.bottom = int16_t(a.streamHeight);

    const uint32_t rawSize = uint32_t(a.streamWidth) * a.streamHeight * a.srcBytes;
    switch (a.kind) {
        case AviCodecKind::Uncompressed:
            // 16-bit frames go out as 5-5-5, the layout every reader assumes for BI_RGB.
            a.videoFormat = MakeBitmapHeader(a.streamWidth, a.streamHeight, 8 * a.srcBytes, 0, rawSize, image.palette);
            break;
        case AviCodecKind::Rle8:
            if (a.srcBytes != 1) return kErrAviCompressStart;
            a.videoFormat = MakeBitmapHeader(a.streamWidth, a.streamHeight, 8, 1, rawSize, image.palette);
            break;
        case AviCodecKind::FFmpeg:
            if (!a.encoder.Open(compressor, choice.settings, a.streamWidth, a.streamHeight, a.srcBits, h.scale,
                                h.rate))
                return kErrAviCompressStart;
            a.videoFormat = a.encoder.Format(image.palette);
            if (a.videoFormat.size() < 40) return kErrAviCompressedFormat;
            AviCompression.sequenceStarted = true;
            break;
    }
    // Room for the headers: the video stream's as they stand, and a sound
    // stream's that may still come.
    const size_t header = 12 + 12 + 64 + 12 + 64 + 8 + a.videoFormat.size();
    a.writer.ReserveHeader(uint32_t((header + 8192 + 511) / 512 * 512));
    std::memcpy(a.lastPalette, image.palette, 768);
    a.streamCreated = true;
    return 0;
}

}  // namespace

namespace {

// Writes the waiting sound chunks that play before the end of the frames
// written, or all of them. False when the writer refused one (it then stays
// waiting).
bool WritePendingSound(AviState& state, bool all) {
    AviImpl& a = *state.impl;
    const AviStreamHeader& h = a.soundHeader;
    const double fps = state.frameRate > 0 ? state.frameRate : double(kVideoRate) / a.videoHeader.scale;
    const double framesEnd = state.frameCounter / fps;
    while (!a.pendingSound.empty()) {
        if (!all && SoundTimed(h) && SoundSeconds(h, a.soundBytes, a.soundChunks) >= framesEnd) break;
        const std::vector<uint8_t>& c = a.pendingSound.front();
        const uint32_t n = uint32_t(c.size());
        if (!a.writer.WriteChunk(FourCC("01wb"), c.data(), n, kAviKeyFrame)) return false;
        a.soundBytes += n;
        ++a.soundChunks;
        a.maxSoundChunk = std::max(a.maxSoundChunk, n);
        a.pendingSound.pop_front();
    }
    return true;
}

std::vector<uint8_t> HeaderList(const AviState& state, const AviImpl& a) {
    std::vector<uint8_t> out;
    size_t hdrl = BeginList(out, FourCC("hdrl"));
    AviMainHeader m;
    const int streams = (a.streamCreated ? 1 : 0) + (a.soundCreated ? 1 : 0);
    m.microSecPerFrame = a.streamCreated ? a.videoHeader.scale : AviScaleFor(state.frameRate);
    const double fps = double(kVideoRate) / m.microSecPerFrame;
    m.maxBytesPerSec = uint32_t(std::min(4294967295.0, (a.maxVideoChunk + double(a.maxSoundChunk)) * fps));
    m.flags = kAviHasIndex | (a.soundCreated ? kAviIsInterleaved : 0);
    m.totalFrames = uint32_t(state.frameCounter);
    m.streams = uint32_t(streams);
    m.suggestedBufferSize = std::max(a.maxVideoChunk, a.maxSoundChunk) + 8;
    m.width = uint32_t(a.streamWidth);
    m.height = uint32_t(a.streamHeight);
    uint8_t b[56];
    m.Store(b);
    AppendChunk(out, FourCC("avih"), b, 56);
    if (a.streamCreated) {
        size_t strl = BeginList(out, FourCC("strl"));
        AviStreamHeader h = a.videoHeader;
        h.length = uint32_t(state.frameCounter);
        h.suggestedBufferSize = a.maxVideoChunk;
        if (a.paletteChanges) h.flags |= kAviPaletteChanges;
        h.Store(b);
        AppendChunk(out, FourCC("strh"), b, 56);
        AppendChunk(out, FourCC("strf"), a.videoFormat.data(), a.videoFormat.size());
        EndList(out, strl);
    }
    if (a.soundCreated) {
        size_t strl = BeginList(out, FourCC("strl"));
        AviStreamHeader h = a.soundHeader;
        // In the stream's own units: sample blocks where it has a sample
        // size, else chunks (one frame each of MP3, AC3 and the like).
        h.length = uint32_t(std::min<uint64_t>(h.sampleSize ? a.soundBytes / h.sampleSize : a.soundChunks, 0xFFFFFFFFu));
        h.initialFrames = 0;
        h.suggestedBufferSize = a.maxSoundChunk;
        h.Store(b);
        AppendChunk(out, FourCC("strh"), b, 56);
        AppendChunk(out, FourCC("strf"), a.soundFormat.data(), a.soundFormat.size());
        EndList(out, strl);
    }
    EndList(out, hdrl);
    return out;
}

// The head of the file for what it holds so far.
void RefreshHeader(AviState& state) {
    AviImpl& a = *state.impl;
    a.writer.Refresh(HeaderList(state, a));
}

}  // namespace

static void AviWriteFrameUnguarded(AviState& state, const imagerec& image, const AviCodedFrame* coded) {
    if (!state.impl || !state.writing || !FrameImage(image)) {
        ErrCode = kErrMemory;
        return;
    }
    AviImpl& a = *state.impl;
    int32_t sw = 0, sh = 0;
    const bool sizeFits = StreamSize(image, sw, sh);
    if (!a.streamCreated) {
        if (!sizeFits) {
            ErrCode = kErrAviStream;
            return;
        }
        a.streamWidth = sw;
        a.streamHeight = sh;
        state.width = sw;
        state.height = sh;
        state.bytesPerPixel = image.bytesPerPixel;
        int32_t err = CreateVideoStream(state, image);
        if (err) {
            ErrCode = err;
            return;
        }
        // The file starts with its head for no frames, never with zeros.
        RefreshHeader(state);
    } else if (sw != a.streamWidth || sh != a.streamHeight || image.bytesPerPixel != a.srcBytes) {
        ErrCode = kErrAviWriteFrame;
        return;
    }

    // The stream picture, bottom row first: the first stream-height rows of
    // the image in memory order, each cut to the stream width. A coder of
    // FFmpeg reads them where they are.
    const size_t row = size_t(sw) * a.srcBytes;
    if (a.kind != AviCodecKind::FFmpeg) {
        a.dib.resize(row * sh);
        for (int32_t j = 0; j < sh; ++j) {
            const int32_t src = image.topDown ? sh - 1 - j : j;
            std::memcpy(&a.dib[size_t(j) * row], image.pixels + size_t(src) * image.rowBytes(), row);
        }
    }

    std::vector<uint8_t> data;
    uint32_t flags = kAviKeyFrame;
    uint32_t id = FourCC("00dc");
    const bool eightBitStream = a.videoFormat.size() >= 16 && GetLE16(&a.videoFormat[14]) == 8;
    if (a.kind != AviCodecKind::FFmpeg && eightBitStream && state.frameCounter > 0 &&
        std::memcmp(a.lastPalette, image.palette, 768) != 0) {
        // A palette of its own for this frame: a palette change before it.
        std::vector<uint8_t> pc(4 + 1024, 0);
        for (int i = 0; i < 256; ++i) std::memcpy(&pc[4 + 4 * i], image.palette + 3 * i, 3);
        if (!a.writer.WriteChunk(FourCC("00pc"), pc.data(), uint32_t(pc.size()), 0)) {
            ErrCode = WriteError(a.writer, kErrAviWriteFrame);
            return;
        }
        std::memcpy(a.lastPalette, image.palette, 768);
        a.paletteChanges = true;
    }
    switch (a.kind) {
        case AviCodecKind::Uncompressed:
            id = FourCC("00db");
            if (a.srcBits == 16) {
                data.resize(a.dib.size());
                for (size_t i = 0; i + 1 < a.dib.size(); i += 2) {
                    uint16_t v = GetLE16(&a.dib[i]);
                    PutLE16(&data[i], uint16_t(((v >> 1) & 0x7FE0) | (v & 0x1F)));
                }
            } else {
                data.swap(a.dib);
            }
            break;
        case AviCodecKind::Rle8: {
            const bool key = state.frameCounter == 0 || (a.keyEvery > 0 && state.frameCounter % a.keyEvery == 0);
            data = Rle8Encode(a.dib.data(), key ? nullptr : a.prevDib.data(), sw, sh);
            flags = key ? kAviKeyFrame : 0;
            a.prevDib = a.dib;
            break;
        }
        case AviCodecKind::FFmpeg: {
            bool key = false;
            if (coded && coded->ready) {
                data = coded->data;
                key = coded->keyFrame;
            } else {
                ptrdiff_t step = 0;
                const uint8_t* top = StreamTopRow(image, sh, step);
                if (!a.encoder.Encode(top, step, image.palette, data, key)) {
                    ErrCode = kErrAviNoFrame;
                    return;
                }
            }
            flags = key ? kAviKeyFrame : 0;
            break;
        }
    }
    if (!a.writer.WriteChunk(id, data.data(), uint32_t(data.size()), flags)) {
        ErrCode = WriteError(a.writer, kErrAviWriteFrame);
        return;
    }
    a.maxVideoChunk = std::max<uint32_t>(a.maxVideoChunk, uint32_t(data.size()));
    if (a.dib.empty()) a.dib.swap(data);  // keep the buffer for the next frame
    ++state.frameCounter;
    state.frames = state.frameCounter;
    if (!WritePendingSound(state, false)) {
        ErrCode = WriteError(a.writer, kErrWrite);
        return;
    }
    RefreshHeader(state);
}

static void AviWriteSoundUnguarded(AviState& state, const AviSoundBlock& block) {
    if (!state.impl || !state.writing || !block.valid() || block.data.empty()) return;
    AviImpl& a = *state.impl;
    if (!a.streamCreated) return;  // sound goes with the video stream, which comes first
    if (!a.soundCreated) {
        a.soundHeader = AviStreamHeader::Load(block.streamInfo.data(), block.streamInfo.size());
        a.soundFormat = block.format;
        a.soundCreated = true;
        state.hasSound = true;
    }
    // Chunk for chunk as the input had them: a variable-rate stream counts
    // its length and timestamps in chunks.
    std::vector<uint32_t> sizes = block.chunkSizes;
    if (sizes.empty()) sizes.push_back(uint32_t(block.data.size()));
    size_t at = 0;
    for (uint32_t n : sizes) {
        if (at + n > block.data.size()) break;
        a.pendingSound.emplace_back(block.data.begin() + ptrdiff_t(at), block.data.begin() + ptrdiff_t(at + n));
        at += n;
    }
    if (!WritePendingSound(state, false)) {
        ErrCode = WriteError(a.writer, kErrWrite);
        return;
    }
    RefreshHeader(state);
}

void AviClose(AviState& state) {
    if (state.impl && state.writing) {
        AviImpl& a = *state.impl;
        // The sound read with the last frames, though it plays after them.
        // What the file cannot take is left out; the file stays whole.
        if (a.streamCreated) WritePendingSound(state, true);
        // The index is written here: a failure is the file's failure.
        if (!a.writer.Finish(HeaderList(state, a))) ErrCode = kErrMemory;
        if (a.kind == AviCodecKind::FFmpeg) AviCompression.sequenceStarted = false;
    }
    Reset(state);
}

// Memory running out is reported like every other failure, never thrown.
void AviOpen(AviState& state, const std::string& fileName) {
    try {
        AviOpenUnguarded(state, fileName);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        state.videoEnded = state.soundEnded = true;
    }
}

void AviReadFrame(AviState& state, imagerec& image) {
    try {
        AviReadFrameUnguarded(state, image);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        state.videoEnded = state.soundEnded = true;
    }
}

void AviReadSound(AviState& state, AviSoundBlock& block) {
    try {
        AviReadSoundUnguarded(state, block);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        state.videoEnded = state.soundEnded = true;
    }
}

void AviWriteFrame(AviState& state, const imagerec& image) { AviWriteFrame(state, image, nullptr); }

void AviWriteFrame(AviState& state, const imagerec& image, const AviCodedFrame* coded) {
    try {
        AviWriteFrameUnguarded(state, image, coded);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        state.videoEnded = state.soundEnded = true;
    }
}

void AviWriteSound(AviState& state, const AviSoundBlock& block) {
    try {
        AviWriteSoundUnguarded(state, block);
    } catch (const std::bad_alloc&) {
        ErrCode = kErrMemory;
        state.videoEnded = state.soundEnded = true;
    }
}

// ---- frames coded apart ----

struct AviFrameCoder::Impl {
    AviVideoEncoder encoder;
    bool open = false;
    size_t compressor = 0;
    AviCompressionSettings settings;
    int32_t width = 0, height = 0, srcBits = 0;
    uint32_t scale = 0;
};

AviFrameCoder::AviFrameCoder() : impl_(std::make_unique<Impl>()) {}
AviFrameCoder::~AviFrameCoder() = default;

bool AviFrameCoder::CodesApart(const AviState& state) {
    if (!state.writing) return false;
    const AviCompressor& c = AviCompressorList()[ChosenCompressor()];
    // Motion JPEG codes each picture alone; without a data rate its
    // quantiser is fixed, so nothing passes from one frame to the next.
    return c.kind == AviCodecKind::FFmpeg && c.encoder && std::strcmp(c.encoder, "mjpeg") == 0 &&
           !(c.hasDataRate && AviCompression.settings.dataRate > 0);
}

bool AviFrameCoder::Code(const AviState& state, const imagerec& image, AviCodedFrame& out) {
    out.ready = false;
    int32_t sw = 0, sh = 0;
    if (!CodesApart(state) || !FrameImage(image) || !StreamSize(image, sw, sh)) return false;
    Impl& c = *impl_;
    const size_t index = ChosenCompressor();
    const AviCompressionSettings& settings = AviCompression.settings;
    const uint32_t scale = AviScaleFor(state.frameRate);
    const int32_t bits = SourceBits(image);
    if (!c.open || c.compressor != index || c.width != sw || c.height != sh || c.srcBits != bits || c.scale != scale ||
        c.settings.quality != settings.quality || c.settings.keyFrameEvery != settings.keyFrameEvery) {
        c.open = c.encoder.Open(AviCompressorList()[index], settings, sw, sh, bits, scale, kVideoRate);
        if (!c.open) return false;
        c.compressor = index;
        c.settings = settings;
        c.width = sw;
        c.height = sh;
        c.srcBits = bits;
        c.scale = scale;
    }
    ptrdiff_t step = 0;
    const uint8_t* top = StreamTopRow(image, sh, step);
    out.ready = c.encoder.Encode(top, step, image.palette, out.data, out.keyFrame);
    return out.ready;
}

// ---- compressor choice ----

void SetAviCompressorDialog(AviCompressorDialog dialog) { Dialog() = std::move(dialog); }

void AviSetCompressor(const AviCompressionSettings& settings, int32_t width, int32_t height, int32_t bytesPerPixel) {
    const auto& list = AviCompressorList();
    AviCompression.settings = settings;
    if (settings.compressor >= list.size()) AviCompression.settings.compressor = 0;
    const AviCompressor& c = list[AviCompression.settings.compressor];
    const int32_t bits = AviCompressorOutputBits(AviCompression.settings.compressor, bytesPerPixel);
    AviCompression.compressing = c.handler != FourCC("DIB ");
    AviCompression.unsupported = c.handler == FourCC("msvc") && bits == 8;
    AviCompression.outputFormat = MakeBitmapHeader(width, height, AviCompression.compressing ? bits : 8 * bytesPerPixel,
                                                   AviCompression.compressing ? c.compression : 0,
                                                   uint32_t(width) * height * uint32_t((bits + 7) / 8), nullptr);
}

void AviChooseCompressor(int32_t width, int32_t height, int32_t bytesPerPixel) {
    ErrCode = kErrNone;
    AviCompression.sequenceStarted = false;
    AviCompressionSettings settings = AviCompression.settings;
    AviCompressorRequest request;
    request.width = width;
    request.height = height;
    request.bytesPerPixel = bytesPerPixel;
    if (!Dialog() || !Dialog()(request, settings)) {
        ErrCode = kErrMemory;
        return;
    }
    AviSetCompressor(settings, width, height, bytesPerPixel);
}

}  // namespace movaltic
