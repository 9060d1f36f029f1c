#include "movaltic/imaging/basic.h"

#include <sys/mman.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>

#include "movaltic/imaging/palette.h"

namespace movaltic {

thread_local int32_t ErrCode = 0;

const char* ErrCodeText(int32_t code) {
    switch (code) {
    case kErrNone: return "no error";
    case kErrNoBuffer: return "target frame has no pixel buffer";
    case kErrOpen: return "cannot open input file, or target buffer too small";
    case kErrCreate: return "cannot create file, or cannot open image file";
    case kErrMagic: return "file does not begin with the format's magic";
    case kErrVersion: return "header version is not 97";
    case kErrWrite: return "write error";
    case kErrRead: return "read error";
    case kErrTooLarge: return "picture larger than the target buffer";
    case kErrNoFrame: return "no further frame in the file";
    case kErrFrameRefused: return "frame refused by the frame index";
    case kErrHeader: return "header not recognised";
    case kErrBitmapVariant: return "bitmap variant not handled";
    case kErrExtension: return "not a supported image kind";
    case kErrMemory: return "out of memory, target too small, or file shorter than announced";
    case kErrAviStream: return "the video stream cannot be created";
    case kErrAviCompressedFormat: return "the compressed stream format is refused";
    case kErrAviCompressStart: return "the compression sequence cannot be started";
    case kErrAviFormat: return "the uncompressed stream format is refused";
    case kErrAviNoFrame: return "the video compressor returned no frame";
    case kErrAviWriteFrame: return "writing a frame to the AVI stream failed";
    case kErrAviFull: return "the AVI file reached the size an AVI file may have";
    case kErrFileLimit: return "the file reached the file size limit";
    default: return "";
    }
}

namespace {
std::atomic<int64_t> gGrantsLeft{-1};  // -1: no limit
}  // namespace

bool MemoryGranted() {
    int64_t left = gGrantsLeft.load(std::memory_order_relaxed);
    while (left >= 0) {
        if (left == 0) return false;
        if (gGrantsLeft.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) return true;
    }
    return true;
}

void RefuseMemoryAfter(int64_t n) { gGrantsLeft.store(n < 0 ? -1 : n, std::memory_order_relaxed); }

void SafeGetMem(uint8_t*& p, int64_t n) {
    ErrCode = kErrNone;
    if (n < 0 || uint64_t(n) > SIZE_MAX || !MemoryGranted()) {
        ErrCode = kErrMemory;
        return;
    }
    // Zeroed, so rows a scaling loop leaves unwritten are black, never stale;
    // a zero-byte frame still gets a valid buffer.
    void* mem = std::calloc(n > 0 ? size_t(n) : 1, 1);
    if (!mem) {
        ErrCode = kErrMemory;
        return;
    }
    p = static_cast<uint8_t*>(mem);
    PreferHugePages(p, size_t(n));
}

void PreferHugePages(void* p, size_t n) {
    constexpr uintptr_t kHuge = uintptr_t(2) << 20;
    if (n < 2 * kHuge) return;
    // The huge pages wholly inside the block; the system may refuse them.
    const uintptr_t from = (reinterpret_cast<uintptr_t>(p) + kHuge - 1) & ~(kHuge - 1);
    const uintptr_t to = (reinterpret_cast<uintptr_t>(p) + n) & ~(kHuge - 1);
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
}

void SafeFreeMem(uint8_t*& p) {
    if (p) std::free(p);
    p = nullptr;
}

void FillBytes(void* p, int64_t n, uint8_t value) {
    if (n > 0) std::memset(p, value, size_t(n));
}

void MoveBytes(const void* src, void* dst, int64_t n) {
    if (src == dst || n <= 0) return;
    std::memmove(dst, src, size_t(n));
}

int CompareBytes(const void* a, const void* b, int64_t n) {
    if (n <= 0) return 0;
    int c = std::memcmp(a, b, size_t(n));  // compares as unsigned char
    return c == 0 ? 0 : (c > 0 ? 1 : 2);
}

std::string NumToText(uint32_t value, int widthCode) {
    std::string digits = std::to_string(value);
    if (widthCode >= 200) {
        size_t width = size_t(widthCode - 200);
        if (digits.size() < width) digits.insert(0, width - digits.size(), '0');
    } else if (widthCode >= 100) {
        std::string grouped;
        int n = int(digits.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0) grouped += ',';
            grouped += digits[size_t(i)];
        }
        size_t width = size_t(widthCode - 100);
        if (grouped.size() < width) grouped.insert(0, width - grouped.size(), ' ');
        digits = grouped;
    } else if (widthCode > 0) {
        size_t width = size_t(widthCode);
        if (digits.size() < width) digits.insert(0, width - digits.size(), ' ');
    }
    if (digits.size() > 255) digits.resize(255);
    return digits;
}

void ClockRead(double& t) {
    using namespace std::chrono;
    // A date-time in days, like the original's; any millisecond wall clock will do.
    auto ms = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    t = double(ms) / 86400000.0;
}

void ClockElapsed(ClockRecord& rec) {
    double now = 0;
    ClockRead(now);
    double days = now - rec.start;
    if (days < 0) days = 0;
    // Time-of-day decoding: a day or more wraps.
    int64_t ms = int64_t(days * 86400000.0 + 0.5) % 86400000;
    rec.hours = uint16_t(ms / 3600000);
    rec.minutes = uint16_t(ms / 60000 % 60);
    rec.seconds = uint16_t(ms / 1000 % 60);
    rec.milliseconds = uint16_t(ms % 1000);
    rec.elapsed = double((int64_t(rec.hours) * 3600 + rec.minutes * 60 + rec.seconds) * 1000 +
                         rec.milliseconds);
}

std::string ElapsedText(const ClockRecord& rec) {
    std::string s;
    if (rec.hours != 0) s += NumToText(rec.hours, 0) + " hours, ";
    if (rec.minutes != 0 || !s.empty()) s += NumToText(rec.minutes, 0) + " min, ";
    if (rec.seconds != 0 || !s.empty()) s += NumToText(rec.seconds, 0) + " sec";
    if (rec.milliseconds != 0) {
        if (!s.empty()) s += ", ";
        s += NumToText(rec.milliseconds, 0) + " msec";
    }
    if (s.empty()) s = "--:--";
    return s;
}

void ImageCreate(imagerec& img, int32_t width, int32_t height, int32_t bytesPerPixel) {
    img = imagerec{};
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    img.width = width;
    img.height = height;
    img.bytesPerPixel = bytesPerPixel;
    img.bitsPerPixel = 8 * bytesPerPixel;
    int64_t bytes = int64_t(width) * height * bytesPerPixel;
    if (bytes > INT32_MAX || bytes < 0) {
        ErrCode = kErrMemory;
        return;
    }
    img.size = int32_t(bytes);
    SafeGetMem(img.pixels, bytes);
    if (ErrCode == kErrMemory) img.size = 0;
}

void ImageFree(imagerec& img) {
    SafeFreeMem(img.pixels);
    img = imagerec{};
}

void ImageCopyHeader(const imagerec& src, imagerec& dst, bool withPalette) {
    if (&src == &dst) return;
    dst.width = src.width;
    dst.height = src.height;
    dst.bytesPerPixel = src.bytesPerPixel;
    dst.bitsPerPixel = src.bitsPerPixel;
    dst.topDown = src.topDown;
    if (withPalette && src.bytesPerPixel == 1) std::memcpy(dst.palette, src.palette, 768);
}

void ImageCopyPixels(const imagerec& src, imagerec& dst) {
    if (&src == &dst) return;
    int64_t n = src.frameBytes();
    if (n < 0 || dst.size < n || (n > 0 && (!dst.pixels || !src.pixels))) {
        ErrCode = kErrMemory;
        return;
    }
    MoveBytes(src.pixels, dst.pixels, n);
}

void ImageCopy(const imagerec& src, imagerec& dst) {
    if (&src == &dst) return;
    ImageCopyHeader(src, dst, true);
    ImageCopyPixels(src, dst);
}

DibPicture::~DibPicture() { ImageFree(reduced); }

bool ImageToDib(const imagerec& img, bool paletteDevice, DibPicture& out) {
    if (!img.pixels || img.width <= 0 || img.height <= 0) return false;
    const imagerec* frame = &img;
    out.realisePalette = false;
    if (paletteDevice && img.bytesPerPixel == 3) {
        // A 256-colour screen shows a true-colour frame through a palette of its own.
        ImageCreate(out.reduced, img.width, img.height, 1);
        if (ErrCode == kErrMemory) return false;
        FrameToOwnPalette(img, out.reduced);
        std::memcpy(out.ownPalette, out.reduced.palette, 768);
        out.realisePalette = true;
        frame = &out.reduced;
    }
    out.width = frame->width;
    out.height = frame->topDown ? -frame->height : frame->height;
    out.bitCount = 8 * frame->bytesPerPixel;
    for (int i = 0; i < 256; ++i) {
        out.colorTable[4 * i] = frame->palette[3 * i + 2];
        out.colorTable[4 * i + 1] = frame->palette[3 * i + 1];
        out.colorTable[4 * i + 2] = frame->palette[3 * i];
        out.colorTable[4 * i + 3] = 0;
    }
    int32_t row = frame->rowBytes();
    if (row % 4 == 0) {
        out.stride = row;
        out.bits = frame->pixels;
        out.padded.clear();
    } else {
        out.stride = (row + 3) / 4 * 4;
        out.padded.assign(size_t(out.stride) * size_t(frame->height), 0);
        for (int32_t y = 0; y < frame->height; ++y)
            std::memcpy(out.padded.data() + size_t(y) * size_t(out.stride),
                        frame->pixels + size_t(y) * size_t(row), size_t(row));
        out.bits = out.padded.data();
    }
    return true;
}

bool DcUsesPalette(const FrameSink& dc) { return dc.UsesPalette(); }

void DcSetPalette(const uint8_t* rgb768, FrameSink& dc) {
    if (dc.UsesPalette()) dc.RealisePalette(rgb768);
}

void ImageDraw(const imagerec& img, FrameSink& dc, int32_t x, int32_t y) {
    DibPicture dib;
    if (!ImageToDib(img, DcUsesPalette(dc), dib)) return;
    if (dib.realisePalette) DcSetPalette(dib.ownPalette, dc);
    dc.SetDIBitsToDevice(x, y, dib);
}

}  // namespace movaltic
