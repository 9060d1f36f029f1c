#include "quarvex/sheets/find_replace.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/guard.h"
#include "quarvex/runtime/host.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/modeless_dialog.h"
#include "quarvex/state/program_state.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace quarvex {

namespace {

QPointer<ReplaceText> gDialog;

constexpr int kLastColumn = 50;
// A row with this many empty cells among those examined ends the data.
constexpr int kEmptyCellsAtEnd = 49;
constexpr int kShortFindLength = 18;

// The 18-character form matches a shorter text padded with blanks; of a
// longer text it is only the start, which a cell must not match on.
bool matches(const QString& text) {
    if (text == SearchRecord.FindText) return true;
    return text.size() == kShortFindLength && SearchRecord.FindText.size() < kShortFindLength &&
           text == SearchRecord.ShortFindText;
}

bool closed(const QPointer<Main1>& sheet) { return !sheet || sheet->Record().IsOpen != -1; }

enum class ScanKind { Find, ReplaceAll };

void stopBox(const QString& title) {
    qvrt::host().MsgBox(QStringLiteral("Search Text Not Found"), qvrt::vbCritical, title);
}

// The scan shared by Find Next and Replace All.
void scan(ScanKind kind) {
    Main1& sheet = RequireActiveSheet();
    const QPointer<Main1> alive(&sheet);
    qvrt::SpreadGrid& grid = *sheet.Grid1;
    qvrt::HourglassPointer busy;
    const int maxRows = grid.MaxRows();
    // A start cell the scan can never come back to (outside the rows it
    // visits) would let it run round a full sheet for ever.
    const int startRow = std::clamp<int>(SearchRecord.StartRow, 1, maxRows);
    const int startCol = std::clamp<int>(SearchRecord.StartCol, 0, kLastColumn);
    // Empty rows above the last row holding text do not end the data: a
    // blank line or a row with only a sample name between samples would hide
    // every sample below it.
    int lastUsed = grid.LastUsedRow();
    const int extraRows = kind == ScanKind::Find ? 2 : 3;
    int row = startRow;
    bool firstRow = true;
    int examined = 1;
    int endOfData = 1000000;
    int replaced = 0;
    for (;;) {
        grid.setRow(row);
        const int firstCol = (row == startRow && firstRow) ? startCol + 1 : 1;
        int empty = 0;
        bool wrap = false;
        for (int col = firstCol; col <= kLastColumn; ++col) {
            grid.setCol(col);
            const QString text = grid.GetText(col, row);
            if (text.isEmpty() && ++empty == kEmptyCellsAtEnd && row > lastUsed) {
                endOfData = row;
                wrap = true;
            }
            if (matches(text)) {
                if (kind == ScanKind::Find) {
                    grid.setAction(qvrt::SpreadGrid::ActionActiveCell);
                    return;
                }
                grid.setText(SearchRecord.ReplaceText);
                ++replaced;
                MarkModified(sheet);
            }
            if (row == startRow && col == startCol && !firstRow) {
                if (kind == ScanKind::Find) {
                    stopBox(QStringLiteral("Not Found"));
                } else {
                    qvrt::host().MsgBox(QString::number(replaced) + QStringLiteral(" replacements"),
                                        qvrt::vbInformation, QStringLiteral("Search/Replace Completed"));
                }
                return;
            }
        }
        int next = wrap ? 1 : row + 1;
        if (next % 25 == 0) {
            // Lets the dialog's Cancel through during a long scan.
            QApplication::processEvents();
            if (SearchRecord.StopRequest == -1) {
                SearchRecord.StopRequest = 0;
                return;
            }
            // The user may have closed the sheet, or left the program, in the
            // meantime: its grid is gone or going, and what was counted
            // went with it.
            if (closed(alive)) return;
            lastUsed = grid.LastUsedRow();  // the user may have typed below it
        }
        firstRow = false;
        // A sheet opened from a file or sorted ends at its last sample, so
        // the grid's last row can hold one.
        if (next > maxRows) next = 1;
        ++examined;
        // Every row has been seen once by now at the latest.
        if (examined >= endOfData + extraRows || examined > maxRows + extraRows) {
            stopBox(kind == ScanKind::Find ? QStringLiteral("Search Completed") : QStringLiteral("Search Error"));
            return;
        }
        row = next;
    }
}

// Replace: the highlighted cell, and only when it matches; otherwise on to
// the next match as Find goes, so that no cell the user did not choose is
// written.
void replaceActiveCell(Main1* sheet) {
    if (!sheet) return;
    qvrt::SpreadGrid& grid = *sheet->Grid1;
    const int col = grid.ActiveCol();
    const int row = grid.ActiveRow();
    if (!matches(grid.GetText(col, row))) {
        SearchRecord.StartCol = static_cast<int16_t>(col);
        SearchRecord.StartRow = row;
        MODULE21::FindNext();
        return;
    }
    // Find Next from the menu goes on after the replaced cell.
    grid.setCol(col);
    grid.setRow(row);
    grid.SetText(col, row, SearchRecord.ReplaceText);
    MarkModified(*sheet);
}

void runScan(ScanKind kind) {
    try {
        scan(kind);
    } catch (const qvrt::RuntimeError& e) {
        ReportError(QString::fromStdString(e.description()), QStringLiteral("Search Error"));
    }
}

}  // namespace

namespace {

// A cell copied in the sheet or a spreadsheet comes with its line end, which
// is not part of the text pasted into either box.
QString WithoutCopiedLineEnd(QString text) {
    if (text.endsWith(u'\n')) text.chop(1);
    if (text.endsWith(u'\r')) text.chop(1);
    return text;
}

}  // namespace

void SetFindText(const QString& entered) {
    const QString text = WithoutCopiedLineEnd(entered);
    SearchRecord.FindText = text;
    SearchRecord.ShortFindText = qvrt::FixedString(text, kShortFindLength);
}

ReplaceText* ReplaceText::Show() { return ShowModeless(gDialog); }

ReplaceText* ReplaceText::Instance() { return gDialog; }

ReplaceText::ReplaceText(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Search And Replace"));
    setModal(false);
    Text1 = new QLineEdit(this);
    Text2 = new QLineEdit(this);
    const char* captions[4] = {"Find", "Replace", "Replace All", "Cancel"};
    for (int i = 0; i < 4; ++i) {
        Command3D1[i] = new QPushButton(QString::fromLatin1(captions[i]), this);
        Command3D1[i]->setAutoDefault(false);
        connect(Command3D1[i], &QPushButton::clicked, this, qvrt::Guarded([this, i](bool) { Command3D1_Click(i); }));
    }
    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Find What:"), this), 0, 0, 1, 2);
    layout->addWidget(Text1, 1, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Replace With:"), this), 2, 0, 1, 2);
    layout->addWidget(Text2, 3, 0, 1, 2);
    layout->addWidget(Command3D1[0], 4, 0);
    layout->addWidget(Command3D1[2], 4, 1);
    layout->addWidget(Command3D1[1], 5, 0);
    layout->addWidget(Command3D1[3], 5, 1);
    // Tab goes through the buttons as they stand, two by two.
    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command3D1[0]);
    setTabOrder(Command3D1[0], Command3D1[2]);
    setTabOrder(Command3D1[2], Command3D1[1]);
    setTabOrder(Command3D1[1], Command3D1[3]);
}

void ReplaceText::Form_Load() {
    CentreOnScreen(*this, qvrt::host().ScreenWidthTwips(), qvrt::host().ScreenHeightTwips());
}

void ReplaceText::Command3D1_Click(int index) {
    SearchRecord.StopRequest = 0;
    Main1* sheet = ActiveDataSheet();
    switch (index) {
    case 0:
        if (sheet) {
            SearchRecord.StartCol = static_cast<int16_t>(sheet->Grid1->ActiveCol());
            SearchRecord.StartRow = sheet->Grid1->ActiveRow();
        }
        SetFindText(Text1->text());
        MODULE21::FindNext();
        break;
    case 1:
        takeReplaceTexts();
        replaceActiveCell(sheet);
        EnableUndo(false);
        break;
    case 2:
        if (sheet) {
            SearchRecord.StartCol = static_cast<int16_t>(sheet->Grid1->ActiveCol());
            SearchRecord.StartRow = sheet->Grid1->ActiveRow();
        }
        takeReplaceTexts();
        MODULE21::ReplaceAll();
        EnableUndo(false);
        break;
    case 3:
        SetFindText(Text1->text());
        SearchRecord.StopRequest = -1;
        close();
        break;
    default:
        break;
    }
}

void ReplaceText::takeReplaceTexts() {
    // Any tab or line end but the copied cell's own goes into the cell as a
    // blank, as if typed there.
    SearchRecord.ReplaceText = qvrt::TypedCellText(WithoutCopiedLineEnd(Text2->text()));
    SetFindText(Text1->text());
}

void ReplaceText::closeEvent(QCloseEvent* event) {
    if (gDialog == this) gDialog = nullptr;
    event->accept();
}

}  // namespace quarvex

namespace MODULE21 {

using namespace quarvex;

void SearchMenu(int index) {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    MarkModified(*sheet);
    LaunchCancelled = 0;
    SearchRecord.StartCol = static_cast<int16_t>(sheet->Grid1->Col());
    SearchRecord.StartRow = sheet->Grid1->Row();
    if (index == 0 || index == 2) ReplaceText::Show();
    else if (index == 1) FindNext();
}

void FindNext() { runScan(ScanKind::Find); }

void ReplaceAll() { runScan(ScanKind::ReplaceAll); }

}  // namespace MODULE21
