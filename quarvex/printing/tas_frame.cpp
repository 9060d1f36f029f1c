#include "quarvex/printing/frame_common.h"
#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

#include <algorithm>

namespace quarvex::printing {

namespace {

constexpr double kTasAspect = 1.31;

// Where the 8-point silica tick labels end below the axis. The x-axis title
// starts 1.5 units below the axis, clear of them, unless the diagram is so
// small on the page (one lying wide) that the labels reach further down;
// then it starts where they end. Leaves the printer in the axis-title font.
double tickLabelFoot(const PrintedGraph& g, qvrt::PrinterSurface& p) {
    p.SetFontBold(false);
    p.SetFontSize(8);
    p.SetFontItalic(false);
    const double foot = -0.55 + p.TextHeight(QStringLiteral("1"));
    ApplyFont(p, g.AxesTFont);
    return foot;
}

// Prints a text beneath the axis at the print position and notes its box.
void printBelowAxis(PrintedGraph& g, qvrt::PrinterSurface& p, const QString& text) {
    const double x = p.CurrentX(), y = p.CurrentY();
    g.TextsBelowAxis.push_back({x, y, x + p.TextWidth(text), y + p.TextHeight(text)});
    p.Print(text);
}

void body(PrintedGraph& g, qvrt::PrinterSurface& p) {
    g.TextsBelowAxis.clear();
    const uint32_t axes = PrinterColor(g.AxesColor);
    p.SetForeColor(axes);
    double margin = 0;
    const bool sized = FrameMargin(g.DiagramSize, 0.2, 0.45, 0.75, &margin);
    FitPage(g, p, 35, 16, 77, 0, kTasAspect, sized ? &margin : nullptr);

    ApplyFont(p, g.TitleFont);
    const QString& title = g.DiagramTitle;
    p.SetCurrentY(18 - p.TextHeight(title));
    p.SetCurrentX(55 - p.TextWidth(title) / 2);
    p.Print(title);

    ApplyFont(p, g.AxesTFont);
    p.SetCurrentY(16.5 - p.TextHeight(QStringLiteral("N")));
    p.SetCurrentX(35);
    p.Print(g.AxisLabels.at(2));
    const QString& xTitle = g.AxisLabels.at(1);
    p.SetCurrentY(std::min(-1.5, tickLabelFoot(g, p)));
    p.SetCurrentX(57 - p.TextWidth(xTitle) / 2);
    printBelowAxis(g, p, xTitle);

    p.SetForeColor(axes);
    p.SetDrawWidth(1);
    p.Line(35, 0, 77, 0);
    p.Line(35, 0, 35, 16);
    p.SetDrawWidth(1);
    p.SetFontBold(false);
    p.SetFontSize(8);
    p.SetFontItalic(false);
    const double h = p.TextHeight(QStringLiteral("1")) / 2;
    for (int y = 1; y <= 16; ++y) p.Line(35, y, 34.5, y);
    for (int y = 2; y <= 16; y += 2) {
        p.SetCurrentX(33.8 - p.TextWidth(y < 10 ? QStringLiteral("1") : QStringLiteral("10")));
        p.SetCurrentY(y - h);
        p.Print(qvrt::Format(y, QStringLiteral("#0")));
    }
    const double w = p.TextWidth(QStringLiteral("37")) / 2;
    for (int v = 0; v <= 20; ++v) {
        const int x = 37 + 2 * v;
        p.Line(x, 0, x, -0.3);
        p.SetCurrentY(-0.55);
        if (v % 2 != 0) continue;
        p.SetCurrentX(x - 1.5 * w);
        printBelowAxis(g, p, qvrt::Str(x));
    }

    if (g.ShowGrid == -1) {
        p.SetDrawStyle(qvrt::vbDot);
        p.SetForeColor(qvrt::RGB(150, 150, 150));
        for (int y = 2; y <= 16; ++y) p.Line(35, y, 77, y);
        for (int x = 35; x <= 77; x += 2) p.Line(x, 0, x, 16);
        p.SetDrawStyle(qvrt::vbSolid);
    }

    MeasurePrinterSymbols(g);
    p.SetFontSize(9.75);
    PrintSampleGlyphs(g, p);
    PrintSampleMarks(g, p, axes, false);
}

}  // namespace

void PrintTASFrame(PrintedGraph& g) {
    RunFrame(g, [&] { body(g, qvrt::Printer()); });
}

}  // namespace quarvex::printing
