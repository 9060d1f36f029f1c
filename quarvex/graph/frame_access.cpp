#include "quarvex/graph/frame_access.h"

#include "quarvex/runtime/child_form.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/window_tables.h"

namespace quarvex {

QString ActiveCaption() {
    FrameInterface* frame = TheFrame();
    qvrt::ChildForm* child = frame ? frame->ActiveForm() : nullptr;
    return child ? child->Caption() : QString();
}

QString ActiveSheetKind() { return RecordByTag(ActiveTag()).DiagramType; }

void AddToFrame(qvrt::ChildForm* child) {
    if (FrameInterface* frame = TheFrame()) frame->AddChildWindow(child);
}

QWidget* DialogParent() {
    FrameInterface* frame = TheFrame();
    return frame ? frame->FrameWindow() : nullptr;
}

void SetDiagramPanel(const QString& text) {
    if (FrameInterface* frame = TheFrame()) frame->SetPanelText(StatusPanel::DiagramType, text);
}

}  // namespace quarvex
