#include "commands_fixture.h"

#include "quarvex/runtime/basic.h"
#include "quarvex/runtime/errors.h"

#include <QMdiArea>
#include <utility>

using namespace quarvex;

class DataTableTest : public CommandsTest {};

TEST_F(DataTableTest, AnEmptySheetHoldsNoSamplesAndTenHeadingColumns) {
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 0);
    EXPECT_EQ(HeadingCount, 10);
    EXPECT_EQ(ColumnHeadings.size(), 12u);  // upper bound HeadingCount + 1, all empty
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(DataTableTest, HeadingCountReachesTheLastColumnWithTextWhateverTheFirstSampleLeavesEmpty) {
    fill({"S\tN\tSym\tCol\tA\tB\tC", "1\tx\t1\t1\t10\t20\t30"});
    EXPECT_EQ((MODULE21::ReadActiveGrid(), HeadingCount), 17);  // the tenth empty cell of row 2
    grid().SetText(20, 2, "5");
    grid().SetText(47, 1, "Y");
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(HeadingCount, 47);
    EXPECT_EQ(SampleCount, 1);
    EXPECT_EQ(ColumnHeadings.size(), 49u);
    EXPECT_EQ(ColumnHeadings[7], "C");
    EXPECT_EQ(ColumnHeadings[8], "");
    EXPECT_EQ(ColumnHeadings[47], "Y");
    EXPECT_EQ(DataTable(7, 1), "30");
    EXPECT_EQ(DataTable(20, 1), "5");
}

TEST_F(DataTableTest, HeadingsOfAnEarlierSheetDoNotSurviveAnEmptyHeadingRow) {
    fill({"a\tb\tc\td"});
    MODULE21::ReadActiveGrid();
    for (int c = 1; c <= 4; ++c) grid().SetText(c, 1, "");
    MODULE21::ReadActiveGrid();
    for (const QString& h : ColumnHeadings) EXPECT_EQ(h, "");
}

TEST_F(DataTableTest, RowsWithoutComponentsAndEmptyRowsAreLeftOutAndTheReadGoesOn) {
    fill({"h", "1\tx\t1\t1\t10\t20\t30", "2\ty\t1\t1\ttext\t\t0", "", "3\tz\t1\t1\t1\t2\t3"});
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 2);
    EXPECT_EQ(DataTable(1, 2), "3");
    EXPECT_EQ(TableRows, (std::vector<int>{2, 5}));
}

TEST_F(DataTableTest, ARowWithOnlyTheFourthComponentIsNoSample) {
    fill({"h", "1\tx\t1\t1\t0\t0\t0\t50"});
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 0);
}

TEST_F(DataTableTest, NonNumericCellsReadAsTheirLeadingNumber) {
    fill({"h", "1\tx\tabc\t\t12abc\t 3 \t1e1"});
    MODULE21::ReadActiveGrid();
    ASSERT_EQ(SampleCount, 1);
    EXPECT_FLOAT_EQ(XValues(1), 12);
    EXPECT_FLOAT_EQ(YValues(1), 3);
    EXPECT_FLOAT_EQ(ZValues(1), 10);
    EXPECT_FLOAT_EQ(SampleSymbols(1), 0);
}

TEST_F(DataTableTest, WithoutSymbolAndColourColumnsSamplesGetSymbolTwoAndColourZero) {
    SymbolCol = 0;
    ColorCol = 0;
    fill({"h", "1\tx\t7\t8\t1\t1\t1"});
    MODULE21::ReadActiveGrid();
    EXPECT_FLOAT_EQ(SampleSymbols(1), 2);
    EXPECT_FLOAT_EQ(SampleColors(1), 0);
}

TEST_F(DataTableTest, TheFourthComponentIsReadOnlyWhenTheFirstIsZero) {
    fill({"h", "1\tx\t1\t1\t0\t10\t20\t30", "2\ty\t1\t1\t5\t10\t20\t30"});
    MODULE21::ReadActiveGrid();
    EXPECT_FLOAT_EQ(FValues(1), 30);
    EXPECT_FLOAT_EQ(FValues(2), 0);
}

TEST_F(DataTableTest, ZColFiftyReadsNoFourthComponent) {
    ZCol = 50;
    fill({"h", "1\tx\t1\t1\t0\t10"});
    MODULE21::ReadActiveGrid();
    EXPECT_FLOAT_EQ(FValues(1), 0);
}

TEST_F(DataTableTest, AutoSymbolsNumbersSymbolsFirstThenColours) {
    AutoSymbols = -1;
    QStringList rows{"h"};
    for (int i = 1; i <= 197; ++i) rows << QStringLiteral("%1\tn\t\t\t1\t1\t1").arg(i);
    fill(rows);
    MODULE21::ReadActiveGrid();
    ASSERT_EQ(SampleCount, 197);
    EXPECT_FLOAT_EQ(SampleSymbols(14), 14);
    EXPECT_FLOAT_EQ(SampleColors(14), 1);
    EXPECT_FLOAT_EQ(SampleSymbols(15), 1);
    EXPECT_FLOAT_EQ(SampleColors(15), 2);
    EXPECT_FLOAT_EQ(SampleSymbols(197), 1);
    EXPECT_FLOAT_EQ(SampleColors(197), 1);
    EXPECT_EQ(DataTable(3, 14), "14");
    EXPECT_EQ(DataTable(4, 15), "2");
}

TEST_F(DataTableTest, AutoColorsExchangesTheRolesOfSymbolAndColour) {
    AutoColors = -1;
    QStringList rows{"h"};
    for (int i = 1; i <= 15; ++i) rows << QStringLiteral("%1\tn\t\t\t1\t1\t1").arg(i);
    fill(rows);
    MODULE21::ReadActiveGrid();
    EXPECT_FLOAT_EQ(SampleColors(14), 14);
    EXPECT_FLOAT_EQ(SampleSymbols(14), 1);
    EXPECT_FLOAT_EQ(SampleColors(15), 1);
    EXPECT_FLOAT_EQ(SampleSymbols(15), 2);
}

TEST_F(DataTableTest, ReadingWithNoDataSheetReportsAndLeavesNoSamples) {
    SampleCount = 5;
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 0);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Error Reading Data");
    EXPECT_TRUE(host->boxes[0].prompt.endsWith("Check Data"));
    EXPECT_EQ(GridBusy, 0);
}

TEST_F(DataTableTest, AnAssignedColumnBeyondTheTableIsReportedNotReadPast) {
    XCol = 60;
    fill({"h", "1\tx\t1\t1\t1\t1\t1"});
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 0);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Subscript out of rangeCheck Data");
    EXPECT_TRUE(grid().ReDraw());
    EXPECT_EQ(GridBusy, 0);
}

// The sample arrays are 32-bit: a value past that range would be stored as
// infinity, and a plot would drop the sample without a word.
TEST_F(DataTableTest, AValuePastTheFloatRangeIsReportedAsOverflow) {
    for (const char* row : {"1\tx\t1\t1\t1e39\t1\t1", "1\tx\t-4e38\t1\t1\t1\t1"}) {
        host->boxes.clear();
        fill({"h", row});
        MODULE21::ReadActiveGrid();
        EXPECT_EQ(SampleCount, 0) << row;
        ASSERT_EQ(host->boxes.size(), 1u) << row;
        EXPECT_EQ(host->boxes[0].prompt, "OverflowCheck Data");
        EXPECT_EQ(host->boxes[0].title, "Error Reading Data");
    }
    fill({"h", "1\tx\t1\t1\t3.4e38\t1\t1"});
    host->boxes.clear();
    MODULE21::ReadActiveGrid();
    EXPECT_EQ(SampleCount, 1);
    EXPECT_FLOAT_EQ(XValues(1), 3.4e38f);
}

TEST_F(DataTableTest, EveryCellReadIsTheGridsTextAndCellsFurtherRightStartEmpty) {
    fill({"S\tN\tSym\tCol\tA\tB\tC\tD",
          "1\tx\t1\t1\t10\t20\t30",                           // ends before column 8
          "2\t\t\t\t 5 \t2e1x\t7\t\t\t\t\t\t\t\t\t\t\tlast",  // blanks, odd numbers, column 18
          "3\tz\t1\t1\t1\t1\t1\tpast"});
    grid().SetText(2, 4, QString::fromUtf8("\u00e9\u00e8\u20ac"));  // Windows-1252 letters
    MODULE21::ReadActiveGrid();
    ASSERT_EQ(SampleCount, 3);
    ASSERT_EQ(HeadingCount, 18);
    for (int i = 1; i <= 4; ++i) {
        for (int c = 1; c <= HeadingCount; ++c) EXPECT_EQ(DataTable(c, i), cell(c, i + 1)) << c << "," << i;
        for (int c = HeadingCount + 1; c <= 50; ++c) EXPECT_EQ(std::as_const(DataTable)(c, i), "") << c;
    }
    EXPECT_FLOAT_EQ(XValues(2), 5);
    EXPECT_FLOAT_EQ(YValues(2), 20);
    EXPECT_EQ(DataTable(2, 3), QString::fromUtf8("\u00e9\u00e8\u20ac"));
    EXPECT_THROW(DataTable(51, 1), qvrt::RuntimeError);
    // The table holds what was read, not the sheet as it is now.
    grid().SetText(5, 3, "99");
    grid().setMaxRows(2);
    EXPECT_EQ(DataTable(5, 2), " 5 ");
    EXPECT_EQ(DataTable(8, 3), "past");
    EXPECT_EQ(DataTable(18, 2), "last");
}

TEST_F(DataTableTest, CellsReadWrittenOrFarRightMoveWithTheirSample) {
    fill({"h", "1\tx\t1\t1\t1\t1\t1", "2\ty\t1\t1\t2\t2\t2"});
    MODULE21::ReadActiveGrid();
    ASSERT_EQ(HeadingCount, 17);
    const QString& kept = DataTable(1, 1);
    DataTable(50, 1) = "far";
    DataTable(30, 2) = "also";
    DataTable(2, 2) = "written";
    for (int c = 3; c <= 17; ++c) DataTable(c, 2) += "+";
    EXPECT_EQ(kept, "1");  // reaching other cells moves no text
    EXPECT_EQ(DataTable(50, 2), "");
    DataTable.ReorderSamples({2, 1}, 1, 50);
    EXPECT_EQ(DataTable(1, 1), "2");
    EXPECT_EQ(DataTable(2, 1), "written");
    EXPECT_EQ(DataTable(5, 1), "2+");
    EXPECT_EQ(DataTable(30, 1), "also");
    EXPECT_EQ(DataTable(50, 1), "");
    EXPECT_EQ(DataTable(2, 2), "x");
    EXPECT_EQ(DataTable(50, 2), "far");
    const QString& farKept = DataTable(30, 1);
    const QString& madeKept = DataTable(2, 1);
    DataTable.CopySample(2, 1);
    EXPECT_EQ(farKept, "");  // the same cells, now holding sample 2's texts
    EXPECT_EQ(madeKept, "x");
    EXPECT_EQ(DataTable(1, 1), "1");
    EXPECT_EQ(DataTable(2, 1), "x");
    EXPECT_EQ(DataTable(5, 1), "1");
    EXPECT_EQ(DataTable(30, 1), "");
    EXPECT_EQ(DataTable(50, 1), "far");
    DataTable(50, 1) = "own";  // copies, not the other sample's cells
    DataTable(2, 1) = "own";
    EXPECT_EQ(DataTable(50, 2), "far");
    EXPECT_EQ(DataTable(2, 2), "x");
}

class NormalizeTest : public CommandsTest {};

TEST_F(NormalizeTest, TernaryNormalisesToPercentAndWritesThePlainFloatText) {
    fill({"h", "1\tx\t1\t1\t20\t30\t50", "2\ty\t1\t1\t1\t1\t2"});
    MODULE21::ReadActiveGrid();
    MODULE21::NormalizeTernary();
    EXPECT_FLOAT_EQ(XValues(1), 20);
    EXPECT_FLOAT_EQ(ZValues(1), 50);
    EXPECT_FLOAT_EQ(XValues(2), 25);
    EXPECT_EQ(DataTable(5, 2), " 25");
    EXPECT_EQ(DataTable(7, 2), " 50");
    EXPECT_EQ(PlagRatio.Bound(), 2);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(NormalizeTest, TernaryOverTheFourthComponentWritesItsTextBack) {
    fill({"h", "1\tx\t1\t1\t0\t1\t1\t2"});
    MODULE21::ReadActiveGrid();
    MODULE21::NormalizeTernary();
    EXPECT_FLOAT_EQ(XValues(1), 0);
    EXPECT_FLOAT_EQ(FValues(1), 50);
    EXPECT_EQ(DataTable(8, 1), " 50");
}

TEST_F(NormalizeTest, AZeroSumStopsAtThatSampleWithoutInfinityOrNaN) {
    fill({"h", "1\tx\t1\t1\t1\t1\t2", "2\ty\t1\t1\t1\t-1\t0", "3\tz\t1\t1\t1\t1\t2"});
    MODULE21::ReadActiveGrid();
    ASSERT_EQ(SampleCount, 3);
    MODULE21::NormalizeTernary();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Division by zero");
    EXPECT_EQ(host->boxes[0].title, "Error Converting Data");
    EXPECT_FLOAT_EQ(XValues(1), 25);
    EXPECT_FLOAT_EQ(XValues(2), 1);
    EXPECT_FLOAT_EQ(YValues(2), -1);
    EXPECT_FLOAT_EQ(XValues(3), 1);
    EXPECT_EQ(DataTable(5, 2), "1");
    EXPECT_EQ(MsgBoxAnswer, qvrt::vbOK);
}

TEST_F(NormalizeTest, QapfGivesThePlagioclaseRatioAndLeavesTheTable) {
    fill({"h", "1\tx\t1\t1\t60\t30\t10", "2\ty\t1\t1\t5\t0\t0"});
    MODULE21::ReadActiveGrid();
    MODULE21::NormalizeQAPF();
    EXPECT_FLOAT_EQ(PlagRatio(1), 25);
    EXPECT_FLOAT_EQ(PlagRatio(2), 0);
    EXPECT_FLOAT_EQ(XValues(1), 60);
    EXPECT_FLOAT_EQ(XValues(2), 100);
    EXPECT_EQ(DataTable(5, 1), "60");
}

TEST_F(NormalizeTest, QapfWithAZeroRatioDenominatorReportsThatSample) {
    fill({"h", "1\tx\t1\t1\t5\t-1\t1"});
    MODULE21::ReadActiveGrid();
    MODULE21::NormalizeQAPF();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Error Calculating Data");
    EXPECT_EQ(host->boxes[0].prompt, "Division by zero");
}

TEST_F(NormalizeTest, NormalisingAfterAWriteFindsTheArraysErasedAndSaysSo) {
    fill({"h", "1\tx\t1\t1\t1\t1\t1"});
    MODULE21::ReadActiveGrid();
    MODULE21::WriteTableToGrid();
    host->boxes.clear();
    MODULE21::NormalizeTernary();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Subscript out of range");
    EXPECT_EQ(host->boxes[0].title, "Error Converting Data");
}

class WriteBackTest : public CommandsTest {};

TEST_F(WriteBackTest, CoordinatesGoIntoANewModifiedSheetAndTheSourceStays) {
    fill({"S\tN\tSym\tCol\tA\tB\tC", "1\tgranite\t1\t1\t1\t1\t1"});
    Main1* source = sheet;
    MODULE21::ReadActiveGrid();
    MODULE21::NormalizeTernary();
    MODULE21::WriteCoordinates();
    Main1* made = active();
    ASSERT_NE(made, source);
    EXPECT_EQ(rowText(1, 7, made), "S\tN\tSym\tCol\tA\tB\tC");
    EXPECT_EQ(rowText(2, 8, made), "1\tgranite\t1\t1\t33.33\t33.33\t33.33\t");
    EXPECT_EQ(made->Record().Modified, -1);
    EXPECT_EQ(made->Record().DiagramType, "Not Defined");
    EXPECT_EQ(rowText(2, 7, source), "1\tgranite\t1\t1\t1\t1\t1");
    EXPECT_EQ(source->Record().Modified, 0);
    EXPECT_TRUE(grid(source).ReDraw());
    EXPECT_TRUE(DataTable.Erased());
    EXPECT_EQ(XValues.Bound(), -1);
}

TEST_F(WriteBackTest, WritingCoordinatesTwiceOpensNoSecondSheet) {
    fill({"h", "1\tx\t1\t1\t1\t1\t1"});
    MODULE21::ReadActiveGrid();
    MODULE21::WriteCoordinates();
    const auto sheets = frame->mdiArea()->subWindowList().size();
    MODULE21::WriteCoordinates();
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), sheets);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Load Grid Error");
}

TEST_F(WriteBackTest, SymbolsGoBackIntoTheRowsTheyCameFromAndRowsWithoutComponentsStayAsTheyWere) {
    AutoSymbols = -1;
    fill({"h", "1\tx\t\t\t1\t1\t1", "gap\tof\t\t\t0\t0\t0", "", "3\ty\t\t\t1\t1\t1"});
    MODULE21::ReadActiveGrid();
    MODULE21::WriteTableToGrid(true);
    EXPECT_EQ(rowText(2, 4), "1\tx\t1\t1");
    EXPECT_EQ(rowText(3, 4), "gap\tof\t\t");
    EXPECT_EQ(rowText(4, 4), "\t\t\t");
    EXPECT_EQ(rowText(5, 4), "3\ty\t2\t1");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_TRUE(DataTable.Erased());
    EXPECT_EQ(FValues.Bound(), 3);  // not erased
}
