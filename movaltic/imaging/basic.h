// Frame image record, the program-wide error code and the small services
// every Movaltic unit shares. No Qt here: drawing goes through FrameSink.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace movaltic {

// Last-error code of Movaltic's own units: 0 or -1 is success, 1 and above a
// failure (codes listed in ErrCodeText). Set to 0 on entry by every reader,
// writer and SafeGetMem. Each thread has its own: a job's threads report
// to the job, which hands their codes on.
extern thread_local int32_t ErrCode;

constexpr int32_t kErrNone = 0;
constexpr int32_t kErrNoBuffer = -1;
constexpr int32_t kErrOpen = 1;
constexpr int32_t kErrCreate = 2;
constexpr int32_t kErrMagic = 3;
constexpr int32_t kErrVersion = 4;
constexpr int32_t kErrWrite = 5;
constexpr int32_t kErrRead = 6;
constexpr int32_t kErrTooLarge = 8;
constexpr int32_t kErrNoFrame = 9;
constexpr int32_t kErrFrameRefused = 11;
constexpr int32_t kErrHeader = 15;
constexpr int32_t kErrBitmapVariant = 16;
constexpr int32_t kErrExtension = 17;
constexpr int32_t kErrMemory = 1000;
constexpr int32_t kErrAviStream = 1001;
constexpr int32_t kErrAviCompressedFormat = 1002;
constexpr int32_t kErrAviCompressStart = 1003;
constexpr int32_t kErrAviFormat = 1004;
constexpr int32_t kErrAviNoFrame = 1005;
constexpr int32_t kErrAviWriteFrame = 1006;
constexpr int32_t kErrAviFull = 1007;  // the file reached the size an AVI may have
constexpr int32_t kErrFileLimit = 1008;  // the file reached the user's file size limit (ulimit -f)

// Meaning of an ErrCode value, for logs and tests ("" for unknown codes).
const char* ErrCodeText(int32_t code);

// One frame. Rows are packed without padding; 24-bit pixels are B,G,R.
// The pixel buffer is owned by the record and released with ImageFree.
struct imagerec {
    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 0;  // 1, 2 or 3
    int32_t bitsPerPixel = 0;   // 8, 15, 16 or 24
    int32_t size = 0;           // capacity of pixels in bytes
    uint8_t topDown = 0;        // 1: first buffer row is the top of the picture
    uint8_t palette[768] = {};  // 256 x R,G,B

    int32_t rowBytes() const { return width * bytesPerPixel; }
    int64_t frameBytes() const { return int64_t(width) * height * bytesPerPixel; }
};

struct ClockRecord {
    double start = 0;      // days
    double elapsed = 0;    // milliseconds
    uint16_t hours = 0, minutes = 0, seconds = 0, milliseconds = 0;
};

// Memory and bytes
void SafeGetMem(uint8_t*& p, int64_t n);
void SafeFreeMem(uint8_t*& p);
// Asks for huge pages for a large block not touched yet: a frame's pages are
// touched all at once, and faulting them in 4 KB at a time costs as much as
// the work on the frame.
void PreferHugePages(void* p, size_t n);
// Whether memory for one more buffer, coder or decoder may be taken (SafeGetMem
// asks too); false only while a test refuses it.
bool MemoryGranted();
// For tests: the next n asks are granted, every later one is refused as if
// memory had run out; n < 0 grants all again.
void RefuseMemoryAfter(int64_t n);
void FillBytes(void* p, int64_t n, uint8_t value);
void MoveBytes(const void* src, void* dst, int64_t n);
int CompareBytes(const void* a, const void* b, int64_t n);

// Text and clock
std::string NumToText(uint32_t value, int widthCode);
void ClockRead(double& t);
void ClockElapsed(ClockRecord& rec);
std::string ElapsedText(const ClockRecord& rec);

// Frame images
void ImageCreate(imagerec& img, int32_t width, int32_t height, int32_t bytesPerPixel);
void ImageFree(imagerec& img);
void ImageCopyHeader(const imagerec& src, imagerec& dst, bool withPalette);
void ImageCopyPixels(const imagerec& src, imagerec& dst);
void ImageCopy(const imagerec& src, imagerec& dst);

// Drawing. The window side owns the device; this side decides what is
// handed to it, in the shape of a device-independent bitmap.
struct DibPicture {
    int32_t width = 0;
    int32_t height = 0;         // negative: first row is the top (top-down)
    int32_t bitCount = 0;       // 8 x bytesPerPixel of what is drawn
    int32_t stride = 0;         // bytes per row, a multiple of 4
    const uint8_t* bits = nullptr;  // height rows of stride bytes
    uint8_t colorTable[1024] = {};  // 256 x B,G,R,0 (from the frame's palette)
    bool realisePalette = false;    // palette devices: realise ownPalette first
    uint8_t ownPalette[768] = {};   // the palette a 24-bit frame was reduced to
    std::vector<uint8_t> padded;    // backing store when rows needed padding
    imagerec reduced;               // backing store of a reduced 24-bit frame
    DibPicture() = default;
    DibPicture(const DibPicture&) = delete;
    DibPicture& operator=(const DibPicture&) = delete;
    ~DibPicture();
};

// A window or canvas a frame is drawn into (implemented by the window side).
class FrameSink {
public:
    virtual ~FrameSink() = default;
    // True for 256-colour devices that draw through a realised palette.
    virtual bool UsesPalette() const = 0;
    // Realises a 256-entry R,G,B palette (palette devices only).
    virtual void RealisePalette(const uint8_t* rgb768) = 0;
    // Sets the whole picture with its top-left corner at (x, y), unscaled.
    virtual void SetDIBitsToDevice(int32_t x, int32_t y, const DibPicture& dib) = 0;
};

// Builds the picture ImageDraw hands to a device: rows padded to 4 bytes
// only when needed; on palette devices a 24-bit frame is first reduced to a
// palette of its own (FrameToOwnPalette). False when there is nothing to draw.
bool ImageToDib(const imagerec& img, bool paletteDevice, DibPicture& out);
bool DcUsesPalette(const FrameSink& dc);
void DcSetPalette(const uint8_t* rgb768, FrameSink& dc);
void ImageDraw(const imagerec& img, FrameSink& dc, int32_t x, int32_t y);

}  // namespace movaltic
