#include "quarvex/printing/frame_common.h"
#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

namespace quarvex::printing {

namespace {

constexpr double kTernaryAspect = 1.18;

void ticks(qvrt::PrinterSurface& p, bool inverted) {
    for (int t = 10; t <= 90; t += 10) {
        const double half = t / 2.0;
        p.Line(half, t, half - 1.3, t);
        if (inverted) p.Line(half, t, half - 0.5, t + 1.2);
        else p.Line(half, t, half - 0.55, t + 1.3);
        p.Line(100 - half, t, 101.3 - half, t);
        if (inverted) p.Line(100 - half, t, 100.5 - half, t + 1.2);
        else p.Line(100 - half, t, 100.55 - half, t + 1.3);
        const double side = inverted ? 0.5 : 0.7;
        p.Line(t, 0, t + side, -1.5);
        p.Line(t, 0, t - side, -1.5);
        p.SetFontName(QStringLiteral("Arial"));
        p.SetFontSize(8);
        p.SetFontItalic(false);
        if (t != 50) continue;
        const QString fifty = QStringLiteral("50");
        const double mid = 50 - p.TextHeight(QStringLiteral("5")) / 2;
        p.SetCurrentX(22 - p.TextWidth(fifty));
        p.SetCurrentY(mid);
        p.Print(fifty);
        p.SetCurrentX(78);
        p.SetCurrentY(mid);
        p.Print(fifty);
        p.SetCurrentX(50 - p.TextWidth(fifty) / 2);
        p.SetCurrentY(inverted ? -4 - p.TextHeight(QStringLiteral("5")) / 2 : -4);
        p.Print(fifty);
    }
}

void grid(qvrt::PrinterSurface& p) {
    p.SetDrawStyle(qvrt::vbDot);
    p.SetForeColor(qvrt::RGB(150, 150, 150));
    for (int t = 10; t <= 90; t += 10) p.Line(t, 0, 50 + t / 2.0, 100 - t);
    for (int t = 90; t >= 10; t -= 10) p.Line(t, 0, t / 2.0, t);
    for (int t = 10; t <= 90; t += 10) p.Line(t / 2.0, t, 100 - t / 2.0, t);
    p.SetDrawStyle(qvrt::vbSolid);
}

void body(PrintedGraph& g, qvrt::PrinterSurface& p) {
    const uint32_t axes = PrinterColor(g.AxesColor);
    p.SetForeColor(axes);
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(8);
    const bool inverted =
        g.DiagramType == QLatin1String("FAP-Volcanic") || g.DiagramType == QLatin1String("FAP-Plutonic");
    double margin = 0;
    const bool sized = FrameMargin(g.DiagramSize, 0.2, 0.45, 0.75, &margin);
    if (sized) {
        g.DiagramExtents[0] = 0;
        g.DiagramExtents[1] = inverted ? 0 : 100;
        g.DiagramExtents[2] = 100;
        g.DiagramExtents[3] = inverted ? 100 : 0;
    }
    FitPage(g, p, 0, g.DiagramExtents[1], 100, g.DiagramExtents[3], kTernaryAspect, sized ? &margin : nullptr);

    p.SetDrawWidth(1);
    p.Line(0, 0, 100, 0);
    p.Line(0, 0, 50, 100);
    p.Line(50, 100, 100, 0);

    ApplyFont(p, g.TitleFont);
    const QString& title = g.DiagramTitle;
    p.SetCurrentX(50 - p.TextWidth(title) / 2);
    p.SetCurrentY((inverted ? -10 : 110) - p.TextHeight(title));
    p.Print(title);

    ApplyFont(p, g.AxesTFont);
    const QString& top = g.AxisLabels.at(1);
    p.SetCurrentX(50 - p.TextWidth(top) / 2);
    p.SetCurrentY(inverted ? 102 : 101 - p.TextHeight(top));
    p.Print(top);
    const QString& left = g.AxisLabels.at(2);
    p.SetCurrentX(-p.TextWidth(left) / 2);
    p.SetCurrentY(inverted ? -2 - p.TextHeight(left) : -2);
    p.Print(left);
    const QString& right = g.AxisLabels.at(3);
    p.SetCurrentX(100 - p.TextWidth(right) / 2);
    p.SetCurrentY(inverted ? -2 - p.TextHeight(right) : -2);
    p.Print(right);

    p.SetForeColor(axes);
    p.SetFontBold(false);
    if (g.ShowTickMarks == -1) ticks(p, inverted);
    if (g.ShowGrid == -1) grid(p);

    MeasurePrinterSymbols(g);
    PrintSampleGlyphs(g, p);
    PrintSampleMarks(g, p, axes, false);
}

}  // namespace

void PrintTernaryFrame(PrintedGraph& g) {
    RunFrame(g, [&] { body(g, qvrt::Printer()); });
}

}  // namespace quarvex::printing
