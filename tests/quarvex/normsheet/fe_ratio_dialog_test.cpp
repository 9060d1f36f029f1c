// The iron-ratio dialog: what it sets on load, OK with good and bad
// ratios, Cancel and the close box.
#include "quarvex/normsheet/fe_ratio_dialog.h"
#include "quarvex/normsheet/fake_norm_sheet.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/state/reset.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

class FeRatioDialog : public ::testing::Test {
protected:
    void SetUp() override {
        host = &qvrt::InstallScriptedHost();
        quarvex::ResetProgramState();
        NORM3B::SetSheetIO(&sheet);
        sheet.dialogCancelled = -1;
        NORM3B::IronRatio = 0.7f;
        dialog = std::make_unique<NORM3B::FeRatio>();
        dialog->show();
    }
    void TearDown() override {
        dialog.reset();
        NORM3B::SetSheetIO(nullptr);
    }
    void Enter(const QString& text) {
        dialog->Text1->setText(text);
        dialog->Command3D1[0]->click();
    }

    qvrt::ScriptedHost* host = nullptr;
    normtest::FakeNormSheet sheet;
    std::unique_ptr<NORM3B::FeRatio> dialog;
};

TEST_F(FeRatioDialog, LoadingClearsTheRatioAndSetsItToBeApplied) {
    EXPECT_EQ(dialog->windowTitle(), "Set Iron Ratio");
    EXPECT_EQ(dialog->Label1->text(), "Enter FeO/Fe2O + FeO (0-1):");
    EXPECT_EQ(dialog->Command3D1[0]->text(), "OK");
    EXPECT_EQ(dialog->Command3D1[1]->text(), "Cancel");
    EXPECT_EQ(sheet.dialogCancelled, 0);
    EXPECT_EQ(NORM3B::IronRatioSet, -1);
    EXPECT_EQ(NORM3B::IronRatio, 0.0f);
}

TEST_F(FeRatioDialog, IsCentredOnTheScreen) {
    const int screenWidth = static_cast<int>(host->screenWidthTwips / host->twipsPerPixel);
    EXPECT_NEAR(dialog->x(), (screenWidth - dialog->width()) / 2, 1);
}

TEST_F(FeRatioDialog, OkTakesARatioBetweenZeroAndOne) {
    Enter("0.35");
    EXPECT_FLOAT_EQ(NORM3B::IronRatio, 0.35f);
    EXPECT_EQ(NORM3B::IronRatioSet, -1);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(FeRatioDialog, ExactlyZeroAndExactlyOneAreAccepted) {
    Enter("1");
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_FALSE(dialog->isVisible());
    dialog = std::make_unique<NORM3B::FeRatio>();
    dialog->show();
    Enter("0");
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FeRatioDialog, ARatioAboveOneIsRefusedAndTheDialogStaysOpen) {
    Enter("1.0001");
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Enter a value less than one");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbOKOnly);
    EXPECT_EQ(host->boxes[0].title, "Incorrect Iron Ratio");
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FLOAT_EQ(NORM3B::IronRatio, 1.0001f);  // the value just read stays
}

TEST_F(FeRatioDialog, ANegativeRatioIsRefused) {
    Enter("-0.1");
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Incorrect Iron Ratio");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(FeRatioDialog, TextWithoutANumberReadsAsZeroAndIsAccepted) {
    Enter("about half");
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(NORM3B::IronRatio, 0.0f);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FeRatioDialog, CancelSetsDialogCancelled) {
    dialog->Command3D1[1]->click();
    EXPECT_EQ(sheet.dialogCancelled, -1);
    EXPECT_FALSE(dialog->isVisible());
}

// The close box used to leave DialogCancelled 0, so the norm ran with a
// ratio of 0 (all iron ferric) the user never entered.
TEST_F(FeRatioDialog, TheCloseBoxCountsAsCancel) {
    dialog->close();
    EXPECT_EQ(sheet.dialogCancelled, -1);
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(FeRatioDialog, EscapeCountsAsCancel) {
    dialog->reject();
    EXPECT_EQ(sheet.dialogCancelled, -1);
}

}  // namespace
