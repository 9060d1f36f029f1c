#include "quarvex/sheets/new_data_window.h"
#include "quarvex/sheets/sort_samples.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

namespace MODULE21 {

using namespace quarvex;

namespace {

// A sample number as a 32-bit float: the whole cell must be a number
// (blanks around it allowed); anything else, an empty cell too, is a type
// mismatch. "nan" and "inf" parse, but are no numbers to order samples by;
// a number past the float range overflows. The error names the sheet's row,
// so the user knows which cell to mend.
float sampleNumber(const QString& text, int column, int row) {
    if (qvrt::HasDecimalComma(text))
        throw qvrt::RuntimeError(qvrt::ErrTypeMismatch, DecimalCommaMessage(column, row, text).toStdString());
    try {
        bool ok = false;
        const double value = QLocale::c().toDouble(text.trimmed(), &ok);
        if (!ok || !std::isfinite(value)) qvrt::Raise(qvrt::ErrTypeMismatch);
        return qvrt::CSng(value);
    } catch (const qvrt::RuntimeError& e) {
        throw qvrt::RuntimeError(e.number(), e.description() + " in row " + std::to_string(row));
    }
}

// The order the exchange sort with early stop gives: it only ever swaps
// neighbours that are strictly out of order, so it is a stable sort, and a
// stable sort gives the same order at a fraction of its cost. rows holds the
// sheet's row of each sample.
std::vector<int> sortedOrder(int column, const std::vector<int>& rows) {
    std::vector<int> order(static_cast<size_t>(SampleCount));
    std::iota(order.begin(), order.end(), 1);
    if (SampleCount < 2) return order;
    if (qvrt::Val(DataTable(column, 1)) != 0) {
        std::vector<float> keys(static_cast<size_t>(SampleCount) + 1);
        for (int i = 1; i <= SampleCount; ++i)
            keys[static_cast<size_t>(i)] = sampleNumber(DataTable(column, i), column, rows[static_cast<size_t>(i) - 1]);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    } else {
        // Character codes of the sheet's own code page, upper case before lower.
        std::vector<QByteArray> keys(static_cast<size_t>(SampleCount) + 1);
        for (int i = 1; i <= SampleCount; ++i)
            keys[static_cast<size_t>(i)] = qvrt::EncodeWindows1252(DataTable(column, i));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return keys[a] < keys[b]; });
    }
    return order;
}

}  // namespace

void SortBySample() {
    if (!ActiveDataSheet()) return;
    try {
        qvrt::HourglassPointer busy;
        std::vector<int> rows;
        ReadActiveGridForCopy(&rows);
        // A read that failed has been reported; there is nothing to sort into a sheet.
        if (LastReadFailed) return;
        DataTable.ReorderSamples(sortedOrder(SampleCol, rows), 1, HeadingCount);
        NewDataWindow();
        WriteTableToGrid();
        if (Main1* made = ActiveDataSheet()) MarkModified(*made);
    } catch (const qvrt::RuntimeError& e) {
        ReportError(QString::fromStdString(e.description()), QStringLiteral("Sort Error"));
    }
}

}  // namespace MODULE21
