#include <gtest/gtest.h>

#include <cstdlib>

#include "image_test_support.h"
#include "movaltic/formats/flic.h"
#include "movaltic/formats/image_files.h"
#include "movaltic/formats/zuv_file.h"

using namespace movaltic;
using namespace image_test;

TEST(MovieProbe, DescribesAZuvMovieFromItsHeader) {
    TempDir tmp;
    CodecState s;
    CodecFileCreate(s, tmp("m.zuv"), 6, 4, 2, 1, 0, 12.5, 0, 0, 0);
    Frame f(6, 4, 2);
    CodecWriteFrame(s, f.img);
    CodecWriteFrame(s, f.img);
    CodecWriteFrame(s, f.img);
    CodecFileClose(s);
    MovieDescription d;
    MovieProbe(tmp("m.zuv"), d);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(d.extension, "ZUV");
    EXPECT_EQ(d.width, 6);
    EXPECT_EQ(d.height, 4);
    EXPECT_EQ(d.bytesPerPixel, 2);
    EXPECT_EQ(d.bitsPerPixel, 16);
    EXPECT_EQ(d.frameCount, 3);
    EXPECT_DOUBLE_EQ(d.frameRate, 12.5);
}

TEST(MovieProbe, DescribesImageFilesAsOneFrame) {
    MovieDescription d;
    MovieProbe(DataFile("sample.pcx"), d);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(d.extension, "PCX");
    EXPECT_EQ(d.width, 23);
    EXPECT_EQ(d.height, 42);
    EXPECT_EQ(d.bytesPerPixel, 3);
    EXPECT_EQ(d.bitsPerPixel, 24);
    EXPECT_EQ(d.frameCount, 1);
    EXPECT_EQ(d.frameRate, 0);
    MovieProbe(DataFile("im_q40.gif"), d);
    EXPECT_EQ(d.bitsPerPixel, 8);
}

TEST(MovieProbe, ReportsASixteenBitTgaAsFifteenBits) {
    TempDir tmp;
    std::vector<uint8_t> v(22, 0);
    v[2] = 2;
    v[12] = 2;
    v[14] = 1;
    v[16] = 16;
    WriteWholeFile(tmp("a.tga"), v);
    MovieDescription d;
    MovieProbe(tmp("a.tga"), d);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(d.bytesPerPixel, 3);
    EXPECT_EQ(d.bitsPerPixel, 15);
}

TEST(MovieProbe, GivesTheFlicRateInTenths) {
    TempDir tmp;
    FlicState s;
    FlicCreate(s, tmp("a.fli"), 320, 70.0 / 3, 200);
    Frame f(320, 200, 1);
    FlicWriteFrame(s, f.img);
    FlicWriteFrame(s, f.img);
    const std::string written = s.fileName;  // the writer sets the extension's case
    FlicClose(s);
    ASSERT_EQ(ErrCode, 0);
    MovieDescription d;
    MovieProbe(written, d);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(d.extension, "FLI");
    EXPECT_EQ(d.width, 320);
    EXPECT_EQ(d.bitsPerPixel, 8);
    EXPECT_EQ(d.frameCount, 2);
    EXPECT_DOUBLE_EQ(d.frameRate, 23.3);
}

TEST(MovieProbe, ReportsFailuresByCode) {
    TempDir tmp;
    MovieDescription d;
    MovieProbe(tmp("none.bmp"), d);
    EXPECT_EQ(ErrCode, kErrCreate);
    WriteWholeFile(tmp("x.xyz"), {1, 2, 3});
    MovieProbe(tmp("x.xyz"), d);
    EXPECT_EQ(ErrCode, kErrHeader);
    MovieProbe(DataFile("sample.bmp"), d);
    EXPECT_EQ(ErrCode, kErrBitmapVariant);
    MovieProbe(tmp("none.zuv"), d);
    EXPECT_EQ(ErrCode, kErrOpen);
    WriteWholeFile(tmp("bad.zuv"), std::vector<uint8_t>(100, 0));
    MovieProbe(tmp("bad.zuv"), d);
    EXPECT_EQ(ErrCode, kErrMagic);
    EXPECT_EQ(d.width, 0);
}

TEST(MovieProbe, DescribesAnAviThatFfmpegWrote) {
    if (std::system("ffmpeg -version > /dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    TempDir tmp;
    const std::string avi = tmp("clip.avi");
    const std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc=size=32x24:rate=12 -f lavfi -i "
                            "sine=sample_rate=22050 -frames:v 5 -c:v rawvideo -pix_fmt bgr24 -c:a pcm_s16le -shortest " +
                            avi;
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    MovieDescription d;
    MovieProbe(avi, d);
    ASSERT_EQ(ErrCode, 0);
    EXPECT_EQ(d.extension, "AVI");
    EXPECT_EQ(d.width, 32);
    EXPECT_EQ(d.height, 24);
    EXPECT_EQ(d.bytesPerPixel, 3);
    EXPECT_EQ(d.bitsPerPixel, 24);
    EXPECT_EQ(d.frameCount, 5);
    EXPECT_EQ(d.soundRate, 22050);
    EXPECT_DOUBLE_EQ(d.frameRate, 12.0);
}

std::vector<uint8_t> BmpHeader(int32_t w, int32_t h) {
    std::vector<uint8_t> v(54, 0);
    v[0] = 'B';
    v[1] = 'M';
    PutLE32(&v[10], 54);
    PutLE32(&v[14], 40);
    PutLE32(&v[18], uint32_t(w));
    PutLE32(&v[22], uint32_t(h));
    PutLE16(&v[26], 1);
    PutLE16(&v[28], 24);
    return v;
}

// What the probe accepts, the reader reads; what the reader would refuse at
// frame 1, the probe refuses with the reader's code.
TEST(MovieProbe, AgreesWithTheReaderOnTheFirstFrame) {
    TempDir tmp;
    MovieDescription d;
    WriteWholeFile(tmp("huge.bmp"), BmpHeader(3000000, 2000000));
    MovieProbe(tmp("huge.bmp"), d);
    EXPECT_EQ(ErrCode, kErrMemory);

    auto cut = BmpHeader(8, 8);
    cut.resize(cut.size() + 8 * 3 * 2);  // two rows of eight
    WriteWholeFile(tmp("cut.bmp"), cut);
    Frame f(8, 9, 3);
    SeqReadFrame(tmp("cut.bmp"), f.img);
    const int32_t readCode = ErrCode;
    MovieProbe(tmp("cut.bmp"), d);
    EXPECT_EQ(ErrCode, readCode);

    std::vector<uint8_t> flc(128 + 16, 0);
    PutLE16(&flc[4], 0xAF12);
    PutLE16(&flc[6], 1);
    PutLE16(&flc[8], 4);
    PutLE16(&flc[10], 4);
    PutLE16(&flc[12], 8);
    PutLE32(&flc[128], 100);  // a frame of one chunk the file no longer holds
    PutLE16(&flc[132], 0xF1FA);
    PutLE16(&flc[134], 1);
    WriteWholeFile(tmp("cut.flc"), flc);
    MovieProbe(tmp("cut.flc"), d);
    EXPECT_EQ(ErrCode, kErrMemory);

    auto whole = BmpHeader(8, 8);
    whole.resize(whole.size() + 8 * 8 * 3, 7);
    WriteWholeFile(tmp("whole.bmp"), whole);
    MovieProbe(tmp("whole.bmp"), d);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(d.width, 8);
}

// A movie whose picture is larger than the image readers take (16384 x 4097
// is just past 8192 x 8192 pixels) is refused before a frame is made for it,
// though its own reader would open it.
TEST(MovieProbe, RefusesPicturesLargerThanTheReadersTake) {
    TempDir tmp;
    std::vector<uint8_t> flc(128 + 16, 0);
    PutLE32(&flc[0], uint32_t(flc.size()));
    PutLE16(&flc[4], 0xAF12);
    PutLE16(&flc[6], 1);
    PutLE16(&flc[8], 16384);
    PutLE16(&flc[10], 4097);
    PutLE16(&flc[12], 8);
    PutLE32(&flc[128], 16);  // a frame that changes nothing
    PutLE16(&flc[132], 0xF1FA);
    WriteWholeFile(tmp("big.flc"), flc);
    MovieDescription d;
    MovieProbe(tmp("big.flc"), d);
    EXPECT_EQ(ErrCode, kErrMemory);
}
