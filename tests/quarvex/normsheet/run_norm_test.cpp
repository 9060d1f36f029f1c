// The norm commands of the Calculate menu on the active sheet: the iron
// question and dialog, the check for samples, failures, and the result sheet
// with Undo disabled.
#include "quarvex/normsheet/norm_sheet_fixture.h"

#include "quarvex/classifysheet/norm_launchers.h"

#include "quarvex/normsheet/fe_ratio_dialog.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>

using namespace normsheet;
namespace launchers = quarvex::RockClassification;

namespace {

class RunNorm : public NormOnSheet {
protected:
    void SetUp() override {
        NormOnSheet::SetUp();
        frame->mnuUndo->setEnabled(true);
    }
    // The heading set disables Undo; typing the analysis enables it again.
    void WriteBasalt() {
        WriteHeadings();
        WriteAnalysis(1, kBasalt, "basalt");
        frame->mnuUndo->setEnabled(true);
    }
    // The dialog is modal: it is answered from the event loop it runs.
    static void AnswerIronDialog(std::function<void(NORM3B::FeRatio&)> answer) {
        QTimer::singleShot(0, [answer] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dialog = qobject_cast<NORM3B::FeRatio*>(w); dialog && dialog->isVisible()) {
                    answer(*dialog);
                    return;
                }
            }
            ADD_FAILURE() << "no iron-ratio dialog";
        });
    }
    static void EnterRatio(NORM3B::FeRatio& dialog, const QString& ratio) {
        dialog.Text1->setText(ratio);
        dialog.Command3D1[0]->click();
    }
    QStringList ResultHeadings() const {
        return RowTexts(newest(), 1, 5, 4 + NORM3B::NormResultCols);
    }
};

TEST_F(RunNorm, AnswerNoRunsTheNormOnTheSheetAsItStands) {
    WriteBasalt();
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormMode2();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Adjust Fe2O3/FeO ratio?");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbYesNoCancel);
    EXPECT_EQ(host->boxes[0].title, "Norm Options");
    EXPECT_EQ(quarvex::MsgBoxAnswer, qvrt::vbNo);
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_EQ(RowTexts(newest(), 1, 5, 20), kBasaltHeadings);
    EXPECT_EQ(RowTexts(newest(), 2, 5, 20), kBasaltTexts);
    EXPECT_EQ(newest()->Record().Modified, -1);
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(RunNorm, ARatioLeftFromAnEarlierDialogIsClearedFirst) {
    WriteBasalt();
    NORM3B::IronRatioSet = -1;
    NORM3B::IronRatio = 0;
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormMode2();
    EXPECT_EQ(RowTexts(newest(), 2, 5, 20), kBasaltTexts);
}

// Ratio 0: all iron becomes Fe2O3, more than magnetite can take, so
// hematite forms.
TEST_F(RunNorm, AnswerYesReSplitsTheIronByTheRatioEntered) {
    WriteBasalt();
    host->msgBoxAnswers = {qvrt::vbYes};
    AnswerIronDialog([](NORM3B::FeRatio& d) { EnterRatio(d, "0"); });
    launchers::RunNormMode2();
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_TRUE(ResultHeadings().contains("hm"));
    EXPECT_EQ(NORM3B::IronRatioSet, 0);
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(RunNorm, CancelAtTheIronQuestionEndsBeforeTheSheetIsRead) {
    WriteBasalt();
    host->msgBoxAnswers = {qvrt::vbCancel};
    launchers::RunNormMode2();
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_TRUE(quarvex::DataTable.Erased());
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
}

TEST_F(RunNorm, CancelInTheIronDialogEndsBeforeTheSheetIsRead) {
    WriteBasalt();
    host->msgBoxAnswers = {qvrt::vbYes};
    AnswerIronDialog([](NORM3B::FeRatio& d) { d.Command3D1[1]->click(); });
    launchers::RunNormMode2();
    EXPECT_EQ(quarvex::DialogCancelled, -1);
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_TRUE(quarvex::DataTable.Erased());
}

TEST_F(RunNorm, AnEmptySheetIsRefusedWithoutANewSheet) {
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormCalculation();
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[1].prompt, "Insufficient data points");
    EXPECT_EQ(host->boxes[1].style, qvrt::vbExclamation);
    EXPECT_EQ(host->boxes[1].title, "Calculation Error");
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(RunNorm, ASheetWithOnlyHeadingsIsRefusedToo) {
    WriteHeadings();
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
    launchers::RunNormCalculation2();
    ASSERT_EQ(host->boxes.size(), 3u);
    EXPECT_EQ(host->boxes[2].prompt, "Insufficient data points");
    EXPECT_EQ(sheetCount(), 1);
}

// A row of silica alone has no A-M-F sum: the standard norm reports it
// and no sheet is shown.
TEST_F(RunNorm, ARowWithOnlySilicaFailsTheStandardNormWithoutAResultSheet) {
    WriteBasalt();
    grid->SetText(5, 3, "99.5");
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormMode2();
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[1].prompt, "Check for incorrect data");
    EXPECT_EQ(host->boxes[1].title, "Error Calculating Norm");
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
}

// The extended norm needs no A-M-F: the silica becomes quartz.
TEST_F(RunNorm, ARowWithOnlySilicaIsAllQuartzInTheExtendedNorm) {
    WriteBasalt();
    grid->SetText(5, 3, "99.5");
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
    launchers::RunNormCalculation2();
    ASSERT_EQ(sheetCount(), 2);
    ASSERT_EQ(ResultHeadings().first(), "Q");
    EXPECT_EQ(newest()->Grid1->GetText(5, 3), "100.00");
    EXPECT_EQ(newest()->Grid1->GetText(5, 2), "0.00");
}

TEST_F(RunNorm, TheExtendedNormShowsItsNoticeFirstAndEndsOnTheTotal) {
    WriteBasalt();
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
    launchers::RunNormCalculation2();
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[0].prompt,
              "This norm calculates extra components including pyrite, calcite and zircon.  Cl, F, S, SO3, "
              "Cr2O3 and ZRO2 are used in this calculation if available");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbInformation);
    EXPECT_EQ(host->boxes[0].title, "Norm Calculation 2");
    EXPECT_EQ(host->boxes[1].title, "Norm Options");
    ASSERT_EQ(sheetCount(), 2);
    EXPECT_EQ(ResultHeadings().last(), "Total");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

// The weight norms total the analysis less its water:
// 99.84 - 0.95 - 0.43 = 98.46.
TEST_F(RunNorm, BothWeightNormsTotalTheAnhydrousAnalysis) {
    for (bool extended : {false, true}) {
        source->SetFocus();
        WriteBasalt();
        host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
        if (!extended) host->msgBoxAnswers.pop_front();
        extended ? launchers::RunNormCalculation2Weight() : launchers::RunNormCalculation();
        const QStringList headings = ResultHeadings();
        const int total = 5 + static_cast<int>(headings.indexOf("Total"));
        ASSERT_GE(total, 5) << extended;
        EXPECT_EQ(newest()->Grid1->GetText(total, 2), "98.46") << extended;
    }
}

// The standard oxide set ends with "Total" in column 19, where the
// extended norm reads Cl: read anyway, corundum came out near 58 %.
TEST_F(RunNorm, TheExtendedNormRefusesASheetWithTotalWhereItReadsCl) {
    quarvex::HeadingSets::InsertOxide();
    WriteAnalysis(1, kBasalt, "basalt");
    grid->SetText(19, 2, "99.84");
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
    launchers::RunNormCalculation2();
    ASSERT_EQ(host->boxes.size(), 3u);
    EXPECT_EQ(host->boxes[2].prompt, "Column 19 (S) is headed \"Total\", but the norm reads CL there.");
    EXPECT_EQ(host->boxes[2].title, "Error Calculating Norm");
    EXPECT_EQ(host->boxes[2].style, qvrt::vbExclamation);
    EXPECT_EQ(sheetCount(), 1);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    // The standard norm reads no further than column 17 and runs.
    host->boxes.clear();
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormMode2();
    EXPECT_EQ(sheetCount(), 2);
}

// Headings are compared without case or blanks; empty ones and names that
// are no input pass, an oxide in the wrong column does not.
TEST_F(RunNorm, OtherSpellingsPassButAnOxideInAnotherColumnIsRefused) {
    WriteBasalt();
    grid->SetText(5, 1, " sio 2 ");
    grid->SetText(6, 1, "");
    grid->SetText(7, 1, "Al2O3 wt%");
    grid->SetText(19, 1, "cl");
    host->msgBoxAnswers = {qvrt::vbOK, qvrt::vbNo};
    launchers::RunNormCalculation2();
    EXPECT_EQ(sheetCount(), 2);

    source->SetFocus();
    host->boxes.clear();
    grid->SetText(3, 1, "SiO2");
    grid->SetText(5, 1, "FeO");
    host->msgBoxAnswers = {qvrt::vbNo};
    launchers::RunNormMode2();
    ASSERT_EQ(host->boxes.size(), 2u);
    EXPECT_EQ(host->boxes[1].prompt, "Column 5 (E) is headed \"FeO\", but the norm reads SiO2 there.");
    EXPECT_EQ(sheetCount(), 2);
}

}  // namespace
