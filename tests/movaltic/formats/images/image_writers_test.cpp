#include <gtest/gtest.h>

#include <filesystem>

#include "image_test_support.h"
#include "movaltic/formats/image_files.h"

using namespace movaltic;
using namespace image_test;

namespace {

void Fill(Frame& f, unsigned seed) {
    for (size_t i = 0; i < f.buf.size(); ++i) f.buf[i] = uint8_t((i * 37 + seed) % 251 / (i % 5 == 0 ? 1 : 60));
    for (int i = 0; i < 768; ++i) f.img.palette[i] = uint8_t(255 - i % 256 + seed);
}

std::vector<uint8_t> Head(const std::vector<uint8_t>& v, size_t n) { return {v.begin(), v.begin() + long(n)}; }

}  // namespace

TEST(TgaWriter, WritesAColourMappedHeaderAndBgrMap) {
    Frame f(3, 2, 1);
    Fill(f, 1);
    auto v = WriteTgaImage(f.img, false);
    const std::vector<uint8_t> head = {0, 1, 1, 0, 0, 0, 1, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0};
    EXPECT_EQ(Head(v, 18), head);
    ASSERT_EQ(v.size(), size_t(18 + 768 + 6));
    EXPECT_EQ(v[18], f.img.palette[2]);
    EXPECT_EQ(v[20], f.img.palette[0]);
    EXPECT_EQ(WriteTgaImage(f.img, true)[2], 9);
}

TEST(TgaWriter, WritesATrueColourHeader) {
    Frame f(300, 2, 3);
    auto v = WriteTgaImage(f.img, false);
    const std::vector<uint8_t> head = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C, 1, 2, 0, 24, 0};
    EXPECT_EQ(Head(v, 18), head);
    EXPECT_EQ(v.size(), size_t(18 + 300 * 2 * 3));
    EXPECT_EQ(WriteTgaImage(f.img, true)[2], 10);
}

TEST(TgaWriter, CodesEveryRowByItselfBottomRowFirst) {
    Frame f(3, 2, 3);  // top-down: row 0 is the top
    const uint8_t top[] = {1, 1, 1, 1, 1, 1, 2, 2, 2};
    const uint8_t bottom[] = {3, 3, 3, 3, 3, 3, 3, 3, 3};
    std::memcpy(f.buf.data(), top, 9);
    std::memcpy(f.buf.data() + 9, bottom, 9);
    auto v = WriteTgaImage(f.img, true);
    const std::vector<uint8_t> data = {0x82, 3, 3, 3, 0x81, 1, 1, 1, 0x00, 2, 2, 2};
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 18, v.end()), data);
}

TEST(TgaWriter, LimitsPacketsTo128Pixels) {
    Frame f(600, 1, 1);
    for (int x = 0; x < 600; ++x) f.buf[size_t(x)] = x < 200 ? 4 : uint8_t(x);
    auto v = WriteTgaImage(f.img, true);
    const size_t at = 18 + 768;
    EXPECT_EQ(v[at], 0xFF);  // 128 equal pixels, then 72
    EXPECT_EQ(v[at + 2], 0x80 + 71);
    EXPECT_EQ(v[at + 4], 127);  // 400 different ones: 128, 128, 128, 16
    EXPECT_EQ(v[at + 133], 127);
    EXPECT_EQ(v[at + 262], 127);
    EXPECT_EQ(v[at + 391], 15);
    EXPECT_EQ(v.size(), at + 408);
}

TEST(PcxWriter, WritesTheFixedHeader) {
    Frame f(3, 2, 1);
    Fill(f, 2);
    auto v = WritePcxImage(f.img);
    std::vector<uint8_t> head(128, 0);
    const uint8_t start[] = {10, 5, 1, 8, 0, 0, 0, 0, 2, 0, 1, 0, 3, 0, 2, 0};
    std::memcpy(head.data(), start, sizeof start);
    head[65] = 1;
    head[66] = 4;
    EXPECT_EQ(Head(v, 128), head);
    EXPECT_EQ(v[v.size() - 769], 12);
    EXPECT_EQ(0, std::memcmp(v.data() + v.size() - 768, f.img.palette, 768));
}

TEST(PcxWriter, FollowsOddWidthRowsWithBytesPerPixelZeros) {
    Frame f(3, 1, 1);
    const uint8_t px[] = {5, 200, 200};
    std::memcpy(f.buf.data(), px, 3);
    auto v = WritePcxImage(f.img);
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 128, v.begin() + 128 + 4), (std::vector<uint8_t>{5, 0xC2, 200, 0}));
    const uint8_t single[] = {7, 200, 9};
    std::memcpy(f.buf.data(), single, 3);
    v = WritePcxImage(f.img);
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 128, v.begin() + 128 + 5),
              (std::vector<uint8_t>{7, 0xC1, 200, 9, 0}));

    Frame rgb(1, 1, 3);
    const uint8_t bgr[] = {1, 2, 3};
    std::memcpy(rgb.buf.data(), bgr, 3);
    v = WritePcxImage(rgb.img);
    EXPECT_EQ(v[65], 3);
    EXPECT_EQ(v[66], 2);
    // Every plane line is padded to the bytes per line, where other readers look for the next plane.
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 128, v.end()), (std::vector<uint8_t>{3, 0, 2, 0, 1, 0}));

    Frame wide(3, 1, 3);
    const uint8_t bgr3[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    std::memcpy(wide.buf.data(), bgr3, 9);
    v = WritePcxImage(wide.img);
    EXPECT_EQ(v[66], 4);
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 128, v.end()),
              (std::vector<uint8_t>{3, 6, 9, 0, 2, 5, 8, 0, 1, 4, 7, 0}));
}

TEST(PcxWriter, CodesRunsOfAtMost63Bytes) {
    Frame f(100, 1, 1);
    std::memset(f.buf.data(), 9, 100);
    auto v = WritePcxImage(f.img);
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 128, v.begin() + 132), (std::vector<uint8_t>{0xFF, 9, 0xE5, 9}));
}

TEST(BmpWriter, PadsA24BitRowOfOnePixelToFourBytes) {
    Frame f(1, 2, 3);
    const uint8_t px[] = {1, 2, 3, 4, 5, 6};  // top row first
    std::memcpy(f.buf.data(), px, 6);
    auto v = WriteBmpImage(f.img);
    std::vector<uint8_t> head = {'B', 'M', 62, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0,
                                 2,   0,   0,  0, 1, 0, 24, 0};
    head.resize(54, 0);
    EXPECT_EQ(Head(v, 54), head);
    EXPECT_EQ(std::vector<uint8_t>(v.begin() + 54, v.end()), (std::vector<uint8_t>{4, 5, 6, 0, 1, 2, 3, 0}));
}

TEST(BmpWriter, WritesThe8BitColourTableAsBgrAndZero) {
    Frame f(2, 1, 1);
    Fill(f, 3);
    auto v = WriteBmpImage(f.img);
    EXPECT_EQ(GetLE32(v.data() + 2), 54u + 1024 + 4);
    EXPECT_EQ(GetLE32(v.data() + 10), 1078u);
    EXPECT_EQ(GetLE16(v.data() + 28), 8);
    EXPECT_EQ(GetLE32(v.data() + 46), 256u);
    EXPECT_EQ(GetLE32(v.data() + 50), 256u);
    EXPECT_EQ(v[54], f.img.palette[2]);
    EXPECT_EQ(v[55], f.img.palette[1]);
    EXPECT_EQ(v[56], f.img.palette[0]);
    EXPECT_EQ(v[57], 0);
}

TEST(ImageWriters, RoundTripEveryDepthOddWidthsAndBothRowOrders) {
    TempDir tmp;
    const char* names[] = {"a.tga", "a.tga", "a.pcx", "a.bmp", "a.dib"};
    for (int k = 0; k < 5; ++k)
        for (int bpp = 1; bpp <= 3; ++bpp)
            for (int w : {1, 5, 8, 33})
                for (bool topDown : {false, true}) {
                    Frame src(w, 7, bpp, topDown);
                    Fill(src, unsigned(w + bpp));
                    if (bpp == 2) src.img.bitsPerPixel = w % 2 ? 15 : 16;
                    SeqWriteFrame(tmp(names[k]), src.img, k == 1);
                    ASSERT_EQ(ErrCode, 0);
                    // 16-bit frames are written as 24-bit.
                    const int readBpp = bpp == 2 ? 3 : bpp;
                    Frame got(w, 7, readBpp);
                    SeqReadFrame(tmp(names[k]), got.img);
                    ASSERT_EQ(ErrCode, 0) << names[k];
                    ASSERT_EQ(got.img.width, w);
                    ASSERT_EQ(got.img.height, 7);
                    ASSERT_EQ(got.img.bytesPerPixel, readBpp);
                    ASSERT_EQ(got.img.bitsPerPixel, 8 * readBpp);
                    for (int y = 0; y < 7; ++y)
                        for (int x = 0; x < w; ++x) {
                            uint8_t want[3], have[3];
                            if (bpp == 2) {
                                uint16_t p = GetLE16(src.row(y) + 2 * x);
                                bool is565 = src.img.bitsPerPixel == 16;
                                want[0] = uint8_t(is565 ? (p >> 11) << 3 : ((p >> 10) & 31) << 3);
                                want[1] = uint8_t(is565 ? ((p >> 5) & 63) << 2 : ((p >> 5) & 31) << 3);
                                want[2] = uint8_t((p & 31) << 3);
                            } else {
                                PixelRgb(src, x, y, want);
                            }
                            PixelRgb(got, x, y, have);
                            ASSERT_EQ(0, std::memcmp(want, have, 3))
                                << names[k] << " bpp " << bpp << " w " << w << " topDown " << topDown << " at " << x
                                << "," << y;
                        }
                    if (bpp == 1) {
                        EXPECT_EQ(0, std::memcmp(src.img.palette, got.img.palette, 768));
                    }
                }
}

TEST(PcxWriter, A320By200PictureReadsBackWithItsPalette) {
    TempDir tmp;
    Frame f(320, 200, 1);
    Fill(f, 4);
    SeqWriteFrame(tmp("p.pcx"), f.img, false);
    Frame got(320, 200, 1);
    SeqReadFrame(tmp("p.pcx"), got.img);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(got.buf, f.buf);
    EXPECT_EQ(0, std::memcmp(got.img.palette, f.img.palette, 768));
    EXPECT_EQ(got.img.topDown, 1);
}

TEST(ImageWriters, RefuseKindsWithoutAWriterAndCreateNothing) {
    TempDir tmp;
    Frame f(2, 2, 1);
    for (const char* name : {"x.rle", "x.gif", "x.png", "noext"}) {
        SeqWriteFrame(tmp(name), f.img, false);
        EXPECT_EQ(ErrCode, kErrMemory) << name;
        EXPECT_FALSE(std::filesystem::exists(tmp(name))) << name;
    }
    SeqWriteFrame(tmp("missing/x.bmp"), f.img, false);
    EXPECT_EQ(ErrCode, kErrCreate);
    SeqWriteFrame("/dev/full", f.img, false);
    EXPECT_EQ(ErrCode, kErrMemory);  // no extension
}

TEST(ImageWriters, TakeTheKindFromTheExtensionWhateverItsCase) {
    TempDir tmp;
    Frame f(2, 2, 3);
    SeqWriteFrame(tmp("UP.TgA"), f.img, true);
    EXPECT_EQ(ErrCode, 0);
    std::vector<uint8_t> v;
    ReadWholeFile(tmp("UP.TgA"), v);
    EXPECT_EQ(v[2], 10);
    EXPECT_EQ(ImageKindOf("a/b.c/frame001.Dib"), kImageBMP);
    EXPECT_EQ(ImageKindOf("a/b.tga/frame001"), kImageNone);
    EXPECT_EQ(ImageKindOf("x.RLE"), kImageBMP);
    EXPECT_EQ(ImageKindOf("x.gif"), kImageGIF);
}
