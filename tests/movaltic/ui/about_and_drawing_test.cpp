// The stored About picture and frames turned into Qt images.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <set>

#include "movaltic/ui/about_box.h"
#include "movaltic/ui/image_draw.h"

namespace {

using namespace movaltic;

TEST(AboutPicture, UnpacksToA400By240PaletteFrame) {
    imagerec frame;
    ImageCreate(frame, kAboutWidth, kAboutHeight, 1);
    LoadAboutPicture(frame);
    EXPECT_EQ(ErrCode, 0);
    EXPECT_EQ(frame.width, 400);
    EXPECT_EQ(frame.height, 240);
    EXPECT_EQ(frame.topDown, 0);
    std::set<uint8_t> used(frame.pixels, frame.pixels + 400 * 240);
    EXPECT_GT(used.size(), 20u);
    ImageFree(frame);
}

TEST(AboutPicture, RefusesAFrameTooSmall) {
    imagerec frame;
    ImageCreate(frame, 100, 100, 1);
    LoadAboutPicture(frame);
    EXPECT_EQ(ErrCode, kErrMemory);
    ImageFree(frame);
}

TEST(AboutBox, ShowsThePictureUnderItsCaption) {
    TfmSplash box;
    EXPECT_EQ(box.windowTitle(), "About Movaltic");
    ASSERT_EQ(box.Picture.size(), QSize(400, 240));
    // The bottom-up strip is drawn the right way up: the title band is dark
    // film at the top, not at the bottom.
    EXPECT_LT(qGray(box.Picture.pixel(200, 20)), 80);
}

TEST(ImageDraw, EightBitFramesAreIndexedImagesWithTheirPalette) {
    imagerec f;
    ImageCreate(f, 3, 2, 1);
    f.topDown = 1;
    f.pixels[0] = 5;
    f.palette[15] = 10;
    f.palette[16] = 20;
    f.palette[17] = 30;
    QImage img = FrameToQImage(f);
    EXPECT_EQ(img.format(), QImage::Format_Indexed8);
    EXPECT_EQ(img.pixel(0, 0), qRgb(10, 20, 30));
    ImageFree(f);
}

TEST(ImageDraw, BottomUpTrueColourFramesAreTurnedOver) {
    imagerec f;
    ImageCreate(f, 3, 2, 3);  // 9-byte rows, not a multiple of 4
    f.topDown = 0;
    uint8_t* bottomRowFirstPixel = f.pixels;
    bottomRowFirstPixel[0] = 1;   // blue
    bottomRowFirstPixel[1] = 2;   // green
    bottomRowFirstPixel[2] = 3;   // red
    QImage img = FrameToQImage(f);
    EXPECT_EQ(img.pixel(0, 1), qRgb(3, 2, 1));
    EXPECT_EQ(img.pixel(0, 0), qRgb(0, 0, 0));
    ImageFree(f);
}

TEST(ImageDraw, PreviewIsCentredOnTheButtonFace) {
    imagerec f;
    ImageCreate(f, 4, 2, 3);
    f.topDown = 1;
    for (int i = 0; i < 24; ++i) f.pixels[i] = 255;
    QImage canvas(10, 10, QImage::Format_RGB32);
    DrawPreviewCentered(f, canvas);
    EXPECT_EQ(canvas.pixel(3, 4), qRgb(255, 255, 255));
    EXPECT_EQ(canvas.pixel(6, 5), qRgb(255, 255, 255));
    EXPECT_NE(canvas.pixel(2, 4), qRgb(255, 255, 255));
    ImageFree(f);
}

TEST(ImageDraw, FrameWithoutPixelsDrawsNothing) {
    imagerec f;
    EXPECT_TRUE(FrameToQImage(f).isNull());
}

}  // namespace
