#include "quarvex/sheets/table_print.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/common_dialog.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/host.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"

#include <QDate>
#include <QLocale>
#include <QPointer>
#include <QTime>
#include <algorithm>
#include <new>
#include <string_view>
#include <vector>

namespace MODULE21 {

using namespace quarvex;

namespace {

constexpr int kLastColumn = 50;
constexpr int kCellWidth = 11;   // characters of a cell or heading
constexpr int kNameWidth = 39;   // characters of a name in column 2
constexpr int kMaxSampleIndex = 32767;

QString printCell(int column, int sample) {
    if (column > kLastColumn) return QString();
    return PrintTable(column, sample);
}

// Two empty lines, the caption in bold 6-point Arial centred, an empty
// line, then the time and the date.
void pageHead(qvrt::PrinterSurface& p) {
    p.SetFontName(QStringLiteral("Arial"));
    p.Print();
    p.Print();
    p.SetFontBold(true);
    p.SetFontSize(6);
    p.SetCurrentX((p.ScaleWidth() - p.TextWidth(SheetCaption)) / 2);
    p.Print(SheetCaption);
    p.Print();
    p.SetFontBold(false);
    const QLocale locale = QLocale::system();
    p.Print(locale.toString(QTime::currentTime(), QLocale::LongFormat));
    p.Print(locale.toString(QDate::currentDate(), QLocale::ShortFormat));
}

bool isWideName(int column) { return column == NameCol && NameCol == 2; }

void printBlock(qvrt::PrinterSurface& p, int lastColumn, int perBlock) {
    const int firstColumn = lastColumn - perBlock + 1;
    p.Print();
    p.Print();
    p.PrintKeep(QStringLiteral("Code"));
    p.NextZone();
    for (int c = firstColumn; c <= lastColumn; ++c) {
        p.PrintKeep(HeadingAt(c).left(kCellWidth));
        p.NextZone();
        if (isWideName(c)) {
            p.NextZone();
            p.NextZone();
        }
    }
    p.Print();
    for (int s = 1; s <= SampleCount; ++s) {
        p.Print();
        p.PrintKeep(qvrt::Str(s));
        p.NextZone();
        for (int c = firstColumn; c <= lastColumn; ++c) {
            if (isWideName(c)) {
                p.PrintKeep(printCell(c, s).left(kNameWidth));
                p.Tab((c + 4) * 12 - 1);
            } else {
                p.PrintKeep(printCell(c, s).left(kCellWidth));
                p.NextZone();
            }
        }
    }
}

}  // namespace

void ReadGridForPrint() {
    SampleCount = 0;
    PrintTable.Erase();
    try {
        Main1& sheet = RequireActiveSheet();
        qvrt::SpreadGrid& grid = *sheet.Grid1;
        QPointer<qvrt::SpreadGrid> guard(&grid);
        grid.setReDraw(false);
        GridBusy = -1;
        struct Restore {
            QPointer<qvrt::SpreadGrid>& grid;
            ~Restore() {
                GridBusy = 0;
                if (grid) grid->setReDraw(true);
            }
        } restore{guard};

        std::vector<QString> headings(1);
        HeadingCount = kLastColumn + 1;
        for (int c = 1; c <= kLastColumn; ++c) {
            headings.push_back(grid.GetText(c, 1));
            if (headings.back().isEmpty()) {
                HeadingCount = static_cast<int16_t>(c);
                break;
            }
        }
        ColumnHeadings = std::move(headings);

        // Every row that holds text, down to the sheet's last one, whether or
        // not it has components; a wholly empty row is no sample and is left out.
        const int lastCopied = std::min<int>(HeadingCount, kLastColumn);
        const int lastRow = std::min(grid.MaxRows(), grid.LastUsedRow());
        std::vector<std::string_view> bytes;
        int i = 0;
        for (int r = 2; r <= lastRow; ++r) {
            grid.GetRowBytes(r, std::max(lastCopied, 1), bytes);
            if (std::all_of(bytes.begin(), bytes.end(), [](std::string_view b) { return b.empty(); })) continue;
            ++i;
            if (i + 1 > kMaxSampleIndex) throw std::bad_alloc();
            PrintTable.Grow(i + 1);
            for (int c = 1; c <= lastCopied; ++c) PrintTable(c, i) = grid.GetText(c, r);
        }
        SampleCount = static_cast<int16_t>(i);
    } catch (const std::bad_alloc&) {
        SampleCount = 0;
        ReportError(QStringLiteral("You have exceeded the maximum number of samples allowed"),
                    QStringLiteral("Error Reading Data"));
    } catch (const qvrt::RuntimeError& e) {
        SampleCount = 0;
        ReportError(QString::fromStdString(e.description()) + QStringLiteral("Check Data"),
                    QStringLiteral("Error Reading Data"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

void PrintDataTable() {
    Main1* sheet = ActiveDataSheet();
    if (!sheet) return;
    try {
        qvrt::CommonDialog local;
        FrameInterface* frame = TheFrame();
        qvrt::CommonDialog& dialog = frame ? frame->CommonDialog() : local;
        qvrt::PrinterSurface& printer = qvrt::Printer();
        dialog.CancelError = true;
        dialog.Flags = qvrt::kPrintJobDialogFlags;
        dialog.Printer = printer.Device();
        printer.NameComingJob(sheet->Caption());
        dialog.ShowPrinter();
        SheetCaption = sheet->Caption();
        // Laid out on the page as in a fresh run, whatever a diagram or a
        // report printed before left on the printer.
        printer.StartJob(SheetCaption);
        qvrt::HourglassPointer busy;
        ReadGridForPrint();
        const int perBlock = printer.Orientation() == qvrt::vbPRORLandscape ? 17 : 12;
        int lastColumn = perBlock;
        ColumnHeadings.resize(static_cast<size_t>(perBlock + HeadingCount) + 1);
        SheetCaption = SheetCaption.toUpper();
        pageHead(printer);
        for (;;) {
            printBlock(printer, lastColumn, perBlock);
            if (HeadingCount <= lastColumn) break;
            printer.NewPage();
            pageHead(printer);
            lastColumn += perBlock;
        }
        printer.EndDoc();
        PrintTable.Erase();
    } catch (const qvrt::RuntimeError& e) {
        if (e.number() == qvrt::ErrDialogCancelled) return;
        // Nothing half-printed goes out with the next job, or holds it to
        // this job's printer or file.
        qvrt::Printer().KillDoc();
        ReportError(QString::fromStdString(e.description()), QStringLiteral("Print Error"));
        qvrt::host().SetMousePointer(qvrt::vbDefault);
    }
}

}  // namespace MODULE21
