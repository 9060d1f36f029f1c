// Print jobs one after another on the program's printer: each lays out as
// in a fresh run and is named after what it prints; a job the print service
// refuses is one "Print Error" and the next job goes through.
#include "commands_fixture.h"

#include "quarvex/frame/frame_commands.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/printing/pdf_pages.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/sheets/table_print.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinter>
#include <functional>

using namespace quarvex;

namespace {

// Refuses the first job, takes the others.
struct RefusingService : qvrt::PrintService {
    int refusals = 1;
    QString Refusal(const QPrinter&) override { return refusals-- > 0 ? QStringLiteral("it is paused") : QString(); }
};

}  // namespace

class PrintSequences : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        printing::InstallGraphPrinting();
        sheet->setCaption(QStringLiteral("Sheet1-/home/geo/field seasons/2024/northern suite granites.plt"));
        fill({"h1\th2\th3\th4\tSiO2\tAl2O3\tK2O", "a\tgranite\tx\ty\t70\t14\t4", "b\tdiorite\tx\ty\t57\t17\t2"});
        window.UseSurface(&screen);
        window.InitSymbolTable();
        window.setCaption(QStringLiteral("Plot-Sheet1"));
        window.DiagramType = QStringLiteral("Ternary");
        window.TitleFont = window.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
    }
    void TearDown() override {
        Graph2Seams().PrintDiagram = nullptr;
        qvrt::SetPrintService(nullptr);
        qvrt::SetPrinter(nullptr);
        CommandsTest::TearDown();
    }

    using Job = std::function<void()>;
    Job table = [] { MODULE21::PrintDataTable(); };
    Job diagram = [this] { window.mnuPrint_Click(); };
    Job report = [this] { window.SSCommand1_Click(0); };

    // The jobs on a new recording printer: the last one's operations, with
    // the time and date lines (texts 2 and 3 of a table) reduced to where
    // they print, and its name.
    std::pair<QStringList, QString> lastOf(const std::vector<Job>& jobs) {
        auto owned = std::make_unique<qvrt::RecordingPrinter>();
        qvrt::RecordingPrinter& printer = *owned;
        qvrt::SetPrinter(std::move(owned));
        for (const Job& job : jobs) {
            printer.ClearOps();
            host->printerAnswers.push_back(true);
            job();
        }
        QStringList ops;
        int texts = 0;
        for (qvrt::DrawOp op : printer.Ops()) {
            if (op.kind == qvrt::DrawOp::Text && !op.text.isEmpty() && ++texts >= 2 && texts <= 3) op.text.clear();
            ops << qvrt::Describe(op);
        }
        return {ops, printer.JobName()};
    }

    qvrt::RecordingSurface screen;
    Graph2 window;
};

TEST_F(PrintSequences, EveryJobLaysOutAsInAFreshRunAndIsNamedAfterWhatItPrints) {
    const QString tableName = sheet->Caption(), reportName = QStringLiteral("Least Squares Curve Fit - Plot-Sheet1");
    const struct {
        const char* sequence;
        std::vector<Job> before;
        Job job;
        QString name;
    } cases[] = {
        {"diagram, table", {diagram}, table, tableName},
        {"table, diagram", {table}, diagram, QStringLiteral("Plot-Sheet1")},
        {"diagram, report, table", {diagram, report}, table, tableName},
        {"diagram, report", {diagram}, report, reportName},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sequence);
        std::vector<Job> jobs = c.before;
        jobs.push_back(c.job);
        const auto fresh = lastOf({c.job});
        EXPECT_EQ(lastOf(jobs), fresh);
        EXPECT_EQ(fresh.second, c.name);
    }
    EXPECT_EQ(boxTexts(), QStringList());
}

TEST_F(PrintSequences, ARefusedJobIsOnePrintErrorAndTheNextOneGoesThrough) {
    qvrt::SetPrinter(nullptr);
    qvrt::SetPrintService(std::make_unique<RefusingService>());
    QString chosen;
    host->onPrinterDialog = [&](QPrinter* printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(chosen);
    };
    QList<int> pages;
    for (const Job& job : {table, table, diagram}) {
        chosen = path(QStringLiteral("job%1.pdf").arg(pages.size()));
        host->printerAnswers.push_back(true);
        job();
        pages << PdfPages(chosen);
    }
    EXPECT_EQ(boxTexts(), QStringList{"The print job did not reach the printer: it is paused. | Print Error"});
    EXPECT_EQ(pages.mid(1), QList<int>({1, 1}));
}

// The print dialog proposes a PDF file after the job's name, so each job is
// named before its dialog shows, not after the job printed before it.
TEST_F(PrintSequences, EachPrintDialogShowsTheNameOfItsOwnJob) {
    qvrt::SetPrinter(nullptr);
    QStringList shown;
    host->onPrinterDialog = [&](QPrinter* printer) {
        shown << printer->docName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(path(QStringLiteral("job.pdf")));
    };
    for (const Job& job : {table, diagram, report}) {
        host->printerAnswers.push_back(true);
        job();
    }
    EXPECT_EQ(shown, QStringList({sheet->Caption(), QStringLiteral("Plot-Sheet1"),
                                  QStringLiteral("Least Squares Curve Fit - Plot-Sheet1")}));
}

// Two sheets printed to the PDF files the dialog proposes, one after the
// other, with Print Setup choosing a file between: each file is named after
// its own sheet, in the folder the first went to.
TEST_F(PrintSequences, EachSheetIsPrintedToAProposedPdfFileOfItsOwn) {
    frame->mnuNew_Click();
    Main1* second = active();
    second->setCaption(QStringLiteral("Sheet2-/home/geo/basalts12.plt"));
    fill({"h1\th2\tSiO2", "c\tbasalt\t49"}, second);
    qvrt::SetPrinter(nullptr);
    const QString folder = path("pdf");
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList proposed;  // the first taken into the folder, the others as they come
    host->onPrinterDialog = [&](QPrinter* printer) {
        proposed << QFileInfo(host->proposedPdfFile).fileName();
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(proposed.size() == 1 ? folder + "/" + proposed[0] : host->proposedPdfFile);
    };
    const QString first = folder + "/Sheet1-northern suite granites.pdf", next = folder + "/Sheet2-basalts12.pdf";
    host->printerAnswers = {true, true, true};
    frame->ActivateChild(sheet);
    table();
    frame->ActivateChild(second);
    FrameCommands::PrintSetup();
    table();
    EXPECT_EQ(proposed, QStringList({QFileInfo(first).fileName(), QFileInfo(next).fileName(), QFileInfo(next).fileName()}));
    EXPECT_EQ(PdfPages(first), 1);
    EXPECT_EQ(PdfPages(next), 1);
    EXPECT_EQ(boxTexts(), QStringList());
}
