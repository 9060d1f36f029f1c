// Repainting a graph window from its state.
#include "quarvex/graph/graph2.h"

#include "quarvex/graph/graph_drawing.h"
#include "quarvex/runtime/fonts.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/surface.h"

namespace quarvex {

GraphSeams& Graph2Seams() {
    static GraphSeams seams;
    return seams;
}

void Graph2::DrawFieldNames() {
    if (Graph2Seams().DrawFieldNames) Graph2Seams().DrawFieldNames(*this);
}
void Graph2::DrawFieldsTAS() {
    if (Graph2Seams().DrawFieldsTAS) Graph2Seams().DrawFieldsTAS(*this);
}
void Graph2::DrawFieldsQAPFPlutonic() {
    if (Graph2Seams().DrawFieldsQAPFPlutonic) Graph2Seams().DrawFieldsQAPFPlutonic(*this);
}
void Graph2::DrawFieldsQAPFVolcanic() {
    if (Graph2Seams().DrawFieldsQAPFVolcanic) Graph2Seams().DrawFieldsQAPFVolcanic(*this);
}
void Graph2::PrintDiagram() {
    if (Graph2Seams().PrintDiagram) Graph2Seams().PrintDiagram(*this);
}

void Graph2::DrawFrameAndOverlay() {
    if (DiagramType == QStringLiteral("TAS-Volcanic")) {
        DrawTASFrame();
        DrawFieldsTAS();
    } else if (DiagramType == QStringLiteral("QAPF-Plutonic")) {
        DrawDiamondFrame();
        DrawFieldsQAPFPlutonic();
    } else if (DiagramType == QStringLiteral("QAPF-Volcanic")) {
        DrawDiamondFrame();
        DrawFieldsQAPFVolcanic();
    } else if (DiagramType == QStringLiteral("XY Plot")) {
        DrawXYPlot();
    } else {
        DrawTernaryFrame();
        DrawFieldNames();
    }
}

void Graph2::ReplayAnnotations() {
    qvrt::Surface& p = Picture();
    const uint32_t axes = ColorValue(AxesColor);
    p.SetForeColor(axes);
    for (int k = 1, n = BoxList.Count; k <= n; ++k) {
        const Segment& b = BoxList[k];
        p.Line(b.X1, b.Y1, b.X2, b.Y2, axes, qvrt::LineShape::Box);
    }
    for (int k = 1, n = LineList.Count; k <= n; ++k) {
        const Segment& l = LineList[k];
        p.Line(l.X1, l.Y1, l.X2, l.Y2, axes);
    }
    for (int k = 1, n = TextLabelList.Count; k <= n; ++k) {
        const TextLabel& t = TextLabelList[k];
        p.SetFontSize(t.FontSize);
        p.SetFontName(qvrt::DrawableTextFont(t.FontName));
        p.SetFontSize(t.FontSize);
        p.SetFontBold(t.Bold != 0);
        p.SetFontItalic(t.Italic != 0);
        p.SetForeColor(ColorValue(t.Color));
        PrintAt(p, t.X, t.Y, t.Text);
    }
    p.SetFontName(QStringLiteral("Arial"));
    p.SetFontSize(6);
    p.SetFontBold(false);
    for (int k = 1, n = PointLabelList.Count; k <= n; ++k) {
        const PointLabel& l = PointLabelList[k];
        p.SetCurrentX(l.X);
        p.SetCurrentY(l.Y);
        p.SetForeColor(ColorValue(l.Color));
        p.Print(l.Text);
    }
}

void Graph2::RedrawGraph() {
    Picture().Cls();
    DrawFrameAndOverlay();
    ReplayAnnotations();
    DrawTemplateLines();
}

void Graph2::RedrawForCommand() {
    try {
        RedrawGraph();
    } catch (const std::exception& e) {
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Plotting Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

}  // namespace quarvex
