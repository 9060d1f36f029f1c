// A discarded PDF document leaves no file behind; so does one cut short, and
// a job that fails leaves the printer whole for the next.
#include "pdf_pages.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/state/reset.h"

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

TEST(DiscardedPdf, KillDocRemovesTheHalfWrittenFileAndEndDocKeepsAWholeOne) {
    QTemporaryDir dir;
    const QString killed = dir.filePath(QStringLiteral("killed.pdf"));
    {
        qvrt::QtPrinterSurface p(killed);
        p.Print(QStringLiteral("half a page"));
        p.Line(0, 0, 1000, 1000);
        p.KillDoc();
        EXPECT_FALSE(p.DocumentOpen());
    }
    EXPECT_FALSE(QFile::exists(killed));

    const QString ended = dir.filePath(QStringLiteral("ended.pdf"));
    qvrt::QtPrinterSurface p(ended);
    p.Print(QStringLiteral("a page"));
    p.EndDoc();
    EXPECT_TRUE(QFile::exists(ended));
}

// Files grow no larger than this while it lives, as on a disk that fills up.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : signal_(std::signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit small = old_;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, signal_);
    }

private:
    void (*signal_)(int);
    rlimit old_{};
};


TEST(FailedPdfJob, IsOnePrintErrorWithoutAFileAndTheReportAndDiagramPrintedNextComeOutWhole) {
    using namespace quarvex;
    qvrt::ScriptedHost& host = qvrt::InstallScriptedHost();
    qvrt::SetPrinter(nullptr);
    ResetProgramState();
    printing::InstallGraphPrinting();
    qvrt::RecordingSurface screen;
    Graph2 window;
    window.UseSurface(&screen);
    window.InitSymbolTable();
    window.DiagramType = QStringLiteral("QAPF-Plutonic");
    window.DiagramSize = QStringLiteral("Large");
    window.TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
    window.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
    window.TextLabelList.Append({QStringLiteral("Granites of the northern suite"), 0, -150, QStringLiteral("Arial"), 12, 0, 0, 0});
    window.FitCoefficients = {0, 0.7f, 0.014f, 0};
    window.FittedY = {0};
    window.FitDegree = 1;

    QTemporaryDir dir;
    QString chosen;
    // A PDF file, or, on a machine without a printer, PDF without a file.
    host.onPrinterDialog = [&](QPrinter* printer) {
        printer->setOutputFileName(chosen);
        printer->setOutputFormat(QPrinter::PdfFormat);
    };
    auto choose = [&](const char* file) {
        chosen = file ? dir.filePath(QString::fromLatin1(file)) : QString();
        host.printerAnswers.push_back(true);
    };

    choose(nullptr);
    window.SSCommand1_Click(0);
    {
        FileSizeLimit full(2048);
        choose("full.pdf");
        window.mnuPrint_Click();
    }
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[0].prompt, QStringLiteral("Printer error"));
    EXPECT_EQ(host.boxes[1].prompt, QStringLiteral("Disk full"));
    for (const auto& box : host.boxes) EXPECT_EQ(box.title, QStringLiteral("Print Error"));
    EXPECT_FALSE(QFile::exists(chosen));

    choose("report.pdf");
    window.SSCommand1_Click(0);
    EXPECT_EQ(PdfPages(chosen), 1);
    choose("diagram.pdf");
    window.mnuPrint_Click();
    EXPECT_EQ(PdfPages(chosen), 1);
    EXPECT_EQ(host.boxes.size(), 2u);

    Graph2Seams().PrintDiagram = nullptr;
    qvrt::SetPrinter(nullptr);
    qvrt::SetHost(nullptr);
}

}  // namespace
