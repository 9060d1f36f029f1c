#include "quarvex/overlaydraw/graph_overlays.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/overlaydraw/field_overlay.h"
#include "quarvex/runtime/host.h"

#include <cmath>

namespace quarvex {
namespace {

template <void (*Draw)(const OverlayTarget&)>
void Run(Graph2& g) {
    Grid3Keys keys(g);
    Draw(OverlayTarget{g.Picture(), keys, g.AxesColor, g.ShowFieldLines, g.ShowFieldLetters});
}

void RunDispatcher(Graph2& g) {
    Grid3Keys keys(g);
    DrawFieldNames(g.DiagramType, OverlayTarget{g.Picture(), keys, g.AxesColor, g.ShowFieldLines, g.ShowFieldLetters});
}

}  // namespace

void InstallGraphOverlays() {
    GraphSeams& seams = Graph2Seams();
    seams.DrawFieldNames = RunDispatcher;
    seams.DrawFieldsTAS = Run<DrawFieldsTAS>;
    seams.DrawFieldsQAPFPlutonic = Run<DrawFieldsQAPFPlutonic>;
    seams.DrawFieldsQAPFVolcanic = Run<DrawFieldsQAPFVolcanic>;
}

void Grid3Keys::SetRows(int rows) { graph_.Grid3->SetRows(rows); }

// Sized on the same scale as the window gives the key at creation (its
// 8000 twips take half their pixels there), so 12000 stays taller than 8000.
void Grid3Keys::SetHeight(int twips) {
    const double perPixel = qvrt::host().TwipsPerPixelX();
    graph_.Grid3->setFixedHeight(int(std::lround(twips / (perPixel > 0 ? perPixel : 15))) / 2);
}

void Grid3Keys::SetText(int row, int col, const QString& text) { graph_.Grid3->SetTextMatrix(row, col, text); }

void Grid3Keys::SetLeft(double left) { graph_.Grid3->move(int(std::lround(left)), graph_.Grid3->y()); }
void Grid3Keys::SetTop(double top) { graph_.Grid3->move(graph_.Grid3->x(), int(std::lround(top))); }

}  // namespace quarvex
