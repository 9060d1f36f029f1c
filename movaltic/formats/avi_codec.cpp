#include "movaltic/formats/avi_codec.h"

#include <algorithm>
#include <cstring>
#include <deque>

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

namespace {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiBitfields = 3;

// FFmpeg's notes and warnings (per-frame ones among them) would fill the
// terminal of a long job; our callers learn of failures through ErrCode.
void QuietCodecLog() {
    static const bool quiet = [] {
        av_log_set_level(AV_LOG_ERROR);
        return true;
    }();
    (void)quiet;
}

// A picture buffer as swscale wants it: rows aligned and padded, because its
// vector code writes and reads whole blocks past a tight row's end.
struct PaddedImage {
    uint8_t* data[4] = {};
    int linesize[4] = {};
    int width = 0, height = 0;
    AVPixelFormat format = AV_PIX_FMT_NONE;
    ~PaddedImage() { av_freep(&data[0]); }
    bool Ensure(int w, int h, AVPixelFormat f) {
        if (data[0] && w == width && h == height && f == format) return true;
        av_freep(&data[0]);
        width = w, height = h, format = f;
        return av_image_alloc(data, linesize, (w + 63) & ~63, h + 2, f, 64) >= 0;
    }
};

}  // namespace

// ---- compressor list ----

const std::vector<AviCompressor>& AviCompressorList() {
    static const std::vector<AviCompressor> list = {
        {"Full Frames (Uncompressed)", AviCodecKind::Uncompressed, FourCC("DIB "), kBiRgb, nullptr, false, false, false},
        {"RLE8 (Run-Length Encoding)", AviCodecKind::Rle8, FourCC("mrle"), kBiRle8, nullptr, false, true, false},
        {"Microsoft Video 1", AviCodecKind::FFmpeg, FourCC("msvc"), FourCC("MSVC"), "msvideo1", false, true, false},
        {"Cinepak", AviCodecKind::FFmpeg, FourCC("cvid"), FourCC("cvid"), "cinepak", true, true, false},
        {"Motion JPEG", AviCodecKind::FFmpeg, FourCC("MJPG"), FourCC("MJPG"), "mjpeg", true, false, true},
        {"FFV1 (lossless)", AviCodecKind::FFmpeg, FourCC("FFV1"), FourCC("FFV1"), "ffv1", false, true, false},
        {"HuffYUV (lossless)", AviCodecKind::FFmpeg, FourCC("HFYU"), FourCC("HFYU"), "huffyuv", false, false, false},
        {"ZMBV (Zip Motion Blocks Video)", AviCodecKind::FFmpeg, FourCC("ZMBV"), FourCC("ZMBV"), "zmbv", false, true,
         false},
        {"MPEG-4", AviCodecKind::FFmpeg, FourCC("FMP4"), FourCC("FMP4"), "mpeg4", true, true, true},
    };
    return list;
}

bool AviCompressorAccepts(size_t index, int32_t bytesPerPixel) {
    const auto& list = AviCompressorList();
    if (index >= list.size() || bytesPerPixel < 1 || bytesPerPixel > 3) return false;
    switch (list[index].kind) {
        case AviCodecKind::Uncompressed: return true;
        case AviCodecKind::Rle8: return bytesPerPixel == 1;
        case AviCodecKind::FFmpeg: return avcodec_find_encoder_by_name(list[index].encoder) != nullptr;
    }
    return false;
}

int32_t AviCompressorOutputBits(size_t index, int32_t bytesPerPixel) {
    const auto& list = AviCompressorList();
    if (index >= list.size()) return 0;
    const std::string enc = list[index].encoder ? list[index].encoder : "";
    switch (list[index].kind) {
        case AviCodecKind::Uncompressed: return 8 * bytesPerPixel;
        case AviCodecKind::Rle8: return 8;
        case AviCodecKind::FFmpeg:
            if (enc == "msvideo1") return 16;
            if (enc == "zmbv") return 8 * bytesPerPixel;
            return 24;
    }
    return 0;
}

// ---- bitmaps ----

std::vector<uint8_t> MakeBitmapHeader(int32_t width, int32_t height, int32_t bitCount, uint32_t compression,
                                      uint32_t imageSize, const uint8_t* rgbPalette) {
    std::vector<uint8_t> h(40, 0);
    PutLE32(&h[0], 40);
    PutLE32(&h[4], uint32_t(width));
    PutLE32(&h[8], uint32_t(height));
    PutLE16(&h[12], 1);
    PutLE16(&h[14], uint16_t(bitCount));
    PutLE32(&h[16], compression);
    PutLE32(&h[20], imageSize);
    if (bitCount == 8 && rgbPalette) {
        h.resize(40 + 1024, 0);
        for (int i = 0; i < 256; ++i) {
            h[40 + 4 * i] = rgbPalette[3 * i + 2];
            h[41 + 4 * i] = rgbPalette[3 * i + 1];
            h[42 + 4 * i] = rgbPalette[3 * i];
        }
    }
    return h;
}

namespace {

// Codes pixels [x, end) of one row in encoded mode (runs) and absolute mode
// (literals of 3 or more, padded to an even length).
void Rle8Span(const uint8_t* row, int32_t x, int32_t end, std::vector<uint8_t>& out) {
    while (x < end) {
        int32_t run = 1;
        while (x + run < end && run < 255 && row[x + run] == row[x]) ++run;
        if (run >= 2) {
            out.push_back(uint8_t(run));
            out.push_back(row[x]);
            x += run;
            continue;
        }
        // A literal stretch ends where a run of 3 begins.
        int32_t n = 0;
        while (x + n < end && n < 255) {
            if (n > 0 && x + n + 2 < end && row[x + n] == row[x + n + 1] && row[x + n] == row[x + n + 2]) break;
            ++n;
        }
        if (n >= 3) {
            out.push_back(0);
            out.push_back(uint8_t(n));
            out.insert(out.end(), row + x, row + x + n);
            if (n & 1) out.push_back(0);
        } else {
            for (int32_t k = 0; k < n; ++k) {
                out.push_back(1);
                out.push_back(row[x + k]);
            }
        }
        x += n;
    }
}

}  // namespace

std::vector<uint8_t> Rle8Encode(const uint8_t* pixels, const uint8_t* prev, int32_t width, int32_t height) {
    std::vector<uint8_t> out;
    out.reserve(size_t(width) * height / 4 + 64);
    if (!prev) {
        for (int32_t y = 0; y < height; ++y) {
            Rle8Span(pixels + size_t(y) * width, 0, width, out);
            if (y + 1 < height) out.insert(out.end(), {0, 0});
        }
        out.insert(out.end(), {0, 1});
        return out;
    }
    // Delta frame: the cursor (cx, cy) moves over unchanged pixels by escapes.
    int32_t cx = 0, cy = 0;
    auto moveTo = [&](int32_t tx, int32_t ty) {
        if (ty > cy && tx < cx) {
            out.insert(out.end(), {0, 0});  // end of line: to the start of the next row
            cx = 0;
            ++cy;
        }
        while (tx > cx || ty > cy) {
            int32_t dx = std::min(255, tx - cx), dy = std::min(255, ty - cy);
            out.insert(out.end(), {0, 2, uint8_t(dx), uint8_t(dy)});
            cx += dx;
            cy += dy;
        }
    };
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* c = pixels + size_t(y) * width;
        const uint8_t* p = prev + size_t(y) * width;
        int32_t x = 0;
        while (x < width) {
            while (x < width && c[x] == p[x]) ++x;
            if (x >= width) break;
            // A changed span ends at 4 unchanged pixels in a row, where a delta pays.
            int32_t end = x, same = 0;
            while (end < width && same < 4) {
                same = c[end] == p[end] ? same + 1 : 0;
                ++end;
            }
            if (same >= 4) end -= same;
            moveTo(x, y);
            Rle8Span(c, x, end, out);
            cx = end;
            x = end;
        }
    }
    out.insert(out.end(), {0, 1});
    return out;
}

void Rle8Decode(const uint8_t* data, size_t size, uint8_t* pixels, int32_t width, int32_t height) {
    ByteReader r(data, size);
    int64_t x = 0, y = 0;
    while (!r.failed() && r.remaining() >= 2 && y < height) {
        uint8_t a = r.u8(), b = r.u8();
        uint8_t* row = pixels + size_t(y) * width;
        if (a > 0) {
            for (int k = 0; k < a; ++k, ++x)
                if (x < width) row[x] = b;
        } else if (b == 0) {
            x = 0;
            ++y;
        } else if (b == 1) {
            return;
        } else if (b == 2) {
            x += r.u8();
            y += r.u8();
        } else {
            for (int k = 0; k < b; ++k, ++x) {
                uint8_t v = r.u8();
                if (x < width && !r.failed()) row[x] = v;
            }
            if (b & 1) r.u8();
        }
    }
}

// ---- decoding ----

struct AviVideoDecoder::FF {
    AVCodecContext* ctx = nullptr;
    AVPacket* pkt = nullptr;
    SwsContext* sws = nullptr;
    PaddedImage out;
    bool bottomUp = false;  // raw video through libavcodec keeps the file's row order
    std::deque<AVFrame*> ready;  // decoded, in display order, not yet given out
    bool flushed = false;        // the end of the stream was signalled
    ~FF() {
        for (AVFrame* fr : ready) av_frame_free(&fr);
        sws_freeContext(sws);
        av_packet_free(&pkt);
        avcodec_free_context(&ctx);
    }
};

AviVideoDecoder::AviVideoDecoder() = default;
AviVideoDecoder::~AviVideoDecoder() = default;

bool AviVideoDecoder::usesFFmpeg() const { return ff_ != nullptr; }

namespace {

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
    picture_.assign(size_t(width_) * height_ * bytesPerPixel_, 0);
    return true;
}

void AviVideoDecoder::SetProbeChunk(const std::vector<uint8_t>& firstChunk) {
    if (!ff_ || firstChunk.empty()) return;
    // A decoder of its own tells the depth the codec gives, without
    // disturbing the one that reads the frames.
    AVCodecContext* ctx =
        OpenDecoderContext(probeFormat_, probeHandler_, width_, height_, bitCount_, compression_);
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    if (ctx && pkt && frame && av_new_packet(pkt, int(firstChunk.size())) == 0) {
        std::memcpy(pkt->data, firstChunk.data(), firstChunk.size());
        if (bitCount_ <= 8) SetPaletteSideData(pkt, streamPalette_);
        int got = avcodec_send_packet(ctx, pkt) >= 0 ? avcodec_receive_frame(ctx, frame) : -1;
        // A codec that holds its first picture back gives it at the end.
        if (got == AVERROR(EAGAIN) && avcodec_send_packet(ctx, nullptr) >= 0) got = avcodec_receive_frame(ctx, frame);
        if (got >= 0) {
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
    picture_.assign(size_t(width_) * height_ * bytesPerPixel_, 0);
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

bool AviVideoDecoder::TakePicture(imagerec& image) {
    if (!ff_ || !Fits(image)) return false;
    FF& f = *ff_;
    if (!f.ready.empty()) {
        AVFrame* fr = f.ready.front();
        f.ready.pop_front();
        const bool ok = Convert(fr);
        av_frame_free(&fr);
        if (!ok) return false;
    }
    // No picture (the codec gave fewer than its chunks): the last one stands.
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
        ok = f.sws && f.out.Ensure(width_, height_, dst) &&
             sws_scale(f.sws, fr->data, fr->linesize, 0, fr->height, f.out.data, f.out.linesize) > 0;
        const size_t row = size_t(width_) * bytesPerPixel_;
        for (int32_t y = 0; ok && y < height_; ++y)
            std::memcpy(picture_.data() + row * y, f.out.data[0] + size_t(f.out.linesize[0]) * y, row);
        if (bytesPerPixel_ == 1)
            for (int i = 0; i < 256; ++i) palette_[3 * i] = palette_[3 * i + 1] = palette_[3 * i + 2] = uint8_t(i);
    }
    return ok;
}

// ---- encoding ----

struct AviVideoEncoder::FF {
    AVCodecContext* ctx = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* pkt = nullptr;
    SwsContext* sws = nullptr;
    PaddedImage in;
    AVPixelFormat srcFormat = AV_PIX_FMT_NONE;
    int64_t pts = 0;
    ~FF() {
        sws_freeContext(sws);
        av_packet_free(&pkt);
        av_frame_free(&frame);
        avcodec_free_context(&ctx);
    }
};

AviVideoEncoder::AviVideoEncoder() = default;
AviVideoEncoder::~AviVideoEncoder() = default;

namespace {

AVPixelFormat SourceFormat(int32_t bits) {
    switch (bits) {
        case 8: return AV_PIX_FMT_PAL8;
        case 15: return AV_PIX_FMT_RGB555LE;
        case 16: return AV_PIX_FMT_RGB565LE;
        default: return AV_PIX_FMT_BGR24;
    }
}

AVPixelFormat PickFormat(const AVCodec* codec, const std::string& name, int32_t srcBits) {
    std::vector<AVPixelFormat> wanted;
    if (name == "msvideo1") wanted = {AV_PIX_FMT_RGB555LE};
    else if (name == "cinepak") wanted = {AV_PIX_FMT_RGB24};
    else if (name == "mjpeg") wanted = {AV_PIX_FMT_YUVJ420P, AV_PIX_FMT_YUV420P};
    else if (name == "ffv1") wanted = {AV_PIX_FMT_0RGB32, AV_PIX_FMT_RGB32};
    else if (name == "huffyuv") wanted = {AV_PIX_FMT_RGB24, AV_PIX_FMT_RGB32};
    else if (name == "zmbv") {
        if (srcBits == 8) wanted = {AV_PIX_FMT_PAL8};
        else if (srcBits == 15 || srcBits == 16) wanted = {SourceFormat(srcBits), AV_PIX_FMT_RGB555LE};
        wanted.insert(wanted.end(), {AV_PIX_FMT_BGR24, AV_PIX_FMT_0RGB32});
    } else if (name == "mpeg4") wanted = {AV_PIX_FMT_YUV420P};
    const AVPixelFormat* supported = codec->pix_fmts;
    if (!supported) return wanted.empty() ? AV_PIX_FMT_BGR24 : wanted.front();
    for (AVPixelFormat w : wanted)
        for (const AVPixelFormat* p = supported; *p != AV_PIX_FMT_NONE; ++p)
            if (*p == w) return w;
    return supported[0];
}

}  // namespace

bool AviVideoEncoder::Open(const AviCompressor& compressor, const AviCompressionSettings& settings, int32_t width,
                           int32_t height, int32_t srcBits, uint32_t scale, uint32_t rate) {
    ff_.reset();
    if (!compressor.encoder) return false;
    const AVCodec* codec = avcodec_find_encoder_by_name(compressor.encoder);
    if (!codec) return false;
    QuietCodecLog();
    ff_ = std::make_unique<FF>();
    FF& f = *ff_;
    f.ctx = avcodec_alloc_context3(codec);
    f.frame = av_frame_alloc();
    f.pkt = av_packet_alloc();
    if (!f.ctx || !f.frame || !f.pkt) return false;
    const std::string name = compressor.encoder;
    AVCodecContext* c = f.ctx;
    c->width = width;
    c->height = height;
    c->pix_fmt = PickFormat(codec, name, srcBits);
    // Some coders take time bases up to 65535 only; the nearest such fraction
    // serves, as the container keeps the exact rate.
    av_reduce(&c->time_base.num, &c->time_base.den, scale, rate, 65535);
    c->framerate = AVRational{c->time_base.den, c->time_base.num};
    c->max_b_frames = 0;  // one chunk per frame, in order
    c->thread_count = 1;
    if (compressor.hasKeyFrames && settings.keyFrameEvery > 0) {
        c->gop_size = settings.keyFrameEvery;
        c->keyint_min = settings.keyFrameEvery;
    }
    if (compressor.hasDataRate && settings.dataRate > 0) {
        c->bit_rate = int64_t(settings.dataRate) * 1024 * 8;
    } else if (compressor.hasQuality) {
        // Quality 10000 is the finest quantiser (2), 0 the coarsest (31).
        const int q = std::clamp(settings.quality, 0, 10000);
        const int qscale = 2 + (10000 - q) * 29 / 10000;
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = qscale * FF_QP2LAMBDA;
    }
    if (avcodec_open2(c, codec, nullptr) < 0) {
        ff_.reset();
        return false;
    }
    f.frame->format = c->pix_fmt;
    f.frame->width = width;
    f.frame->height = height;
    if (av_frame_get_buffer(f.frame, 0) < 0) {
        ff_.reset();
        return false;
    }
    f.srcFormat = SourceFormat(srcBits);
    compressor_ = &compressor;
    width_ = width;
    height_ = height;
    srcBits_ = srcBits;
    outputBits_ = c->bits_per_coded_sample > 0 ? c->bits_per_coded_sample
                                               : (name == "zmbv" && c->pix_fmt == AV_PIX_FMT_PAL8 ? 8 : 24);
    return true;
}

std::vector<uint8_t> AviVideoEncoder::Format(const uint8_t* rgbPalette) const {
    if (!ff_) return {};
    const uint32_t imageSize = uint32_t(width_) * height_ * uint32_t((outputBits_ + 7) / 8);
    std::vector<uint8_t> h =
        MakeBitmapHeader(width_, height_, outputBits_, compressor_->compression, imageSize, rgbPalette);
    const AVCodecContext* c = ff_->ctx;
    if (c->extradata_size > 0 && outputBits_ != 8) {
        PutLE32(&h[0], uint32_t(40 + c->extradata_size));
        h.insert(h.end(), c->extradata, c->extradata + c->extradata_size);
    }
    return h;
}

bool AviVideoEncoder::Encode(const uint8_t* pixels, const uint8_t* rgbPalette, std::vector<uint8_t>& out,
                             bool& keyFrame) {
    if (!ff_) return false;
    FF& f = *ff_;
    if (av_frame_make_writable(f.frame) < 0) return false;
    uint32_t pal[256];
    for (int i = 0; i < 256; ++i)
        pal[i] = 0xFF000000u | (uint32_t(rgbPalette[3 * i]) << 16) | (uint32_t(rgbPalette[3 * i + 1]) << 8) |
                 rgbPalette[3 * i + 2];
    const int srcBytes = srcBits_ == 8 ? 1 : srcBits_ == 24 ? 3 : 2;
    const uint8_t* srcData[4] = {pixels, srcBits_ == 8 ? reinterpret_cast<const uint8_t*>(pal) : nullptr, nullptr,
                                 nullptr};
    const int srcLines[4] = {width_ * srcBytes, 0, 0, 0};
    if (f.ctx->pix_fmt == f.srcFormat) {
        for (int32_t y = 0; y < height_; ++y)
            std::memcpy(f.frame->data[0] + size_t(y) * f.frame->linesize[0], pixels + size_t(y) * srcLines[0],
                        size_t(srcLines[0]));
        if (f.srcFormat == AV_PIX_FMT_PAL8) std::memcpy(f.frame->data[1], pal, sizeof pal);
    } else {
        f.sws = sws_getCachedContext(f.sws, width_, height_, f.srcFormat, width_, height_, f.ctx->pix_fmt,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!f.sws || !f.in.Ensure(width_, height_, f.srcFormat)) return false;
        for (int32_t y = 0; y < height_; ++y)
            std::memcpy(f.in.data[0] + size_t(f.in.linesize[0]) * y, srcData[0] + size_t(srcLines[0]) * y,
                        size_t(srcLines[0]));
        if (f.srcFormat == AV_PIX_FMT_PAL8) std::memcpy(f.in.data[1], pal, sizeof pal);
        if (sws_scale(f.sws, f.in.data, f.in.linesize, 0, height_, f.frame->data, f.frame->linesize) <= 0)
            return false;
    }
    f.frame->pts = f.pts++;
    if (f.ctx->flags & AV_CODEC_FLAG_QSCALE) f.frame->quality = f.ctx->global_quality;
    if (avcodec_send_frame(f.ctx, f.frame) < 0) return false;
    av_packet_unref(f.pkt);
    if (avcodec_receive_packet(f.ctx, f.pkt) < 0 || f.pkt->size <= 0) return false;
    out.assign(f.pkt->data, f.pkt->data + f.pkt->size);
    keyFrame = (f.pkt->flags & AV_PKT_FLAG_KEY) != 0;
    return true;
}

}  // namespace movaltic
