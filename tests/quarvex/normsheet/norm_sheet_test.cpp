// The norm procedures on a data table: reading the oxide columns, the
// result texts and headings, failure reports, and the result sheet.
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/norm/norm_test_support.h"
#include "quarvex/normsheet/fake_norm_sheet.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/state/reset.h"

#include <gtest/gtest.h>

namespace {

using namespace normtest;

class NormSheet : public ::testing::Test {
protected:
    void SetUp() override {
        host = &qvrt::InstallScriptedHost();
        quarvex::ResetProgramState();
        NORM3B::SetSheetIO(&sheet);
        sheet.headings = {"", "Sample #", "Rockname", "Symbol", "Color"};
    }
    void TearDown() override { NORM3B::SetSheetIO(nullptr); }

    // One sample row in the short oxide layout, with its name.
    void AddShortRow(const norm::StandardInputs& rock, const QString& name) {
        NORM3B::StoreOxideLayout(norm::kShortLayout);
        const int r = sheet.AddSample();
        sheet.table[r][1] = QString::number(r);
        sheet.table[r][2] = name;
        for (int entry = 1; entry <= 13; ++entry) {
            sheet.table[r][NORM3B::OxideColumns[entry]] = QString::number(rock[entry - 1]);
        }
    }

    qvrt::ScriptedHost* host = nullptr;
    FakeNormSheet sheet;
};

TEST_F(NormSheet, StandardNormWritesHeadingsAndTwoDecimalTextsFromColumnFive) {
    AddShortRow(kBasalt, "basalt");
    NORM3B::CalcNorm(2);
    EXPECT_EQ(sheet.ResultHeadings(), (QStringList{"ap", "or", "ab", "an", "il", "mt", "ol", "di", "hy", "Total",
                                                   "A", "M", "F", "Q", "M", "L"}));
    QStringList texts;
    for (int c = 5; c <= 20; ++c) texts << sheet.table[1][c];
    EXPECT_EQ(texts, (QStringList{"0.75", "6.64", "26.70", "27.23", "2.62", "4.05", "1.98", "14.77", "15.26",
                                  "100.00", "18.16", "30.48", "51.36", "48.06", "22.88", "29.06"}));
    EXPECT_EQ(NORM3B::NormResultCols, 16);
    EXPECT_EQ(NORM3B::NormResultRows, 1);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(NormSheet, StandardNormEmptiesTheNameCellAndKeepsTheFirstFourColumns) {
    AddShortRow(kBasalt, "basalt");
    NORM3B::CalcNorm(3);
    EXPECT_EQ(sheet.table[1][2], QString());
    EXPECT_EQ(sheet.table[1][1], QStringLiteral("1"));
}

TEST_F(NormSheet, StandardNormLeavesComponentsMaficInputsAndSampleArrays) {
    AddShortRow(kGranite, "granite");
    AddShortRow(kBasalt, "basalt");
    NORM3B::CalcNorm(2);
    ASSERT_EQ(sheet.components.size(), 2u);
    EXPECT_NEAR(sheet.components[1][0], 27.46, 0.006);  // Q
    EXPECT_NEAR(sheet.components[2][2], 53.93, 0.01);   // ab + an
    ASSERT_EQ(sheet.anorthitePercent.size(), 3u);
    EXPECT_NEAR(sheet.anorthitePercent[2], 27.23, 0.006);
    ASSERT_EQ(NORM3B::NormSampleArrays.PyroxenePercent.size(), 3u);
    EXPECT_NEAR(NORM3B::NormSampleArrays.PyroxenePercent[2], 30.03, 0.01);
    EXPECT_EQ(sheet.sampleIndex, 3);
}

TEST_F(NormSheet, ACompletedNormClearsTheIronRatioFlagAndUsesTheRatio) {
    AddShortRow(kBasalt, "basalt");
    NORM3B::IronRatioSet = -1;
    NORM3B::IronRatio = 0.0f;
    NORM3B::CalcNorm(2);
    EXPECT_EQ(NORM3B::IronRatioSet, 0);
    EXPECT_TRUE(sheet.ResultHeadings().contains("hm"));
}

TEST_F(NormSheet, TextInAnOxideCellReadsAsZero) {
    AddShortRow(kBasalt, "basalt");
    sheet.table[1][10] = "n.d.";  // MnO
    NORM3B::CalcNorm(2);
    norm::StandardInputs noMn = kBasalt;
    noMn[5] = 0;
    norm::NormRun direct = norm::CalcStandardNorm({noMn}, 2, {});
    EXPECT_EQ(sheet.table[1][13], QString::number(*Item(direct, 1, "hy"), 'f', 2));  // hy is the 9th item
}

TEST_F(NormSheet, AFailedStandardNormIsReportedAndChangesNoTexts) {
    AddShortRow(kBasalt, "basalt");
    norm::StandardInputs silica{};
    silica[0] = 99;
    AddShortRow(silica, "chert");
    NORM3B::IronRatioSet = -1;
    const auto before = sheet.headings;
    NORM3B::CalcNorm(2);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Check for incorrect data");
    EXPECT_EQ(host->boxes[0].style, 48);
    EXPECT_EQ(host->boxes[0].title, "Error Calculating Norm");
    EXPECT_EQ(sheet.dialogCancelled, -1);
    EXPECT_EQ(sheet.headings, before);
    EXPECT_EQ(sheet.table[1][5], QString::number(kBasalt[0]));  // SiO2 still there
    EXPECT_EQ(NORM3B::IronRatioSet, -1);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(NormSheet, ANumberTooLargeForTheRuntimeIsReportedAsAFailure) {
    AddShortRow(kBasalt, "basalt");
    sheet.table[1][5] = "1E400";
    NORM3B::CalcNorm(2);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Error Calculating Norm");
    EXPECT_EQ(sheet.dialogCancelled, -1);
}

TEST_F(NormSheet, ARowWithoutAnAnalysisShowsEmptyResultCells) {
    AddShortRow(kBasalt, "basalt");
    AddShortRow(norm::StandardInputs{}, "blank");
    AddShortRow(kGranite, "granite");
    NORM3B::CalcNorm(2);
    EXPECT_EQ(NORM3B::NormResultRows, 3);
    for (int c = 5; c < 5 + NORM3B::NormResultCols; ++c) EXPECT_EQ(sheet.table[2][c], QString()) << c;
    EXPECT_EQ(sheet.table[3][5], "27.46");  // the granite's quartz
}

TEST_F(NormSheet, AnEmptyTableGivesNoResultAndNoMessage) {
    NORM3B::StoreOxideLayout(norm::kShortLayout);
    NORM3B::CalcNorm(2);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(NORM3B::NormResultRows, 0);
    EXPECT_EQ(NORM3B::NormResultCols, 0);
}

TEST_F(NormSheet, MoreThanFifteenThousandSamplesAreAllComputed) {
    for (int i = 0; i < 15001; ++i) AddShortRow(kBasalt, "b");
    NORM3B::CalcNorm(2);
    EXPECT_EQ(NORM3B::NormResultRows, 15001);
    EXPECT_EQ(sheet.table[15001][7], "26.70");
}

// Extended layout: SiO2 .. K2O in 5 to 14, P2O5 15, H2O 16 and 17, CO2 18,
// Cl 19, F 20, S 21, SO3 22, Cr2O3 23, ZrO2 24.
TEST_F(NormSheet, ExtendedNormReadsEveryColumnUpToZirconia) {
    NORM3B::StoreOxideLayout(norm::kExtendedLayout);
    const int r = sheet.AddSample();
    const double values[] = {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73, 9.47, 2.91, 1.10, 0.35};
    for (int c = 5; c <= 15; ++c) sheet.table[r][c] = QString::number(values[c - 5]);
    sheet.table[r][24] = "0.03";
    NORM3B::CalcNormExtended(2);
    ASSERT_TRUE(sheet.ResultHeadings().contains("zn"));
    EXPECT_EQ(sheet.ResultHeadings().last(), "Total");
    EXPECT_EQ(NORM3B::IronRatioSet, 0);
}

TEST_F(NormSheet, AFailedExtendedNormIsReportedLikeTheStandardNorm) {
    NORM3B::StoreOxideLayout(norm::kExtendedLayout);
    const int r = sheet.AddSample();
    sheet.table[r][5] = "50";
    sheet.table[r][11] = "1E39";  // MgO beyond single precision
    NORM3B::CalcNormExtended(3);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Check for incorrect data");
    EXPECT_EQ(host->boxes[0].title, "Error Calculating Norm");
    EXPECT_EQ(sheet.dialogCancelled, -1);
    EXPECT_EQ(NORM3B::NormResultCols, 39);
}

TEST_F(NormSheet, TheShortLayoutKeepsTheExtendedEntriesItDoesNotSet) {
    NORM3B::StoreOxideLayout(norm::kExtendedLayout);
    NORM3B::StoreOxideLayout(norm::kShortLayout);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxZrO2], 24);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxP2O5], 15);
    EXPECT_EQ(NORM3B::OxideTotalColumn, 19);
}

class NormResultSheet : public NormSheet {};

TEST_F(NormResultSheet, WritesHeadingsInRowOneAndEachSampleBelow) {
    AddShortRow(kBasalt, "basalt");
    AddShortRow(kGranite, "granite");
    NORM3B::CalcNorm(2);
    NORM3B::ShowNormSheet();
    EXPECT_EQ(sheet.newSheets, 1);
    EXPECT_EQ(sheet.Grid(1, 1), "Sample #");
    EXPECT_EQ(sheet.Grid(5, 1), "Q");
    EXPECT_EQ(sheet.Grid(1, 3), "2");
    EXPECT_EQ(sheet.Grid(5, 3), "27.46");
    EXPECT_EQ(sheet.Grid(5, 2), "0.00");
    EXPECT_EQ(sheet.Grid(4 + NORM3B::NormResultCols + 1, 1), QString());
    // The headings are typed in through the current cell, which ends on the last.
    EXPECT_EQ(sheet.currentCell, std::make_pair(4 + NORM3B::NormResultCols, 1));
    EXPECT_TRUE(sheet.modified);
    EXPECT_TRUE(sheet.redraw);
    EXPECT_EQ(sheet.gridLoading, 0);
    EXPECT_EQ(sheet.sampleIndex, 3);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(NormResultSheet, NoRowsWritesOnlyTheHeadingRow) {
    NORM3B::NormResultRows = 0;
    NORM3B::NormResultCols = 0;
    NORM3B::ShowNormSheet();
    EXPECT_EQ(sheet.grid.size(), 4u);
    EXPECT_EQ(sheet.Grid(4, 1), "Color");
    EXPECT_EQ(sheet.sampleIndex, 1);
}

TEST_F(NormResultSheet, AnErrorIsReportedAndTheRowsWrittenSoFarStay) {
    AddShortRow(kBasalt, "basalt");
    AddShortRow(kGranite, "granite");
    NORM3B::CalcNorm(2);
    sheet.failAtRow = 3;
    NORM3B::ShowNormSheet();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Load Grid Error");
    EXPECT_EQ(host->boxes[0].style, 48);
    EXPECT_EQ(host->boxes[0].prompt, QString::fromStdString(qvrt::ErrorText(qvrt::ErrSubscript)));
    EXPECT_EQ(sheet.Grid(8, 2), "26.70");  // ab of the basalt
    EXPECT_FALSE(sheet.redraw);
    EXPECT_FALSE(sheet.modified);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

}  // namespace
