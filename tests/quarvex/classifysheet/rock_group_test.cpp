// "Classify Rock Group" and the classification run on modal sheets: the
// question, the dispatcher table, the Mafics dialog and the new sheet.
#include "classify_sheet_fixture.h"

#include "quarvex/classifysheet/classification_run.h"
#include "quarvex/classifysheet/dispatchers.h"
#include "quarvex/state/classify_state.h"
#include "quarvex/state/data_table.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

using namespace classifysheet;
using quarvex::RockClassification::ClassifyRockGroup;

namespace {

class RockGroup : public ClassifySheet {};

TEST_F(RockGroup, NamesAQapPlutonicSheetByTheQapfRulesIntoANewSheet) {
    quarvex::HeadingSets::InsertPlutonic(1);
    WriteRows({{30, 30, 40}, {40, 48, 12}, {20, 5, 75}});
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Select a Rockgroup");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbOKCancel + qvrt::vbQuestion);
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_EQ(Row(newest(), 2, 5, 7), (QStringList{"30.00", "30.00", "57.14"}));
    EXPECT_EQ(Cell(newest(), 2, 2), "Monzogranite");
    EXPECT_EQ(Cell(newest(), 2, 3), "Syenogranite");
    EXPECT_EQ(Cell(newest(), 2, 4), "old name");  // Q exactly 20 with P above 65: no field
    EXPECT_EQ(Cell(source, 5, 2), "30");
    EXPECT_EQ(Cell(source, 2, 2), "old name");
}

TEST_F(RockGroup, AsksForTheMaficsOfTheRowThatNeedsThemAndIgnoreTakes30) {
    quarvex::HeadingSets::InsertPlutonic(0);
    WriteRows({{30, 30, 40}, {40, 48, 12}, {2, 10, 88}, {2, 10, 88}});
    QStringList captions;
    std::vector<std::array<float, 3>> stored;
    quarvex::Mafics::RunModal = [&](quarvex::Mafics& d) {
        captions << d.Frame1->title();
        d.SSCommand1[2]->click();
        const auto& m = NORM3B::MaficInputs;
        const auto row = static_cast<size_t>(quarvex::MaficsRow);
        stored.push_back({m.MaficPercent[row], m.AnorthitePercent[row], m.OlivinePercent[row]});
    };
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    ASSERT_EQ(captions.size(), 2);
    EXPECT_EQ(captions[0], "One or more of the following are required for Row # 4");
    EXPECT_EQ(stored[0], (std::array<float, 3>{30, 0, 0}));
    EXPECT_EQ(Cell(newest(), 2, 4), "Monzodiorite");
    EXPECT_EQ(NORM3B::MaficInputs.MaficPercent.size(), 1u);  // shrunk when the run ends
}

TEST_F(RockGroup, OkStoresTheEntriesAndIgnoreAllAsksNoMore) {
    quarvex::HeadingSets::InsertPlutonic(0);
    WriteRows({{2, 10, 88}, {2, 10, 88}, {2, 10, 88}});
    int asked = 0;
    quarvex::Mafics::RunModal = [&](quarvex::Mafics& d) {
        if (++asked == 1) {
            d.Text1[0]->setText("20");
            d.Text1[1]->setText("60");
            d.SSCommand1[0]->click();
        } else {
            d.SSCommand1[1]->click();
        }
    };
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(Row(newest(), 2, 2, 2).front(), "Monzogabbro");
    EXPECT_EQ(Cell(newest(), 2, 3), "Monzodiorite");
    EXPECT_EQ(Cell(newest(), 2, 4), "Monzodiorite");
    // The next run asks again (and is answered Ignore All at once).
    host->msgBoxAnswers = {qvrt::vbOK};
    source->setFocus();
    quarvex::TheFrame()->ActivateChild(source);
    ClassifyRockGroup();
    EXPECT_EQ(asked, 3);
}

TEST_F(RockGroup, TheCloseBoxCountsAsIgnore) {
    quarvex::HeadingSets::InsertPlutonic(0);
    WriteRows({{2, 10, 88}});
    NORM3B::MaficInputs.AnorthitePercent = {0, 70};  // an earlier run's answer
    quarvex::Mafics::RunModal = [&](quarvex::Mafics& d) { d.reject(); };
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    EXPECT_EQ(Cell(newest(), 2, 2), "Monzodiorite");
}

TEST_F(RockGroup, AnotherKindRunsNothingButClearsAndCancelLeavesEverything) {
    quarvex::HeadingSets::InsertSandstone(1);
    WriteRows({{50, 10, 40}});
    NORM3B::MaficInputs.MaficPercent = {0, 5, 6};
    host->msgBoxAnswers = {qvrt::vbCancel};
    ClassifyRockGroup();
    EXPECT_EQ(NORM3B::MaficInputs.MaficPercent.size(), 3u);
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_EQ(NORM3B::MaficInputs.MaficPercent, std::vector<float>{0});
    EXPECT_TRUE(quarvex::DataTable.Erased());
    // After the OK, the user is told why no sheet came.
    ASSERT_EQ(host->boxes.size(), 3u);
    EXPECT_EQ(host->boxes[2].prompt,
              "This sheet is \"Sandstones\": nothing was classified.  Classify Rock Group names the samples of "
              "Charnockites, QAP-Plutonic, FAP-Plutonic, QAPF-Plutonic, QAP-Volcanic, FAP-Volcanic and "
              "QAPF-Volcanic sheets only.");
    EXPECT_EQ(host->boxes[2].title, "Select a Rockgroup");
}

TEST_F(RockGroup, ARatioStepOnNegativeComponentsEndsInTheErrorBoxWithoutASheet) {
    quarvex::HeadingSets::InsertVolcanic(1);
    WriteRows({{40, -20, 20}});
    host->msgBoxAnswers = {qvrt::vbOK};
    ClassifyRockGroup();
    ASSERT_FALSE(host->boxes.empty());
    EXPECT_EQ(host->boxes.back().title, "Error");
    EXPECT_EQ(host->boxes.back().prompt, "Division by zero");
    EXPECT_EQ(sheetCount(), 1);
}

TEST_F(RockGroup, GabbroicRowsAreNormalisedInSinglePrecision) {
    quarvex::HeadingSets::InsertGabbroic(1);
    WriteRows({{2.7, 0.2, 0.1}});
    quarvex::RockClassification::RunClassifier(classify::ClassifierId::PlagPxOlGabbroic);
    EXPECT_EQ(Cell(newest(), 5, 2), "90.00");
    EXPECT_EQ(Cell(newest(), 2, 2), "Anorthosite");
}

}  // namespace
