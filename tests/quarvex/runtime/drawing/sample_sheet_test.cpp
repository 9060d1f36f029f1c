// One sheet with every glyph, every line style and every font, drawn on the
// picture and on a PDF printer by the same calls. Set QVRT_SHEET_DIR to keep
// sheet.png and sheet.pdf for a look.
#include "quarvex/runtime/glyphs.h"
#include "quarvex/runtime/painter_surface.h"
#include "quarvex/runtime/printer.h"

#include <QDir>
#include <QPageSize>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qvrt {
namespace {

double GlyphX(int i) { return 6 + i * 6.8; }

// Draws in a y-up scale of 100 x 100 units, as the frames do.
void DrawSheet(Surface& s) {
    s.Scale(0, 100, 100, 0);
    s.SetForeColor(0);
    s.SetFontName("Arial");
    s.SetFontSize(14);
    s.SetFontBold(true);
    s.SetCurrentX(50 - s.TextWidth("Drawing surface") / 2);
    s.SetCurrentY(98);
    s.Print("Drawing surface");
    s.SetFontBold(false);

    const uint32_t colours[] = {RGB(0, 0, 0), RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255)};
    for (int row = 0; row < 2; ++row) {
        const double y = row == 0 ? 82 : 72;
        for (int i = 0; i < 14; ++i) {
            const PlotGlyph& g = PlotGlyphs()[i];
            const double x = GlyphX(i);
            // Thin cross hairs through the point show the centring.
            s.Line(x - 3.2, y, x - 1.8, y, RGB(160, 160, 160));
            s.Line(x + 1.8, y, x + 3.2, y, RGB(160, 160, 160));
            s.Line(x, y - 3.2, x, y - 2.2, RGB(160, 160, 160));
            s.Line(x, y + 2.2, x, y + 3.2, RGB(160, 160, 160));
            s.SetFontSize(9.75);
            s.SetFontName(g.face == FontKind::Symbol ? "Symbol" : "Wingdings");
            s.SetFontSize(9.75);
            s.SetFontBold(row == 1);
            const QString text(QChar(g.code));
            s.SetCurrentX(x - s.TextWidth(text) / 2);
            s.SetCurrentY(y - s.TextHeight(text) / 2);
            s.SetForeColor(colours[i % 4]);
            s.Print(text);
            s.SetFontName("Small Fonts");
            s.SetFontSize(6);
            s.SetFontBold(false);
            s.SetForeColor(0);
            const QString number = QString::number(i + 1);
            s.SetCurrentX(x - s.TextWidth(number) / 2);
            s.SetCurrentY(y - 4);
            s.Print(number);
        }
    }

    const char* styles[] = {"DrawStyle 0 solid", "DrawStyle 1 dash", "DrawStyle 2 dot"};
    s.SetFontName("Arial");
    s.SetFontSize(8);
    for (int style = 0; style < 3; ++style) {
        const double y = 60 - style * 5;
        s.SetDrawStyle(style);
        s.Line(5, y, 60, y, RGB(150, 150, 150) * (style == 2) + RGB(0, 0, 0) * (style != 2));
        s.SetDrawStyle(vbSolid);
        s.SetCurrentX(62);
        s.SetCurrentY(y - s.TextHeight("D") / 2);
        s.Print(styles[style]);
    }
    for (int width : {1, 2, 5}) {
        const double y = 45 - (width == 1 ? 0 : width == 2 ? 4 : 8);
        s.SetDrawWidth(width);
        s.Line(5, y, 60, y, RGB(0, 0, 192));
        s.SetDrawWidth(1);
        s.SetCurrentX(62);
        s.SetCurrentY(y - s.TextHeight("D") / 2);
        s.Print(QStringLiteral("DrawWidth %1").arg(width));
    }

    struct Sample {
        const char* font;
        double size;
        bool bold, italic;
    };
    const Sample samples[] = {{"Arial", 10, false, false},        {"Arial", 10, true, false},
                              {"Arial", 10, false, true},         {"MS Sans Serif", 8.25, false, false},
                              {"Small Fonts", 6, false, false}};
    s.SetCurrentX(5);
    s.SetCurrentY(32);
    for (const Sample& f : samples) {
        s.SetFontName(f.font);
        s.SetFontSize(f.size);
        s.SetFontBold(f.bold);
        s.SetFontItalic(f.italic);
        s.SetCurrentX(5);
        s.Print(QStringLiteral("%1 %2 - Quartz Alkali-feldspar Syenite 0123456789").arg(f.font).arg(f.size));
    }
    s.SetFontBold(false);
    s.SetFontItalic(false);
    s.Line(70, 5, 95, 20, RGB(0, 128, 0), LineShape::Box);
    s.Line(75, 8, 85, 14, RGB(255, 200, 0), LineShape::FilledBox);
}

QString OutputDir(const QTemporaryDir& temp) {
    const QString keep = qEnvironmentVariable("QVRT_SHEET_DIR");
    if (!keep.isEmpty()) {
        QDir().mkpath(keep);
        return keep;
    }
    return temp.path();
}

TEST(SampleSheet, DrawsTheSameSheetOnThePictureAndOnPaper) {
    QTemporaryDir temp;
    const QString dir = OutputDir(temp);

    PictureSurface picture(QSize(900, 700), 96);
    DrawSheet(picture);
    ASSERT_TRUE(picture.Image().save(dir + "/sheet.png"));
    // Every glyph left ink around its point.
    for (int i = 0; i < 14; ++i) {
        const QPointF p = picture.ToDevice(GlyphX(i), 82);
        int ink = 0;
        for (int dy = -3; dy <= 3; ++dy)
            for (int dx = -3; dx <= 3; ++dx)
                ink += qGray(picture.Image().pixel(int(p.x()) + dx, int(p.y()) + dy)) < 160;
        EXPECT_GT(ink, 3) << "symbol " << i + 1;
    }

    QtPrinterSurface printer(dir + "/sheet.pdf");
    printer.Device()->setPageSize(QPageSize(QPageSize::A4));
    printer.SetOrientation(vbPRORLandscape);
    printer.Print("");
    DrawSheet(printer);
    printer.EndDoc();
    EXPECT_TRUE(QFile::exists(dir + "/sheet.pdf"));
}

}  // namespace
}  // namespace qvrt
