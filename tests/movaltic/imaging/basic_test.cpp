#include <gtest/gtest.h>

#include "frames.h"
#include "movaltic/imaging/basic.h"

namespace movaltic {
namespace {

using test::Frame;

TEST(NumToText, FormatsByWidthCode) {
    EXPECT_EQ(NumToText(0, 0), "0");
    EXPECT_EQ(NumToText(1234567, 100), "1,234,567");
    EXPECT_EQ(NumToText(42, 205), "00042");
    EXPECT_EQ(NumToText(42, 5), "   42");
    EXPECT_EQ(NumToText(123456, 3), "123456");
    EXPECT_EQ(NumToText(999, 100), "999");
    EXPECT_EQ(NumToText(1000, 107), "  1,000");
    EXPECT_EQ(NumToText(123456, 203), "123456");
    EXPECT_EQ(NumToText(4294967295u, 100), "4,294,967,295");
}

TEST(ElapsedText, NamesOnlyThePartsThatCount) {
    ClockRecord r;
    EXPECT_EQ(ElapsedText(r), "--:--");
    r.minutes = 1;
    EXPECT_EQ(ElapsedText(r), "1 min, 0 sec");
    r = {};
    r.seconds = 5;
    r.milliseconds = 120;
    EXPECT_EQ(ElapsedText(r), "5 sec, 120 msec");
    r = {};
    r.hours = 1;
    EXPECT_EQ(ElapsedText(r), "1 hours, 0 min, 0 sec");
    r = {};
    r.milliseconds = 250;
    EXPECT_EQ(ElapsedText(r), "250 msec");
}

TEST(Clock, ElapsedTimeIsSplitIntoItsParts) {
    ClockRecord r;
    ClockRead(r.start);
    r.start -= (3600.0 + 2 * 60 + 3.5) / 86400.0;
    ClockElapsed(r);
    EXPECT_EQ(r.hours, 1);
    EXPECT_EQ(r.minutes, 2);
    EXPECT_EQ(r.seconds, 3);
    EXPECT_NEAR(r.elapsed, 3723500.0, 200.0);
}

TEST(Bytes, CompareIsUnsignedAndTellsTheLargerSide) {
    const uint8_t a[] = {1, 200, 3}, b[] = {1, 100, 9};
    EXPECT_EQ(CompareBytes(a, b, 3), 1);
    EXPECT_EQ(CompareBytes(b, a, 3), 2);
    EXPECT_EQ(CompareBytes(a, b, 1), 0);
    EXPECT_EQ(CompareBytes(a, b, 0), 0);
}

TEST(Bytes, MoveHandlesOverlapInBothDirections) {
    uint8_t buf[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    MoveBytes(buf, buf + 2, 9);
    const uint8_t up[12] = {0, 1, 0, 1, 2, 3, 4, 5, 6, 7, 8, 11};
    EXPECT_EQ(0, CompareBytes(buf, up, 12));
    MoveBytes(buf + 2, buf, 9);
    const uint8_t down[12] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 7, 8, 11};
    EXPECT_EQ(0, CompareBytes(buf, down, 12));
    FillBytes(buf + 1, 10, 0xAB);
    EXPECT_EQ(buf[0], 0);
    EXPECT_EQ(buf[10], 0xAB);
    EXPECT_EQ(buf[11], 11);
}

TEST(Memory, GetMemReportsFailureAndFreeClearsThePointer) {
    uint8_t* p = nullptr;
    SafeGetMem(p, 16);
    EXPECT_EQ(ErrCode, kErrNone);
    ASSERT_NE(p, nullptr);
    SafeFreeMem(p);
    EXPECT_EQ(p, nullptr);
    SafeFreeMem(p);
    SafeGetMem(p, -1);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(p, nullptr);
}

TEST(ImageCreate, ClearsTheRecordAndSizesTheBuffer) {
    Frame f(5, 3, 2);
    EXPECT_EQ(f.img.size, 30);
    EXPECT_EQ(f.img.bitsPerPixel, 16);
    EXPECT_EQ(f.img.topDown, 0);
    EXPECT_EQ(f.img.palette[767], 0);
    ImageFree(f.img);
    EXPECT_EQ(f.img.pixels, nullptr);
    EXPECT_EQ(f.img.width, 0);
}

TEST(ImageCopy, CopiesHeaderPaletteAndPixels) {
    Frame src(2, 2, 1, {1, 2, 3, 4}, true);
    src.SetPalette({{9, 8, 7}});
    Frame dst(4, 4, 3);
    ErrCode = 0;
    ImageCopy(src.img, dst.img);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(dst.img.width, 2);
    EXPECT_EQ(dst.img.bytesPerPixel, 1);
    EXPECT_EQ(dst.img.topDown, 1);
    EXPECT_EQ(dst.img.size, 48);  // the capacity stays
    EXPECT_EQ(dst.PaletteEntry(0), (std::vector<uint8_t>{9, 8, 7}));
    EXPECT_EQ(dst.Bytes(), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(ImageCopy, TooSmallTargetKeepsItsPixelsAndReportsMemory) {
    Frame src(3, 1, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    Frame dst(8, 1, 1);  // 8 bytes: one short
    ErrCode = 0;
    ImageCopyPixels(src.img, dst.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(dst.img.pixels[0], 0);
    ErrCode = 0;
    ImageCopy(src.img, dst.img);
    EXPECT_EQ(ErrCode, kErrMemory);
    EXPECT_EQ(dst.img.width, 3);  // the header copy has happened
    EXPECT_EQ(dst.img.pixels[0], 0);
}

TEST(ImageCopy, HeaderWithoutPaletteLeavesThePaletteAlone) {
    Frame src(1, 1, 1);
    src.SetPalette({{1, 2, 3}});
    Frame dst(1, 1, 1);
    ImageCopyHeader(src.img, dst.img, false);
    EXPECT_EQ(dst.PaletteEntry(0), (std::vector<uint8_t>{0, 0, 0}));
}

TEST(ErrCodeText, DescribesKnownCodes) {
    EXPECT_STRNE(ErrCodeText(kErrMemory), "");
    EXPECT_STREQ(ErrCodeText(12345), "");
}

class RecordingSink : public FrameSink {
public:
    bool palette = false;
    int realised = 0;
    int drawn = 0;
    int32_t x = 0, y = 0, height = 0, bitCount = 0, stride = 0;
    std::vector<uint8_t> bits;
    bool UsesPalette() const override { return palette; }
    void RealisePalette(const uint8_t*) override { ++realised; }
    void SetDIBitsToDevice(int32_t px, int32_t py, const DibPicture& dib) override {
        ++drawn;
        x = px;
        y = py;
        height = dib.height;
        bitCount = dib.bitCount;
        stride = dib.stride;
        bits.assign(dib.bits, dib.bits + size_t(dib.stride) * size_t(std::abs(dib.height)));
    }
};

TEST(ImageDraw, PadsRowsOnlyWhenTheyAreNotWholeWords) {
    Frame odd(3, 2, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18});
    RecordingSink sink;
    ImageDraw(odd.img, sink, 4, 5);
    EXPECT_EQ(sink.stride, 12);
    EXPECT_EQ(sink.bits, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0,
                                               10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}));
    EXPECT_EQ(sink.x, 4);
    EXPECT_EQ(sink.y, 5);
    Frame even(4, 1, 3);
    DibPicture dib;
    ASSERT_TRUE(ImageToDib(even.img, false, dib));
    EXPECT_EQ(dib.stride, 12);
    EXPECT_EQ(dib.bits, even.img.pixels);  // drawn straight from the frame
}

TEST(ImageDraw, HeightSignFollowsTheRowOrder) {
    Frame down(4, 2, 1, {}, true), up(4, 2, 1, {}, false);
    RecordingSink sink;
    ImageDraw(down.img, sink, 0, 0);
    EXPECT_EQ(sink.height, -2);
    ImageDraw(up.img, sink, 0, 0);
    EXPECT_EQ(sink.height, 2);
}

TEST(ImageDraw, PaletteDevicesGetTrueColourThroughAnOwnPalette) {
    Frame f(2, 1, 3, {0, 0, 255, 255, 0, 0});
    RecordingSink sink;
    sink.palette = true;
    ImageDraw(f.img, sink, 0, 0);
    EXPECT_EQ(sink.realised, 1);
    EXPECT_EQ(sink.bitCount, 8);
    EXPECT_EQ(sink.stride, 4);
    EXPECT_NE(sink.bits[0], sink.bits[1]);
}

TEST(ImageDraw, ColourTableIsTheFramePaletteAsBgr0) {
    Frame f(4, 1, 1);
    f.SetPalette({{10, 20, 30}});
    DibPicture dib;
    ASSERT_TRUE(ImageToDib(f.img, false, dib));
    EXPECT_EQ(dib.colorTable[0], 30);
    EXPECT_EQ(dib.colorTable[1], 20);
    EXPECT_EQ(dib.colorTable[2], 10);
    EXPECT_EQ(dib.colorTable[3], 0);
}

TEST(ImageDraw, NothingWithoutPixels) {
    imagerec empty;
    RecordingSink sink;
    ImageDraw(empty, sink, 0, 0);
    EXPECT_EQ(sink.drawn, 0);
}

}  // namespace
}  // namespace movaltic
