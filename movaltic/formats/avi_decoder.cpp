// Decoding of AVI video chunks: raw bitmaps and RLE8 here, every other
// codec through libavcodec, pictures converted by swscale.
#include "movaltic/formats/avi_codec.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>

#include "movaltic/formats/avi_ffmpeg_support.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/formats/byte_io.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace movaltic {

using namespace avi_detail;

// ---- decoding ----

struct AviVideoDecoder::FF {
    AVCodecContext* ctx = nullptr;
    AVPacket* pkt = nullptr;
    SwsContext* sws = nullptr;
    PaddedImage out;
    bool bottomUp = false;  // raw video through libavcodec keeps the file's row order
    std::deque<AVFrame*> ready;  // decoded, in display order, not yet given out
    bool flushed = false;        // the end of the stream was signalled
    AVFrame* taken = nullptr;    // out of the queue, to be converted
    ~FF() {
        for (AVFrame* fr : ready) av_frame_free(&fr);
        av_frame_free(&taken);
        sws_freeContext(sws);
        av_packet_free(&pkt);
        avcodec_free_context(&ctx);
    }
};

AviVideoDecoder::AviVideoDecoder() = default;
AviVideoDecoder::~AviVideoDecoder() = default;

bool AviVideoDecoder::usesFFmpeg() const { return ff_ != nullptr; }

bool AviVideoDecoder::decodesJpeg() const { return ff_ && ff_->ctx->codec_id == AV_CODEC_ID_MJPEG; }

void AviVideoDecoder::FailDamagedFrames() {
    if (ff_) ff_->ctx->err_recognition |= AV_EF_EXPLODE;
}

namespace {

// Room past the last row, as swscale's vector code may write a little past
// a picture it fills straight.
constexpr size_t kSwscaleSlack = 64;

AVCodecContext* OpenDecoderContext(const std::vector<uint8_t>& format, uint32_t handler, int32_t width,
                                   int32_t height, int32_t bitCount, uint32_t compression) {
    const AVCodecTag* tags[] = {avformat_get_riff_video_tags(), nullptr};
    AVCodecID id = av_codec_get_id(tags, compression);
    if (id == AV_CODEC_ID_NONE) id = av_codec_get_id(tags, handler);
    const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
    if (!codec) return nullptr;
    QuietCodecLog();
    AVCodecContext* ctx = avcodec_alloc_context3(codec);
    if (!ctx) return nullptr;
    ctx->codec_tag = compression;
    ctx->width = width;
    ctx->height = height;
    ctx->bits_per_coded_sample = bitCount;
    if (format.size() > 40) {
        size_t n = format.size() - 40;
        ctx->extradata = static_cast<uint8_t*>(av_mallocz(n + AV_INPUT_BUFFER_PADDING_SIZE));
        if (ctx->extradata) {
            std::memcpy(ctx->extradata, format.data() + 40, n);
            ctx->extradata_size = int(n);
        }
    }
    // Slice threads only: frame threads would hold frames back.
    ctx->thread_type = FF_THREAD_SLICE;
    ctx->thread_count = 0;
    if (avcodec_open2(ctx, codec, nullptr) < 0) avcodec_free_context(&ctx);
    return ctx;
}

void SetPaletteSideData(AVPacket* pkt, const uint8_t* rgb) {
    uint8_t* side = av_packet_new_side_data(pkt, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
    if (!side) return;
    for (int i = 0; i < 256; ++i) {
        uint32_t argb = 0xFF000000u | (uint32_t(rgb[3 * i]) << 16) | (uint32_t(rgb[3 * i + 1]) << 8) | rgb[3 * i + 2];
        std::memcpy(side + 4 * i, &argb, 4);
    }
}

}  // namespace

bool AviVideoDecoder::Open(const std::vector<uint8_t>& format, uint32_t handler) {
    ff_.reset();
    if (!MemoryGranted()) return false;
    if (format.size() < 40) return false;
    const uint32_t headerSize = GetLE32(&format[0]);
    const int32_t w = int32_t(GetLE32(&format[4])), h = int32_t(GetLE32(&format[8]));
    bitCount_ = GetLE16(&format[14]);
    compression_ = GetLE32(&format[16]);
    // Larger pictures are not movies this program can hold: refused before
    // anything is allocated for them.
    const int64_t ah = h < 0 ? -int64_t(h) : h;
    if (w <= 0 || w > 16384 || ah == 0 || ah > 16384 || int64_t(w) * ah > (int64_t(1) << 26)) return false;
    width_ = w;
    height_ = h < 0 ? -h : h;
    topDown_ = h < 0;
    if (bitCount_ <= 8) {
        // Colours follow the header: as many as it says it uses, else 2^bits.
        uint32_t used = format.size() >= 36 ? GetLE32(&format[32]) : 0;
        uint32_t count = used ? std::min<uint32_t>(used, 256) : (bitCount_ ? 1u << std::min<int>(bitCount_, 8) : 256);
        for (uint32_t i = 0; i < count; ++i) {
            size_t at = size_t(headerSize) + 4 * i;
            if (headerSize > format.size() || at + 4 > format.size()) break;
            palette_[3 * i] = format[at + 2];
            palette_[3 * i + 1] = format[at + 1];
            palette_[3 * i + 2] = format[at];
        }
        std::memcpy(streamPalette_, palette_, 768);
    }
    const bool raw = compression_ == kBiRgb || compression_ == kBiBitfields;
    if (raw && (bitCount_ == 8 || bitCount_ == 16 || bitCount_ == 24 || bitCount_ == 32)) {
        bytesPerPixel_ = bitCount_ == 8 ? 1 : bitCount_ == 16 ? 2 : 3;
        bitsPerPixel_ = bitCount_ == 16 ? 15 : bitCount_ == 32 ? 24 : bitCount_;
        if (bitCount_ == 16 && compression_ == kBiBitfields && format.size() >= size_t(headerSize) + 12 &&
            headerSize >= 40) {
            rgb565_ = GetLE32(&format[headerSize + 4]) == 0x07E0;
            if (rgb565_) bitsPerPixel_ = 16;
        }
    } else if (compression_ == kBiRle8 && bitCount_ == 8 && !topDown_) {
        bytesPerPixel_ = 1;
        bitsPerPixel_ = 8;
    } else {
        ff_ = std::make_unique<FF>();
        ff_->ctx = OpenDecoderContext(format, handler, width_, height_, bitCount_, compression_);
        ff_->pkt = av_packet_alloc();
        if (!ff_->ctx || !ff_->pkt) {
            ff_.reset();
            return false;
        }
        ff_->bottomUp = ff_->ctx->codec_id == AV_CODEC_ID_RAWVIDEO && !topDown_;
        bytesPerPixel_ = bitCount_ <= 8 ? 1 : 3;
        bitsPerPixel_ = bytesPerPixel_ == 1 ? 8 : 24;
        probeFormat_ = format;
        probeHandler_ = handler;
    }
    picture_.clear();
    SizePicture();
    return true;
}

namespace {

// The last probe's answer. The depth a codec gives for a stream's first
// chunk is the same each time it is asked, and a movie's is asked when it is
// chosen, when a job opens it and when its preview is read: decoding a large
// first picture again costs as much as a frame of the job.
struct ProbeMemo {
    std::mutex m;
    std::vector<uint8_t> key;
    int32_t bytesPerPixel = 0, bitsPerPixel = 0;
};

ProbeMemo& LastProbe() {
    static ProbeMemo memo;
    return memo;
}

void Append(std::vector<uint8_t>& key, const void* data, size_t n) {
    const uint64_t size = n;
    const auto* bytes = static_cast<const uint8_t*>(data);
    key.insert(key.end(), reinterpret_cast<const uint8_t*>(&size), reinterpret_cast<const uint8_t*>(&size + 1));
    key.insert(key.end(), bytes, bytes + n);
}

}  // namespace

void AviVideoDecoder::SetProbeChunk(const std::vector<uint8_t>& firstChunk) {
    if (!ff_ || firstChunk.empty()) return;
    // Everything the answer depends on: the stream's format, the palette
    // the packet carries and the chunk itself.
    std::vector<uint8_t> key;
    try {
        Append(key, probeFormat_.data(), probeFormat_.size());
        Append(key, &probeHandler_, sizeof probeHandler_);
        if (bitCount_ <= 8) Append(key, streamPalette_, sizeof streamPalette_);
        Append(key, firstChunk.data(), firstChunk.size());
    } catch (const std::bad_alloc&) {
        key.clear();  // asked of the codec, not remembered
    }
    ProbeMemo& memo = LastProbe();
    if (!key.empty()) {
        std::lock_guard<std::mutex> lock(memo.m);
        if (memo.key == key) {
            bytesPerPixel_ = memo.bytesPerPixel;
            bitsPerPixel_ = memo.bitsPerPixel;
            SizePicture();
            return;
        }
    }
    // A decoder of its own tells the depth the codec gives, without
    // disturbing the one that reads the frames.
    AVCodecContext* ctx =
        OpenDecoderContext(probeFormat_, probeHandler_, width_, height_, bitCount_, compression_);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    bool answered = false;  // a picture came out: a failure may not recur
    if (ctx && pkt && frame && av_new_packet(pkt, int(firstChunk.size())) == 0) {
        std::memcpy(pkt->data, firstChunk.data(), firstChunk.size());
        if (bitCount_ <= 8) SetPaletteSideData(pkt, streamPalette_);
        int got = avcodec_send_packet(ctx, pkt) >= 0 ? avcodec_receive_frame(ctx, frame) : -1;
        // A codec that holds its first picture back gives it at the end.
        if (got == AVERROR(EAGAIN) && avcodec_send_packet(ctx, nullptr) >= 0) got = avcodec_receive_frame(ctx, frame);
        answered = got >= 0;
        if (answered) {
            switch (frame->format) {
                case AV_PIX_FMT_PAL8: bytesPerPixel_ = 1, bitsPerPixel_ = 8; break;
                case AV_PIX_FMT_GRAY8:
                    bytesPerPixel_ = bitCount_ <= 8 ? 1 : 3;
                    bitsPerPixel_ = 8 * bytesPerPixel_;
                    break;
                case AV_PIX_FMT_RGB555LE: bytesPerPixel_ = 2, bitsPerPixel_ = 15; break;
                case AV_PIX_FMT_RGB565LE: bytesPerPixel_ = 2, bitsPerPixel_ = 16; break;
                default: bytesPerPixel_ = 3, bitsPerPixel_ = 24; break;
            }
        }
    }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avcodec_free_context(&ctx);
    if (answered && !key.empty()) {
        std::lock_guard<std::mutex> lock(memo.m);
        memo.key.swap(key);
        memo.bytesPerPixel = bytesPerPixel_;
        memo.bitsPerPixel = bitsPerPixel_;
    }
    SizePicture();
}

void AviVideoDecoder::SetDepthOf(const AviVideoDecoder& probed) {
    if (!ff_) return;
    bytesPerPixel_ = probed.bytesPerPixel_;
    bitsPerPixel_ = probed.bitsPerPixel_;
    SizePicture();
}

// The picture at the depth known now, zeroed when it is made; kept when
// the depth stays, since clearing a large picture again costs a frame's time.
void AviVideoDecoder::SizePicture() {
    const size_t bytes = size_t(width_) * height_ * bytesPerPixel_ + kSwscaleSlack;
    if (picture_.size() == bytes) return;
    picture_.clear();
    picture_.shrink_to_fit();
    picture_.reserve(bytes);
    PreferHugePages(picture_.data(), bytes);
    picture_.assign(bytes, 0);
}

void AviVideoDecoder::ChangePalette(const uint8_t* data, size_t size) {
    ByteReader r(data, size);
    int first = r.u8();
    int count = r.u8();
    r.u16();
    if (count == 0) count = 256;
    // Our codecs give out the stream's palette; libavcodec's pictures carry
    // their own, made from what the packets hand it.
    uint8_t* pal = ff_ ? streamPalette_ : palette_;
    for (int i = first; i < first + count && i < 256; ++i) {
        uint8_t red = r.u8(), green = r.u8(), blue = r.u8();
        r.u8();
        if (r.failed()) break;
        pal[3 * i] = red;
        pal[3 * i + 1] = green;
        pal[3 * i + 2] = blue;
    }
    paletteChanged_ = true;
}

bool AviVideoDecoder::Fits(const imagerec& image) const {
    const size_t frameBytes = size_t(width_) * height_ * bytesPerPixel_;
    return image.pixels && image.size >= 0 && size_t(image.size) >= frameBytes;
}

bool AviVideoDecoder::Decode(const std::vector<uint8_t>& chunk, imagerec& image) {
    if (!Fits(image)) return false;
    if (chunk.empty()) {
        // A dropped frame: the picture before it stands.
    } else if (ff_) {
        return false;  // such chunks go through Send and TakePicture
    } else if (compression_ == kBiRle8) {
        Rle8Decode(chunk.data(), chunk.size(), picture_.data(), width_, height_);
    } else {
        const size_t stride = (size_t(width_) * bitCount_ + 31) / 32 * 4;
        const size_t rowBytes = size_t(width_) * bitCount_ / 8;
        if (chunk.size() < stride * (height_ - 1) + rowBytes) return false;
        for (int32_t y = 0; y < height_; ++y) {
            const uint8_t* src = chunk.data() + stride * y;
            uint8_t* dst = picture_.data() + size_t(y) * width_ * bytesPerPixel_;
            if (bitCount_ == 32) {
                for (int32_t x = 0; x < width_; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
            } else {
                std::memcpy(dst, src, rowBytes);
            }
        }
    }
    Output(image);
    return true;
}

void AviVideoDecoder::Output(imagerec& image) const {
    std::memcpy(image.pixels, picture_.data(), size_t(width_) * height_ * bytesPerPixel_);
    image.width = width_;
    image.height = height_;
    image.bytesPerPixel = bytesPerPixel_;
    image.bitsPerPixel = bitsPerPixel_;
    // libavcodec gives pictures top row first, except raw video.
    image.topDown = (ff_ ? !ff_->bottomUp : topDown_) ? 1 : 0;
    if (bytesPerPixel_ == 1) std::memcpy(image.palette, palette_, 768);
}

bool AviVideoDecoder::Send(const std::vector<uint8_t>& chunk) {
    if (!ff_ || ff_->flushed || chunk.empty()) return false;
    FF& f = *ff_;
    av_packet_unref(f.pkt);
    if (av_new_packet(f.pkt, int(chunk.size())) < 0) return false;
    std::memcpy(f.pkt->data, chunk.data(), chunk.size());
    if (paletteChanged_ && bitCount_ <= 8) SetPaletteSideData(f.pkt, streamPalette_);
    paletteChanged_ = false;
    return SendPacket(f.pkt);
}

bool AviVideoDecoder::Flush() {
    if (!ff_) return false;
    if (ff_->flushed) return true;
    ff_->flushed = true;
    return SendPacket(nullptr);
}

bool AviVideoDecoder::HasPicture() const { return ff_ && !ff_->ready.empty(); }

bool AviVideoDecoder::flushed() const { return ff_ && ff_->flushed; }

// Hands a packet (null: the end of the stream) to the codec and queues every
// picture it has ready, so that it never refuses the next packet for want of
// room.
bool AviVideoDecoder::SendPacket(const AVPacket* pkt) {
    FF& f = *ff_;
    if (avcodec_send_packet(f.ctx, pkt) < 0) return false;
    for (;;) {
        AVFrame* fr = av_frame_alloc();
        if (!fr) return false;
        const int got = avcodec_receive_frame(f.ctx, fr);
        if (got < 0) {
            av_frame_free(&fr);
            return got == AVERROR(EAGAIN) || got == AVERROR_EOF;
        }
        f.ready.push_back(fr);
    }
}

void AviVideoDecoder::TakeDecoded() {
    if (!ff_) return;
    FF& f = *ff_;
    av_frame_free(&f.taken);
    // No picture (the codec gave fewer than its chunks): the last one stands.
    if (f.ready.empty()) return;
    f.taken = f.ready.front();
    f.ready.pop_front();
}

bool AviVideoDecoder::ConvertTaken() {
    if (!ff_) return false;
    FF& f = *ff_;
    if (!f.taken) return true;
    const bool ok = Convert(f.taken);
    av_frame_free(&f.taken);
    return ok;
}

bool AviVideoDecoder::PreparePicture() {
    TakeDecoded();
    return ConvertTaken();
}

bool AviVideoDecoder::TakePicture(imagerec& image) {
    if (!ff_ || !Fits(image) || !PreparePicture()) return false;
    Output(image);
    return true;
}

// The JPEG pixel formats are the plain ones at full range. swscale treats them as
// deprecated and says so on every frame, so name them plainly and set the range.
static AVPixelFormat PlainYuvFormat(AVPixelFormat f, bool& fullRange) {
    switch (f) {
    case AV_PIX_FMT_YUVJ420P: fullRange = true; return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P: fullRange = true; return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P: fullRange = true; return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P: fullRange = true; return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P: fullRange = true; return AV_PIX_FMT_YUV411P;
    default: return f;
    }
}

// A decoded picture into picture_, at our depth, with its palette for 8 bits.
bool AviVideoDecoder::Convert(const AVFrame* fr) {
    FF& f = *ff_;
    const AVPixelFormat src = AVPixelFormat(fr->format);
    bool ok = true;
    if (bytesPerPixel_ == 1 && (src == AV_PIX_FMT_PAL8 || src == AV_PIX_FMT_GRAY8) && fr->width == width_ &&
        fr->height == height_) {
        for (int32_t y = 0; y < height_; ++y)
            std::memcpy(picture_.data() + size_t(y) * width_, fr->data[0] + size_t(y) * fr->linesize[0], width_);
        for (int i = 0; i < 256; ++i) {
            if (src == AV_PIX_FMT_PAL8) {
                uint32_t argb;
                std::memcpy(&argb, fr->data[1] + 4 * i, 4);
                palette_[3 * i] = uint8_t(argb >> 16);
                palette_[3 * i + 1] = uint8_t(argb >> 8);
                palette_[3 * i + 2] = uint8_t(argb);
            } else {
                palette_[3 * i] = palette_[3 * i + 1] = palette_[3 * i + 2] = uint8_t(i);
            }
        }
    } else {
        const AVPixelFormat dst = bytesPerPixel_ == 1   ? AV_PIX_FMT_GRAY8
                                  : bytesPerPixel_ == 2 ? (bitsPerPixel_ == 16 ? AV_PIX_FMT_RGB565LE
                                                                               : AV_PIX_FMT_RGB555LE)
                                                        : AV_PIX_FMT_BGR24;
        bool fullRange = fr->color_range == AVCOL_RANGE_JPEG;
        const AVPixelFormat plain = PlainYuvFormat(src, fullRange);
        f.sws = sws_getCachedContext(f.sws, fr->width, fr->height, plain, width_, height_, dst, SWS_BILINEAR,
                                     nullptr, nullptr, nullptr);
        if (f.sws && fullRange) {
            const int* coefficients = sws_getCoefficients(SWS_CS_DEFAULT);
            sws_setColorspaceDetails(f.sws, coefficients, 1, coefficients, 1, 0, 1 << 16, 1 << 16);
        }
        const size_t row = size_t(width_) * bytesPerPixel_;
        uint8_t* direct[4] = {picture_.data(), nullptr, nullptr, nullptr};
        const int directLines[4] = {int(row), 0, 0, 0};
        if (f.sws && row % 16 == 0 && reinterpret_cast<uintptr_t>(picture_.data()) % 16 == 0) {
            // Rows aligned as swscale wants them: straight into the picture.
            ok = sws_scale(f.sws, fr->data, fr->linesize, 0, fr->height, direct, directLines) > 0;
        } else {
            ok = f.sws && f.out.Ensure(width_, height_, dst) &&
                 sws_scale(f.sws, fr->data, fr->linesize, 0, fr->height, f.out.data, f.out.linesize) > 0;
            for (int32_t y = 0; ok && y < height_; ++y)
                std::memcpy(picture_.data() + row * y, f.out.data[0] + size_t(f.out.linesize[0]) * y, row);
        }
        if (bytesPerPixel_ == 1)
            for (int i = 0; i < 256; ++i) palette_[3 * i] = palette_[3 * i + 1] = palette_[3 * i + 2] = uint8_t(i);
    }
    return ok;
}


}  // namespace movaltic
