#include "commands_fixture.h"

#include "quarvex/normsheet/norm3b.h"
#include "quarvex/sheets/heading_sets.h"

#include <QAction>
#include <QLabel>

using namespace quarvex;
namespace HS = quarvex::HeadingSets;

class HeadingSetTest : public CommandsTest {
protected:
    // Row 1, columns 1..n.
    QString headings(int n = 10) const { return rowText(1, n); }
    QString type() const { return sheet->Record().DiagramType; }
    QString panel() const { return frame->Panel3D1->text(); }
};

TEST_F(HeadingSetTest, TernaryWritesTheSevenHeadingsAndClearsTheRest) {
    fill({"a\tb\tc\td\te\tf\tg\th\ti", "1\t2\t3"});
    frame->mnuUndo->setEnabled(true);
    HS::InsertTernary();
    EXPECT_EQ(headings(9), "Sample #\tName\tSymbol\tColor\tTop\tLeft\tRight\t\t");
    EXPECT_EQ(type(), "Ternary");
    EXPECT_EQ(panel(), "Ternary");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(rowText(2, 3), "1\t2\t3");
    // New headings are a change: closing the sheet asks to save it.
    EXPECT_EQ(sheet->Record().Modified, -1);
}

TEST_F(HeadingSetTest, XYClearsTheRightColumnAndWritesNothingThere) {
    fill({"a\tb\tc\td\te\tf\tg"});
    HS::InsertXY();
    EXPECT_EQ(headings(7), "Sample #\tName\tSymbol\tColor\tX\tY\t");
    EXPECT_EQ(type(), "XY Plot");
}

TEST_F(HeadingSetTest, DiamondAddsBottomWithoutClearingAndLeavesUndo) {
    grid().SetText(12, 1, "keep");
    frame->mnuUndo->setEnabled(true);
    HS::InsertDiamond();
    EXPECT_EQ(headings(8), "Sample #\tName\tSymbol\tColor\tTop\tLeft\tRight\tBottom");
    EXPECT_EQ(cell(12, 1), "keep");
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(panel(), "Diamond Plot");
}

TEST_F(HeadingSetTest, ARoleWithoutAColumnGetsNoHeadingAndZColZeroNoFourth) {
    SymbolCol = 0;
    ZCol = 0;
    HS::InsertDiamond();
    EXPECT_EQ(headings(8), "Sample #\tName\t\tColor\tTop\tLeft\t\t");
}

TEST_F(HeadingSetTest, TheLaterRoleWinsASharedColumn) {
    XCol = 1;
    HS::InsertTernary();
    EXPECT_EQ(cell(1, 1), "Top");
}

struct FamilyCase {
    void (*insert)(const int16_t&);
    int16_t selector;
    const char* type;
    const char* row1;  // columns 1..8
};

class HeadingFamilyTest : public HeadingSetTest, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(HeadingFamilyTest, WritesItsTypeAndHeadings) {
    const FamilyCase& c = GetParam();
    c.insert(c.selector);
    EXPECT_EQ(type(), c.type);
    EXPECT_EQ(panel(), c.type);
    EXPECT_EQ(headings(8), c.row1);
    EXPECT_EQ(sheet->Record().Modified, -1);
}

INSTANTIATE_TEST_SUITE_P(
    EveryClassificationDiagram, HeadingFamilyTest,
    ::testing::Values(
        FamilyCase{HS::InsertPlutonic, 0, "QAPF-Plutonic", "Sample #\tRockname\tSymbol\tColor\tQ\tA\tP\tF"},
        FamilyCase{HS::InsertPlutonic, 1, "QAP-Plutonic", "Sample #\tRockname\tSymbol\tColor\tQ\tA\tP\t"},
        FamilyCase{HS::InsertPlutonic, 2, "FAP-Plutonic", "Sample #\tRockname\tSymbol\tColor\tF\tA\tP\t"},
        FamilyCase{HS::InsertVolcanic, 0, "QAPF-Volcanic", "Sample #\tRockname\tSymbol\tColor\tQ\tA\tP\tF"},
        FamilyCase{HS::InsertVolcanic, 1, "QAP-Volcanic", "Sample #\tRockname\tSymbol\tColor\tQ\tA\tP\t"},
        FamilyCase{HS::InsertVolcanic, 2, "FAP-Volcanic", "Sample #\tRockname\tSymbol\tColor\tF\tA\tP\t"},
        FamilyCase{HS::InsertVolcanic, 3, "TAS-Volcanic",
                   "Sample #\tRockname\tSymbol\tColor\tSiO2\tK2O + Na2O\t\t"},
        FamilyCase{HS::InsertGabbroic, 1, "PlagPxOl-Gabbroic", "Sample #\tRockname\tSymbol\tColor\tP\tPx\tOl\t"},
        FamilyCase{HS::InsertGabbroic, 2, "PlagPxHbl-Gabbroic", "Sample #\tRockname\tSymbol\tColor\tP\tPx\tHbl\t"},
        FamilyCase{HS::InsertGabbroic, 3, "PlagOPxCPx-Gabbroic",
                   "Sample #\tRockname\tSymbol\tColor\tP\tOPx\tCPx\t"},
        FamilyCase{HS::InsertUltramafic, 1, "OlOpxCpx-UMafic", "Sample #\tRockname\tSymbol\tColor\tOl\tOPx\tCPx\t"},
        FamilyCase{HS::InsertUltramafic, 2, "OlPxHbl-UMafic", "Sample #\tRockname\tSymbol\tColor\tOl\tPx\tHbl\t"},
        FamilyCase{HS::InsertMelilite, 1, "Melilite-Plutonic", "Sample #\tRockname\tSymbol\tColor\tMel\tOl\tCPx\t"},
        FamilyCase{HS::InsertMelilite, 2, "Melilite-Volcanic", "Sample #\tRockname\tSymbol\tColor\tMel\tOl\tCPx\t"},
        FamilyCase{HS::InsertCharnockite, 1, "Carbonatites",
                   "Sample #\tRockname\tSymbol\tColor\tCaO\tMgO\tFeO+Fe2O3+MnO\t"},
        FamilyCase{HS::InsertCharnockite, 2, "Charnockites", "Sample #\tRockname\tSymbol\tColor\tQ\tA\tP\t"},
        FamilyCase{HS::InsertSandstone, 1, "Sandstones",
                   "Sample #\tRockname\tSymbol\tColor\tQuartz\tClay\tFeldspar\t"},
        FamilyCase{HS::InsertSandstone, 2, "Arenites", "Sample #\tRockname\tSymbol\tColor\tQuartz\tFelds\tRF\t"},
        FamilyCase{HS::InsertSandstone, 3, "Wackes", "Sample #\tRockname\tSymbol\tColor\tQuartz\tFelds\tRF\t"}));

TEST_F(HeadingSetTest, AnUnknownSelectorLeavesRowOneClearedAndTheTypeAlone) {
    fill({"a\tb"});
    HS::InsertGabbroic(0);
    EXPECT_EQ(headings(2), "\t");
    EXPECT_EQ(type(), "Not Defined");
}

TEST_F(HeadingSetTest, MeliliteWithAnUnknownSelectorKeepsItsHeadingsButNoType) {
    HS::InsertMelilite(7);
    EXPECT_EQ(headings(7), "Sample #\tRockname\tSymbol\tColor\tMel\tOl\tCPx");
    EXPECT_EQ(type(), "Not Defined");
}

TEST_F(HeadingSetTest, TasNeverWritesIntoColumnZeroAndSilicaWinsASharedColumn) {
    XCol = 0;
    HS::InsertVolcanic(3);
    EXPECT_EQ(cell(6, 1), "K2O + Na2O");
    EXPECT_EQ(cell(0, 1), "");
    XCol = 6;
    HS::InsertVolcanic(3);
    EXPECT_EQ(cell(6, 1), "SiO2");
}

TEST_F(HeadingSetTest, TheFourthHeadingOfZColFiftyGoesNowhere) {
    ZCol = 50;
    HS::InsertPlutonic(0);
    EXPECT_EQ(cell(50, 1), "P");
    EXPECT_EQ(grid().MaxCols(), 50);
}

TEST_F(HeadingSetTest, TheStandardOxideSetLaysOutColumnsFiveToNineteen) {
    frame->mnuUndo->setEnabled(true);
    HS::InsertOxide();
    EXPECT_EQ(rowText(1, 20),
              "Sample #\tRockname\tSymbol\tColor\tSiO2\tTiO2\tAl2O3\tFe2O3\tFeO\tMnO\tMgO\tCaO\tNa2O\tK2O\t"
              "P2O5\tH2O+\tH2O-\tCO2\tTotal\t");
    EXPECT_EQ(type(), "Ternary");
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxSiO2], 5);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxP2O5], 15);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxH2OPlus], 16);
    EXPECT_EQ(NORM3B::OxideTotalColumn, 19);
    EXPECT_EQ(sheet->Record().Modified, -1);
}

TEST_F(HeadingSetTest, TheExtendedOxideSetReachesColumnTwentyFiveAndDisablesUndo) {
    frame->mnuUndo->setEnabled(true);
    HS::InsertOxideExtended();
    EXPECT_EQ(rowText(1, 26).section(u'\t', 17),
              "CO2\tCL\tF\tS\tSO3\tCR2O3\tZRO2\tTotal\t");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxZrO2], 24);
    EXPECT_EQ(NORM3B::OxideTotalColumn, 25);
}

TEST_F(HeadingSetTest, TheStandardSetAfterTheExtendedLeavesNoOxideOnTheTotalColumn) {
    HS::InsertOxideExtended();
    HS::InsertOxide();
    EXPECT_EQ(NORM3B::OxideTotalColumn, 19);
    for (int e = norm::OxCl; e <= norm::OxZrO2; ++e) EXPECT_EQ(NORM3B::OxideColumns[e], 0) << e;
}

TEST_F(HeadingSetTest, HeadingSetsDoNothingWithoutADataSheet) {
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frame->Panel3D1->setText("before");
    HS::InsertTernary();
    HS::InsertDiamond();
    HS::InsertOxideExtended();
    HS::InsertMelilite(1);
    EXPECT_EQ(panel(), "before");
    EXPECT_EQ(NORM3B::OxideTotalColumn, 0);
}
