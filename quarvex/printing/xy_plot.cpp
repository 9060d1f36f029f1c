#include "quarvex/graph/tick_labels.h"
#include "quarvex/printing/frame_common.h"
#include "quarvex/printing/graph_print.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/surface.h"

#include <cmath>

namespace quarvex::printing {

namespace {

constexpr float kStartMin = 990000, kStartMax = -990000;
constexpr float kSmallestRange = 1e-10f;
constexpr uint32_t kGridColor = 12632256;  // light grey
constexpr uint32_t kZeroLineColor = 12582912;

// Widens automatic bounds by 0.02 of the range at each end, each step
// stored as a float before the next reads it.
void widen(float& lo, float& hi) {
    lo = static_cast<float>(lo - 0.02 * double(hi - lo));
    hi = static_cast<float>(hi + 0.02 * double(hi - lo));
}

}  // namespace

void PrintXYPlot(PrintedGraph& g) {
    qvrt::PrinterSurface& p = qvrt::Printer();
    const uint32_t axes = PrinterColor(g.AxesColor);
    p.SetForeColor(axes);
    p.SetDrawWidth(1);

    float minX = kStartMin, minY = kStartMin, maxX = kStartMax, maxY = kStartMax;
    if (g.AutoScale == -1) {
        for (int i = 1; i <= g.SampleCount; ++i) {
            const float x = g.SampleX[size_t(i)], y = g.SampleY[size_t(i)];
            if (y > maxY) maxY = y;
            if (y < minY) minY = y;
            if (x > maxX) maxX = x;
            if (x < minX) minX = x;
        }
        widen(minX, maxX);
        widen(minY, maxY);
    } else {
        minX = g.ManualScale[0];
        minY = g.ManualScale[1];
        maxX = g.ManualScale[2];
        maxY = g.ManualScale[3];
    }
    g.PlotExtents[0] = minX;
    g.PlotExtents[1] = maxX;
    g.PlotExtents[2] = minY;
    g.PlotExtents[3] = maxY;

    // Without samples the automatic bounds are the start values turned
    // inside out; there is nothing to resolve, as with a single sample.
    const bool noSamples = g.AutoScale == -1 && g.SampleCount <= 0;
    if (noSamples || std::fabs(maxX - minX) < kSmallestRange) {
        qvrt::host().MsgBox(QStringLiteral("Insufficient resolution in the X direction !"), qvrt::vbInformation,
                            QString());
        return;
    }
    if (std::fabs(maxY - minY) < kSmallestRange) {
        qvrt::host().MsgBox(QStringLiteral("Insufficient resolution in the Y direction !"), qvrt::vbInformation,
                            QString());
        return;
    }
    const float rangeX = maxX - minX, rangeY = maxY - minY;
    const double stepX = rangeX / 10.0, stepY = rangeY / 10.0;
    g.DiagramExtents[0] = minX;
    g.DiagramExtents[1] = minY;
    g.DiagramExtents[2] = maxX;
    g.DiagramExtents[3] = maxY;

    double margin = 0;
    const bool sized = FrameMargin(g.DiagramSize, 0.2, 0.45, 0.75, &margin);
    FitPage(g, p, minX, maxY, maxX, minY, 1.0, sized ? &margin : nullptr);

    ApplyFont(p, g.TitleFont);
    double h = p.TextHeight(QStringLiteral("H"));
    p.SetCurrentX(minX + rangeX / 2.0 - p.TextWidth(g.DiagramTitle) / 2);
    p.SetCurrentY(maxY - h + 0.1 * rangeY);
    p.Print(g.DiagramTitle);

    ApplyFont(p, g.AxesTFont);
    h = p.TextHeight(QStringLiteral("H"));
    p.SetCurrentX(minX + rangeX / 2.0 - p.TextWidth(g.DiagramXTitle) / 2);
    p.SetCurrentY(minY - 0.09 * rangeY);
    p.Print(g.DiagramXTitle);
    p.SetCurrentX(minX - p.TextWidth(g.DiagramYTitle) / 2);
    p.SetCurrentY(maxY - h + 0.03 * rangeY);
    p.Print(g.DiagramYTitle);

    p.SetForeColor(axes);
    p.SetFontSize(6);
    p.SetFontItalic(false);
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(6);
    p.SetFontBold(false);
    h = p.TextHeight(QStringLiteral("H"));

    // The grid is left out when a bound is exactly 0, as it always was.
    const bool inner = g.ShowGrid == -1 && minX != 0 && maxX != 0 && minY != 0 && maxY != 0;
    auto dashed = [&](double x1, double y1, double x2, double y2) {
        p.SetDrawStyle(qvrt::vbDash);
        p.Line(x1, y1, x2, y2, kGridColor);
        p.SetDrawStyle(qvrt::vbSolid);
    };
    const std::vector<QString> xLabels = AxisTickLabels(minX, stepX, maxX);
    for (int i = 0; i <= 9; ++i) {
        const double x = minX + i * stepX;
        const QString& label = xLabels[size_t(i)];
        p.SetCurrentX(x - p.TextWidth(label) / 2);
        p.SetCurrentY(minY - 0.03 * rangeY);
        p.Print(label);
        p.Line(x, minY, x, minY - 0.01 * rangeY);
        if (inner) dashed(x, maxY, x, minY);
    }
    p.Line(maxX, minY, maxX, minY - 0.01 * rangeY);
    const QString& lastX = xLabels[10];
    p.SetCurrentX(maxX - p.TextWidth(lastX) / 2);
    p.SetCurrentY(minY - 0.03 * rangeY);
    p.Print(lastX);
    if (g.ShowGrid == -1) dashed(minX + 10 * stepX, maxY, minX + 10 * stepX, minY);

    const std::vector<QString> yLabels = AxisTickLabels(minY, stepY, maxY);
    double previousTop = 0;
    for (int i = 0; i <= 9; ++i) {
        const double y = minY + i * stepY;
        const double t = y - h / 2;
        if (i == 0 || previousTop < t + h) {
            const QString& label = yLabels[size_t(i)];
            p.SetCurrentX(minX - 0.01 * rangeX - p.TextWidth(label) - 0.02 * rangeX);
            p.SetCurrentY(t);
            p.Print(label);
        }
        previousTop = t;
        p.Line(minX - 0.01 * rangeX, y, minX, y);
        if (inner) dashed(minX, y, maxX, y);
    }
    p.Line(minX - 0.01 * rangeX, maxY, minX, maxY);
    const QString& lastY = yLabels[10];
    p.SetCurrentX(minX - 0.01 * rangeX - p.TextWidth(lastY) - 0.02 * rangeX);
    p.SetCurrentY(maxY - h / 2);
    p.Print(lastY);
    if (g.ShowGrid == -1) dashed(minX, minY + 10 * stepY, maxX, minY + 10 * stepY);

    if (minY < 0 && maxY > 0) p.Line(minX, 0, maxX, 0, kZeroLineColor);
    p.SetDrawWidth(5);
    p.Line(minX, minY, minX, maxY);
    p.Line(minX, minY, maxX, minY);

    MeasurePrinterSymbols(g);
    p.SetFontBold(false);
    p.SetFontSize(9.75);
    const QString symbolFont = QStringLiteral("Symbol"), wingdings = QStringLiteral("Wingdings");
    const QString arial = QStringLiteral("Arial");
    g.PointX.resize(size_t(std::max<int>(g.SampleCount, 0)) + 1);
    g.PointY.resize(g.PointX.size());
    for (int i = 1; i <= g.SampleCount; ++i) {
        const int s = g.SampleSymbol[size_t(i)];
        g.PointX[size_t(i)] = g.SampleX[size_t(i)];
        g.PointY[size_t(i)] = g.SampleY[size_t(i)];
        p.SetFontName(s < 3 ? symbolFont : wingdings);
        p.SetFontBold(false);
        p.SetFontSize(9.75);
        p.SetCurrentX(double(g.PointX[size_t(i)]) - double(CentringH(g, s)));
        p.SetCurrentY(double(g.PointY[size_t(i)]) + double(CentringV(g, s)));
        p.SetForeColor(PrinterColor(g.SampleColour[size_t(i)]));
        p.Print(GlyphText(g.SampleSymbolChar[size_t(i)]));
        if (g.CurveFitShown == -1 && i < g.SampleCount) {
            p.SetForeColor(axes);
            p.SetDrawWidth(1);
            p.Line(g.SampleX.at(size_t(i) + 1), g.FittedY.at(size_t(i) + 1), g.SampleX[size_t(i)],
                   g.FittedY.at(size_t(i)));
        }
        if (g.ShowSampleNumbers == -1) {
            p.SetCurrentX(double(g.PointX[size_t(i)]) + double(CentringH(g, s)));
            p.SetCurrentY(double(g.PointY[size_t(i)]) + double(CentringV(g, s)));
            p.SetFontSize(6);
            p.SetFontName(arial);
            p.SetFontSize(6);
            p.SetForeColor(axes);
            p.SetFontBold(false);
            p.Print(g.SampleLabel[size_t(i)]);
        }
    }

    p.SetDrawWidth(1);
    p.SetFontSize(6);
    p.SetFontName(arial);
    p.SetFontSize(6);
    PrintPointLabels(g, p);
}

}  // namespace quarvex::printing
