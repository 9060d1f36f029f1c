#include "commands_fixture.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/recording_surface.h"
#include "quarvex/sheets/table_print.h"
#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/runtime/printer.h"
#include "quarvex/printing/pdf_pages.h"
#include "quarvex/sheets/file_limits.h"

#include <QPrinter>

using namespace quarvex;

namespace {
// The recording printer's metrics at 6 points: a character is 60 twips, a
// print zone 14 characters.
constexpr double kChar = 60;
constexpr double kZone = 14 * kChar;
}  // namespace

class TablePrintTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        auto p = std::make_unique<qvrt::RecordingPrinter>();
        printer = p.get();
        qvrt::SetPrinter(std::move(p));
        host->printerAnswers = {true};
    }
    void TearDown() override {
        qvrt::SetPrinter(nullptr);
        CommandsTest::TearDown();
    }
    // Headings h1..hn in row 1 and samples with components 1, 1, 1.
    void sheetWith(int headings, int samples) {
        QStringList head, rows;
        for (int c = 1; c <= headings; ++c) head << QStringLiteral("h%1").arg(c);
        rows << head.join('\t');
        for (int s = 1; s <= samples; ++s) {
            QStringList cells;
            for (int c = 1; c <= headings; ++c) cells << (c >= 5 && c <= 7 ? "1" : QStringLiteral("s%1c%2").arg(s).arg(c));
            rows << cells.join('\t');
        }
        fill(rows);
    }
    std::vector<qvrt::DrawOp> texts() const {
        std::vector<qvrt::DrawOp> out;
        for (const qvrt::DrawOp& op : printer->OpsOf(qvrt::DrawOp::Text))
            if (!op.text.isEmpty()) out.push_back(op);
        return out;
    }
    const qvrt::DrawOp* text(const QString& t, int page = 0) const {
        for (const qvrt::DrawOp& op : printer->OpsOf(qvrt::DrawOp::Text))
            if (op.text == t && (page == 0 || op.page == page)) {
                static qvrt::DrawOp found;
                found = op;
                return &found;
            }
        return nullptr;
    }
    qvrt::RecordingPrinter* printer = nullptr;
};

TEST_F(TablePrintTest, SevenHeadingsPrintOneBlockOfTwelveSlotsOnOnePage) {
    sheetWith(7, 2);
    MODULE21::PrintDataTable();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_TRUE(printer->OpsOf(qvrt::DrawOp::NewPage).empty());
    EXPECT_EQ(printer->DocumentsEnded(), 1);
    const qvrt::DrawOp* code = text("Code");
    ASSERT_NE(code, nullptr);
    EXPECT_DOUBLE_EQ(code->x1, 0);
    const qvrt::DrawOp* h3 = text("h3");
    ASSERT_NE(h3, nullptr);
    // Name in column 2 takes three zones: column 3 starts at character 70.
    EXPECT_DOUBLE_EQ(h3->x1, 5 * kZone);
    EXPECT_DOUBLE_EQ(text("h1")->x1, kZone);
    EXPECT_DOUBLE_EQ(text("s2c3")->x1, 70 * kChar);
    EXPECT_DOUBLE_EQ(text("s2c1")->x1, kZone);
    EXPECT_EQ(text(" 2")->x1, 0);
    EXPECT_EQ(text("h8"), nullptr);
    EXPECT_EQ(printer->OpsOf(qvrt::DrawOp::Text).front().fontName, "Arial");
    EXPECT_TRUE(PrintTable.Erased());
}

TEST_F(TablePrintTest, TheTitleIsTheCaptionInUpperCaseCentredAndBold) {
    sheet->setCaption("Sheet1-/data/rocks.plt");
    sheetWith(3, 1);
    MODULE21::PrintDataTable();
    const qvrt::DrawOp* title = text("SHEET1-/DATA/ROCKS.PLT");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->bold);
    EXPECT_DOUBLE_EQ(title->fontSize, 6);
    EXPECT_NEAR(title->x1 + (title->x2 - title->x1) / 2, printer->Width() / 2, 1);
    EXPECT_FALSE(text("Code")->bold);
}

TEST_F(TablePrintTest, TwentyHeadingsPrintTwoBlocksTheSecondOnANewPageWithTheSameHead) {
    sheetWith(20, 3);
    MODULE21::PrintDataTable();
    EXPECT_EQ(printer->OpsOf(qvrt::DrawOp::NewPage).size(), 1u);
    ASSERT_NE(text("h12", 1), nullptr);
    EXPECT_EQ(text("h13", 1), nullptr);
    ASSERT_NE(text("h13", 2), nullptr);
    EXPECT_DOUBLE_EQ(text("h13", 2)->x1, kZone);
    EXPECT_NE(text("SHEET1-", 2), nullptr);
    EXPECT_DOUBLE_EQ(text("s3c20", 2)->x1, 8 * kZone);
}

TEST_F(TablePrintTest, LandscapePrintsBlocksOfSeventeenColumns) {
    printer->SetOrientation(qvrt::vbPRORLandscape);
    sheetWith(20, 1);
    MODULE21::PrintDataTable();
    EXPECT_NE(text("h17", 1), nullptr);
    EXPECT_NE(text("h18", 2), nullptr);
}

TEST_F(TablePrintTest, WithTheNameInAnotherColumnEveryColumnIsElevenCharactersWide) {
    NameCol = 3;
    fill({"h1\tThe long heading\th3", "x\tabcdefghijklmnopqrstuvwxyz\ty\t\t1\t1\t1"});
    MODULE21::PrintDataTable();
    EXPECT_NE(text("The long he"), nullptr);
    EXPECT_NE(text("abcdefghijk"), nullptr);
    EXPECT_DOUBLE_EQ(text("h3")->x1, 3 * kZone);
}

TEST_F(TablePrintTest, EverySampleDownToTheLastRowWithTextPrintsAndEmptyRowsAreLeftOut) {
    fill({"a\tb\tc\td\te\tf\tg", "1\tx\t\t\t1\t1\t1", "2\ty\t\t\t\t0\t", "", "3\tz\t\t\t1\t1\t1"});
    MODULE21::PrintDataTable();
    EXPECT_EQ(SampleCount, 3);
    for (const char* cell : {" 1", "x", " 2", "y", " 3", "z"}) EXPECT_NE(text(QString::fromLatin1(cell)), nullptr) << cell;
    EXPECT_EQ(text(" 4"), nullptr);
}

TEST_F(TablePrintTest, AllFiftyHeadingsPrintBlankSlotsBeyondTheSheet) {
    QStringList head;
    for (int c = 1; c <= 50; ++c) head << QStringLiteral("h%1").arg(c);
    fill({head.join('\t'), "a\tb\tc\td\t1\t1\t1"});
    MODULE21::PrintDataTable();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(HeadingCount, 51);
    EXPECT_EQ(printer->OpsOf(qvrt::DrawOp::NewPage).size(), 4u);
    EXPECT_NE(text("h50", 5), nullptr);
}

TEST_F(TablePrintTest, ACancelledDialogPrintsNothingAndSaysNothing) {
    host->printerAnswers = {false};
    sheetWith(3, 1);
    MODULE21::PrintDataTable();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_TRUE(printer->Ops().empty());
    ASSERT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(host->dialogs[0].kind, "Printer");
}

TEST_F(TablePrintTest, AFailingPrinterShowsPrintErrorAndResetsThePointer) {
    printer->FailWith(qvrt::ErrPrinter);
    sheetWith(3, 1);
    MODULE21::PrintDataTable();
    EXPECT_EQ(boxTexts(), QStringList({"Printer error | Print Error"}));
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    EXPECT_EQ(cell(1, 2), "s1c1");
}

TEST_F(TablePrintTest, PrintingWithoutADataSheetDoesNothing) {
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MODULE21::PrintDataTable();
    EXPECT_TRUE(host->dialogs.empty());
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(TablePrintTest, ReadingForPrintLeavesTheDataTableAlone) {
    sheetWith(7, 2);
    MODULE21::ReadActiveGrid();
    const QString before = DataTable(1, 1);
    grid().SetText(1, 2, "changed");
    MODULE21::ReadGridForPrint();
    EXPECT_EQ(DataTable(1, 1), before);
    EXPECT_EQ(PrintTable(1, 1), "changed");
    EXPECT_EQ(HeadingCount, 8);
    EXPECT_EQ(SampleCount, 2);
}

// The program's own printer, into PDF files on a disk that fills part-way.
class PdfJobs : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        qvrt::SetPrinter(nullptr);
        host->onPrinterDialog = [this](QPrinter* printer) {
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(chosen);
        };
    }
    void TearDown() override {
        qvrt::SetPrinter(nullptr);
        CommandsTest::TearDown();
    }
    void choose(const char* name) {
        chosen = path(QString::fromLatin1(name));
        host->printerAnswers.push_back(true);
    }
    int pages() const { return PdfPages(chosen); }
    QString chosen;
};

TEST_F(PdfJobs, AJobThatFailsAtANewPageIsOneDiskFullAndTheNextTableAndDiagramPrintWhole) {
    QStringList rows;
    QStringList head;
    for (int c = 1; c <= 20; ++c) head << QStringLiteral("h%1").arg(c);
    rows << head.join('\t');
    for (int s = 1; s <= 2000; ++s) rows << QStringLiteral("%1\tgranite %1\t\t\t70.1\t14.2\t3.3\t1\t2\t3\t4\t5\t6\t7\t8\t9\t10\t11\t12\t13").arg(s);
    fill(rows);
    {
        FileSizeLimit full(16384);
        ASSERT_TRUE(full.ok());
        choose("full.pdf");
        MODULE21::PrintDataTable();
    }
    EXPECT_EQ(boxTexts(), QStringList{"Disk full | Print Error"});
    EXPECT_FALSE(QFile::exists(chosen));

    choose("table.pdf");
    MODULE21::PrintDataTable();
    EXPECT_GT(pages(), 2);

    printing::InstallGraphPrinting();
    qvrt::RecordingSurface screen;
    Graph2 window;
    window.UseSurface(&screen);
    window.InitSymbolTable();
    window.DiagramType = QStringLiteral("Ternary");
    window.TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
    window.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
    choose("diagram.pdf");
    window.mnuPrint_Click();
    EXPECT_EQ(pages(), 1);
    EXPECT_EQ(boxTexts(), QStringList{"Disk full | Print Error"});
    Graph2Seams().PrintDiagram = nullptr;
}
