// What the layers below the frame use of it: the active child, the status
// panels, the Undo and data-menu switches, the common dialog, the recent-file
// entries and the MDI area. The frame installs itself here when it loads, so
// sheets, the norm, graphs and printing never include the frame.
#pragma once

#include <QString>

class QWidget;

namespace qvrt {
class ChildForm;
class CommonDialog;
}  // namespace qvrt

namespace quarvex {

enum class StatusPanel {
    DiagramType,   // Panel3D1
    CellPosition,  // Panel3D2
    Hint,          // Panel3D4
};

class FrameInterface {
public:
    virtual ~FrameInterface() = default;

    // The frame window itself, as the parent of dialogs.
    virtual QWidget* FrameWindow() = 0;
    // The active child window, or null.
    virtual qvrt::ChildForm* ActiveForm() const = 0;
    virtual void SetPanelText(StatusPanel panel, const QString& text) = 0;
    virtual void SetUndoEnabled(bool on) = 0;
    // Switches every data menu item the frame has, in the frame's order.
    virtual void SetDataMenusEnabled(bool on) = 0;
    // Adds a child window to the MDI area (shown), or makes one active.
    virtual void AddChildWindow(qvrt::ChildForm* child) = 0;
    virtual void ActivateChild(qvrt::ChildForm* child) = 0;
    // Opens a new empty data sheet as the active child.
    virtual void NewDataWindow() = 0;
    virtual qvrt::CommonDialog& CommonDialog() = 0;
    // Recent-file entries 0 to 3 as their captions stand ('&' included);
    // setting one also shows it.
    virtual QString RecentFileCaption(int index) const = 0;
    virtual void SetRecentFileCaption(int index, const QString& caption) = 0;
    // Places a new sheet, already sized, within the frame; the plain
    // placement is the top-left corner.
    virtual void PlaceNewSheet(qvrt::ChildForm* sheet);
};

// The installed frame, or null before it has loaded (and in tests without
// one). Null uninstalls; the caller keeps ownership.
FrameInterface* TheFrame();
void InstallFrame(FrameInterface* frame);

// The active child's Tag, empty when there is none.
QString ActiveTag();

}  // namespace quarvex
