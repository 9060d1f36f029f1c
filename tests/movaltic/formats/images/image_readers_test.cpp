#include <gtest/gtest.h>

#include "image_test_support.h"
#include "movaltic/formats/image_files.h"

using namespace movaltic;
using namespace image_test;

namespace {

// Reads a fixture through SeqReadFrame into a frame with room to spare.
struct Loaded {
    Frame f;
    explicit Loaded(const std::string& path, int32_t room = 1 << 16) : f(room, 1, 1) {
        SeqReadFrame(path, f.img);
    }
};

// Every pixel of the frame matches the PPM (through the palette for 8-bit).
void ExpectPicture(const Frame& f, const Ppm& ppm, const std::string& what) {
    ASSERT_EQ(f.img.width, ppm.width) << what;
    ASSERT_EQ(f.img.height, ppm.height) << what;
    for (int y = 0; y < ppm.height; ++y)
        for (int x = 0; x < ppm.width; ++x) {
            uint8_t rgb[3];
            PixelRgb(f, x, y, rgb);
            ASSERT_EQ(0, std::memcmp(rgb, ppm.rgb.data() + 3 * (size_t(y) * ppm.width + x), 3))
                << what << " at " << x << "," << y;
        }
}

std::vector<uint8_t> Bmp(int32_t width, int32_t height, uint16_t bits, uint32_t compression, uint32_t coloursUsed,
                         uint32_t dataOffset, const std::vector<uint8_t>& afterHeader) {
    std::vector<uint8_t> v(54, 0);
    v[0] = 'B';
    v[1] = 'M';
    PutLE32(&v[2], uint32_t(54 + afterHeader.size()));
    PutLE32(&v[10], dataOffset);
    PutLE32(&v[14], 40);
    PutLE32(&v[18], uint32_t(width));
    PutLE32(&v[22], uint32_t(height));
    PutLE16(&v[26], 1);
    PutLE16(&v[28], bits);
    PutLE32(&v[30], compression);
    PutLE32(&v[46], coloursUsed);
    v.insert(v.end(), afterHeader.begin(), afterHeader.end());
    return v;
}

std::vector<uint8_t> Palette256() {
    std::vector<uint8_t> p(1024);
    for (int i = 0; i < 256; ++i) {
        p[4 * size_t(i)] = uint8_t(i);
        p[4 * size_t(i) + 1] = uint8_t(255 - i);
        p[4 * size_t(i) + 2] = uint8_t(i / 2);
    }
    return p;
}

int32_t ReadBytes(const std::vector<uint8_t>& file, const char* ext, Frame& f) {
    TempDir tmp;
    WriteWholeFile(tmp(std::string("f.") + ext), file);
    SeqReadFrame(tmp(std::string("f.") + ext), f.img);
    return ErrCode;
}

std::vector<uint8_t> Tga(uint8_t mapType, uint8_t type, uint16_t mapFirst, uint16_t mapLength, uint8_t mapBits,
                         uint16_t w, uint16_t h, uint8_t bits, uint8_t descriptor, const std::vector<uint8_t>& rest) {
    std::vector<uint8_t> v(18, 0);
    v[1] = mapType;
    v[2] = type;
    PutLE16(&v[3], mapFirst);
    PutLE16(&v[5], mapLength);
    v[7] = mapBits;
    PutLE16(&v[12], w);
    PutLE16(&v[14], h);
    v[16] = bits;
    v[17] = descriptor;
    v.insert(v.end(), rest.begin(), rest.end());
    return v;
}

// LZW codes packed least significant bit first, each with its width.
std::vector<uint8_t> PackCodes(const std::vector<std::pair<int, int>>& codes) {
    std::vector<uint8_t> out;
    int bit = 0;
    for (auto [code, width] : codes)
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit % 8 == 0) out.push_back(0);
            if ((code >> i) & 1) out.back() |= uint8_t(1 << (bit % 8));
        }
    return out;
}

// A GIF of w x h with a 4-entry global table, optional blocks before the
// image, image flags and LZW data of minimum code size 2.
std::vector<uint8_t> Gif(uint16_t w, uint16_t h, uint8_t screenFlags, const std::vector<uint8_t>& before,
                         uint8_t imageFlags, const std::vector<uint8_t>& localTable, const std::vector<uint8_t>& lzw) {
    std::vector<uint8_t> v = {'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, screenFlags, 0, 0};
    PutLE16(&v[6], w);
    PutLE16(&v[8], h);
    if (screenFlags & 0x80)
        for (int i = 0; i < 4; ++i) v.insert(v.end(), {uint8_t(10 * i), uint8_t(20 * i), uint8_t(30 * i)});
    v.insert(v.end(), before.begin(), before.end());
    v.insert(v.end(), {0x2C, 0, 0, 0, 0, 0, 0, 0, 0, imageFlags});
    PutLE16(&v[v.size() - 5], w);
    PutLE16(&v[v.size() - 3], h);
    v.insert(v.end(), localTable.begin(), localTable.end());
    v.push_back(2);
    v.push_back(uint8_t(lzw.size()));
    v.insert(v.end(), lzw.begin(), lzw.end());
    v.push_back(0);
    v.push_back(0x3B);
    return v;
}

// Clear, 0, 1, 2, 3, end for a 2 x 2 picture: the code width grows to 4 bits
// once code 7 is taken.
const std::vector<uint8_t> kLzw0123 = PackCodes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}, {5, 4}});

}  // namespace

TEST(ImageReaders, ReadTheSdlTestPictureAsPcxAndTga) {
    Ppm ppm = LoadPpm(DataFile("sample.ppm"));
    ASSERT_EQ(ppm.width, 23);
    for (const char* name : {"sample.pcx", "sample.tga"}) {
        Loaded l(DataFile(name));
        ASSERT_EQ(ErrCode, 0) << name;
        EXPECT_EQ(l.f.img.bytesPerPixel, 3);
        ExpectPicture(l.f, ppm, name);
    }
}

TEST(ImageReaders, ReadTheSdlTestGifThroughItsPalette) {
    Loaded l(DataFile("palette.gif"));
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(l.f.img.bytesPerPixel, 1);
    EXPECT_EQ(l.f.img.topDown, 1);
    ExpectPicture(l.f, LoadPpm(DataFile("palette_gif.ppm")), "palette.gif");
}

TEST(ImageReaders, RefuseTheSdlBitmapWithAVersion5InformationHeader) {
    Loaded l(DataFile("sample.bmp"));
    EXPECT_EQ(ErrCode, kErrBitmapVariant);
}

TEST(ImageReaders, ReadImageMagickTrueColourFilesOfOddWidth) {
    Ppm ppm = LoadPpm(DataFile("odd.ppm"));
    ASSERT_EQ(ppm.width, 7);
    for (const char* name : {"im_odd24.bmp", "im_odd24.pcx", "im_odd24.tga", "im_odd24_rle.tga"}) {
        Loaded l(DataFile(name));
        ASSERT_EQ(ErrCode, 0) << name;
        ExpectPicture(l.f, ppm, name);
    }
}

TEST(ImageReaders, ReadImageMagickPaletteFiles) {
    Ppm ppm = LoadPpm(DataFile("q40.ppm"));
    for (const char* name : {"im_q40.bmp", "im_q40_rle8.bmp", "im_q40.pcx", "im_q40.tga", "im_q40.gif"}) {
        Loaded l(DataFile(name));
        ASSERT_EQ(ErrCode, 0) << name;
        EXPECT_EQ(l.f.img.bytesPerPixel, 1) << name;
        ExpectPicture(l.f, ppm, name);
    }
}

TEST(ImageReaders, SurviveEveryTruncationOfEveryFixture) {
    for (const char* name : {"sample.pcx", "sample.tga", "palette.gif", "im_odd24.bmp", "im_odd24.pcx",
                             "im_odd24_rle.tga", "im_q40.bmp", "im_q40_rle8.bmp", "im_q40.pcx", "im_q40.tga",
                             "im_q40.gif"}) {
        std::vector<uint8_t> whole;
        ASSERT_TRUE(ReadWholeFile(DataFile(name), whole));
        std::string ext = std::string(name).substr(std::string(name).size() - 3);
        for (size_t n = 0; n < whole.size(); n += 1 + n / 16) {
            Frame f(4096, 1, 1);
            int32_t code = ReadBytes(std::vector<uint8_t>(whole.begin(), whole.begin() + long(n)), ext.c_str(), f);
            EXPECT_TRUE(code == 0 || code == kErrHeader || code == kErrMemory || code == kErrBitmapVariant)
                << name << " cut at " << n << " gives " << code;
        }
    }
}

TEST(SeqReadFrame, ReportsEachFailureByItsCode) {
    TempDir tmp;
    Frame none(1, 1, 1);
    none.img.pixels = nullptr;
    SeqReadFrame(DataFile("sample.tga"), none.img);
    EXPECT_EQ(ErrCode, kErrNoBuffer);
    Frame f(100, 100, 3);
    SeqReadFrame(tmp("missing.bmp"), f.img);
    EXPECT_EQ(ErrCode, kErrCreate);
    WriteWholeFile(tmp("x.png"), {1, 2, 3});
    SeqReadFrame(tmp("x.png"), f.img);
    EXPECT_EQ(ErrCode, kErrExtension);
    Frame small(23, 41, 3);
    SeqReadFrame(DataFile("sample.tga"), small.img);
    EXPECT_EQ(ErrCode, kErrTooLarge);
    EXPECT_EQ(small.img.height, 41);  // unchanged after a failure
}

TEST(BmpReader, EndsRowsMovesByDeltasAndClipsEverythingToThePicture) {
    std::vector<uint8_t> data = Palette256();
    const std::vector<uint8_t> rle = {2, 7,              // row 0: two pixels of 7
                                      0, 0,              // end of row
                                      0, 3, 1, 2, 3, 0,  // row 1: three bytes and a filler
                                      0, 2, 5, 0,        // move past the right edge
                                      3, 9,              // clipped
                                      0, 0,              // row 2
                                      0, 2, 1, 7,        // move below the picture
                                      10, 5,             // clipped
                                      0, 1};
    data.insert(data.end(), rle.begin(), rle.end());
    Frame f(4, 3, 1);
    std::memset(f.buf.data(), 0xEE, f.buf.size());
    ASSERT_EQ(ReadBytes(Bmp(4, 3, 8, 1, 0, 1078, data), "rle", f), 0);
    EXPECT_EQ(f.img.topDown, 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{7, 7, 0, 0, 1, 2, 3, 0, 0, 0, 0, 0}));
    EXPECT_EQ(f.img.palette[3 * 9 + 2], 9);
}

TEST(BmpReader, StopsAnEscapeAtTheEndOfTheData) {
    std::vector<uint8_t> data = Palette256();
    data.insert(data.end(), {0, 200, 1, 2});
    Frame f(300, 1, 1);
    ASSERT_EQ(ReadBytes(Bmp(300, 1, 8, 1, 0, 1078, data), "bmp", f), 0);
    EXPECT_EQ(f.buf[0], 1);
    EXPECT_EQ(f.buf[1], 2);
    EXPECT_EQ(f.buf[2], 0);
}

TEST(BmpReader, ReadsANegativeHeightAsTopDown) {
    const std::vector<uint8_t> rows = {1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0};
    Frame f(2, 2, 3);
    ASSERT_EQ(ReadBytes(Bmp(2, -2, 24, 0, 0, 54, rows), "bmp", f), 0);
    EXPECT_EQ(f.img.height, 2);
    EXPECT_EQ(f.img.topDown, 1);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

TEST(BmpReader, HonoursTheDataOffset) {
    Frame f(1, 1, 3);
    ASSERT_EQ(ReadBytes(Bmp(1, 1, 24, 0, 0, 58, {9, 9, 9, 9, 1, 2, 3, 0}), "bmp", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(BmpReader, ReadsAShortColourTableByTheColoursUsed) {
    const std::vector<uint8_t> rest = {10, 20, 30, 0, 40, 50, 60, 0, 1, 0, 1, 0};
    for (uint32_t offset : {62u, 0u}) {
        Frame f(2, 1, 1);
        std::memset(f.img.palette, 0xEE, 768);
        ASSERT_EQ(ReadBytes(Bmp(2, 1, 8, 0, 2, offset, rest), "dib", f), 0);
        EXPECT_EQ(f.buf, (std::vector<uint8_t>{1, 0}));
        const uint8_t first[6] = {30, 20, 10, 60, 50, 40};
        EXPECT_EQ(0, std::memcmp(f.img.palette, first, 6));
        EXPECT_EQ(f.img.palette[6], 0);
    }
}

TEST(BmpReader, RefusesVariantsItDoesNotRead) {
    Frame f(8, 8, 3);
    EXPECT_EQ(ReadBytes(Bmp(2, 2, 4, 0, 0, 54, std::vector<uint8_t>(80)), "bmp", f), kErrBitmapVariant);
    EXPECT_EQ(ReadBytes(Bmp(2, 2, 32, 0, 0, 54, std::vector<uint8_t>(80)), "bmp", f), kErrBitmapVariant);
    EXPECT_EQ(ReadBytes(Bmp(2, 2, 24, 3, 0, 54, std::vector<uint8_t>(80)), "bmp", f), kErrBitmapVariant);
    EXPECT_EQ(ReadBytes(Bmp(2, 2, 8, 2, 0, 54, std::vector<uint8_t>(1100)), "bmp", f), kErrBitmapVariant);
    auto v3 = Bmp(2, 2, 24, 0, 0, 54, std::vector<uint8_t>(80));
    v3[14] = 12;
    EXPECT_EQ(ReadBytes(v3, "bmp", f), kErrBitmapVariant);
    auto notBm = v3;
    notBm[0] = 'X';
    EXPECT_EQ(ReadBytes(notBm, "bmp", f), kErrHeader);
    EXPECT_EQ(ReadBytes(Bmp(2, 2, 24, 0, 0, 54, std::vector<uint8_t>(10)), "bmp", f), kErrMemory);
}

TEST(TgaReader, ReadsSixteenBitPixelsAsTrueColour) {
    Frame f(2, 1, 3);
    ASSERT_EQ(ReadBytes(Tga(0, 2, 0, 0, 0, 2, 1, 16, 0, {0x00, 0x7C, 0xE0, 0x83}), "tga", f), 0);
    EXPECT_EQ(f.img.bytesPerPixel, 3);
    EXPECT_EQ(f.img.bitsPerPixel, 24);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{0, 0, 248, 0, 248, 0}));
}

TEST(TgaReader, FillsThePaletteFromTheMapsFirstEntryAndIgnoresEntriesBeyond255) {
    std::vector<uint8_t> rest;
    for (int i = 0; i < 10; ++i) rest.insert(rest.end(), {uint8_t(i), uint8_t(i + 100), uint8_t(i + 200)});
    rest.insert(rest.end(), {250, 255});
    Frame f(2, 1, 1);
    ASSERT_EQ(ReadBytes(Tga(1, 1, 250, 10, 24, 2, 1, 8, 0x20, rest), "tga", f), 0);
    EXPECT_EQ(f.img.topDown, 1);
    EXPECT_EQ(f.img.palette[3 * 250], 200);
    EXPECT_EQ(f.img.palette[3 * 250 + 2], 0);
    EXPECT_EQ(f.img.palette[3 * 255 + 1], 105);
    EXPECT_EQ(f.img.palette[3 * 249], 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{250, 255}));
}

TEST(TgaReader, ExpandsFiveFiveFiveMapEntries) {
    Frame f(1, 1, 1);
    ASSERT_EQ(ReadBytes(Tga(1, 1, 0, 1, 16, 1, 1, 8, 0, {0x1F, 0x00, 0}), "tga", f), 0);
    EXPECT_EQ(f.img.palette[0], 0);
    EXPECT_EQ(f.img.palette[2], 248);
}

TEST(TgaReader, RunsPacketsAcrossRowsAndStopsWhereTheDataEnds) {
    Frame f(3, 2, 1);
    std::memset(f.buf.data(), 0xEE, 6);
    ASSERT_EQ(ReadBytes(Tga(0, 9, 0, 0, 0, 3, 2, 8, 0, {0x83, 5, 0x05, 6}), "tga", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{5, 5, 5, 5, 6, 0xEE}));
}

TEST(TgaReader, SkipsTheMapOfATrueColourFile) {
    Frame f(1, 1, 3);
    ASSERT_EQ(ReadBytes(Tga(1, 2, 0, 2, 24, 1, 1, 24, 0, {9, 9, 9, 9, 9, 9, 1, 2, 3}), "tga", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{1, 2, 3}));
}

TEST(TgaReader, RefusesOtherDepthsAndTypes) {
    Frame f(4, 4, 3);
    EXPECT_EQ(ReadBytes(Tga(0, 2, 0, 0, 0, 1, 1, 32, 0, {1, 2, 3, 4}), "tga", f), kErrMemory);
    EXPECT_EQ(ReadBytes(Tga(0, 3, 0, 0, 0, 1, 1, 8, 0, {1}), "tga", f), kErrHeader);
    EXPECT_EQ(ReadBytes(Tga(0, 2, 0, 0, 0, 2, 2, 24, 0, {1, 2, 3}), "tga", f), kErrMemory);
}

TEST(PcxReader, RefusesHeadersItDoesNotRead) {
    std::vector<uint8_t> v(128 + 10 + 769, 0);
    v[0] = 10;
    v[2] = 1;
    v[3] = 8;
    v[65] = 1;
    PutLE16(&v[8], 1);
    PutLE16(&v[10], 1);
    Frame f(4, 4, 3);
    EXPECT_EQ(ReadBytes(v, "pcx", f), 0);
    auto twoPlanes = v;
    twoPlanes[65] = 2;
    EXPECT_EQ(ReadBytes(twoPlanes, "pcx", f), kErrHeader);
    auto oneBit = v;
    oneBit[3] = 1;
    EXPECT_EQ(ReadBytes(oneBit, "pcx", f), kErrHeader);
    auto maker = v;
    maker[0] = 11;
    EXPECT_EQ(ReadBytes(maker, "pcx", f), kErrHeader);
    auto inverted = v;
    PutLE16(&inverted[4], 5);
    EXPECT_EQ(ReadBytes(inverted, "pcx", f), kErrHeader);
    EXPECT_EQ(ReadBytes(std::vector<uint8_t>(v.begin(), v.begin() + 300), "pcx", f), kErrMemory);
}

TEST(PcxReader, KeepsRunsWithinThePicture) {
    std::vector<uint8_t> v(128, 0);
    v[0] = 10;
    v[2] = 1;
    v[3] = 8;
    v[65] = 3;
    PutLE16(&v[66], 2);
    PutLE16(&v[8], 1);  // 2 x 1
    for (int i = 0; i < 50; ++i) v.insert(v.end(), {0xFF, 0x42});
    Frame f(2, 1, 3, true, 16);
    std::memset(f.buf.data(), 0xEE, f.buf.size());
    ASSERT_EQ(ReadBytes(v, "pcx", f), 0);
    EXPECT_EQ(std::vector<uint8_t>(f.buf.begin(), f.buf.begin() + 6), std::vector<uint8_t>(6, 0x42));
    EXPECT_EQ(f.buf[6], 0xEE);
}

// A 3 x 2 24-bit PCX with this program's header; rows as given (uncoded bytes below 192).
std::vector<uint8_t> OddPcx(const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> v(128, 0);
    v[0] = 10;
    v[1] = 5;
    v[2] = 1;
    v[3] = 8;
    PutLE16(&v[8], 2);
    PutLE16(&v[10], 1);
    PutLE16(&v[12], 3);
    PutLE16(&v[14], 2);
    v[65] = 3;
    PutLE16(&v[66], 4);
    v.insert(v.end(), rows.begin(), rows.end());
    return v;
}

// The picture of both layouts below: R 10.., G 20.., B 30.. on the top row, 40.., 50.., 60.. below.
void ExpectTheOddPcxPicture(const std::vector<uint8_t>& rows) {
    Frame f(3, 2, 3);
    ASSERT_EQ(ReadBytes(OddPcx(rows), "pcx", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{30, 20, 10, 31, 21, 11, 32, 22, 12,  //
                                           60, 50, 40, 61, 51, 41, 62, 52, 42}));
}

TEST(PcxReader, ReadsOddWidthPlaneLinesPaddedToTheBytesPerLine) {
    ExpectTheOddPcxPicture({10, 11, 12, 0, 20, 21, 22, 0, 30, 31, 32, 0,  //
                            40, 41, 42, 0, 50, 51, 52, 0, 60, 61, 62, 0});
}

TEST(PcxReader, StillReadsOddWidthFilesWithThePaddingAfterTheThirdPlane) {
    // How earlier versions wrote them: the planes back to back, then three zeros.
    ExpectTheOddPcxPicture({10, 11, 12, 20, 21, 22, 30, 31, 32, 0, 0, 0,  //
                            40, 41, 42, 50, 51, 52, 60, 61, 62, 0, 0, 0});
}

TEST(GifReader, DecodesCodesThatWidenTheCodeSize) {
    Frame f(2, 2, 1);
    ASSERT_EQ(ReadBytes(Gif(2, 2, 0x81, {}, 0, {}, kLzw0123), "gif", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(f.img.palette[3 * 3 + 2], 90);
}

TEST(GifReader, WalksExtensionBlocksThatContainTheSeparatorByte) {
    // A comment holding 0x2C and a false 16-bit size must not be taken for the image.
    const std::vector<uint8_t> comment = {0x21, 0xFE, 5, 0x2C, 0, 0, 0, 0, 0};
    Frame f(2, 2, 1);
    ASSERT_EQ(ReadBytes(Gif(2, 2, 0x81, comment, 0, {}, kLzw0123), "gif", f), 0);
    EXPECT_EQ(f.img.width, 2);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{0, 1, 2, 3}));
}

TEST(GifReader, UsesTheLocalColourTable) {
    std::vector<uint8_t> local;
    for (int i = 0; i < 4; ++i) local.insert(local.end(), {uint8_t(200 + i), 1, 2});
    Frame f(2, 2, 1);
    ASSERT_EQ(ReadBytes(Gif(2, 2, 0x81, {}, 0x81, local, kLzw0123), "gif", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{0, 1, 2, 3}));
    EXPECT_EQ(f.img.palette[9], 203);
}

TEST(GifReader, StopsAtACodeBeyondTheNextFreeCode) {
    Frame f(2, 2, 1);
    std::memset(f.buf.data(), 0xEE, 4);
    auto lzw = PackCodes({{4, 3}, {1, 3}, {7, 3}, {2, 3}});
    ASSERT_EQ(ReadBytes(Gif(2, 2, 0x81, {}, 0, {}, lzw), "gif", f), 0);
    EXPECT_EQ(f.buf, (std::vector<uint8_t>{1, 0xEE, 0xEE, 0xEE}));
}

TEST(GifReader, RefusesInterlacedPicturesMissingTablesAndFilesWithoutAnImage) {
    Frame f(2, 2, 1);
    EXPECT_EQ(ReadBytes(Gif(2, 2, 0x81, {}, 0x40, {}, kLzw0123), "gif", f), kErrHeader);
    EXPECT_EQ(ReadBytes(Gif(2, 2, 0x01, {}, 0, {}, kLzw0123), "gif", f), kErrHeader);
    EXPECT_EQ(ReadBytes(Gif(2, 2, 0x81, {0x3B}, 0, {}, kLzw0123), "gif", f), kErrHeader);
    auto notGif = Gif(2, 2, 0x81, {}, 0, {}, kLzw0123);
    notGif[0] = 'J';
    EXPECT_EQ(ReadBytes(notGif, "gif", f), kErrHeader);
}

namespace {

// An RLE8 picture of that many bytes of codes.
std::vector<uint8_t> Rle8Bmp(int32_t w, int32_t h, size_t codeBytes) {
    std::vector<uint8_t> data = Palette256();
    data.resize(data.size() + codeBytes);
    return Bmp(w, h, 8, 1, 0, 1078, data);
}

std::vector<uint8_t> Pcx(uint16_t w, uint16_t h, size_t dataBytes) {
    std::vector<uint8_t> v = {10, 0, 1, 8};
    v.resize(128 + dataBytes);
    PutLE16(&v[8], uint16_t(w - 1));
    PutLE16(&v[10], uint16_t(h - 1));
    v[65] = 1;  // planes
    PutLE16(&v[66], w);
    return v;
}

}  // namespace

// A header claiming a picture larger than any the program takes, or than its
// data could fill, is refused by the header check alone (the probe's), so no
// frame is ever made for it.
TEST(ImageReaders, RefuseClaimsTheirDataCannotFillBeforeAFrameIsMade) {
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int32_t code;
    } cases[] = {
        {"rle8_127x16646208.bmp", Rle8Bmp(127, 16646208, 2400 - 1078), kErrMemory},
        {"rle8_8192x8192.bmp", Rle8Bmp(8192, 8192, 4 * 33), 0},  // as many rows as 33 moves of 255 reach
        {"rle8_8192x8193.bmp", Rle8Bmp(8192, 8193, 4 * 33), kErrMemory},
        {"size_43692x10923.pcx", Pcx(43692, 10923, 2400), kErrMemory},
        {"coded_4096x4096.tga", Tga(0, 9, 0, 0, 0, 4096, 4096, 8, 0, std::vector<uint8_t>(2400)), kErrMemory},
        // Clear, 0, 1, 2, 3 and no end code.
        {"4096x4096.gif", Gif(4096, 4096, 0x81, {}, 0, {}, PackCodes({{4, 3}, {0, 3}, {1, 3}, {2, 3}, {3, 4}})),
         kErrMemory},
    };
    for (const auto& c : cases) {
        ImageInfo info;
        EXPECT_EQ(ReadImage(ImageKindOf(c.name), c.file, nullptr, info), c.code) << c.name;
    }
}

// A picture whose data ends it early with its format's own end code is whole:
// read with the rest blank, however large (up to the largest taken). The
// code must be one: end-of-picture bytes inside a literal run or a move, or
// a GIF without its end code, leave the header's claim to the data.
TEST(ImageReaders, PicturesEndedEarlyByTheirEndCodeAreReadTheRestBlank) {
    const auto rle8 = [](int32_t w, int32_t h, const std::vector<uint8_t>& codes) {
        std::vector<uint8_t> data = Palette256();
        data.insert(data.end(), codes.begin(), codes.end());
        return Bmp(w, h, 8, 1, 0, 1078, data);
    };
    const std::vector<uint8_t> kEnd = {0, 1};
    const struct {
        const char* name;
        std::vector<uint8_t> file;
        int32_t code;
        std::vector<uint8_t> head;  // the first bytes decoded; the rest of the frame stays 0
    } cases[] = {
        {"end at once 64x64.bmp", rle8(64, 64, kEnd), 0, {}},
        {"a row and a run, then end 100x1000.bmp", rle8(100, 1000, {100, 7, 0, 0, 2, 8, 0, 1}), 0,
         [] {
             std::vector<uint8_t> v(100, 7);
             v.insert(v.end(), {8, 8});
             return v;
         }()},
        {"end at once 8192x8192.bmp", rle8(8192, 8192, kEnd), 0, {}},
        {"end at once 8192x8193.bmp", rle8(8192, 8193, kEnd), kErrMemory, {}},
        {"end bytes as literal pixels.bmp", rle8(8192, 8192, {0, 4, 0, 1, 0, 1}), kErrMemory, {}},
        {"end bytes as a move.bmp", rle8(8192, 8192, {0, 2, 0, 1}), kErrMemory, {}},
        {"rle4 end at once 64x64.bmp", Bmp(64, 64, 4, 2, 16, 118, std::vector<uint8_t>(66)), kErrBitmapVariant, {}},
        {"end after 4 64x64.gif", Gif(64, 64, 0x81, {}, 0, {}, kLzw0123), 0, {0, 1, 2, 3}},
        {"end after 4 8000x8000.gif", Gif(8000, 8000, 0x81, {}, 0, {}, kLzw0123), 0, {}},
        {"end at once 8000x8000.gif", Gif(8000, 8000, 0x81, {}, 0, {}, PackCodes({{4, 3}, {5, 3}})), 0, {}},
        {"end after 4 8193x8193.gif", Gif(8193, 8193, 0x81, {}, 0, {}, kLzw0123), kErrMemory, {}},
    };
    for (const auto& c : cases) {
        ImageInfo info;
        ASSERT_EQ(ReadImage(ImageKindOf(c.name), c.file, nullptr, info), c.code) << c.name;
        if (c.code != 0 || int64_t(info.width) * info.height > 1 << 20) continue;
        Frame f(info.width, info.height, 1);
        const std::string name = c.name;
        ASSERT_EQ(ReadBytes(c.file, name.substr(name.size() - 3).c_str(), f), 0) << name;
        std::vector<uint8_t> expected(f.buf.size(), 0);
        std::copy(c.head.begin(), c.head.end(), expected.begin());
        EXPECT_EQ(f.buf, expected) << name;
    }
}
