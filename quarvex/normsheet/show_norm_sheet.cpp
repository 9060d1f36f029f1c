#include "quarvex/sheets/new_data_window.h"
#include "quarvex/normsheet/norm3b.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"

namespace NORM3B {

void ShowNormSheet() {
    NormSheetIO& io = SheetIO();
    try {
        io.NewDataWindow();
        io.SetGridReDraw(false);
        io.SetGridLoading(-1);
        qvrt::host().SetMousePointer(qvrt::vbHourglass);
        const int columns = NormResultCols + 4;
        for (int c = 1; c <= columns; ++c) io.SetCurrentCellText(c, 1, io.ColumnHeading(c));
        for (int r = 1; r <= NormResultRows; ++r) {
            for (int c = 1; c <= columns; ++c) io.SetGridText(c, r + 1, io.DataCell(r, c));
        }
        io.SetSampleIndex(NormResultRows + 1);
        qvrt::host().SetMousePointer(qvrt::vbDefault);
        io.SetGridLoading(0);
        io.MarkNewSheetModified();
        io.SetGridReDraw(true);
    } catch (const std::exception& e) {
        // The rows written so far stay in the new sheet.
        qvrt::host().MsgBox(QString::fromStdString(e.what()), qvrt::vbExclamation, QStringLiteral("Load Grid Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

}  // namespace NORM3B
