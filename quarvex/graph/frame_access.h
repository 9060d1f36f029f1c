// The frame as the graph windows reach it: through the interface the frame
// installs, and harmlessly without one (tests, start-up).
#pragma once

#include <QString>

class QWidget;

namespace qvrt {
class ChildForm;
}

namespace quarvex {

// The caption of the frame's active child, empty without one.
QString ActiveCaption();
// The kind of the active sheet (its record's DiagramType).
QString ActiveSheetKind();
// Puts a new child window into the frame's MDI area, shown.
void AddToFrame(qvrt::ChildForm* child);
// The parent for dialogs: the frame window, or none.
QWidget* DialogParent();
// The frame's diagram-kind panel.
void SetDiagramPanel(const QString& text);

}  // namespace quarvex
