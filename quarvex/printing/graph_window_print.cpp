#include "quarvex/printing/graph_window_print.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_print.h"
#include "quarvex/state/format_state.h"
#include "quarvex/state/program_state.h"

#include <QAction>
#include <cmath>

namespace quarvex::printing {

namespace {

// Lists 1..count with element 0 unused; short window lists read as zero.
template <typename T, typename U>
std::vector<T> listOf(const std::vector<U>& source, int count) {
    std::vector<T> out(size_t(std::max(count, 0)) + 1, T{});
    for (size_t i = 1; i < out.size() && i < source.size(); ++i) out[i] = static_cast<T>(source[i]);
    return out;
}

PrintFont fontOf(const WindowFont& f) { return {f.Name, f.Bold, f.Size, f.Italic, f.Color}; }

bool checked(const Graph2& w, const char* name) {
    const QAction* item = w.MenuItem(QString::fromLatin1(name));
    return item && item->isChecked();
}

int32_t colorOf(double color) { return static_cast<int32_t>(PrinterColor(color)); }

}  // namespace

PrintedGraph PrintInputsOf(const Graph2& w) {
    PrintedGraph g;
    g.Caption = w.Caption();
    g.DiagramType = w.DiagramType;
    g.DiagramSize = w.DiagramSize;
    g.DiagramTitle = w.DiagramTitle;
    g.DiagramXTitle = w.XAxisTitle;
    g.DiagramYTitle = w.YAxisTitle;
    g.TitleFont = fontOf(w.TitleFont);
    g.AxesTFont = fontOf(w.AxesTFont);
    g.AxisLabels.assign(w.AxisLabels.begin(), w.AxisLabels.end());
    g.TextFont = w.TextFont.Name;
    g.AxesColor = w.AxesColor;
    g.ShowTickMarks = w.ShowTickMarks;
    g.ShowGrid = w.ShowGrid;
    g.ShowSampleNumbers = w.ShowSampleNumbers;
    g.ShowFieldLines = w.ShowFieldLines;
    g.ShowFieldLetters = w.ShowFieldLetters;
    g.PrintSymbolLegendChecked = checked(w, "mnuLegends(1)");
    g.FieldKeyChecked = checked(w, "mnuLegends(2)");
    g.SymbolDescriptions = quarvex::SymbolDescriptions;

    const int n = w.SampleCount;
    g.SampleCount = w.SampleCount;
    g.SampleX = listOf<float>(w.SampleX, n);
    g.SampleY = listOf<float>(w.SampleY, n);
    g.SampleSymbol = listOf<int16_t>(w.SampleSymbol, n);
    g.SampleSymbolChar = listOf<int16_t>(w.SampleSymbolChar, n);
    g.SampleColour = listOf<float>(w.SampleColour, n);
    g.SampleLabel = listOf<QString>(w.SampleLabel, n);
    g.PointX = listOf<float>(w.PointX, n);
    g.PointY = listOf<float>(w.PointY, n);

    for (int i = 1; i <= w.BoxList.Count; ++i) {
        const Segment& b = w.BoxList[i];
        g.BoxList.push_back({b.X1, b.X2, b.Y1, b.Y2});
    }
    for (int i = 1; i <= w.LineList.Count; ++i) {
        const Segment& l = w.LineList[i];
        g.LineList.push_back({l.X1, l.Y1, l.X2, l.Y2});
    }
    for (int i = 1; i <= w.TextLabelList.Count; ++i) {
        const TextLabel& t = w.TextLabelList[i];
        g.TextLabelList.push_back({t.Text, t.X, t.Y, t.FontName, t.FontSize, t.Bold, t.Italic, colorOf(t.Color)});
    }
    for (int i = 1; i <= w.PointLabelList.Count; ++i) {
        const PointLabel& p = w.PointLabelList[i];
        g.PointLabelList.push_back({p.Text, colorOf(p.Color), p.X, p.Y});
    }
    for (int i = 1; i <= w.TemplateLineCount && size_t(i) < w.TemplateLines.size(); ++i)
        g.TemplateLines.push_back(w.TemplateLines[size_t(i)]);

    g.CurveFitShown = w.CurveFitShown;
    g.ManualScale = {w.ScaleMinX, w.ScaleMinY, w.ScaleMaxX, w.ScaleMaxY};
    g.AutoScale = w.AutoScale;
    g.DefaultColor = quarvex::DefaultColor;
    g.FittedY = listOf<float>(w.FittedY, n);
    g.SymbolCentringV = w.SymbolCentringV;
    g.SymbolCentringH = w.SymbolCentringH;
    return g;
}

void StorePageFit(Graph2& w, const PrintedGraph& g) {
    w.SurfaceWidth = g.SurfaceSize[0];
    w.SurfaceHeight = g.SurfaceSize[1];
    w.DiagramExtents = {static_cast<float>(g.DiagramExtents[0]), static_cast<float>(g.DiagramExtents[1]),
                        g.DiagramExtents[2], g.DiagramExtents[3]};
    w.ScaleWindow = {g.ScaleWindow[2], g.ScaleWindow[1], g.ScaleWindow[3], g.ScaleWindow[0]};
    if (g.DiagramType == QLatin1String("XY Plot")) {
        w.PlotMinX = g.PlotExtents[0];
        w.PlotMaxX = g.PlotExtents[1];
        w.PlotMinY = g.PlotExtents[2];
        w.PlotMaxY = g.PlotExtents[3];
    }
    const LegendList& legend = g.LegendSymbols;
    w.LegendSymbols.Count = legend.count;
    for (int r = 1; r <= legend.count && r < 23; ++r) {
        w.LegendSymbols.GlyphCodes[size_t(r)] = legend.glyphCode[size_t(r)];
        w.LegendSymbols.SymbolNumbers[size_t(r)] = legend.symbolNumber[size_t(r)];
        w.LegendSymbols.Descriptions[size_t(r)] = legend.description[size_t(r)];
    }
}

void InstallGraphPrinting() {
    Graph2Seams().PrintDiagram = [](Graph2& window) {
        PrintedGraph g = PrintInputsOf(window);
        PrintDiagram(g);
        StorePageFit(window, g);
    };
}

}  // namespace quarvex::printing
