// "Classify from Norm", the norm commands of the Calculate menu, and the
// menu itself.
#include "classify_sheet_fixture.h"

#include "quarvex/classifysheet/dispatchers.h"
#include "quarvex/classifysheet/norm_launchers.h"

#include <QAction>

using namespace classifysheet;
using quarvex::RockClassification::ClassifyFromNorm;

namespace {

class FromNorm : public ClassifySheet {
protected:
    void WriteRocks() {
        quarvex::HeadingSets::InsertOxideExtended();
        WriteAnalysis(1, kBasalt);
        WriteAnalysis(2, kGranite);
        WriteAnalysis(3, kBoninite);
    }
    QStringList Names() const { return Row(newest(), 2, 2, 2) + Row(newest(), 3, 2, 2) + Row(newest(), 4, 2, 2); }
};

TEST_F(FromNorm, NamesPlutonicRocksByTheirNormativeQapf) {
    WriteRocks();
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbYes};
    ClassifyFromNorm();
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[1].title, "Select a Rockgroup");
    ASSERT_EQ(sheetCount(), 2);
    // The basalt's plagioclase is above An50.
    EXPECT_EQ(Names().mid(0, 2), (QStringList{"Monzogabbro", "Monzogranite"}));
}

// Published averages: the gabbro's normative plagioclase is An57, the
// nephelinite's felsic minerals are mostly nepheline.
TEST_F(FromNorm, NamesTheAverageGabbroAndNephelinite) {
    quarvex::HeadingSets::InsertOxideExtended();
    WriteAnalysis(1, {50.14, 1.12, 15.48, 3.01, 7.62, 0.12, 7.59, 9.58, 2.39, 0.93, 0.0, 0.24, 0.75});
    WriteAnalysis(2, {40.60, 2.66, 14.33, 5.48, 6.17, 0.26, 6.39, 11.89, 4.79, 3.46, 0.0, 1.07, 1.65});
    for (bool plutonic : {true, false}) {
        frame->ActivateChild(source);
        host->msgBoxAnswers = {qvrt::vbNo, plutonic ? qvrt::vbYes : qvrt::vbNo};
        ClassifyFromNorm();
        const QStringList expected =
            plutonic ? QStringList{"Gabbro", "Foidolite"} : QStringList{"Basalt", "Tephritic Foidite"};
        EXPECT_EQ(Row(newest(), 2, 2, 2) + Row(newest(), 3, 2, 2), expected);
    }
}

TEST_F(FromNorm, NamesVolcanicRocksAndTheBoniniteByItsAnalysis) {
    WriteRocks();
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbNo};
    ClassifyFromNorm();
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_EQ(Names(), (QStringList{"Basalt", "Rhyolite", "Boninite"}));
}

TEST_F(FromNorm, AFailedNormStopsWithoutASheetOrNames) {
    quarvex::HeadingSets::InsertOxideExtended();
    WriteRows({{50, 1, 15}});  // no alkalis, Mg or Fe: the norm divides by 0
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbNo};
    ClassifyFromNorm();
    ASSERT_EQ(host->boxes.size(), 3u);
    EXPECT_EQ(host->boxes[2].prompt, "Check for incorrect data");
    EXPECT_EQ(sheetCount(), 1);
}

TEST_F(FromNorm, CancelAtEitherQuestionRunsNoNorm) {
    WriteRocks();
    host->msgBoxAnswers = {qvrt::vbCancel};
    ClassifyFromNorm();
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbCancel};
    ClassifyFromNorm();
    EXPECT_EQ(sheetCount(), 1);
}

TEST_F(FromNorm, EveryLauncherClearsAnEarlierIronRatio) {
    WriteRocks();
    for (auto launch : {&quarvex::RockClassification::RunNormMode4, &quarvex::RockClassification::RunNormMode2}) {
        NORM3B::IronRatioSet = -1;
        NORM3B::IronRatio = 0;  // would turn all the iron into Fe2O3
        host->msgBoxAnswers = {qvrt::vbNo};
        quarvex::TheFrame()->ActivateChild(source);
        launch();
        EXPECT_TRUE(Row(newest(), 1, 5, 30).contains("ap"));
        EXPECT_EQ(Row(newest(), 1, 5, 30).indexOf("hm"), -1) << "the sheet's own iron forms no hematite";
    }
}

TEST_F(FromNorm, NormWithoutSheetLeavesTheArraysAndOpensNothing) {
    WriteRocks();
    host->msgBoxAnswers = {qvrt::vbNo};
    quarvex::RockClassification::RunNormNoSheet();
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_EQ(NORM3B::MaficInputs.MaficPercent.size(), 4u);
}

TEST_F(FromNorm, TheCalculateMenuRunsTheCommandsOnlyWhileASheetIsOpen) {
    WriteRocks();
    QAction* menu = frame->MenuItem("mnuCalculate");
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(menu->isEnabled());
    EXPECT_EQ(frame->MenuItem("mnuClassifyFromNorm")->property("HelpContextID").toInt(), 430);
    host->msgBoxAnswers = {qvrt::vbNo, qvrt::vbNo};
    frame->MenuItem("mnuClassifyFromNorm")->trigger();
    EXPECT_EQ(sheetCount(), 2);
    frame->SetDataMenusEnabled(false);  // as when the last sheet closes
    EXPECT_FALSE(menu->isEnabled());
}

}  // namespace
