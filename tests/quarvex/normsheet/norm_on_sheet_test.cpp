// The norms on a real data sheet: reading the oxide cells through the data
// table, the result sheet, the program arrays they fill, and bad input.
#include "quarvex/normsheet/norm_sheet_fixture.h"

#include "quarvex/runtime/basic.h"

#include <cmath>

using namespace normsheet;
using quarvex::Main1;

namespace {

class NormOnSheetRead : public NormOnSheet {
protected:
    // What a norm command does after its questions, standard norm.
    void RunStandard(int mode) {
        NORM3B::StoreOxideLayout(norm::kExtendedLayout);
        MODULE21::ReadActiveGrid();
        NORM3B::CalcNorm(mode);
        if (quarvex::DialogCancelled != -1) NORM3B::ShowNormSheet();
    }
    void RunExtended(int mode) {
        NORM3B::StoreOxideLayout(norm::kExtendedLayout);
        MODULE21::ReadActiveGrid();
        NORM3B::CalcNormExtended(mode);
        if (quarvex::DialogCancelled != -1) NORM3B::ShowNormSheet();
    }
    // Column of the first result heading with this text in the result sheet.
    int ResultColumn(const QString& heading) const {
        for (int c = 5; c <= 50; ++c)
            if (newest()->Grid1->GetText(c, 1) == heading) return c;
        return 0;
    }
};

TEST_F(NormOnSheetRead, TheBasaltGivesItsNormInANewSheetUnderTheSourceHeadings) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt, "basalt");
    RunStandard(2);
    ASSERT_EQ(sheetCount(), 2);
    Main1* result = newest();
    EXPECT_EQ(active(), result);
    EXPECT_EQ(RowTexts(result, 1, 1, 4), (QStringList{"Sample #", "Rockname", "Symbol", "Color"}));
    EXPECT_EQ(RowTexts(result, 1, 5, 20), kBasaltHeadings);
    EXPECT_EQ(RowTexts(result, 2, 5, 20), kBasaltTexts);
    // The sample keeps its number; its name cell is left for a rock name.
    EXPECT_EQ(result->Grid1->GetText(1, 2), "1");
    EXPECT_EQ(result->Grid1->GetText(2, 2), QString());
    EXPECT_EQ(result->Grid1->GetText(21, 1), QString());
    EXPECT_EQ(result->Grid1->GetText(21, 2), QString());
    EXPECT_EQ(result->Grid1->GetText(1, 3), QString());
}

TEST_F(NormOnSheetRead, TheSourceSheetIsLeftAsItWas) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt, "basalt");
    WriteAnalysis(2, kBasalt, "second basalt");
    const QByteArray before = grid->TabFileBytes();
    const int16_t modifiedBefore = source->Record().Modified;
    RunStandard(3);
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_EQ(grid->TabFileBytes(), before);
    EXPECT_EQ(source->Record().Modified, modifiedBefore);
}

TEST_F(NormOnSheetRead, TheResultSheetIsMarkedModifiedAndLeftReadyForEditing) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt);
    WriteAnalysis(2, kBasalt);
    RunStandard(2);
    Main1* result = newest();
    EXPECT_EQ(result->Record().Modified, -1);
    EXPECT_EQ(result->Record().DiagramType, "Not Defined");
    EXPECT_TRUE(result->Grid1->ReDraw());
    EXPECT_EQ(quarvex::GridBusy, 0);
    EXPECT_EQ(NORM3B::SampleIndex, 3);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    EXPECT_TRUE(host->boxes.empty());
}

// Components: Q, or, an + ab, lc + ne; the mafic sum is
// hy 15.26 + di 14.77 + ol 1.98 + mt 4.05 + il 2.62 + ap 0.75 = 39.43.
TEST_F(NormOnSheetRead, TheNormLeavesComponentsAndMaficInputsForTheClassifiers) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt);
    RunStandard(2);
    EXPECT_NEAR(quarvex::XValues(1), 0.0, 1e-6);
    EXPECT_NEAR(quarvex::YValues(1), 6.64, 0.006);
    EXPECT_NEAR(quarvex::ZValues(1), 53.93, 0.01);
    EXPECT_NEAR(quarvex::FValues(1), 0.0, 1e-6);
    ASSERT_EQ(NORM3B::MaficInputs.MaficPercent.size(), 2u);
    EXPECT_NEAR(NORM3B::MaficInputs.MaficPercent[1], 39.43, 0.02);
    EXPECT_NEAR(NORM3B::MaficInputs.AnorthitePercent[1], 27.23, 0.006);
    EXPECT_NEAR(NORM3B::MaficInputs.OlivinePercent[1], 1.98, 0.006);
}

// A first sample with ten empty cells by column 14 makes the sheet read
// stop at column 14, before P2O5 (15) and the extended oxides (19 to 24).
void WriteDuniteWithGaps(qvrt::SpreadGrid* grid) {
    grid->SetText(5, 2, "41");
    grid->SetText(7, 2, "1");
    grid->SetText(9, 2, "9");
    grid->SetText(11, 2, "49");
}

TEST_F(NormOnSheetRead, TheStandardNormReadsOxideColumnsBeyondThoseTheSheetReadTook) {
    WriteHeadings();
    WriteDuniteWithGaps(grid);
    WriteAnalysis(2, kBasalt);
    RunStandard(2);
    ASSERT_EQ(quarvex::HeadingCount, 25);  // every column with text
    const int ap = ResultColumn("ap");
    ASSERT_NE(ap, 0);
    EXPECT_EQ(newest()->Grid1->GetText(ap, 3), "0.75");
    EXPECT_EQ(newest()->Grid1->GetText(ResultColumn("an"), 3), "27.23");
}

TEST_F(NormOnSheetRead, TheExtendedNormReadsZirconiaBeyondThoseTheSheetReadTook) {
    WriteHeadings();
    WriteDuniteWithGaps(grid);
    WriteAnalysis(2, kBasalt);
    grid->SetText(24, 3, "0.05");
    RunExtended(2);
    ASSERT_EQ(quarvex::HeadingCount, 25);
    const int zn = ResultColumn("zn");
    ASSERT_NE(zn, 0);
    EXPECT_GT(qvrt::Val(newest()->Grid1->GetText(zn, 3)), 0.0);
    EXPECT_EQ(newest()->Grid1->GetText(zn, 2), "0.00");
}

TEST_F(NormOnSheetRead, TextInOxideCellsCountsAsZero) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt);
    grid->SetText(10, 2, "n.d.");   // MnO
    grid->SetText(15, 2, "<0.05");  // P2O5
    RunStandard(2);
    const QStringList withText = RowTexts(newest(), 2, 5, 25);
    source->SetFocus();
    grid->SetText(10, 2, "0");
    grid->SetText(15, 2, "0");
    RunStandard(2);
    EXPECT_EQ(withText, RowTexts(newest(), 2, 5, 25));
    EXPECT_NE(RowTexts(newest(), 1, 5, 5), QStringList{"ap"});
}

TEST_F(NormOnSheetRead, AnalysesFarFromAHundredPercentGiveTheSameMolarNorm) {
    Analysis doubled = kBasalt;
    for (double& v : doubled) v *= 2;
    WriteHeadings();
    WriteAnalysis(1, doubled);
    RunStandard(2);
    EXPECT_EQ(RowTexts(newest(), 2, 5, 20), kBasaltTexts);
}

// In the weight norm the total is the analysis less its water:
// 2 x (99.84 - 0.95 - 0.43) = 196.92.
TEST_F(NormOnSheetRead, TheWeightNormTotalsTheAnhydrousAnalysisWhateverItsSum) {
    Analysis doubled = kBasalt;
    for (double& v : doubled) v *= 2;
    WriteHeadings();
    WriteAnalysis(1, doubled);
    RunStandard(3);
    EXPECT_EQ(newest()->Grid1->GetText(ResultColumn("Total"), 2), "196.92");
}

// A row without any oxide value is no analysis: it gets no norm made from
// nothing, and the analyses after it keep theirs.
TEST_F(NormOnSheetRead, ARowWithoutOxideValuesIsLeftOutAndTheAnalysesAfterItAreNormed) {
    WriteHeadings();
    WriteAnalysis(1, kBasalt);
    WriteAnalysis(2, Analysis{});
    WriteAnalysis(4, kBasalt);
    RunStandard(2);
    EXPECT_EQ(quarvex::SampleCount, 2);
    EXPECT_EQ(RowTexts(newest(), 2, 5, 20), kBasaltTexts);
    EXPECT_EQ(RowTexts(newest(), 3, 5, 20), kBasaltTexts);
    EXPECT_EQ(newest()->Grid1->GetText(5, 4), QString());
}

// Negative oxides are computed as they stand (they give negative minerals
// and A-M-F values beyond 100), but never an infinity or NaN.
TEST_F(NormOnSheetRead, NegativeOxidesAreComputedToFiniteNumbers) {
    WriteHeadings();
    Analysis odd = kBasalt;
    odd[6] = -6.73;  // MgO
    odd[8] = -2.91;  // Na2O
    WriteAnalysis(1, kBasalt);
    WriteAnalysis(2, odd);
    RunStandard(2);
    EXPECT_TRUE(host->boxes.empty());
    ASSERT_EQ(sheetCount(), 2);
    for (int row = 2; row <= 3; ++row) {
        for (const QString& text : RowTexts(newest(), row, 5, 4 + NORM3B::NormResultCols)) {
            EXPECT_TRUE(std::isfinite(qvrt::Val(text))) << row << " " << text.toStdString();
            EXPECT_FALSE(text.contains("nan", Qt::CaseInsensitive) || text.contains("inf", Qt::CaseInsensitive));
        }
    }
    EXPECT_EQ(newest()->Grid1->GetText(ResultColumn("an"), 2), "27.23");
}

TEST_F(NormOnSheetRead, AResultLongerThanANewSheetKeepsEveryRow) {
    constexpr int kSamples = 15100;
    grid->setMaxRows(kSamples + 1);
    WriteHeadings();
    for (int i = 1; i <= kSamples; ++i) WriteAnalysis(i, kBasalt);
    RunStandard(2);
    ASSERT_EQ(quarvex::SampleCount, kSamples);
    EXPECT_EQ(newest()->Grid1->MaxRows(), kSamples + 1);
    EXPECT_EQ(RowTexts(newest(), kSamples + 1, 5, 20), kBasaltTexts);
    EXPECT_EQ(newest()->Grid1->GetText(1, kSamples + 1), QString::number(kSamples));
}

}  // namespace
