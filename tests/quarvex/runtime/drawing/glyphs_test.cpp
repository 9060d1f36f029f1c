// The fourteen plot glyphs: each one inked, each distinct, each centred in
// its cell, and the same through the picture surface's centring.
#include "quarvex/runtime/glyphs.h"
#include "quarvex/runtime/painter_surface.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <set>

namespace qvrt {
namespace {

// A large cell so that one pixel of error is small against the glyph.
constexpr double kEm = 100;
const QRectF kCell(0, 0, kEm * kGlyphCellWidthEm, kEm * kGlyphCellHeightEm);

QImage Render(FontKind face, int code, bool bold = false) {
    QImage image(kCell.size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    PaintGlyph(painter, face, code, kCell, Qt::black, bold);
    return image;
}

bool Inked(const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; }

struct Ink {
    int count = 0;
    QRect box;
};

Ink InkOf(const QImage& image) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Inked(image, x, y)) {
                ++ink.count;
                ink.box = ink.box.united(QRect(x, y, 1, 1));
            }
    return ink;
}

TEST(PlotGlyphs, TheTableHoldsTheFourteenCodesInSymbolOrder) {
    const auto& glyphs = PlotGlyphs();
    const int codes[14] = {196, 197, 117, 164, 165, 171, 173, 176, 177, 181, 178, 120, 179, 119};
    for (int i = 0; i < 14; ++i) {
        EXPECT_EQ(glyphs[i].code, codes[i]) << "symbol " << i + 1;
        EXPECT_EQ(glyphs[i].face, i < 2 ? FontKind::Symbol : FontKind::Wingdings) << "symbol " << i + 1;
        EXPECT_TRUE(HasGlyph(glyphs[i].face, glyphs[i].code));
    }
    EXPECT_FALSE(HasGlyph(FontKind::Symbol, 117));  // the code belongs to the other face
    EXPECT_FALSE(HasGlyph(FontKind::Text, 196));
}

TEST(PlotGlyphs, EveryGlyphHasInkCentredInItsCell) {
    for (const PlotGlyph& g : PlotGlyphs()) {
        const Ink ink = InkOf(Render(g.face, g.code));
        ASSERT_GT(ink.count, 50) << g.look;
        const QPointF centre = QRectF(ink.box).center();
        EXPECT_NEAR(centre.x(), kCell.center().x(), 1.5) << g.look;
        EXPECT_NEAR(centre.y(), kCell.center().y(), 1.5) << g.look;
        // The ink stays well inside the cell, so neighbouring glyphs never touch.
        EXPECT_LT(ink.box.width(), kCell.width() * 0.85) << g.look << " " << ink.box.width();
        EXPECT_LT(ink.box.height(), kCell.height() * 0.85) << g.look;
    }
}

TEST(PlotGlyphs, NoTwoGlyphsLookAlike) {
    const auto& glyphs = PlotGlyphs();
    std::vector<QImage> images;
    for (const PlotGlyph& g : glyphs) images.push_back(Render(g.face, g.code));
    for (size_t a = 0; a < images.size(); ++a) {
        for (size_t b = a + 1; b < images.size(); ++b) {
            int differing = 0, inked = 0;
            for (int y = 0; y < images[a].height(); ++y)
                for (int x = 0; x < images[a].width(); ++x) {
                    const bool ia = Inked(images[a], x, y), ib = Inked(images[b], x, y);
                    differing += ia != ib;
                    inked += ia || ib;
                }
            // At least a fifth of the ink of the pair differs.
            EXPECT_GT(differing, inked / 5) << glyphs[a].look << " vs " << glyphs[b].look;
        }
    }
}

TEST(PlotGlyphs, BoldGlyphsCarryMoreInk) {
    for (const PlotGlyph& g : PlotGlyphs()) {
        EXPECT_GT(InkOf(Render(g.face, g.code, true)).count, InkOf(Render(g.face, g.code)).count) << g.look;
    }
}

TEST(PlotGlyphs, OtherCharactersOfASymbolFaceLeaveNoInk) {
    EXPECT_EQ(InkOf(Render(FontKind::Wingdings, 'A')).count, 0);
    EXPECT_EQ(InkOf(Render(FontKind::Symbol, 0)).count, 0);
}

// Through the surface: the frames' centring (CurrentX minus half the
// TextWidth, CurrentY minus half the signed TextHeight) puts each glyph's
// ink on the point, on a y-up and on a y-down scale.
TEST(PlotGlyphs, TheFramesCentringPutsEachGlyphOnItsPoint) {
    for (double top : {132.6, -32.6}) {
        for (const PlotGlyph& g : PlotGlyphs()) {
            PictureSurface s(QSize(400, 400), 96);
            s.Scale(-20, top, 120, top == 132.6 ? -32.6 : 132.6);
            s.SetFontName(g.face == FontKind::Symbol ? "Symbol" : "Wingdings");
            s.SetFontSize(30);
            const QString text(QChar(g.code));
            s.SetCurrentX(40 - s.TextWidth(text) / 2);
            s.SetCurrentY(60 - s.TextHeight(text) / 2);
            s.Print(text);
            const Ink ink = InkOf(s.Image());
            ASSERT_GT(ink.count, 0) << g.look;
            const QPointF point = s.ToDevice(40, 60);
            const QPointF centre = QRectF(ink.box).center();
            EXPECT_NEAR(centre.x(), point.x(), 1.5) << g.look << " top " << top;
            EXPECT_NEAR(centre.y(), point.y(), 1.5) << g.look << " top " << top;
        }
    }
}

}  // namespace
}  // namespace qvrt
