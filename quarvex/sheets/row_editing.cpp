#include "quarvex/sheets/row_editing.h"

#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"

namespace MODULE21 {

using namespace quarvex;

namespace {

// Both change the sheet, so its close question must offer to save; the
// undo block no longer lines up with the rows, so Undo goes off.
void afterRowChange(Main1& sheet) {
    sheet.Grid1->setReDraw(true);
    EnableUndo(false);
    MarkModified(sheet);
}

}  // namespace

void InsertGridRow() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    grid.setReDraw(false);
    grid.setRow(grid.ActiveRow());
    grid.setMaxRows(grid.MaxRows() + 1);
    grid.setAction(qvrt::SpreadGrid::ActionInsertRow);
    afterRowChange(*sheet);
}

void DeleteGridRow() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    grid.setReDraw(false);
    grid.setRow(grid.ActiveRow());
    grid.setAction(qvrt::SpreadGrid::ActionDeleteRow);
    grid.setMaxRows(grid.MaxRows() - 1);
    afterRowChange(*sheet);
}

}  // namespace MODULE21
