// The value dialogs of the to-do list and the number helpers behind them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "movaltic/ui/param_dialogs.h"
#include "movaltic/ui/progress_window.h"
#include "movaltic/ui/win_utils.h"
#include "scripted_host.h"

namespace {

using namespace movaltic;

TEST(TextToReal, AcceptsCommaOrPointAndIgnoresPlus) {
    EXPECT_DOUBLE_EQ(TextToReal("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(TextToReal("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(TextToReal("+7"), 7.0);
    EXPECT_DOUBLE_EQ(TextToReal("abc"), 0.0);
    EXPECT_DOUBLE_EQ(TextToReal(""), 0.0);
}

TEST(NumericKeyFilter, PassesDigitsSignsAndControlKeys) {
    EXPECT_EQ(NumericKeyFilter('7', false), QChar('7'));
    EXPECT_EQ(NumericKeyFilter('-', false), QChar('-'));
    EXPECT_EQ(NumericKeyFilter(QChar(8), false), QChar(8));
    EXPECT_TRUE(NumericKeyFilter('a', false).isNull());
    EXPECT_EQ(NumericKeyFilter('a', true), QChar('.'));
}

TEST(RoundEven, TakesHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-2.5), -2);
    EXPECT_EQ(RoundEven(1199.9999), 1200);
}

TEST(ProgressTexts, ShowMegabytesWithOneDecimalAndGroupedThousands) {
    EXPECT_EQ(OneDecimalText(1572864.0 / 1048576.0), "1.5");
    EXPECT_EQ(OneDecimalText(1234.56), "1,234.6");
    EXPECT_EQ(OneDecimalText(0), "0.0");
}

TEST(EditInt1, TypedValueAboveTheRangeIsClampedWhenTheDialogCloses) {
    uitest::HostScope scope;
    double pixels = 3;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditInt1&>(d);
        EXPECT_EQ(dlg.Edit1->text(), "3");
        dlg.Edit1->setText("25");
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskValue("Chaos", "Pixels (1..10)", pixels, 1, 10));
    EXPECT_EQ(pixels, 10);
    EXPECT_EQ(fmEditInt1().windowTitle(), "Chaos");
}

TEST(EditInt1, LetterIsDroppedInIntegerMode) {
    uitest::HostScope scope;
    double v = 5;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditInt1&>(d);
        dlg.Edit1->setFocus();
        dlg.Edit1->end(false);
        QTest::keyClicks(dlg.Edit1, "x2");
        EXPECT_EQ(dlg.Edit1->text(), "52");
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskValue("Saturation", "Percents", v, -100, 100));
    EXPECT_EQ(v, 52);
}

TEST(EditInt1, BarFeedsTheEditButTheTextDecides) {
    uitest::HostScope scope;
    double v = 0;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditInt1&>(d);
        dlg.ScrollBar1->setValue(40);
        EXPECT_EQ(dlg.Edit1->text(), "40");
        dlg.Edit1->setText("-12");
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskValue("Saturation", "Percents", v, -100, 100));
    EXPECT_EQ(v, -12);
}

TEST(EditInt1, CancelLeavesTheValue) {
    uitest::HostScope scope;
    double v = 30;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditInt1&>(d);
        dlg.Edit1->setText("-90");
        dlg.btnCancel->click();
    });
    DialogParamEditor editor;
    EXPECT_FALSE(editor.AskValue("Saturation", "Percents", v, -100, 100));
    EXPECT_EQ(v, 30);
}

TEST(EditRGB, OpensWithAllTogetherAtZero) {
    uitest::HostScope scope;
    double r = 10, g = 20, b = 30;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditRGB&>(d);
        EXPECT_EQ(dlg.Edit4->text(), "0");
        EXPECT_EQ(dlg.ScrollBar4->value(), 0);
        EXPECT_EQ(dlg.Edit1->text(), "10");
        EXPECT_EQ(dlg.ScrollBar3->value(), 30);
    });
    DialogParamEditor editor;
    editor.AskRGB("Brightness (in percents)", r, g, b, -100, 100);
}

TEST(EditRGB, AllTogetherBarSetsTheThreeColours) {
    uitest::HostScope scope;
    double r = 10, g = 20, b = 30;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditRGB&>(d);
        dlg.ScrollBar4->setValue(-35);
        for (QLineEdit* e : {dlg.Edit1, dlg.Edit2, dlg.Edit3}) EXPECT_EQ(e->text(), "-35");
        for (QScrollBar* s : {dlg.ScrollBar1, dlg.ScrollBar2, dlg.ScrollBar3}) EXPECT_EQ(s->value(), -35);
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskRGB("Contrast (in percents)", r, g, b, -100, 100));
    EXPECT_EQ(r, -35);
    EXPECT_EQ(g, -35);
    EXPECT_EQ(b, -35);
}

TEST(EditRGB, TypingAllTogetherCopiesTheTextButNotTheBars) {
    uitest::HostScope scope;
    double r = 10, g = 20, b = 30;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditRGB&>(d);
        dlg.Edit4->setText("44");
        EXPECT_EQ(dlg.Edit2->text(), "44");
        EXPECT_EQ(dlg.ScrollBar2->value(), 20);
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskRGB("Adjust RGB (in percents)", r, g, b, -100, 100));
    EXPECT_EQ(g, 44);
}

TEST(EditRGB, GammaWorksInHundredthsAndTurnsALetterIntoTheSeparator) {
    uitest::HostScope scope;
    double r = 1.2, g = 1.2, b = 1.2;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditRGB&>(d);
        EXPECT_EQ(dlg.Edit1->text(), "1.20");
        EXPECT_EQ(dlg.ScrollBar1->maximum(), 499);
        dlg.Edit2->setFocus();
        dlg.Edit2->clear();
        QTest::keyClicks(dlg.Edit2, "2x5");
        EXPECT_EQ(dlg.Edit2->text(), "2.5");
        dlg.Edit3->setText("9");
        dlg.btnOK->click();
    });
    DialogParamEditor editor;
    EXPECT_TRUE(editor.AskRGB("Gamma Correction", r, g, b, 0.01, 4.99));
    EXPECT_DOUBLE_EQ(r, 1.2);
    EXPECT_DOUBLE_EQ(g, 2.5);
    EXPECT_DOUBLE_EQ(b, 4.99);
}

TEST(EditRGB, CancelLeavesTheColours) {
    uitest::HostScope scope;
    double r = 1, g = 2, b = 3;
    scope.host.scripts.push_back([](QDialog& d) {
        auto& dlg = static_cast<TfmEditRGB&>(d);
        dlg.ScrollBar4->setValue(50);
        dlg.btnCancel->click();
    });
    DialogParamEditor editor;
    EXPECT_FALSE(editor.AskRGB("Brightness (in percents)", r, g, b, -100, 100));
    EXPECT_EQ(r, 1);
    EXPECT_EQ(b, 3);
}

}  // namespace
