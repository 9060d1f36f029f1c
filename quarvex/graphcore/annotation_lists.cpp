#include "quarvex/graphcore/annotation_lists.h"

namespace graphcore {

void Annotations::Arm(AnnotationTool tool) {
    BoxDrawMode = tool == AnnotationTool::Box ? -1 : 0;
    LineDrawMode = tool == AnnotationTool::Line ? -1 : 0;
    TextInsertMode = tool == AnnotationTool::Text ? -1 : 0;
    LastDrawKind.Box = BoxDrawMode;
    LastDrawKind.Line = LineDrawMode;
    LastDrawKind.Text = TextInsertMode;
    if (tool == AnnotationTool::Line) LastDrawKind.PointLabel = 0;
}

void Annotations::Committed(AnnotationTool tool) {
    LastDrawKind = DrawKindFlags{};
    if (tool == AnnotationTool::Box) LastDrawKind.Box = -1;
    if (tool == AnnotationTool::Line) LastDrawKind.Line = -1;
    if (tool == AnnotationTool::Text) LastDrawKind.Text = -1;
}

void Annotations::PointLabelPlaced() {
    LineDrawMode = 0;
    TextInsertMode = 0;
    LastDrawKind = DrawKindFlags{};
    LastDrawKind.PointLabel = -1;
}

void Annotations::Undo() {
    if (LastDrawKind.Box) BoxList.RemoveLast();
    if (LastDrawKind.Line) LineList.RemoveLast();
    if (LastDrawKind.Text) TextLabelList.RemoveLast();
    if (LastDrawKind.PointLabel) PointLabelList.RemoveLast();
    // Typing must never reach a label the user has seen go, nor the one
    // before it.
    typingTarget_ = 0;
}

void Annotations::DeleteAll() {
    BoxList.Clear();
    LineList.Clear();
    TextLabelList.Clear();
    PointLabelList.Clear();
    typingTarget_ = 0;
}

bool Annotations::Empty() const {
    return BoxList.Count() == 0 && LineList.Count() == 0 && TextLabelList.Count() == 0 &&
           PointLabelList.Count() == 0;
}

bool Annotations::PlaceText(TextLabel label) {
    if (!TextLabelList.Append(std::move(label))) return false;
    typingTarget_ = TextLabelList.Count();
    return true;
}

TextLabel* Annotations::TypingTarget() {
    if (typingTarget_ < 1 || typingTarget_ > TextLabelList.Count()) return nullptr;
    return &TextLabelList(typingTarget_);
}

}  // namespace graphcore
