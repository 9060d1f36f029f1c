#include "quarvex/sheets/row_editing.h"

#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"

namespace MODULE21 {

using namespace quarvex;

namespace {

// Both change the sheet when rows holding text move, so its close question
// must offer to save; below the last such row they change nothing. The undo
// block no longer lines up with the rows, so Undo goes off.
void afterRowChange(Main1& sheet, bool textMoved) {
    sheet.Grid1->setReDraw(true);
    EnableUndo(false);
    if (textMoved) MarkModified(sheet);
}

bool holdsTextFrom(const qvrt::SpreadGrid& grid, int row) { return row <= grid.LastUsedRow(); }

}  // namespace

void InsertGridRow() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    grid.setReDraw(false);
    grid.setRow(grid.ActiveRow());
    const bool moves = holdsTextFrom(grid, grid.Row());
    grid.setMaxRows(grid.MaxRows() + 1);
    grid.setAction(qvrt::SpreadGrid::ActionInsertRow);
    afterRowChange(*sheet, moves);
}

void DeleteGridRow() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    grid.setReDraw(false);
    grid.setRow(grid.ActiveRow());
    const bool moves = holdsTextFrom(grid, grid.Row());
    grid.setAction(qvrt::SpreadGrid::ActionDeleteRow);
    grid.setMaxRows(grid.MaxRows() - 1);
    afterRowChange(*sheet, moves);
}

}  // namespace MODULE21
