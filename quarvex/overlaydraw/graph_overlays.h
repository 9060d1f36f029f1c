// The screen overlays in the graph window: its redraw, first drawing and
// undo reach them through the window's drawing seams.
#pragma once

#include "quarvex/overlaydraw/field_key_table.h"

namespace quarvex {

class Graph2;

// Once at start-up: the field dispatcher after the ternary frame, and the
// QAPF and TAS overlays after their own frames.
void InstallGraphOverlays();

// A graph window's Grid3 as the overlays write it.
class Grid3Keys : public FieldKeyTable {
public:
    explicit Grid3Keys(Graph2& graph) : graph_(graph) {}
    void SetRows(int rows) override;
    void SetHeight(int twips) override;
    void SetText(int row, int col, const QString& text) override;
    void SetLeft(double left) override;
    void SetTop(double top) override;

private:
    Graph2& graph_;
};

}  // namespace quarvex
