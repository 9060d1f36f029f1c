// Pieces shared by the AVI codec files (not a public API): the bitmap
// compression codes, a quiet FFmpeg log and swscale's padded buffers.
#pragma once

#include <cstdint>

extern "C" {
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace movaltic::avi_detail {

constexpr uint32_t kBiRgb = 0, kBiRle8 = 1, kBiBitfields = 3;

// FFmpeg's notes and warnings (per-frame ones among them) would fill the
// terminal of a long job; our callers learn of failures through ErrCode.
inline void QuietCodecLog() {
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

}  // namespace movaltic::avi_detail
