#include "quarvex/overlaydraw/graph_overlays.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/graph/simple_grid.h"
#include "quarvex/overlaydraw/field_overlay.h"

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

void Grid3Keys::SetRows(int rows) {
    graph_.Grid3->SetRows(rows);
    graph_.FitKeyTable();
}

// The window shows the key whole inside its scrolled panel, so the height a
// diagram asks for its key leaves it as tall as its rows.
void Grid3Keys::SetHeight(int) { graph_.FitKeyTable(); }

void Grid3Keys::SetText(int row, int col, const QString& text) { graph_.Grid3->SetTextMatrix(row, col, text); }

void Grid3Keys::SetLeft(double left) { graph_.Grid3->move(int(std::lround(left)), graph_.Grid3->y()); }
void Grid3Keys::SetTop(double top) { graph_.Grid3->move(graph_.Grid3->x(), int(std::lround(top))); }

}  // namespace quarvex
