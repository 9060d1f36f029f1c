#include "quarvex/sheets/clipboard_edit.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAction>
#include <QPointer>

namespace quarvex {

void EnableUndo(bool on) {
    if (FrameInterface* f = TheFrame()) f->SetUndoEnabled(on);
}

namespace {

// Block mode on and repainting off for one block change; both back at the
// end, also after an error.
class BlockChange {
public:
    explicit BlockChange(qvrt::SpreadGrid* grid) : grid_(grid) {
        grid_->setReDraw(false);
        grid_->setBlockMode(true);
    }
    ~BlockChange() {
        if (!grid_) return;
        grid_->setBlockMode(false);
        grid_->setReDraw(true);
    }
    BlockChange(const BlockChange&) = delete;
    BlockChange& operator=(const BlockChange&) = delete;

private:
    QPointer<qvrt::SpreadGrid> grid_;
};

void setBlock(qvrt::SpreadGrid& grid, int col1, int col2, int row1, int row2) {
    grid.setCol(col1);
    grid.setCol2(col2);
    grid.setRow(row1);
    grid.setRow2(row2);
}

void saveUndo(const Main1& sheet, int col1, int col2, int row1, int row2, const QString& contents) {
    UndoRecord = {col1, col2, row1, row2, contents};
    UndoSheetTag = sheet.Tag;
}

// The sheet a tag names, when it is still open.
Main1* sheetByTag(const QString& tag) {
    if (tag.isEmpty()) return nullptr;
    const double index = qvrt::Val(tag);
    if (index < 1 || index >= static_cast<double>(DataWindows.size())) return nullptr;
    return DataWindows[static_cast<size_t>(index)].data();
}

}  // namespace

}  // namespace quarvex

namespace MODULE21 {

using namespace quarvex;

void EditClipboard(int index) {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    try {
        BlockChange change(&grid);
        const bool selected = grid.IsBlockSelected();
        const int col1 = selected ? grid.SelBlockCol() : grid.ActiveCol();
        const int col2 = selected ? grid.SelBlockCol2() : grid.ActiveCol();
        const int row1 = selected ? grid.SelBlockRow() : grid.ActiveRow();
        const int row2 = selected ? grid.SelBlockRow2() : grid.ActiveRow();
        setBlock(grid, col1, col2, row1, row2);
        saveUndo(*sheet, col1, col2, row1, row2, selected ? grid.Clip() : grid.Text());
        qvrt::Host& h = qvrt::host();
        // Copy counts as a change too, as it always has: closing asks to save.
        // A cut or paste that leaves every cell of its block as it was (an
        // empty block cut, an empty clipboard) does not.
        bool changed = true;
        switch (index) {
        case 0:
            ClipBlock = {col1, col2, row1, row2};
            h.ClipboardClear();
            h.ClipboardSetText(grid.ClipboardText());
            break;
        case 1: {
            ClipBlock = {col1, col2, row1, row2};
            EnableUndo(true);
            h.ClipboardClear();
            h.ClipboardSetText(grid.ClipboardText());
            const QString before = grid.Clip();
            grid.setAction(qvrt::SpreadGrid::ActionClearText);
            changed = grid.Clip() != before;
            break;
        }
        case 2: {
            if (!selected) {
                // The target has the size of the last block copied here, not
                // of the clipboard's text, which may come from anywhere.
                const int c1 = grid.ActiveCol(), r1 = grid.ActiveRow();
                const int c2 = c1 + (ClipBlock.Col2 - ClipBlock.Col1);
                const int r2 = r1 + (ClipBlock.Row2 - ClipBlock.Row1);
                setBlock(grid, c1, c2, r1, r2);
                saveUndo(*sheet, c1, c2, r1, r2, grid.Clip());
            }
            EnableUndo(true);
            const QString before = grid.Clip();
            grid.PasteClipboardText(h.ClipboardGetText());
            changed = grid.Clip() != before;
            break;
        }
        default:
            break;
        }
        if (changed) MarkModified(*sheet);
    } catch (const qvrt::RuntimeError& e) {
        ReportError(QString::fromStdString(e.description()), QStringLiteral("Edit Error"));
    }
}

void UndoLastEdit() {
    try {
        Main1* sheet = sheetByTag(UndoSheetTag);
        if (!sheet) {
            // The sheet the block came from is gone: there is nothing to put back.
            EnableUndo(false);
            return;
        }
        qvrt::SpreadGrid& grid = *sheet->Grid1;
        BlockChange change(&grid);
        setBlock(grid, UndoRecord.Col1, UndoRecord.Col2, UndoRecord.Row1, UndoRecord.Row2);
        const QString before = grid.Clip();
        grid.setAction(qvrt::SpreadGrid::ActionClearText);
        grid.setClip(UndoRecord.Contents);
        EnableUndo(false);
        // Putting back what the block holds anyway changes nothing.
        if (grid.Clip() != before) MarkModified(*sheet);
    } catch (const qvrt::RuntimeError& e) {
        ReportError(QString::fromStdString(e.description()), QStringLiteral("Undo Error"));
    }
}

}  // namespace MODULE21
