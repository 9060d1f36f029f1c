// The annotation tools (box, line, text) and the drawing undo. Only the
// line tool's arming is offered yet; the other commands do nothing.
#include "quarvex/graph/graph2.h"

#include "quarvex/runtime/painter_surface.h"

namespace quarvex {

void Graph2::LineDraw1() {
    Picture1->SetMousePointer(2);
    LastDrawKind = {0, 0, -1, 0};
    LineDrawMode = -1;
    BoxDrawMode = 0;
    TextInsertMode = 0;
    Picture1->HideRubberLine();
}

void Graph2::BoxDraw1() {}
void Graph2::InsertText1() {}
void Graph2::UndoDraw() {}
void Graph2::DeleteAllDrawing() {}
void Graph2::UndoLastDrawing() {}

}  // namespace quarvex
