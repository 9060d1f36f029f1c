// The table view of a SpreadGrid: turns keys, mouse and editing into the
// grid's events and keeps the cursor moves the grid's own (Advance at the
// edges, Enter left to the sheet).
#pragma once

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>
#include <string>

namespace qvrt {

class SpreadGrid;

// Windows virtual-key code of a Qt key, 0 for keys without one.
int WindowsKeyCode(int qtKey);

class GridView : public QTableView {
    Q_OBJECT

public:
    explicit GridView(SpreadGrid& grid);

    // Emits KeyDown (and KeyPress for a character) for a key event once,
    // whether the view or an open editor receives it; keyDone ends the
    // event's delivery.
    void announceKey(const QKeyEvent* event);
    void keyDone() { announced_ = nullptr; }
    bool announced(const QKeyEvent* event) const { return event == announced_; }

    // Stores and closes an open cell editor (before rows or columns go away
    // under it); EditMode 0 follows as for any edit end.
    void finishEditing();
    void editorCreated(QWidget* editor) { editor_ = editor; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void closeEditorNow(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
    // Moves by Tab / Shift+Tab, raising Advance at the grid's ends.
    void tabMove(bool forward);
    // True when the move may go on (a handler of Advance made room).
    bool advance(bool forward, int rowsBefore, int colsBefore);

    SpreadGrid& grid_;
    QPointer<QWidget> editor_;
    // An edit is being stored or closed: handlers of Change and EditMode may
    // change the row count, which must not close the editor a second time.
    bool ending_ = false;
    const QKeyEvent* announced_ = nullptr;
    int editCol_ = 0, editRow_ = 0;
    std::string editBefore_;
    int selCol1_ = 0, selRow1_ = 0, selCol2_ = 0, selRow2_ = 0;
};

// Passes keys typed into an open editor through the grid's events first.
class GridDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    GridDelegate(GridView& view);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    GridView& view_;
};

}  // namespace qvrt
