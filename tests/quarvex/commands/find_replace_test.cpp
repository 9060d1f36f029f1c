#include "commands_fixture.h"

#include "quarvex/frame/startdb.h"
#include "quarvex/sheets/find_replace.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

using namespace quarvex;

class FindReplaceTest : public CommandsTest {
protected:
    void TearDown() override {
        if (ReplaceText* d = ReplaceText::Instance()) d->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        CommandsTest::TearDown();
    }
    // Rows 1..10 hold data in columns 1..3 ("r<row>c<col>").
    void tenRows() {
        QStringList rows;
        for (int r = 1; r <= 10; ++r) rows << QStringLiteral("r%1c1\tr%1c2\tr%1c3").arg(r);
        fill(rows);
    }
    void find(const QString& text, int col, int row) {
        moveTo(col, row);
        ReplaceText* d = ReplaceText::Show();
        d->Text1->setText(text);
        d->Command3D1[0]->click();
    }
    void replaceAll(const QString& what, const QString& with, int col = 1, int row = 1) {
        moveTo(col, row);
        ReplaceText* d = ReplaceText::Show();
        d->Text1->setText(what);
        d->Text2->setText(with);
        d->Command3D1[2]->click();
    }
};

TEST_F(FindReplaceTest, FindMakesTheMatchingCellActive) {
    tenRows();
    find("r7c2", 1, 1);
    EXPECT_EQ(grid().ActiveRow(), 7);
    EXPECT_EQ(grid().ActiveCol(), 2);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(FindReplaceTest, MatchingIsCaseSensitiveAndWholeCell) {
    fill({"ABC\tabcd\t abc"});
    find("abc", 1, 2);
    ASSERT_EQ(boxTexts(), QStringList({"Search Text Not Found | Not Found"}));
    EXPECT_EQ(host->boxes[0].style, qvrt::vbCritical);
}

TEST_F(FindReplaceTest, ACellPaddedToEighteenCharactersMatches) {
    fill({"x\tabc               \tabc"});
    find("abc", 1, 1);
    EXPECT_EQ(grid().ActiveCol(), 2);
    find(QString(20, u'z'), 1, 1);
    EXPECT_EQ(boxTexts().size(), 1);
    // Only a text of up to 18 characters is matched in its 18-character form.
    grid().SetText(5, 1, QString(18, u'z'));
    host->boxes.clear();
    find(QString(20, u'z'), 1, 1);
    EXPECT_EQ(boxTexts(), QStringList({"Search Text Not Found | Not Found"}));
}

TEST_F(FindReplaceTest, ReplacementTabsAndLineEndsBecomeBlanksAsWhenTyped) {
    const struct {
        const char* with;
        const char* stored;
    } cases[] = {{"A\tB\r\nC", "A B  C"}, {"x\ry", "x y"}, {"\n2\t", " 2 "},
                 // A copied cell's own line end is dropped, one only.
                 {"1 R1\r\n", "1 R1"}, {"1 R1\n", "1 R1"}, {"1 R1\r", "1 R1"}, {"x\r\n\r\n", "x  "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.with);
        fill({"a\tb"});
        replaceAll("a", c.with);
        // The find text pasted from a cell brings its line end too.
        find("b\r\n", 1, 1);
        ReplaceText::Instance()->Command3D1[1]->click();
        // Saved, the sheet is still one row of two cells.
        EXPECT_EQ(grid().TabFileBytes(), QByteArray(c.stored) + "\t" + c.stored + "\r\n");
    }
}

TEST_F(FindReplaceTest, FindAndFindNextStartAfterACursorPastRow32767) {
    grid().setMaxRows(50000);
    for (int r = 1; r <= 40010; ++r) {
        grid().SetText(1, r, "v");
        grid().SetText(2, r, "v");
    }
    grid().SetText(3, 10, "hit");
    grid().SetText(3, 40005, "hit");
    find("hit", 1, 40000);
    EXPECT_EQ(grid().ActiveRow(), 40005);
    MODULE21::SearchMenu(1);
    EXPECT_EQ(grid().ActiveRow(), 10);
    MODULE21::SearchMenu(1);
    EXPECT_EQ(grid().ActiveRow(), 40005);
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(FindReplaceTest, ATextOnlyInTheStartCellIsFoundLastAfterGoingRound) {
    tenRows();
    find("r4c2", 2, 4);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(grid().ActiveRow(), 4);
    EXPECT_EQ(grid().ActiveCol(), 2);
}

TEST_F(FindReplaceTest, TheScanWrapsToRowOneAfterTheFirstEmptyRow) {
    tenRows();
    find("r2c1", 3, 5);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(grid().ActiveRow(), 2);
}

TEST_F(FindReplaceTest, FindOnAnEmptySheetSaysNotFound) {
    find("x", 1, 1);
    EXPECT_EQ(boxTexts(), QStringList({"Search Text Not Found | Not Found"}));
}

TEST_F(FindReplaceTest, AStartBelowTheDataEndsOnTheRowCount) {
    tenRows();
    find("nowhere", 1, 20);
    EXPECT_EQ(boxTexts(), QStringList({"Search Text Not Found | Search Completed"}));
}

TEST_F(FindReplaceTest, FindNextFromTheMenuStartsAfterTheFoundCell) {
    fill({"a\tx\tb\tx", "x"});
    find("x", 1, 1);
    EXPECT_EQ(grid().ActiveCol(), 2);
    MODULE21::SearchMenu(1);
    EXPECT_EQ(grid().ActiveCol(), 4);
    MODULE21::SearchMenu(1);
    EXPECT_EQ(grid().ActiveRow(), 2);
    EXPECT_EQ(grid().ActiveCol(), 1);
}

TEST_F(FindReplaceTest, FindNextBeforeAnySearchLooksForAnEmptyCell) {
    fill({"a\tb"});
    moveTo(1, 1);
    MODULE21::SearchMenu(1);
    EXPECT_EQ(grid().ActiveCol(), 3);
}

TEST_F(FindReplaceTest, TheSearchMenuMarksTheSheetAndClearsTheLaunchFlag) {
    LaunchCancelled = -1;
    MODULE21::SearchMenu(0);
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(LaunchCancelled, 0);
    ASSERT_NE(ReplaceText::Instance(), nullptr);
    EXPECT_EQ(ReplaceText::Instance()->windowTitle(), "Search And Replace");
}

TEST_F(FindReplaceTest, ReplaceAllReplacesEveryMatchAndCountsThem) {
    fill({"a\tb\ta", "a\tx", "c\ta"});
    frame->mnuUndo->setEnabled(true);
    replaceAll("a", "z");
    EXPECT_EQ(boxTexts(), QStringList({"4 replacements | Search/Replace Completed"}));
    EXPECT_EQ(host->boxes[0].style, qvrt::vbInformation);
    EXPECT_EQ(rowText(1, 3), "z\tb\tz");
    EXPECT_EQ(rowText(3, 2), "c\tz");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    host->boxes.clear();
    replaceAll("a", "z");
    EXPECT_EQ(boxTexts(), QStringList({"0 replacements | Search/Replace Completed"}));
}

TEST_F(FindReplaceTest, ReplaceAllFromBelowTheDataSaysNotFound) {
    fill({"a"});
    replaceAll("a", "b", 1, 30);
    EXPECT_EQ(boxTexts(), QStringList({"Search Text Not Found | Search Error"}));
}

TEST_F(FindReplaceTest, ReplaceWritesOnlyIntoAHighlightedCellThatMatches) {
    fill({"Sample #\tName\tSiO2", "1\tgranite\t72.1", "2\tbasalt\t49.0", "3\tgranite\t70.2"});
    ReplaceText* d = ReplaceText::Show();
    d->Text2->setText("new");
    frame->mnuUndo->setEnabled(true);
    const QByteArray before = grid().TabFileBytes();
    // The grid's current cell left on B2 by an earlier scan, D3 highlighted.
    moveTo(4, 3);
    grid().setCol(2);
    grid().setRow(2);
    d->Text1->setText("andesite");
    d->Command3D1[1]->click();
    EXPECT_EQ(boxTexts(), QStringList({"Search Text Not Found | Not Found"}));
    EXPECT_EQ(grid().TabFileBytes(), before);
    EXPECT_EQ(sheet->Record().Modified, 0);
    // A highlighted cell that does not match: on to the next match, unwritten.
    d->Text1->setText("granite");
    d->Command3D1[1]->click();
    EXPECT_EQ(grid().ActiveRow(), 4);
    EXPECT_EQ(grid().ActiveCol(), 2);
    EXPECT_EQ(grid().TabFileBytes(), before);
    // Now it matches and is written; the next press goes on to B2.
    d->Command3D1[1]->click();
    EXPECT_EQ(cell(2, 4), "new");
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(SearchRecord.ReplaceText, "new");
    d->Command3D1[1]->click();
    EXPECT_EQ(grid().ActiveRow(), 2);
    EXPECT_EQ(cell(2, 2), "granite");
    EXPECT_EQ(boxTexts().size(), 1);
}

TEST_F(FindReplaceTest, CancelClosesTheDialogAndStopsTheNextMenuScan) {
    QStringList rows;
    for (int r = 1; r <= 60; ++r) rows << "v\tv";
    fill(rows);
    ReplaceText* d = ReplaceText::Show();
    d->Text1->setText("none");
    d->Command3D1[3]->click();
    QApplication::processEvents();
    EXPECT_EQ(ReplaceText::Instance(), nullptr);
    EXPECT_EQ(SearchRecord.StopRequest, -1);
    moveTo(1, 1);
    MODULE21::SearchMenu(1);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(SearchRecord.StopRequest, 0);
}

TEST_F(FindReplaceTest, ACancelPressedDuringALongScanStopsItAtTheNextCheck) {
    QStringList rows;
    for (int r = 1; r <= 100; ++r) rows << "v\tv";
    fill(rows);
    SetFindText("v");
    SearchRecord.ReplaceText = "w";
    SearchRecord.StartRow = 1;
    SearchRecord.StartCol = 0;
    // Runs while the scan lets pending input through, as a Cancel press would.
    QTimer::singleShot(0, [] { SearchRecord.StopRequest = -1; });
    MODULE21::ReplaceAll();
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(SearchRecord.StopRequest, 0);
    EXPECT_EQ(cell(1, 24), "w");
    EXPECT_EQ(cell(1, 25), "v");
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(FindReplaceTest, EveryRowHoldingTextIsSearchedTheGridsLastRowIncluded) {
    // A sheet that ends at its last sample, with a blank row and a row with
    // one value among the samples.
    fill({"a\tb", "only", "", "x\tx", "x\tb"});
    grid().setMaxRows(5);
    find("b", 1, 2);
    EXPECT_EQ(grid().ActiveRow(), 5);
    EXPECT_EQ(grid().ActiveCol(), 2);
    replaceAll("x", "y", 1, 1);
    EXPECT_EQ(boxTexts(), QStringList({"3 replacements | Search/Replace Completed"}));
    EXPECT_EQ(rowText(5, 2), "y\tb");
}

TEST_F(FindReplaceTest, TheDialogsButtonsWithoutADataSheetReportASearchError) {
    ReplaceText* d = ReplaceText::Show();
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    d->Text1->setText("x");
    d->Command3D1[0]->click();
    d->Command3D1[1]->click();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Search Error");
}

// Closing the sheet (F11) or leaving the program (F7), answering No to
// saving, while Replace All lets events through.
class ReplaceAllInterruptedTest : public FindReplaceTest,
                                  public ::testing::WithParamInterface<void (MDIForm1::*)()> {};

TEST_P(ReplaceAllInterruptedTest, StopsAtOnceAndReportsNoReplacements) {
    QStringList rows;
    for (int r = 1; r <= 200; ++r) rows << "v\tv";
    fill(rows);
    QPointer<Main1> closing = sheet;
    host->msgBoxAnswers = {qvrt::vbNo};
    QTimer::singleShot(0, frame, [this] { (frame->*GetParam())(); });
    replaceAll("v", "w");
    EXPECT_EQ(boxTexts(), QStringList({"Save changes to unnamed file now? | Save File?"}));
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(closing.isNull());
}

INSTANTIATE_TEST_SUITE_P(CloseOrExit, ReplaceAllInterruptedTest,
                         ::testing::Values(&MDIForm1::mnuClose_Click, &MDIForm1::mnuExit_Click),
                         [](const auto& p) { return p.index == 0 ? "CloseSheet" : "ExitProgram"; });
