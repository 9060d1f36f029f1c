// Plot glyphs printed on a picture are stamped from sprites coloured from
// cached coverage; they must be byte for byte what painting each glyph in
// its colour at its quarter-pixel offset gives.
#include "quarvex/runtime/glyphs.h"
#include "quarvex/runtime/painter_surface.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

namespace qvrt {
namespace {

constexpr double kDpi = 96;

// The picture as it was drawn before: each glyph painted in its colour into
// a transparent image at its offset, then laid on the picture.
void PaintDirect(QImage& target, const PlotGlyph& g, QPointF at, double points, QColor color, bool bold) {
    const QSizeF cell(points * kDpi / 72 * kGlyphCellWidthEm, points * kDpi / 72 * kGlyphCellHeightEm);
    const QPointF whole(std::floor(at.x()), std::floor(at.y()));
    const QPointF offset = QPointF(double(std::lround((at.x() - whole.x()) * 4)),
                                   double(std::lround((at.y() - whole.y()) * 4))) / 4;
    QImage sprite(int(std::ceil(cell.width())) + 4, int(std::ceil(cell.height())) + 4,
                  QImage::Format_ARGB32_Premultiplied);
    sprite.fill(Qt::transparent);
    {
        QPainter p(&sprite);
        PaintGlyph(p, g.face, g.code, QRectF(QPointF(2, 2) + offset, cell), color, bold);
    }
    QPainter p(&target);
    p.drawImage(whole - QPointF(2, 2), sprite);
}

TEST(GlyphSprites, EveryGlyphOffsetSizeAndColourMatchesDirectPainting) {
    const uint32_t colours[] = {0x000000, 0x0000FF, 0xE68A3C, 0x808080};
    for (double points : {6.0, 9.75, 20.0}) {
        const int step = int(std::ceil(points * kDpi / 72 * kGlyphCellHeightEm)) + 6;
        const QSize size(16 * step + 8, 14 * step + 8);
        for (bool bold : {false, true}) {
            for (uint32_t colour : colours) {
                PictureSurface picture(size, kDpi);
                picture.Scale(0, 0, size.width(), size.height());
                picture.SetFontSize(points);
                picture.SetFontBold(bold);
                picture.SetForeColor(colour);
                QImage expected(size, QImage::Format_RGB32);
                expected.fill(Qt::white);
                for (int k = 0; k < 14; ++k) {
                    const PlotGlyph& g = PlotGlyphs()[size_t(k)];
                    picture.SetFontName(g.face == FontKind::Symbol ? QStringLiteral("Symbol")
                                                                   : QStringLiteral("Wingdings"));
                    for (int o = 0; o < 16; ++o) {
                        const QPointF at(4 + o * step + (o % 4) / 4.0, 4 + k * step + (o / 4) / 4.0);
                        picture.SetCurrentX(at.x());
                        picture.SetCurrentY(at.y());
                        picture.Print(QString(QChar(g.code)));
                        PaintDirect(expected, g, at, points,
                                    QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)), bold);
                    }
                }
                const QImage& got = picture.Image();
                int differ = 0, worst = 0;
                for (int y = 0; y < size.height(); ++y)
                    for (int x = 0; x < size.width(); ++x) {
                        const QRgb a = got.pixel(x, y), b = expected.pixel(x, y);
                        if (a == b) continue;
                        ++differ;
                        worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                          std::abs(qBlue(a) - qBlue(b))});
                    }
                EXPECT_EQ(differ, 0) << "size " << points << " bold " << bold << " colour " << std::hex << colour
                                     << std::dec << " worst " << worst;
            }
        }
    }
}

}  // namespace
}  // namespace qvrt
