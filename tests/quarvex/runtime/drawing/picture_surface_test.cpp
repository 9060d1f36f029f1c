// The picture box's image: where lines, boxes and texts land in pixels,
// styles, Cls, resizing, saving, and the widget's mouse in user units.
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/painter_surface.h"

#include <QFontMetricsF>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace qvrt {
namespace {

QRgb Rgb(uint32_t color) { return qRgb(RedOf(color), GreenOf(color), BlueOf(color)); }

int CountColour(const QImage& image, QRgb colour, QRect area = QRect()) {
    if (area.isNull()) area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

int CountNonWhite(const QImage& image, QRect area = QRect()) {
    if (area.isNull()) area = image.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) n += qGray(image.pixel(x, y)) < 200;
    return n;
}

TEST(PictureSurfaceScale, TwipsFollowTheResolution) {
    PictureSurface s(QSize(200, 100), 96);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 200 * 15.0);
    EXPECT_DOUBLE_EQ(s.ScaleHeight(), 100 * 15.0);
}

TEST(PictureSurfaceLines, AYUpLineLandsOnTheExpectedPixels) {
    PictureSurface s(QSize(101, 101), 96);
    s.Scale(0, 100, 100, 0);
    s.SetForeColor(0x0000FF);
    s.Line(10, 20, 90, 20);  // 20 up from the bottom: pixel row 80
    const QImage& img = s.Image();
    EXPECT_EQ(img.pixel(50, 80) & 0xFFFFFF, Rgb(0x0000FF) & 0xFFFFFF);
    EXPECT_EQ(qGray(img.pixel(50, 20)), 255);
    EXPECT_EQ(CountColour(img, Rgb(0x0000FF)), CountColour(img, Rgb(0x0000FF), QRect(9, 79, 83, 3)));
}

TEST(PictureSurfaceLines, ALineColourOfItsOwnIsUsed) {
    PictureSurface s(QSize(50, 50), 96);
    s.Scale(0, 0, 50, 50);
    s.SetForeColor(0);
    s.Line(5, 25, 45, 25, 0xC0C0C0);
    EXPECT_GT(CountColour(s.Image(), Rgb(0xC0C0C0)), 30);
    EXPECT_EQ(CountColour(s.Image(), Rgb(0)), 0);
}

TEST(PictureSurfaceLines, DotsAndDashesLeaveGapsAndSolidDoesNot) {
    int inked[3];
    for (int style = 0; style < 3; ++style) {
        PictureSurface s(QSize(200, 20), 96);
        s.Scale(0, 0, 200, 20);
        s.SetDrawStyle(style);
        s.Line(0, 10, 200, 10);
        inked[style] = CountNonWhite(s.Image());
    }
    EXPECT_GE(inked[vbSolid], 199);
    EXPECT_LT(inked[vbDash], inked[vbSolid] * 0.8);
    EXPECT_GT(inked[vbDash], inked[vbSolid] * 0.5);
    EXPECT_LT(inked[vbDot], inked[vbSolid] * 0.45);
    EXPECT_GT(inked[vbDot], inked[vbSolid] * 0.2);
}

TEST(PictureSurfaceLines, AWidePenIsWiderAndAlwaysSolid) {
    PictureSurface s(QSize(200, 40), 96);
    s.Scale(0, 0, 200, 40);
    s.SetDrawWidth(5);
    s.SetDrawStyle(vbDot);
    s.Line(20, 20, 180, 20);
    for (int x = 30; x < 170; ++x) EXPECT_LT(qGray(s.Image().pixel(x, 20)), 100) << x;
    EXPECT_LT(qGray(s.Image().pixel(100, 22)), 100);
}

TEST(PictureSurfaceLines, BoxesAreOutlinesUnlessFilled) {
    PictureSurface s(QSize(100, 100), 96);
    s.Scale(0, 0, 100, 100);
    s.Line(80, 80, 20, 20, 0xFF0000, LineShape::Box);
    EXPECT_EQ(qGray(s.Image().pixel(50, 50)), 255);
    EXPECT_EQ(s.Image().pixel(20, 50) & 0xFFFFFF, Rgb(0xFF0000) & 0xFFFFFF);
    s.Line(30, 30, 40, 40, 0x00FF00, LineShape::FilledBox);
    EXPECT_EQ(s.Image().pixel(35, 35) & 0xFFFFFF, Rgb(0x00FF00) & 0xFFFFFF);
    s.SetFillStyle(vbFSSolid);
    s.SetFillColor(0x0000FF);
    s.Line(60, 60, 75, 75, std::nullopt, LineShape::Box);
    EXPECT_EQ(s.Image().pixel(67, 67) & 0xFFFFFF, Rgb(0x0000FF) & 0xFFFFFF);
}

TEST(PictureSurfaceText, ArialMeasuresAsLiberationSansAtThePointSize) {
    PictureSurface s(QSize(300, 300), 96);
    s.SetFontName("Arial");
    s.SetFontSize(12);
    QFont font("Liberation Sans");
    font.setPointSizeF(12);
    font.setKerning(false);
    const QFontMetricsF metrics(font, &s.Image());
    EXPECT_NEAR(s.TextWidth("Quartzolite"), metrics.horizontalAdvance("Quartzolite") * 15, 1e-6);
    EXPECT_NEAR(s.TextHeight("Q"), metrics.height() * 15, 1e-6);
}

TEST(PictureSurfaceText, SmallFontsIsSmallerThanArialAtTwiceTheSize) {
    PictureSurface s(QSize(300, 300), 96);
    s.SetFontName("Small Fonts");
    s.SetFontSize(6);
    const double small = s.TextWidth("50");
    s.SetFontName("Arial");
    s.SetFontSize(12);
    EXPECT_LT(small, s.TextWidth("50"));
}

TEST(PictureSurfaceText, TextInkStartsAtThePrintPosition) {
    PictureSurface s(QSize(300, 100), 96);
    s.Scale(0, 0, 300, 100);
    s.SetFontName("Arial");
    s.SetFontSize(20);
    s.SetCurrentX(100);
    s.SetCurrentY(20);
    s.Print("H");
    // No ink left of or above the position; ink within the measured box.
    EXPECT_EQ(CountNonWhite(s.Image(), QRect(0, 0, 99, 100)), 0);
    EXPECT_EQ(CountNonWhite(s.Image(), QRect(0, 0, 300, 19)), 0);
    const QRect box(100, 20, int(s.TextWidth("H")) + 1, int(s.TextHeight("H")) + 1);
    EXPECT_EQ(CountNonWhite(s.Image()), CountNonWhite(s.Image(), box));
    EXPECT_GT(CountNonWhite(s.Image()), 20);
}

TEST(PictureSurfaceText, OpaqueTextPaintsItsBoxInBackColor) {
    PictureSurface s(QSize(200, 100), 96);
    s.Scale(0, 0, 200, 100);
    s.Line(0, 0, 200, 100, 0, LineShape::FilledBox);
    s.SetForeColor(0xFFFFFF);
    s.SetFontTransparent(false);
    s.SetBackColor(0x00FF00);
    s.SetCurrentX(10);
    s.SetCurrentY(10);
    s.Print("Legend");
    EXPECT_EQ(s.Image().pixel(11, 11) & 0xFFFFFF, Rgb(0x00FF00) & 0xFFFFFF);
}

TEST(PictureSurfaceImage, ClsFillsWithBackColor) {
    PictureSurface s(QSize(40, 40), 96);
    s.Line(0, 0, 600, 600, 0, LineShape::FilledBox);
    s.SetBackColor(0x00FFFF);
    s.Cls();
    EXPECT_EQ(CountColour(s.Image(), Rgb(0x00FFFF)), 40 * 40);
}

TEST(PictureSurfaceImage, GrowingKeepsTheDrawingAndStretchesAUserScale) {
    PictureSurface s(QSize(100, 100), 96);
    s.Scale(0, 0, 100, 100);
    s.Line(10, 10, 20, 20, 0xFF0000, LineShape::FilledBox);
    s.Resize(QSize(200, 150));
    EXPECT_EQ(s.Image().size(), QSize(200, 150));
    EXPECT_EQ(s.Image().pixel(15, 15) & 0xFFFFFF, Rgb(0xFF0000) & 0xFFFFFF);
    EXPECT_EQ(qGray(s.Image().pixel(150, 120)), 255);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 100);
    EXPECT_NEAR(s.ToDevice(50, 50).x(), 100, 1e-9);
}

TEST(PictureSurfaceImage, SavesAWindowsBitmap) {
    QTemporaryDir dir;
    PictureSurface s(QSize(30, 20), 96);
    s.Line(0, 0, 150, 150, 0xFF, LineShape::FilledBox);
    const QString path = dir.filePath("diagram.bmp");
    s.SavePicture(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("BM"));
    QImage back(path);
    EXPECT_EQ(back.size(), QSize(30, 20));
    EXPECT_EQ(back.pixel(2, 2) & 0xFFFFFF, Rgb(0xFF) & 0xFFFFFF);
}

TEST(PictureSurfaceImage, ABitmapInAMissingFolderRaisesPathNotFound) {
    PictureSurface s(QSize(10, 10), 96);
    try {
        s.SavePicture("/nonexistent-folder/diagram.bmp");
        FAIL() << "no error";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number(), ErrPathNotFound);
    }
}

// At 200 % scaling the window's image has twice the pixels each way and
// detail at that resolution (a 2 x 2 block of it is not one colour), while
// the picture that saving and copying take is what ratio 1 draws.
TEST(PictureSurfaceImage, AtRatioTwoTheWindowGetsDetailAndThePictureStaysAsItWas) {
    auto draw = [](PictureSurface& s) {
        s.Scale(0, 100, 100, 0);
        s.Line(10, 50, 90, 52);
        s.SetFontName("Arial");
        s.SetFontSize(8);
        s.SetCurrentX(10);
        s.SetCurrentY(90);
        s.Print("Quartz 52.3");
        s.SetFontName("Wingdings");
        s.SetCurrentX(40);
        s.SetCurrentY(30);
        s.Print(QString(QChar(117)));
    };
    PictureSurface plain(QSize(120, 120), 96), fine(QSize(120, 120), 96);
    fine.SetScreenRatio(2);
    draw(plain);
    draw(fine);
    EXPECT_EQ(fine.Image(), plain.Image());
    EXPECT_EQ(plain.ScreenImage(), plain.Image());
    const QImage& screen = fine.ScreenImage();
    ASSERT_EQ(screen.size(), QSize(240, 240));
    int detailed = 0;
    for (int y = 0; y + 1 < screen.height(); y += 2)
        for (int x = 0; x + 1 < screen.width(); x += 2) {
            const QRgb a = screen.pixel(x, y);
            detailed += a != screen.pixel(x + 1, y) || a != screen.pixel(x, y + 1) || a != screen.pixel(x + 1, y + 1);
        }
    EXPECT_GT(detailed, 50);
}

TEST(PictureBoxWidget, ReportsTheMouseInUserCoordinates) {
    PictureBox box;
    box.resize(200, 100);
    box.surface().Scale(0, 10, 100, 0);
    QSignalSpy down(&box, &PictureBox::MouseDown);
    QSignalSpy up(&box, &PictureBox::MouseUp);
    QTest::mousePress(&box, Qt::LeftButton, Qt::ShiftModifier, QPoint(50, 25));
    QTest::mouseRelease(&box, Qt::RightButton, Qt::NoModifier, QPoint(150, 75));
    ASSERT_EQ(down.count(), 1);
    EXPECT_EQ(down[0][0].toInt(), 1);
    EXPECT_EQ(down[0][1].toInt(), 1);
    EXPECT_NEAR(down[0][2].toDouble(), 25, 1e-9);
    EXPECT_NEAR(down[0][3].toDouble(), 7.5, 1e-9);
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up[0][0].toInt(), 2);
    EXPECT_NEAR(up[0][2].toDouble(), 75, 1e-9);
    EXPECT_NEAR(up[0][3].toDouble(), 2.5, 1e-9);
}

TEST(PictureBoxWidget, PassesTypedCharactersAsTheirCodes) {
    PictureBox box;
    QSignalSpy keys(&box, &PictureBox::KeyPress);
    QTest::keyClick(&box, Qt::Key_A);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_Shift);  // no character: no event
    ASSERT_EQ(keys.count(), 2);
    EXPECT_EQ(keys[0][0].toInt(), 'a');
    EXPECT_EQ(keys[1][0].toInt(), 8);
}

TEST(PictureBoxWidget, FollowsItsSizeAndShowsTheRubberBandWithoutDrawingIntoThePicture) {
    PictureBox box;
    box.resize(120, 80);
    EXPECT_EQ(box.surface().Image().size(), QSize(120, 80));
    box.surface().Scale(0, 0, 120, 80);
    box.ShowRubberBox(10, 10, 60, 40);
    box.ShowRubberLine(0, 0, 100, 70);
    const QImage shown = box.grab().toImage();
    EXPECT_GT(CountNonWhite(shown), 0);
    EXPECT_EQ(CountNonWhite(box.surface().Image()), 0);
    box.SetMousePointer(2);
    EXPECT_EQ(box.cursor().shape(), Qt::CrossCursor);
}

// Arial states an average character width of 904/2048 em; tables laid out in
// print zones of 14 such widths fit the page only at that width, not at the
// plain glyph mean (about 0.57 em) that Liberation Sans states.
TEST(PictureSurfaceText, PrintZonesAreFourteenOfArialsStatedAverageWidths) {
    PictureSurface s(QSize(2000, 100), 96);
    s.SetFontName("Arial");
    s.SetFontSize(10);
    s.SetCurrentX(s.ScaleLeft());
    s.NextZone();
    const double expected = 14 * (904.0 / 2048.0) * 10 * 20;  // twips
    EXPECT_NEAR(s.CurrentX() - s.ScaleLeft(), expected, expected * 0.04);
}

}  // namespace
}  // namespace qvrt
