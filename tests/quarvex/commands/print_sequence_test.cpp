// Print jobs one after another on the program's printer: each lays out as
// in a fresh run and is named after what it prints; a job the print service
// refuses is one "Print Error" and the next job goes through.
#include "commands_fixture.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/printing/pdf_pages.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/sheets/table_print.h"

#include <QPrinter>
#include <QRegularExpression>
#include <functional>
#include <map>

using namespace quarvex;

namespace {

// Refuses as many jobs as asked, then takes them.
class RefusingService : public qvrt::PrintService {
public:
    explicit RefusingService(int refusals) : refusals_(refusals) {}
    QString Refusal(const QPrinter&) override {
        return refusals_-- > 0 ? QStringLiteral("the printer is not accepting jobs") : QString();
    }

private:
    int refusals_;
};

// A job's operations, comparable across runs: only where the time and the
// date print counts, not what they say.
QStringList Layout(const std::vector<qvrt::DrawOp>& ops) {
    static const QRegularExpression clock(QStringLiteral("^[0-9 :./APMUTC-]*[0-9][0-9 :./APMUTC-]*$"));
    QStringList out;
    for (qvrt::DrawOp op : ops) {
        if (op.kind == qvrt::DrawOp::Text && clock.match(op.text).hasMatch() && op.text.size() > 5) {
            op.text = QStringLiteral("#");
            op.x2 = op.x1;
            op.device2 = op.device1;
        }
        out << qvrt::Describe(op);
    }
    return out;
}

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
        window.DiagramType = QStringLiteral("XY Plot");
        window.TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
        window.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
        window.SampleCount = 3;
        window.SampleX = {0, 1, 2, 3};
        window.SampleY = {0, 2, 1, 4};
        window.SampleSymbol.assign(4, 3);
        window.SampleSymbolChar.assign(4, 117);
        window.SampleColour.assign(4, 0);
        window.SampleLabel = {"", "a", "b", "c"};
        window.FitCoefficients = {0, 0.5f, 1.0f, 0};
        window.FittedY = {0, 1.5f, 2.5f, 3.5f};
        window.FitDegree = 1;
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

    // Runs the jobs on a new recording printer; the last one's layout.
    QStringList lastOf(const std::vector<Job>& jobs) {
        auto p = std::make_unique<qvrt::RecordingPrinter>();
        qvrt::RecordingPrinter& printer = *p;
        qvrt::SetPrinter(std::move(p));
        for (const Job& job : jobs) {
            printer.ClearOps();
            host->printerAnswers.push_back(true);
            job();
        }
        EXPECT_EQ(printer.DocumentsEnded(), int(jobs.size()));
        return Layout(printer.Ops());
    }

    qvrt::RecordingSurface screen;
    Graph2 window;
};

TEST_F(PrintSequences, EveryJobLaysOutAsInAFreshRunWhateverPrintedBefore) {
    struct Case {
        const char* sequence;
        std::vector<Job> before;
        Job job;
    } cases[] = {
        {"diagram, table", {diagram}, table},
        {"table, diagram", {table}, diagram},
        {"diagram, report, table", {diagram, report}, table},
        {"diagram, report", {diagram}, report},
        {"report, diagram", {report}, diagram},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sequence);
        std::vector<Job> jobs = c.before;
        jobs.push_back(c.job);
        const QStringList fresh = lastOf({c.job});
        ASSERT_FALSE(fresh.isEmpty());
        EXPECT_EQ(lastOf(jobs), fresh);
    }
    EXPECT_TRUE(host->boxes.empty()) << boxTexts().join('\n').toStdString();
}

TEST_F(PrintSequences, EachJobIsNamedAfterWhatItPrints) {
    auto p = std::make_unique<qvrt::RecordingPrinter>();
    qvrt::RecordingPrinter& printer = *p;
    qvrt::SetPrinter(std::move(p));
    const std::pair<Job, QString> jobs[] = {
        {table, sheet->Caption()},
        {diagram, QStringLiteral("Plot-Sheet1")},
        {report, QStringLiteral("Least Squares Curve Fit - Plot-Sheet1")},
    };
    for (const auto& [job, name] : jobs) {
        host->printerAnswers.push_back(true);
        job();
        EXPECT_EQ(printer.JobName(), name);
    }
}

// On the program's own printer, into PDF files behind a print service that
// refuses the first job.
TEST_F(PrintSequences, ARefusedJobIsOnePrintErrorAndTheNextOneGoesThrough) {
    qvrt::SetPrinter(nullptr);
    qvrt::SetPrintService(std::make_unique<RefusingService>(1));
    QString chosen;
    host->onPrinterDialog = [&](QPrinter* printer) {
        printer->setOutputFormat(QPrinter::PdfFormat);
        printer->setOutputFileName(chosen);
    };
    std::map<QString, int> pages;
    for (const char* file : {"refused.pdf", "table.pdf", "diagram.pdf"}) {
        chosen = path(QString::fromLatin1(file));
        host->printerAnswers.push_back(true);
        (QString::fromLatin1(file) == "diagram.pdf" ? diagram : table)();
        pages[QString::fromLatin1(file)] = PdfPages(chosen);
    }
    EXPECT_EQ(boxTexts(), QStringList{"The print job did not reach the printer: the printer is not accepting jobs. | "
                                      "Print Error"});
    EXPECT_EQ(pages["table.pdf"], 1);
    EXPECT_EQ(pages["diagram.pdf"], 1);
    EXPECT_EQ(qvrt::Printer().Device()->docName(), QStringLiteral("Plot-Sheet1"));
}
