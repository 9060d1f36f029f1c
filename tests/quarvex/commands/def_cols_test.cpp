#include "commands_fixture.h"

#include "quarvex/sheets/def_cols.h"

#include <QLineEdit>
#include <QPushButton>

using namespace quarvex;

class DefColsTest : public CommandsTest {
protected:
    void TearDown() override {
        if (DefCols* d = DefCols::Instance()) {
            for (QLineEdit* box : d->Text1) box->setText("1");
            d->close();
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CommandsTest::TearDown();
    }
    DefCols* open() { return DefCols::Show(); }
    QStringList boxes(DefCols* d) const {
        QStringList out;
        for (QLineEdit* box : d->Text1) out << box->text();
        return out;
    }
    bool isOpen() const { return DefCols::Instance() && DefCols::Instance()->isVisible(); }
};

TEST_F(DefColsTest, OpensWithTheCurrentAssignment) {
    SampleCol = 9;
    XCol = ColumnNumber::FromText("12");
    DefCols* d = open();
    EXPECT_EQ(d->windowTitle(), "Define Columns");
    EXPECT_EQ(boxes(d), QStringList({"9", "2", "3", "4", "12", "6", "7"}));
}

TEST_F(DefColsTest, CancelStoresTheEditsLikeOk) {
    DefCols* d = open();
    d->Text1[0]->setText("11");
    d->Command3D3->click();
    EXPECT_FALSE(isOpen());
    EXPECT_EQ(SampleCol, 11);
}

TEST_F(DefColsTest, HalvesRoundToEvenInTheIntegerRolesAndStayInTheValueColumns) {
    DefCols* d = open();
    d->Text1[0]->setText("2.5");
    d->Text1[1]->setText("3.5");
    d->Text1[2]->setText("0.4");
    d->Text1[4]->setText("2.5");
    d->Text1[5]->setText("05");
    d->Command3D1->click();
    EXPECT_EQ(SampleCol, 2);
    EXPECT_EQ(NameCol, 4);
    EXPECT_EQ(SymbolCol, 0);
    EXPECT_EQ(XCol.text(), "2.5");
    d = open();
    EXPECT_EQ(d->Text1[4]->text(), "2.5");
    EXPECT_EQ(d->Text1[5]->text(), "5");
}

TEST_F(DefColsTest, EmptyOrLetterBoxesMeanNoColumnAndTrailingLettersAreIgnored) {
    DefCols* d = open();
    d->Text1[0]->setText("");
    d->Text1[1]->setText("abc");
    d->Text1[2]->setText("12abc");
    d->Command3D1->click();
    EXPECT_EQ(SampleCol, 0);
    EXPECT_EQ(NameCol, 0);
    EXPECT_EQ(SymbolCol, 12);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(DefColsTest, AnEntryOutsideZeroToFiftyKeepsTheDialogOpenAndChangesNothing) {
    for (const char* bad : {"50.4", "-0.4", "51", "1e400"}) {
        host->boxes.clear();
        DefCols* d = open();
        d->Text1[0]->setText("8");
        d->Text1[3]->setText(bad);
        d->Text1[5]->setText("-3");
        d->Command3D3->click();
        EXPECT_TRUE(isOpen()) << bad;
        EXPECT_EQ(SampleCol, 1) << bad;
        ASSERT_EQ(host->boxes.size(), 1u) << bad;
        EXPECT_EQ(host->boxes[0].prompt, "Enter a number between 0 and 50");
        EXPECT_EQ(host->boxes[0].title, "Error");
        EXPECT_EQ(host->boxes[0].style, qvrt::vbExclamation);
    }
    DefCols::Instance()->Text1[3]->setText("50");
    DefCols::Instance()->Text1[5]->setText("6");
    DefCols::Instance()->Command3D1->click();
    EXPECT_EQ(ColorCol, 50);
}

TEST_F(DefColsTest, DefaultsTakeEffectAtOnceEvenWhenTheCheckThenFails) {
    SampleCol = 20;
    XCol = 30;
    DefCols* d = open();
    d->Command3D2->click();
    EXPECT_EQ(boxes(d), QStringList({"1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(SampleCol, 1);
    EXPECT_EQ(int(XCol), 5);
    d->Text1[0]->setText("99");
    d->Command3D1->click();
    EXPECT_EQ(SampleCol, 1);
}

TEST_F(DefColsTest, ShowingItAgainBringsTheOpenDialogForwardWithItsEdits) {
    DefCols* d = open();
    d->Text1[0]->setText("17");
    EXPECT_EQ(open(), d);
    EXPECT_EQ(d->Text1[0]->text(), "17");
}
