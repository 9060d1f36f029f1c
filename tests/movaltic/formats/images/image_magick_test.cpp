// Our BMP, TGA and PCX files as another program reads them: ImageMagick's
// convert turns each into raw R,G,B bytes, which must be our picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "image_test_support.h"
#include "movaltic/formats/image_files.h"

using namespace movaltic;
using namespace image_test;

namespace {

bool HaveConvert() { return std::system("convert -version >/dev/null 2>&1") == 0; }

// Noise with some runs, so the coded formats use both their packet kinds.
void Fill(Frame& f) {
    uint32_t s = 12345;
    for (size_t i = 0; i < f.buf.size(); ++i) {
        s = s * 1103515245u + 12345u;
        f.buf[i] = (i / 7) % 3 == 0 ? uint8_t(200 + i % 2) : uint8_t(s >> 24);
    }
    for (int i = 0; i < 256; ++i) {
        f.img.palette[3 * i] = uint8_t(i);
        f.img.palette[3 * i + 1] = uint8_t(255 - i);
        f.img.palette[3 * i + 2] = uint8_t(i * 7);
    }
}

struct Case {
    const char* name;
    int bytesPerPixel;
    bool topDown;
    bool compress;
};

void ExpectConvertReadsOurPicture(const Case& c) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const int w = 13, h = 5;  // odd width: padded rows in every format
    Frame f(w, h, c.bytesPerPixel, c.topDown);
    Fill(f);
    const std::string file = dir(c.name), raw = dir("out.rgb");
    SeqWriteFrame(file, f.img, c.compress);
    ASSERT_EQ(ErrCode, 0);
    // ImageMagick keeps a bottom-up TGA's rows in file order and only notes
    // the orientation; -auto-orient applies it.
    const std::string cmd = "convert '" + file + "' -auto-orient -depth 8 'rgb:" + raw + "' 2>/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadWholeFile(raw, rgb));
    ASSERT_EQ(rgb.size(), size_t(w * h * 3));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t want[3];
            PixelRgb(f, x, y, want);
            const uint8_t* got = &rgb[size_t(y * w + x) * 3];
            ASSERT_TRUE(got[0] == want[0] && got[1] == want[1] && got[2] == want[2])
                << "pixel " << x << "," << y << ": " << int(got[0]) << " " << int(got[1]) << " " << int(got[2])
                << " instead of " << int(want[0]) << " " << int(want[1]) << " " << int(want[2]);
        }
}

}  // namespace

// Each kind at 8 and 24 bits, both row orders, TGA plain and run-length coded.
TEST(ImageMagickReads, OurBmpTgaAndPcxFilesWithTheirPixels) {
    if (!HaveConvert()) GTEST_SKIP() << "ImageMagick's convert is not installed";
    for (const Case& c : {Case{"p8.bmp", 1, true, false}, Case{"p24.bmp", 3, false, false},
                          Case{"p24b.dib", 3, true, false}, Case{"p8.tga", 1, true, false},
                          Case{"p8r.tga", 1, false, true}, Case{"p24.tga", 3, true, false},
                          Case{"p24r.tga", 3, true, true}, Case{"p8.pcx", 1, true, false},
                          Case{"p24.pcx", 3, false, false}, Case{"p24b.pcx", 3, true, false}})
        ExpectConvertReadsOurPicture(c);
}
