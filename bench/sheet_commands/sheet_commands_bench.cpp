// Speed of the sheet commands on a 15,000-row by 25-column sheet: reading it
// into the data table, Replace All over it, and sorting it by sample number
// (reversed, the worst order for the exchange sort the order follows); then
// sorting a 20,000-sample sheet opened from a file, longer than a new sheet,
// Replace All over a 14,000-row by 10-column sheet, and Paste of a 2,000 x
// 30 block as a spreadsheet copies it.
// Run by hand: bench_sheet_commands (offscreen by default). With
// "--pdf FILE" it instead prints a small sheet as a table into that PDF.
#include "quarvex/frame/mdi_form1.h"
#include "quarvex/frame/title1.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/runtime/settings_store.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/data_table.h"
#include "quarvex/sheets/find_replace.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/sheets/plt_file.h"
#include "quarvex/sheets/sort_samples.h"
#include "quarvex/sheets/table_print.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/window_tables.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelectionModel>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

using namespace quarvex;

namespace {

double ms(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

Main1* startFrame() {
    auto* splash = new Title1;
    splash->Form_Load();
    splash->Form_Click();
    return dynamic_cast<Main1*>(MDIForm1::Instance()->ActiveForm());
}

// Sample numbers counting down, a name, symbol and colour, three
// components and 18 further analysis columns.
void fillSheet(qvrt::SpreadGrid& grid, int rows, int cols) {
    grid.setReDraw(false);
    for (int c = 1; c <= cols; ++c) grid.SetText(c, 1, QStringLiteral("H%1").arg(c));
    for (int r = 2; r <= rows; ++r) {
        grid.SetText(1, r, QString::number(rows - r + 1));
        grid.SetText(2, r, QStringLiteral("rock%1").arg(r % 97));
        for (int c = 3; c <= cols; ++c) grid.SetText(c, r, QString::number((r * 7 + c * 13) % 1000 / 10.0));
    }
    grid.setReDraw(true);
}

int printPdf(const char* path) {
    Main1* sheet = startFrame();
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    host.printerAnswers = {true};
    qvrt::SetPrinter(std::make_unique<qvrt::QtPrinterSurface>(QString::fromLocal8Bit(path)));
    sheet->setCaption(QStringLiteral("Sheet1-/home/user/granites.plt"));
    const char* rows[] = {
        "Sample #\tName\tSymbol\tColor\tQ\tA\tP\tSiO2\tTiO2\tAl2O3\tFe2O3\tFeO\tMnO\tMgO",
        "1\tGranite, Black Hill quarry\t1\t1\t35\t40\t25\t72.1\t0.3\t14.2\t1.1\t1.2\t0.05\t0.5",
        "2\tGranodiorite\t2\t1\t25\t20\t55\t66.8\t0.5\t15.6\t1.6\t2.4\t0.07\t1.6",
        "3\tTonalite\t3\t2\t30\t5\t65\t62.4\t0.7\t16.1\t2.0\t3.1\t0.09\t2.4",
        "4\tQuartz monzonite\t4\t2\t12\t45\t43\t64.0\t0.6\t16.0\t1.9\t2.6\t0.08\t1.8",
    };
    for (int r = 0; r < 5; ++r) {
        const QStringList cells = QString::fromLatin1(rows[r]).split(u'\t');
        for (int c = 0; c < cells.size(); ++c) sheet->Grid1->SetText(c + 1, r + 1, cells[c]);
    }
    MODULE21::PrintDataTable();
    for (const auto& b : host.boxes) std::printf("box: %s | %s\n", qPrintable(b.prompt), qPrintable(b.title));
    qvrt::SetPrinter(nullptr);
    std::printf("printed to %s\n", path);
    return 0;
}

// Replace All on a new sheet of 14,000 rows by 10 columns, the cursor at
// the top: one name in 97 changes, and back again; the best of ten runs.
void replaceAllOnTenColumns(qvrt::ScriptedHost& host) {
    Main1* sheet = Main1::Create();
    fillSheet(*sheet->Grid1, 14000, 10);
    sheet->Grid1->setCol(1);
    sheet->Grid1->setRow(1);
    sheet->Grid1->setAction(qvrt::SpreadGrid::ActionActiveCell);
    double first = 0, best = 1e9;
    for (int run = 0; run < 10; ++run) {
        const bool there = run % 2 == 0;
        SearchRecord.StartCol = 1;
        SearchRecord.StartRow = 1;
        SearchRecord.ReplaceText = there ? QStringLiteral("basalt") : QStringLiteral("rock5");
        SetFindText(there ? QStringLiteral("rock5") : QStringLiteral("basalt"));
        QElapsedTimer t;
        t.start();
        MODULE21::ReplaceAll();
        if (run == 0) first = ms(t);
        best = std::min(best, ms(t));
    }
    std::printf("replace all over 14000 x 10 cells: %.1f ms first, %.1f ms best of 10 (%s)\n", first, best,
                host.boxes.empty() ? "no message" : qPrintable(host.boxes.back().prompt));
}

// Paste of 2,000 rows by 30 columns copied from a spreadsheet into a
// selected block of a new sheet: numbers, and in every row a comment that
// holds a line break and a quote, which the spreadsheet puts in quotes.
void pasteSpreadsheetBlock(qvrt::ScriptedHost& host) {
    constexpr int rows = 2000, cols = 30;
    QString text;
    for (int r = 1; r <= rows; ++r) {
        text += QString::number(r) + QStringLiteral("\t\"core %1\nsee \"\"log\"\"\"").arg(r % 97);
        for (int c = 3; c <= cols; ++c) text += u'\t' + QString::number((r * 7 + c * 13) % 1000 / 10.0);
        text += QStringLiteral("\r\n");
    }
    double first = 0, best = 1e9;
    for (int run = 0; run < 5; ++run) {
        Main1* sheet = Main1::Create();
        sheet->SetFocus();
        QAbstractItemView* view = sheet->Grid1->view();
        view->setCurrentIndex(view->model()->index(1, 0));
        view->selectionModel()->select(
            QItemSelection(view->model()->index(1, 0), view->model()->index(rows, cols - 1)),
            QItemSelectionModel::ClearAndSelect);
        host.clipboard = text;
        QElapsedTimer t;
        t.start();
        MODULE21::EditClipboard(2);
        if (run == 0) first = ms(t);
        best = std::min(best, ms(t));
        if (run == 4)
            std::printf("paste of a 2000 x 30 spreadsheet block: %.1f ms first, %.1f ms best of 5 "
                        "(row 2001: %s | %s | %s)\n",
                        first, best, qPrintable(sheet->Grid1->GetText(1, rows + 1)),
                        qPrintable(sheet->Grid1->GetText(2, rows + 1)),
                        qPrintable(sheet->Grid1->GetText(cols, rows + 1)));
        sheet->Record().Modified = 0;
        sheet->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    QTemporaryDir settings;
    qvrt::SetSettingsDirectory(settings.path());  // never the user's own settings
    if (argc == 3 && std::strcmp(argv[1], "--pdf") == 0) return printPdf(argv[2]);

    Main1* sheet = startFrame();
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    const int rows = 15001, cols = 25;  // headings and 15,000 samples
    sheet->Grid1->setMaxRows(rows + 1);
    fillSheet(*sheet->Grid1, rows, cols);

    QElapsedTimer t;
    t.start();
    MODULE21::ReadActiveGrid();
    std::printf("read 15000 x 25 into the data table: %.1f ms (%d samples, %d columns)\n", ms(t), SampleCount,
                HeadingCount);

    t.restart();
    MODULE21::SortBySample();
    std::printf("sort 15000 samples by number (reversed) into a new sheet: %.1f ms\n", ms(t));
    Main1* sorted = dynamic_cast<Main1*>(MDIForm1::Instance()->ActiveForm());
    std::printf("  first sample after sorting: %s\n", qPrintable(sorted->Grid1->GetText(1, 2)));

    // Replace All of a value in every row's column 2 group.
    sheet->SetFocus();
    sheet->Grid1->setCol(1);
    sheet->Grid1->setRow(1);
    sheet->Grid1->setAction(qvrt::SpreadGrid::ActionActiveCell);
    SearchRecord.StartCol = 1;
    SearchRecord.StartRow = 1;
    SearchRecord.ReplaceText = QStringLiteral("basalt");
    SetFindText(QStringLiteral("rock5"));
    t.restart();
    MODULE21::ReplaceAll();
    std::printf("replace all over 15000 x 50 cells: %.1f ms (%s)\n", ms(t),
                host.boxes.empty() ? "no message" : qPrintable(host.boxes.back().prompt));

    // The same sort of a 20,000-sample sheet opened from a file.
    const QString path = settings.filePath(QStringLiteral("long.plt"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) return 1;
        QByteArray text = "Sample #\tName\tSym\tCol\tA\tB\tC";
        for (int c = 8; c <= cols; ++c) text += "\tH" + QByteArray::number(c);
        text += "\r\n";
        for (int i = 20000; i >= 1; --i) {
            text += QByteArray::number(i) + "\trock" + QByteArray::number(i % 97) + "\t1\t1";
            for (int c = 5; c <= cols; ++c) text += '\t' + QByteArray::number((i * 7 + c * 13) % 1000 / 10.0);
            text += "\r\n";
        }
        file.write(text);
    }
    CurrentFileName = path;
    MODULE21::LoadDataFile();
    t.restart();
    MODULE21::SortBySample();
    const double sortMs = ms(t);
    Main1* copy = dynamic_cast<Main1*>(MDIForm1::Instance()->ActiveForm());
    std::printf("sort 20000 samples opened from a file into a new sheet: %.1f ms (%d rows, last sample %s)\n", sortMs,
                copy->Grid1->MaxRows(), qPrintable(copy->Grid1->GetText(1, 20001)));

    replaceAllOnTenColumns(host);
    pasteSpreadsheetBlock(host);
    return 0;
}
