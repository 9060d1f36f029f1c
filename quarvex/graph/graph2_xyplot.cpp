// The XY plot: data window, user scale with a fifth of the range around it,
// title, axis titles, ten tick intervals per axis, optional grid, zero line,
// interval notes, axes, and the samples inside the data window.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/graph/tick_labels.h"
#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"

#include <cmath>

namespace quarvex {

namespace {

constexpr float kStartMin = 990000;
constexpr float kStartMax = -990000;
constexpr float kSmallestRange = 1E-10f;
constexpr uint32_t kGridColor = 0xC0C0C0;
constexpr uint32_t kZeroLineColor = 0xC00000;

}  // namespace

void Graph2::DrawXYPlot() {
    qvrt::Surface& p = Picture();
    p.SetForeColor(ColorValue(AxesColor));
    PlotMinX = PlotMinY = kStartMin;
    PlotMaxX = PlotMaxY = kStartMax;

    // The window's own scaling choice, fixed when it was created.
    if (AutoScale == -1) {
        for (int i = 1; i <= SampleCount; ++i) {
            const float x = SampleX.at(size_t(i)), y = SampleY.at(size_t(i));
            // A value that is no number cannot widen the window.
            if (std::isfinite(y)) {
                if (y > PlotMaxY) PlotMaxY = y;
                if (y < PlotMinY) PlotMinY = y;
            }
            if (std::isfinite(x)) {
                if (x > PlotMaxX) PlotMaxX = x;
                if (x < PlotMinX) PlotMinX = x;
            }
        }
        PlotMinX = PlotMinX - (PlotMaxX - PlotMinX) * 0.02f;
        PlotMaxX = PlotMaxX + (PlotMaxX - PlotMinX) * 0.02f;
        PlotMinY = PlotMinY - (PlotMaxY - PlotMinY) * 0.02f;
        PlotMaxY = PlotMaxY + (PlotMaxY - PlotMinY) * 0.02f;
    } else {
        PlotMinX = ScaleMinX;
        PlotMaxX = ScaleMaxX;
        PlotMinY = ScaleMinY;
        PlotMaxY = ScaleMaxY;
    }
    XYDataLimits[0] = PlotMinX;
    XYDataLimits[1] = PlotMaxX;
    XYDataLimits[2] = PlotMinY;
    XYDataLimits[3] = PlotMaxY;

    if (!(std::fabs(PlotMaxX - PlotMinX) >= kSmallestRange)) {
        if (std::isnan(PlotMaxX - PlotMinX)) qvrt::Raise(qvrt::ErrOverflow);
        qvrt::host().MsgBox(QStringLiteral("Insufficient resolution in the X direction !"), qvrt::vbInformation,
                            QStringLiteral("Quarvex"));
        return;
    }
    if (!(std::fabs(PlotMaxY - PlotMinY) >= kSmallestRange)) {
        if (std::isnan(PlotMaxY - PlotMinY)) qvrt::Raise(qvrt::ErrOverflow);
        qvrt::host().MsgBox(QStringLiteral("Insufficient resolution in the Y direction !"), qvrt::vbInformation,
                            QStringLiteral("Quarvex"));
        return;
    }
    const float dx = PlotMaxX - PlotMinX;
    const float dy = PlotMaxY - PlotMinY;
    // Ranges near the Single limit would put infinities into the scale.
    const double scaleLeft = PlotMinX - 0.2 * dx, scaleRight = PlotMaxX + 0.2 * dx;
    const double scaleTop = PlotMaxY + 0.2 * dy, scaleBottom = PlotMinY - 0.2 * dy;
    if (!std::isfinite(dx) || !std::isfinite(dy) || !std::isfinite(float(scaleRight - scaleLeft)) ||
        !std::isfinite(float(scaleTop - scaleBottom)))
        qvrt::Raise(qvrt::ErrOverflow);

    p.SetScaleLeft(scaleLeft);
    p.SetScaleWidth(scaleRight - scaleLeft);
    p.SetScaleTop(scaleTop);
    p.SetScaleHeight(-(scaleTop - scaleBottom));
    DiagramExtents = {PlotMinX, PlotMinY, PlotMaxX, PlotMaxY};

    SetWindowFont(TitleFont);
    {
        const double h = p.TextHeight(QStringLiteral("H"));
        PrintAt(p, PlotMinX + dx / 2.0 - p.TextWidth(DiagramTitle) / 2, PlotMaxY - h + 0.1 * dy, DiagramTitle);
    }
    SetWindowFont(AxesTFont);
    {
        const double h = p.TextHeight(QStringLiteral("H"));
        PrintAt(p, PlotMinX + dx / 2.0 - p.TextWidth(XAxisTitle) / 2, PlotMinY - 0.09 * dy, XAxisTitle);
        PrintAt(p, PlotMinX, PlotMaxY - h + 0.03 * dy, YAxisTitle);
    }

    const double xInterval = dx / 10.0, yInterval = dy / 10.0;
    const double xTick = 0.02 * dy, yTick = 0.02 * dx;
    p.SetForeColor(ColorValue(AxesColor));
    p.SetFontItalic(false);
    SetSmallFont();
    const double h = p.TextHeight(QStringLiteral("H"));
    const std::vector<QString> xLabels = AxisTickLabels(PlotMinX, xInterval, PlotMaxX);
    const std::vector<QString> yLabels = AxisTickLabels(PlotMinY, yInterval, PlotMaxY);

    auto xLabel = [&](double x, const QString& label) {
        PrintAt(p, x - p.TextWidth(label) / 2, PlotMinY - 0.04 * dy, label);
    };
    auto xGrid = [&](double x) {
        p.SetDrawStyle(qvrt::vbDash);
        p.Line(x, PlotMaxY, x, PlotMinY, kGridColor);
        p.SetDrawStyle(qvrt::vbSolid);
    };
    // Every step-th label, the step the least of 1, 2, 5 and 10 at which no
    // two labels run together at this window's size and scale: fewer labels
    // rather than overlapping ones. The last tick keeps its label unless
    // even the first and the last would run together.
    auto xAt = [&](int i) { return i == 10 ? PlotMaxX : PlotMinX + i * xInterval; };
    const double gap = std::abs(p.TextWidth(QStringLiteral(" "))) / 2;
    auto runTogether = [&](int step) {
        for (int i = step; i <= 10; i += step) {
            const double widths =
                std::abs(p.TextWidth(xLabels[size_t(i)])) + std::abs(p.TextWidth(xLabels[size_t(i - step)]));
            if (std::abs(xAt(i) - xAt(i - step)) < widths / 2 + gap) return true;
        }
        return false;
    };
    int step = 11;  // the first label alone
    for (int s : {1, 2, 5, 10}) {
        if (!runTogether(s)) {
            step = s;
            break;
        }
    }
    // Interior ticks get grid lines; the first tick is the axis itself.
    for (int i = 0; i <= 9; ++i) {
        const double x = PlotMinX + i * xInterval;
        if (i % step == 0) xLabel(x, xLabels[size_t(i)]);
        p.Line(x, PlotMinY, x, PlotMinY - xTick);
        if (ShowGrid == -1 && i > 0) xGrid(x);
    }
    p.Line(PlotMaxX, PlotMinY, PlotMaxX, PlotMinY - xTick);
    if (step <= 10) xLabel(PlotMaxX, xLabels[10]);
    if (ShowGrid == -1) xGrid(PlotMinX + 10 * xInterval);

    auto yLabelX = [&](const QString& label) { return PlotMinX - 0.02 * dx - p.TextWidth(label) - 0.03 * dx; };
    auto yGrid = [&](double y) {
        p.SetDrawStyle(qvrt::vbDash);
        p.Line(PlotMinX, y, PlotMaxX, y, kGridColor);
        p.SetDrawStyle(qvrt::vbSolid);
    };
    double previousTop = 0;
    for (int j = 0; j <= 9; ++j) {
        const double y = PlotMinY + j * yInterval;
        const QString& label = yLabels[size_t(j)];
        const double top = y - h / 2;
        if (j == 0 || previousTop < top + h) PrintAt(p, yLabelX(label), top, label);
        previousTop = top;
        p.Line(PlotMinX - yTick, y, PlotMinX, y);
        if (ShowGrid == -1 && j > 0) yGrid(y);
    }
    p.Line(PlotMinX - yTick, PlotMaxY, PlotMinX, PlotMaxY);
    PrintAt(p, yLabelX(yLabels[10]), PlotMaxY - h / 2, yLabels[10]);
    if (ShowGrid == -1) yGrid(PlotMinY + 10 * yInterval);

    if (PlotMinY < 0 && 0 < PlotMaxY) p.Line(PlotMinX, 0, PlotMaxX, 0, kZeroLineColor);

    const QString noteFormat = QStringLiteral("#########0.0###");
    PrintAt(p, PlotMinX - 0.15 * dx, PlotMinY - 0.1 * dy,
            QStringLiteral("X axis interval = ") + qvrt::Format(xInterval, noteFormat));
    PrintAt(p, PlotMinX - 0.15 * dx, PlotMinY - 0.14 * dy,
            QStringLiteral("Y axis interval = ") + qvrt::Format(yInterval, noteFormat));

    p.SetDrawWidth(2);
    p.Line(PlotMinX, PlotMinY, PlotMinX, PlotMaxY);
    p.Line(PlotMinX, PlotMinY, PlotMaxX, PlotMinY);

    MeasureSymbols();
    const int count = SampleCount;
    for (int i = 1; i <= count; ++i) {
        GrowTo(PointX, i);
        GrowTo(PointY, i);
        const float x = SampleX.at(size_t(i)), y = SampleY.at(size_t(i));
        PointX[size_t(i)] = x;
        PointY[size_t(i)] = y;
        if (!(PlotMinX < x && x < PlotMaxX && PlotMinY < y && y < PlotMaxY)) continue;
        DrawSampleGlyph(i, x, y);
        const int s = SampleSymbol[size_t(i)];
        if (CurveFitShown == -1 && i < count && static_cast<int>(FittedY.size()) > i + 1) {
            const double y1 = FittedY[size_t(i) + 1], y0 = FittedY[size_t(i)];
            p.SetForeColor(ColorValue(AxesColor));
            p.SetDrawWidth(1);
            const double x1 = SampleX.at(size_t(i) + 1);
            if (Placeable(y0, y1) && std::isfinite(x1)) p.Line(x1, y1, x, y0);
        }
        if (ShowSampleNumbers == -1) {
            p.SetCurrentX(x + SymbolCentringH[size_t(s)]);
            p.SetCurrentY(y + SymbolCentringV[size_t(s)]);
            SetSmallFont();
            p.SetForeColor(ColorValue(AxesColor));
            p.Print(SampleLabel.at(size_t(i)));
        }
    }
    p.SetDrawWidth(1);
}

}  // namespace quarvex
