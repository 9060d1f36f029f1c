#include "quarvex/runtime/grid_view.h"

#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/grid_model.h"
#include "quarvex/runtime/spread_grid.h"
#include "quarvex/runtime/spread_grid_cells.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <limits>

namespace qvrt {

int WindowsKeyCode(int qtKey) {
    if ((qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) || (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return SpreadGrid::VkF1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    // Punctuation by its key on a US keyboard, shifted or not.
    case Qt::Key_Semicolon: case Qt::Key_Colon: return 186;
    case Qt::Key_Equal: case Qt::Key_Plus: return 187;
    case Qt::Key_Comma: case Qt::Key_Less: return 188;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 189;
    case Qt::Key_Period: case Qt::Key_Greater: return 190;
    case Qt::Key_Slash: case Qt::Key_Question: return 191;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return 192;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 219;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 220;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 221;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return 222;
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Backspace: return SpreadGrid::VkBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return SpreadGrid::VkTab;
    case Qt::Key_Return:
    case Qt::Key_Enter: return SpreadGrid::VkReturn;
    case Qt::Key_Shift: return SpreadGrid::VkShift;
    case Qt::Key_Control: return SpreadGrid::VkControl;
    case Qt::Key_Alt: return SpreadGrid::VkMenu;
    case Qt::Key_Escape: return SpreadGrid::VkEscape;
    case Qt::Key_Space: return SpreadGrid::VkSpace;
    case Qt::Key_PageUp: return SpreadGrid::VkPrior;
    case Qt::Key_PageDown: return SpreadGrid::VkNext;
    case Qt::Key_End: return SpreadGrid::VkEnd;
    case Qt::Key_Home: return SpreadGrid::VkHome;
    case Qt::Key_Left: return SpreadGrid::VkLeft;
    case Qt::Key_Up: return SpreadGrid::VkUp;
    case Qt::Key_Right: return SpreadGrid::VkRight;
    case Qt::Key_Down: return SpreadGrid::VkDown;
    case Qt::Key_Insert: return SpreadGrid::VkInsert;
    case Qt::Key_Delete: return SpreadGrid::VkDelete;
    default: return 0;
    }
}

GridView::GridView(SpreadGrid& grid) : QTableView(&grid), grid_(grid) {
    setItemDelegate(new GridDelegate(*this));
    setSelectionMode(ContiguousSelection);
    setSelectionBehavior(SelectItems);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    setTabKeyNavigation(true);
    setWordWrap(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void GridView::announceKey(const QKeyEvent* event) {
    if (event == announced_) return;
    announced_ = event;
    const Qt::KeyboardModifiers m = event->modifiers();
    const int shift = (m & Qt::ShiftModifier ? SpreadGrid::ShiftMask : 0) |
                      (m & Qt::ControlModifier ? SpreadGrid::CtrlMask : 0) |
                      (m & Qt::AltModifier ? SpreadGrid::AltMask : 0);
    if (const int code = WindowsKeyCode(event->key())) emit grid_.KeyDown(code, shift);
    // Tab moves between cells and Delete edits nothing: neither types a character.
    const QString text = event->text();
    if (text.size() == 1 && text[0] != u'\t' && text[0] != QChar(0x7F)) {
        const QByteArray b = EncodeWindows1252(text);
        if (b != "?" || text == u"?") emit grid_.KeyPress(static_cast<unsigned char>(b[0]));
    }
}

bool GridView::advance(bool forward, int rowsBefore, int colsBefore) {
    emit grid_.Advance(forward);
    return model()->rowCount() > rowsBefore || model()->columnCount() > colsBefore;
}

void GridView::tabMove(bool forward) {
    const QModelIndex cur = currentIndex();
    if (!cur.isValid()) return;
    const int rows = model()->rowCount(), cols = model()->columnCount();
    int r = cur.row(), c = cur.column();
    if (forward) {
        if (c + 1 < cols) {
            ++c;
        } else if (r + 1 < rows || advance(true, rows, cols)) {
            ++r;
            c = 0;
            if (r >= model()->rowCount()) return;
        } else {
            return;
        }
    } else {
        if (c > 0) {
            --c;
        } else if (r > 0) {
            --r;
            c = cols - 1;
        } else {
            emit grid_.Advance(false);
            return;
        }
    }
    const QModelIndex next = model()->index(r, c);
    setCurrentIndex(next);
    scrollTo(next);
}

void GridView::keyPressEvent(QKeyEvent* event) {
    announceKey(event);
    const QModelIndex cur = currentIndex();
    const bool plain = !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    bool handled = false;
    switch (event->key()) {
    case Qt::Key_Down:
        // At the last row the sheet may add one; the move then goes into it.
        if (plain && cur.isValid() && cur.row() == model()->rowCount() - 1 &&
            !advance(true, model()->rowCount(), model()->columnCount()))
            handled = true;
        break;
    case Qt::Key_Up:
        if (plain && cur.isValid() && cur.row() == 0) {
            emit grid_.Advance(false);
            handled = true;
        }
        break;
    case Qt::Key_Tab:
        tabMove(true);
        handled = true;
        break;
    case Qt::Key_Backtab:
        tabMove(false);
        handled = true;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter starts editing; where the cursor goes after an edit is the
        // sheet's choice, made when editing ends.
        if (state() != EditingState && cur.isValid()) edit(cur, EditKeyPressed, event);
        handled = true;
        break;
    default:
        break;
    }
    if (handled)
        event->accept();
    else
        QTableView::keyPressEvent(event);
    keyDone();
}

bool GridView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    const bool wasEditing = state() == EditingState;
    const bool opened = QTableView::edit(index, trigger, event);
    // (An edit whose row was removed under it never closed through
    // closeEditor; the new edit simply takes its place.)
    if (opened && !wasEditing && state() == EditingState) {
        editCol_ = index.column() + 1;
        editRow_ = index.row() + 1;
        editBefore_ = std::string(grid_.cells_->get(editCol_, editRow_));
        emit grid_.EditMode(editCol_, editRow_, 1, false);
    }
    return opened;
}

void GridView::commitData(QWidget* editor) {
    const bool outer = !ending_;
    ending_ = true;
    QTableView::commitData(editor);
    if (outer) ending_ = false;
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool outer = !ending_;
    ending_ = true;
    closeEditorNow(editor, hint);
    if (outer) ending_ = false;
}

void GridView::closeEditorNow(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    const bool next = hint == QAbstractItemDelegate::EditNextItem;
    const bool previous = hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, next || previous ? QAbstractItemDelegate::NoHint : hint);
    if (editCol_ == 0) return;
    const int col = editCol_, row = editRow_;
    editCol_ = editRow_ = 0;
    const bool changed = grid_.cells_->get(col, row) != editBefore_;
    editBefore_.clear();
    emit grid_.EditMode(col, row, 0, changed);
    if (next || previous) tabMove(next);
}

void GridView::finishEditing() {
    if (ending_ || state() != EditingState || !editor_) return;
    QWidget* editor = editor_;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void GridView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (previous.isValid() && current.isValid() && current != previous)
        emit grid_.LeaveCell(previous.column() + 1, previous.row() + 1, current.column() + 1, current.row() + 1);
}

void GridView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
    QTableView::selectionChanged(selected, deselected);
    const int c1 = grid_.SelBlockCol(), r1 = grid_.SelBlockRow(), c2 = grid_.SelBlockCol2(), r2 = grid_.SelBlockRow2();
    if (!grid_.IsBlockSelected()) {
        selCol1_ = selRow1_ = selCol2_ = selRow2_ = 0;
        return;
    }
    if (c1 == selCol1_ && r1 == selRow1_ && c2 == selCol2_ && r2 == selRow2_) return;
    selCol1_ = c1, selRow1_ = r1, selCol2_ = c2, selRow2_ = r2;
    emit grid_.SelChange(c1, r1, c2, r2, grid_.ActiveCol(), grid_.ActiveRow());
}

namespace {

int buttonCode(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

}  // namespace

void GridView::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex at = indexAt(event->position().toPoint());
    if (at.isValid()) emit grid_.DblClick(at.column() + 1, at.row() + 1);
    QTableView::mouseDoubleClickEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    const QModelIndex at = indexAt(event->position().toPoint());
    emit grid_.MouseUp(buttonCode(event->button()), at.isValid() ? at.column() + 1 : 0, at.isValid() ? at.row() + 1 : 0);
}

GridDelegate::GridDelegate(GridView& view) : QStyledItemDelegate(&view), view_(view) {}

QWidget* GridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    // A line edit takes 32,767 units unless told otherwise: a longer cell
    // would be cut (maybe inside a character) and no key typed into it.
    if (auto* line = qobject_cast<QLineEdit*>(editor)) line->setMaxLength(std::numeric_limits<int>::max());
    view_.editorCreated(editor);
    return editor;
}

bool GridDelegate::eventFilter(QObject* object, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QStyledItemDelegate::eventFilter(object, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (view_.announced(key)) return QStyledItemDelegate::eventFilter(object, event);
    view_.announceKey(key);
    const bool eaten = QStyledItemDelegate::eventFilter(object, event);
    view_.keyDone();
    return eaten;
}

}  // namespace qvrt
