// Encoding of AVI video frames: the compressor list, and the libavcodec
// encoders behind it.
#include "movaltic/formats/avi_codec.h"

#include <algorithm>
#include <cstring>

#include "movaltic/formats/avi_ffmpeg_support.h"
#include "movaltic/formats/avi_riff.h"
#include "movaltic/formats/byte_io.h"
#include "movaltic/imaging/yuv.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

namespace movaltic {

using namespace avi_detail;

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
    for (const AVBufferRef* buf : f.frame->buf)
        if (buf) PreferHugePages(buf->data, buf->size);
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

bool AviVideoEncoder::Encode(const uint8_t* topRow, ptrdiff_t stride, const uint8_t* rgbPalette,
                             std::vector<uint8_t>& out, bool& keyFrame) {
    if (!ff_) return false;
    FF& f = *ff_;
    if (av_frame_make_writable(f.frame) < 0) return false;
    uint32_t pal[256];
    for (int i = 0; i < 256; ++i)
        pal[i] = 0xFF000000u | (uint32_t(rgbPalette[3 * i]) << 16) | (uint32_t(rgbPalette[3 * i + 1]) << 8) |
                 rgbPalette[3 * i + 2];
    const int srcBytes = srcBits_ == 8 ? 1 : srcBits_ == 24 ? 3 : 2;
    const size_t rowBytes = size_t(width_) * srcBytes;
    if (f.ctx->pix_fmt == f.srcFormat) {
        for (int32_t y = 0; y < height_; ++y)
            std::memcpy(f.frame->data[0] + size_t(y) * f.frame->linesize[0], topRow + ptrdiff_t(y) * stride, rowBytes);
        if (f.srcFormat == AV_PIX_FMT_PAL8) std::memcpy(f.frame->data[1], pal, sizeof pal);
    } else if (f.srcFormat == AV_PIX_FMT_BGR24 && f.ctx->pix_fmt == AV_PIX_FMT_YUVJ420P && width_ % 2 == 0 &&
               height_ % 2 == 0) {
        // swscale has no fast path from 24-bit RGB to full-range YUV and
        // takes four times as long.
        const int32_t lines[3] = {f.frame->linesize[0], f.frame->linesize[1], f.frame->linesize[2]};
        BgrToFullRangeYuv420(topRow, stride, width_, height_, f.frame->data, lines);
    } else {
        f.sws = sws_getCachedContext(f.sws, width_, height_, f.srcFormat, width_, height_, f.ctx->pix_fmt,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!f.sws) return false;
        // swscale reads the rows where they are when they are aligned as it
        // wants them; others are copied into an aligned picture first.
        const uint8_t* srcData[4] = {topRow, nullptr, nullptr, nullptr};
        int srcLines[4] = {int(stride), 0, 0, 0};
        const bool aligned = f.srcFormat != AV_PIX_FMT_PAL8 && stride % 16 == 0 &&
                             reinterpret_cast<uintptr_t>(topRow) % 16 == 0;
        if (!aligned) {
            if (!f.in.Ensure(width_, height_, f.srcFormat)) return false;
            for (int32_t y = 0; y < height_; ++y)
                std::memcpy(f.in.data[0] + size_t(f.in.linesize[0]) * y, topRow + ptrdiff_t(y) * stride, rowBytes);
            if (f.srcFormat == AV_PIX_FMT_PAL8) std::memcpy(f.in.data[1], pal, sizeof pal);
            for (int k = 0; k < 4; ++k) {
                srcData[k] = f.in.data[k];
                srcLines[k] = f.in.linesize[k];
            }
        }
        if (sws_scale(f.sws, srcData, srcLines, 0, height_, f.frame->data, f.frame->linesize) <= 0) return false;
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
