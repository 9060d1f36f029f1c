#include "quarvex/printing/frame_common.h"
#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

namespace quarvex::printing {

namespace {

constexpr double kDiamondAspect = 0.58;

// Ticks of one half; sign -1 is the upper (Q) half, +1 the lower (F) half.
void halfTicks(qvrt::PrinterSurface& p, int sign) {
    for (int i = 10; i <= 90; i += 10) {
        const double half = i / 2.0, y = sign * i;
        p.Line(half, y, half - 2.2, y);
        p.Line(half, y, half - 1.2, y + sign * 2.5);
        p.Line(100 - half, y, 102.2 - half, y);
        p.Line(100 - half, y, 101.2 - half, y + sign * 2.5);
        if (i != 50) continue;
        const QString fifty = QStringLiteral("50");
        const double row = y - p.TextHeight(fifty) / 2;
        p.SetCurrentY(row);
        p.SetCurrentX(21 - p.TextWidth(fifty));
        p.Print(fifty);
        p.SetCurrentY(row);
        p.SetCurrentX(79);
        p.Print(fifty);
    }
}

void halfGrid(qvrt::PrinterSurface& p, int sign) {
    p.SetDrawStyle(qvrt::vbDot);
    p.SetForeColor(qvrt::RGB(150, 150, 150));
    for (int i = 10; i <= 90; i += 10) p.Line(i, 0, 50 + i / 2.0, sign > 0 ? 100 - i : i - 100);
    for (int i = 90; i >= 10; i -= 10) p.Line(i, 0, i / 2.0, sign * i);
    for (int i = 10; i <= 90; i += 10) p.Line(i / 2.0, sign * i, 100 - i / 2.0, sign * i);
    p.SetDrawStyle(qvrt::vbSolid);
}

void body(PrintedGraph& g, qvrt::PrinterSurface& p) {
    g.DiagramExtents[0] = 0;
    g.DiagramExtents[1] = -100;
    g.DiagramExtents[2] = 100;
    g.DiagramExtents[3] = 100;
    double margin = 0;
    const bool sized = FrameMargin(g.DiagramSize, 0.1, 0.25, 0.55, &margin);
    FitPage(g, p, 0, -100, 100, 100, kDiamondAspect, sized ? &margin : nullptr);

    ApplyFont(p, g.TitleFont);
    const QString& title = g.DiagramTitle;
    p.SetCurrentY(-115 - p.TextHeight(title));
    p.SetCurrentX(50 - p.TextWidth(title) / 2);
    p.Print(title);

    ApplyFont(p, g.AxesTFont);
    const QString& q = g.AxisLabels.at(1);
    p.SetCurrentX(50 - p.TextWidth(q) / 2);
    p.SetCurrentY(-102 - p.TextHeight(q));
    p.Print(q);
    const QString& a = g.AxisLabels.at(2);
    p.SetCurrentX(-2 - p.TextWidth(a));
    p.SetCurrentY(-p.TextHeight(a) / 2);
    p.Print(a);
    const QString& pl = g.AxisLabels.at(3);
    p.SetCurrentX(102);
    p.SetCurrentY(-p.TextHeight(pl) / 2);
    p.Print(pl);
    const QString& f = g.AxisLabels.at(4);
    p.SetCurrentX(50 - p.TextWidth(f) / 2);
    p.SetCurrentY(102);
    p.Print(f);

    const uint32_t axes = PrinterColor(g.AxesColor);
    p.SetForeColor(axes);
    p.SetDrawWidth(1);
    p.SetDrawStyle(qvrt::vbSolid);
    p.Line(0, 0, 100, 0);
    p.Line(0, 0, 50, 100);
    p.Line(50, 100, 100, 0);

    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(8);
    p.SetFontItalic(false);
    p.SetFontBold(false);
    if (g.ShowTickMarks == -1) halfTicks(p, -1);
    p.SetFontBold(false);
    p.SetDrawWidth(1);
    p.Line(0, 0, 50, -100);
    p.Line(50, -100, 100, 0);
    if (g.ShowTickMarks == -1) halfTicks(p, +1);
    if (g.ShowGrid == -1) {
        halfGrid(p, +1);
        halfGrid(p, -1);
    }

    MeasurePrinterSymbols(g);
    p.SetFontBold(false);
    p.SetFontSize(9.75);
    PrintSampleGlyphs(g, p);
    PrintSampleMarks(g, p, axes, true);
}

}  // namespace

void PrintDiamondFrame(PrintedGraph& g) {
    RunFrame(g, [&] { body(g, qvrt::Printer()); });
}

}  // namespace quarvex::printing
