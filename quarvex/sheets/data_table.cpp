#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/new_data_window.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/code_page.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QPointer>
#include <algorithm>
#include <cmath>
#include <new>

namespace quarvex {

namespace {

// Sample indices are 16-bit: a sheet longer than that cannot be held.
constexpr int kMaxSampleIndex = 32767;

QString message(const qvrt::RuntimeError& e) { return QString::fromStdString(e.description()); }

// Switches a grid's repainting off and GridBusy on for a cell-by-cell walk,
// and both back when the walk ends, also on an error.
class GridWalk {
public:
    explicit GridWalk(qvrt::SpreadGrid* grid) : grid_(grid) {
        grid_->setReDraw(false);
        GridBusy = -1;
    }
    ~GridWalk() {
        GridBusy = 0;
        if (grid_) grid_->setReDraw(true);
    }
    GridWalk(const GridWalk&) = delete;
    GridWalk& operator=(const GridWalk&) = delete;

private:
    QPointer<qvrt::SpreadGrid> grid_;
};

// value / sum x 100 in 32-bit floats; a zero sum (or one so small that the
// quotient overflows) fails at this sample instead of giving inf or NaN.
float percentOf(float value, float sum) {
    if (sum == 0.0f) qvrt::Raise(qvrt::ErrDivisionByZero);
    const float result = value / sum * 100.0f;
    if (!std::isfinite(result)) qvrt::Raise(qvrt::ErrOverflow);
    return result;
}

// Normalises sample i's components in place, over X, Y, Z when X is not 0
// and over F, Y, Z otherwise.
void normalizeSample(int i) {
    float& first = XValues(i) != 0.0f ? XValues(i) : FValues(i);
    const float sum = first + YValues(i) + ZValues(i);
    const float a = percentOf(first, sum), b = percentOf(YValues(i), sum), c = percentOf(ZValues(i), sum);
    first = a;
    YValues(i) = b;
    ZValues(i) = c;
}

// A sample of a copy whose three component cells are empty, 0 or text (not
// analysed, "n.d."): it has nothing to normalise, and its cells are copied
// as they stand. A plot's read never takes such a sample.
bool withoutComponents(int i) { return XValues(i) == 0.0f && YValues(i) == 0.0f && ZValues(i) == 0.0f; }

}  // namespace

Main1* ActiveDataSheet() {
    FrameInterface* frame = TheFrame();
    if (!frame) return nullptr;
    return dynamic_cast<Main1*>(frame->ActiveForm());
}

Main1& RequireActiveSheet() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) throw qvrt::RuntimeError(91, "No data sheet is active. ");
    return *sheet;
}

QString HeadingAt(int column) {
    if (column < 0 || column >= static_cast<int>(ColumnHeadings.size())) return QString();
    return ColumnHeadings[static_cast<size_t>(column)];
}

void MarkModified(Main1& sheet) { sheet.Record().Modified = -1; }

int ReportError(const QString& text, const QString& title) {
    return qvrt::host().MsgBox(text, qvrt::vbExclamation, title);
}

}  // namespace quarvex

namespace MODULE21 {

using namespace quarvex;

namespace {

// The column of the tenth empty cell of row 2, or the last column when row 2
// has fewer than ten empty cells.
int16_t countHeadings(const qvrt::SpreadGrid& grid) {
    int empty = 0;
    int16_t count = 0;
    for (int c = 1; c <= grid.MaxCols(); ++c) {
        if (grid.GetText(c, 2).isEmpty()) ++empty;
        count = static_cast<int16_t>(c);
        if (empty == 10) break;
    }
    return count;
}

// Read from the cell's bytes through one reused text, so that a component
// cell costs no text of its own until something reaches it.
float numberIn(int column, int sample) {
    static QString text;
    DataTable.Peek(column, sample, text);
    return qvrt::CSng(qvrt::Val(text));
}

void storeSymbolAndColor(int i, float symbol, float color) {
    SampleSymbols(i) = symbol;
    SampleColors(i) = color;
    DataTable(SymbolCol, i) = qvrt::CStr(symbol);
    DataTable(ColorCol, i) = qvrt::CStr(color);
}

// One more sample into the numbering; every fourteenth sample starts the
// next round of the major counter.
void autoNumber(int r, int i, float& major, float& minor, bool symbolMajor) {
    major += 1;
    if ((r - 2) % 14 == 0) {
        if (qvrt::CInt(minor) % 14 == 0) minor = 0;
        major = 1;
        minor += 1;
    }
    if (symbolMajor) storeSymbolAndColor(i, major, minor);
    else storeSymbolAndColor(i, minor, major);
}

int lastNonEmpty(const std::vector<std::string_view>& bytes) {
    for (int c = static_cast<int>(bytes.size()) - 1; c >= 1; --c)
        if (!bytes[static_cast<size_t>(c)].empty()) return c;
    return 0;
}

int lastTextIn(const qvrt::SpreadGrid& grid, int row, int lastColumn) {
    std::vector<std::string_view> bytes;
    grid.GetRowBytes(row, lastColumn, bytes);
    return lastNonEmpty(bytes);
}

void writeHeadingRow(qvrt::SpreadGrid& grid) {
    for (int c = 1; c < static_cast<int>(ColumnHeadings.size()); ++c) grid.SetText(c, 1, ColumnHeadings[c]);
}

void eraseTableAndArrays() {
    DataTable.Erase();
    for (SampleArray* a : {&XValues, &YValues, &ZValues, &SampleSymbols, &SampleColors}) a->Erase();
}

// A cell of a row as the read has its bytes, through one reused text.
QString& cellText(const std::vector<std::string_view>& bytes, int column) {
    static QString text;
    if (column > 0 && static_cast<size_t>(column) < bytes.size()) qvrt::DecodeCell(bytes[column], text);
    else text.clear();
    return text;
}

float numberInRow(const std::vector<std::string_view>& bytes, int column) {
    return column > 0 ? qvrt::CSng(qvrt::Val(cellText(bytes, column))) : 0.0f;
}

enum class ReadKind {
    Plot,      // the samples with components
    Copy,      // every row that holds text
    Analyses,  // the rows with a value in one of the given columns
};

// The read itself, of the sheet's whole data: every column up to the 50th,
// so that the table holds every column with text in the heading row or any
// row read, whatever the first sample leaves empty; and every row down to
// the sheet's last with text. A wholly empty row is no sample and the read
// goes on past it. A plot leaves out the rows whose three component cells
// are empty, 0 or text, and goes on past them too. HeadingCount and
// ColumnHeadings reach the last column with text. TableRows gets the grid
// row of each sample.
void readActiveGrid(ReadKind kind, const std::vector<int>& valueColumns) {
    // Without a column to look in, every row with text is an analysis.
    if (kind == ReadKind::Analyses && std::none_of(valueColumns.begin(), valueColumns.end(), [](int c) { return c > 0; }))
        kind = ReadKind::Copy;
    SampleCount = 0;
    LastReadFailed = true;
    DataTable.Erase();
    TableRows.clear();
    try {
        Main1& sheet = RequireActiveSheet();
        qvrt::SpreadGrid& grid = *sheet.Grid1;
        GridWalk walk(&grid);
        float symbolCounter = 0, colorCounter = 0;
        HeadingCount = countHeadings(grid);
        const int xCol = XCol, yCol = YCol, zCol = ZCol;
        // Side by side: the columns read and those the commands after a read
        // write into (numbering, normalising, rock names).
        const int readWidth = std::max(int(HeadingCount), std::min(grid.MaxCols(), TextTable::kLastColumn));
        DataTable.Erase(std::max({readWidth, int(SampleCol), int(NameCol), int(SymbolCol), int(ColorCol), xCol,
                                  yCol, zCol + 1}));
        int lastTextColumn = lastTextIn(grid, 1, readWidth);
        const int maxRows = grid.MaxRows();
        const int lastRow = std::min(maxRows, grid.LastUsedRow());
        DataTable.Reserve(std::min({maxRows, grid.LastUsedRow() + 1, kMaxSampleIndex}));
        std::vector<std::string_view> bytes;
        int i = 0;
        for (int r = 2; r <= lastRow; ++r) {
            grid.GetRowBytes(r, readWidth, bytes);
            const int lastColumn = lastNonEmpty(bytes);
            if (lastColumn == 0) continue;
            // A component column past the table's is a subscript error, as
            // reading that cell of the table would be.
            if (std::max({xCol, yCol, zCol}) > TextTable::kLastColumn) qvrt::Raise(qvrt::ErrSubscript);
            const float x = numberInRow(bytes, xCol), y = numberInRow(bytes, yCol), z = numberInRow(bytes, zCol);
            if (kind == ReadKind::Plot && x == 0.0f && y == 0.0f && z == 0.0f) continue;
            if (kind == ReadKind::Analyses &&
                std::none_of(valueColumns.begin(), valueColumns.end(),
                             [&](int c) { return c > 0 && c <= readWidth && qvrt::Val(cellText(bytes, c)) != 0; }))
                continue;
            ++i;
            if (i + 1 > kMaxSampleIndex) throw std::bad_alloc();
            DataTable.Grow(i + 1);
            for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors})
                a->Grow(i + 1);
            DataTable.SetBytes(i, bytes);
            lastTextColumn = std::max(lastTextColumn, lastColumn);
            TableRows.push_back(r);
            XValues(i) = x;
            YValues(i) = y;
            ZValues(i) = z;
            SampleSymbols(i) = SymbolCol > 0 ? numberIn(SymbolCol, i) : 2.0f;
            SampleColors(i) = ColorCol > 0 ? numberIn(ColorCol, i) : 0.0f;
            FValues(i) = (XValues(i) == 0.0f && zCol > 0 && zCol < 50) ? numberIn(zCol + 1, i) : 0.0f;
            if (AutoSymbols == -1) autoNumber(i + 1, i, symbolCounter, colorCounter, true);
            if (AutoColors == -1) autoNumber(i + 1, i, colorCounter, symbolCounter, false);
        }
        // An empty row after the last sample, which the writes take as the
        // table's last.
        DataTable.Grow(i + 1);
        for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors})
            a->Grow(i + 1);
        SampleCount = static_cast<int16_t>(i);
        // Every heading too, also those past an empty one.
        HeadingCount = static_cast<int16_t>(std::max(int(HeadingCount), lastTextColumn));
        std::vector<QString> headings(static_cast<size_t>(HeadingCount) + 2);
        for (int c = 1; c <= HeadingCount; ++c) headings[static_cast<size_t>(c)] = grid.GetText(c, 1);
        ColumnHeadings = std::move(headings);
        LastReadFailed = false;
    } catch (const std::bad_alloc&) {
        SampleCount = 0;
        ReportError(QStringLiteral("You have exceeded the maximum number of samples allowed"),
                    QStringLiteral("Error Reading Data"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    } catch (const qvrt::RuntimeError& e) {
        SampleCount = 0;
        if (e.number() == qvrt::ErrOutOfStringSpace)
            ReportError(QStringLiteral("You have exceeded the maximum number of samples allowed"),
                        QStringLiteral("Error Reading Data"));
        else
            ReportError(message(e) + QStringLiteral("Check Data"), QStringLiteral("Error Reading Data"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

// "E5", "AU12": a cell as the sheet's column letters and row number name it.
QString cellName(int column, int row) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26) letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

}  // namespace

void ReadActiveGrid() { readActiveGrid(ReadKind::Plot, {}); }

void ReadActiveGridForCopy(std::vector<int>* sourceRows) {
    readActiveGrid(ReadKind::Copy, {});
    if (sourceRows) *sourceRows = TableRows;
}

void ReadActiveGridAnalyses(const std::vector<int>& valueColumns) { readActiveGrid(ReadKind::Analyses, valueColumns); }

QString DecimalCommaMessage(int column, int row, const QString& text) {
    QString pointed = text.trimmed();
    const qsizetype comma = pointed.indexOf(u',');
    if (comma >= 0) pointed[comma] = u'.';
    return QStringLiteral("Cell %1 holds \"%2\", a number written with a decimal comma.  Write numbers with a "
                          "decimal point (%3) and try again.")
        .arg(cellName(column, row), text.trimmed(), pointed);
}

bool NoDecimalCommas(const std::vector<int>& columns, const QString& title) {
    QString text;
    for (int i = 1; i <= SampleCount; ++i) {
        for (int c : columns) {
            if (c <= 0 || c > TextTable::kLastColumn) continue;
            DataTable.Peek(c, i, text);
            if (!qvrt::HasDecimalComma(text)) continue;
            const int row = static_cast<size_t>(i) <= TableRows.size() ? TableRows[static_cast<size_t>(i) - 1] : i + 1;
            ReportError(DecimalCommaMessage(c, row, text), title);
            qvrt::host().SetMousePointer(qvrt::vbDefault);
            return false;
        }
    }
    return true;
}

void NormalizeTernary() {
    try {
        qvrt::HourglassPointer busy;
        const int xCol = XCol, yCol = YCol, zCol = ZCol;
        for (int i = 1; i <= SampleCount; ++i) {
            PlagRatio.Grow(i);
            if (withoutComponents(i)) continue;
            normalizeSample(i);
            DataTable(xCol, i) = qvrt::Str(XValues(i));
            DataTable(yCol, i) = qvrt::Str(YValues(i));
            DataTable(zCol, i) = qvrt::Str(ZValues(i));
            if (FValues(i) > 0) DataTable(zCol + 1, i) = qvrt::Str(FValues(i));
        }
    } catch (const qvrt::RuntimeError& e) {
        MsgBoxAnswer = static_cast<int16_t>(ReportError(message(e), QStringLiteral("Error Converting Data")));
    }
}

void NormalizeQAPF() {
    try {
        for (int i = 1; i <= SampleCount; ++i) {
            PlagRatio.Grow(i);
            const float a = YValues(i), p = ZValues(i);
            if (a <= 0 && p <= 0) PlagRatio(i) = 0;
            else PlagRatio(i) = percentOf(p, a + p);
            normalizeSample(i);
        }
    } catch (const qvrt::RuntimeError& e) {
        ReportError(message(e), QStringLiteral("Error Calculating Data"));
    }
}

void WriteTableToGrid(bool intoSourceRows) {
    try {
        Main1& sheet = RequireActiveSheet();
        qvrt::HourglassPointer busy;
        GridWalk walk(sheet.Grid1);
        // A write that changes a cell changes the sheet, so its close question
        // must not let it go unsaved; one that finds every cell as it is (no
        // samples, symbols assigned again) leaves the sheet unmodified.
        if (intoSourceRows) {
            for (int i = 1; i <= SampleCount && static_cast<size_t>(i) <= TableRows.size(); ++i)
                for (int c = 1; c <= HeadingCount; ++c) {
                    const int row = TableRows[static_cast<size_t>(i) - 1];
                    if (sheet.Grid1->GetText(c, row) == DataTable(c, i)) continue;
                    MarkModified(sheet);
                    sheet.Grid1->SetText(c, row, DataTable(c, i));
                }
            eraseTableAndArrays();
            return;
        }
        // A sorted copy goes into a new sheet of the usual 15,000 rows: it
        // grows to hold every sample, and the row after them when that row
        // holds anything.
        int lastRow = SampleCount + 1;
        for (int c = 1; c <= HeadingCount && lastRow == SampleCount + 1; ++c)
            if (!DataTable(c, SampleCount + 1).isEmpty()) lastRow = SampleCount + 2;
        if (sheet.Grid1->MaxRows() < lastRow) sheet.Grid1->setMaxRows(lastRow);
        writeHeadingRow(*sheet.Grid1);
        MarkModified(sheet);
        for (int i = 1; i <= SampleCount + 1; ++i)
            for (int c = 1; c <= HeadingCount; ++c) sheet.Grid1->SetText(c, i + 1, DataTable(c, i));
        eraseTableAndArrays();
    } catch (const qvrt::RuntimeError& e) {
        ReportError(message(e), QStringLiteral("Load Grid Error"));
    }
}

void WriteCoordinates() {
    try {
        // Check the table before a sheet is opened for it.
        if (DataTable.Erased()) qvrt::Raise(qvrt::ErrSubscript);
        qvrt::HourglassPointer busy;
        GridBusy = -1;
        NewDataWindow();
        Main1& sheet = RequireActiveSheet();
        GridWalk walk(sheet.Grid1);
        qvrt::SpreadGrid& grid = *sheet.Grid1;
        if (grid.MaxRows() < SampleCount + 1) grid.setMaxRows(SampleCount + 1);
        writeHeadingRow(grid);
        MarkModified(sheet);
        const int xCol = XCol, yCol = YCol, zCol = ZCol;
        const QString pattern = QStringLiteral("##0.00");
        for (int i = 1; i <= SampleCount; ++i) {
            if (!withoutComponents(i)) {
                DataTable(xCol, i) = qvrt::Format(XValues(i), pattern);
                DataTable(yCol, i) = qvrt::Format(YValues(i), pattern);
                DataTable(zCol, i) = qvrt::Format(ZValues(i), pattern);
                if (XValues(i) == 0.0f && zCol > 0 && zCol < 50)
                    DataTable(zCol + 1, i) = qvrt::Format(FValues(i), pattern);
            }
            for (int c = 1; c <= HeadingCount; ++c) grid.SetText(c, i + 1, DataTable(c, i));
        }
        eraseTableAndArrays();
    } catch (const qvrt::RuntimeError& e) {
        GridBusy = 0;
        ReportError(message(e), QStringLiteral("Load Grid Error"));
    }
}

}  // namespace MODULE21
