// The grid's events as a user's keys and mouse raise them, in the order the
// data sheets rely on: KeyDown before the grid acts, EditMode 1 with the old
// text still in the cell, EditMode 0 with the new one stored.
#include "quarvex/runtime/spread_grid.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qvrt {
namespace {

class GridEventsTest : public ::testing::Test {
protected:
    SpreadGrid grid;
    std::vector<std::string> log;

    void SetUp() override {
        grid.resize(640, 400);
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid, 60000));  // as long as a busy machine may take
        grid.SetFocus();
        QObject::connect(&grid, &SpreadGrid::KeyDown, [this](int k, int s) { add("KeyDown", k, s); });
        QObject::connect(&grid, &SpreadGrid::KeyPress, [this](int k) { add("KeyPress", k); });
        QObject::connect(&grid, &SpreadGrid::EditMode, [this](int c, int r, int m, bool ch) {
            add("EditMode", c, r, m, ch);
            // What the sheet reads when editing starts: the text before the edit.
            if (m == 1) log.push_back("text " + grid.GetText(c, r).toStdString());
        });
        QObject::connect(&grid, &SpreadGrid::Change, [this](int c, int r) { add("Change", c, r); });
        QObject::connect(&grid, &SpreadGrid::LeaveCell, [this](int c, int r, int nc, int nr) { add("LeaveCell", c, r, nc, nr); });
        QObject::connect(&grid, &SpreadGrid::Advance, [this](bool next) { add("Advance", next); });
    }

    template <typename... Args>
    void add(const char* name, Args... args) {
        std::string s = name;
        ((s += " " + std::to_string(static_cast<int>(args))), ...);
        log.push_back(s);
    }

    // Keys go where focus is: the view, or the open cell editor.
    QWidget* target() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : grid.view();
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(target(), k, m);
        QCoreApplication::processEvents();  // Enter commits through a queued call
    }
    void type(const char* text) {
        for (const char* p = text; *p; ++p) QTest::keyClick(target(), *p);
        QCoreApplication::processEvents();
    }
    void goTo(int col, int row) {
        grid.setCol(col);
        grid.setRow(row);
        grid.setAction(0);
        log.clear();
    }
    QPoint cellCentre(int col, int row) const {
        auto* table = static_cast<QTableView*>(grid.view());
        return table->visualRect(table->model()->index(row - 1, col - 1)).center();
    }
    bool has(const std::string& entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }
    std::vector<std::string> only(const std::string& prefix) const {
        std::vector<std::string> out;
        for (const auto& e : log)
            if (e.rfind(prefix, 0) == 0) out.push_back(e);
        return out;
    }
};

TEST_F(GridEventsTest, TypingIntoACellEditsItAndEnterEndsTheEdit) {
    grid.SetText(2, 3, "old");
    goTo(2, 3);
    type("5.5");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(2, 3), "5.5");
    EXPECT_EQ(log[0], "KeyDown 53 0");
    EXPECT_EQ(log[1], "KeyPress 53");
    EXPECT_EQ(log[2], "EditMode 2 3 1 0");
    EXPECT_EQ(log[3], "text old");
    EXPECT_EQ(log[4], "KeyDown 190 0");  // the full stop key
    // Enter's KeyDown comes before the edit ends, so the sheet knows Enter ended it.
    const auto tail = std::vector<std::string>(log.end() - 4, log.end());
    EXPECT_EQ(tail, (std::vector<std::string>{"KeyDown 13 0", "KeyPress 13", "Change 2 3", "EditMode 2 3 0 1"}));
}

TEST_F(GridEventsTest, EachTypedCharacterRaisesKeyDownAndKeyPressOnce) {
    goTo(1, 1);
    type("ab");
    EXPECT_EQ(only("KeyPress"), (std::vector<std::string>{"KeyPress 97", "KeyPress 98"}));
    EXPECT_EQ(only("KeyDown"), (std::vector<std::string>{"KeyDown 65 0", "KeyDown 66 0"}));
    key(Qt::Key_Escape);
}

TEST_F(GridEventsTest, EscapeEndsTheEditWithoutAChange) {
    grid.SetText(1, 1, "keep");
    goTo(1, 1);
    type("zz");
    key(Qt::Key_Escape);
    EXPECT_EQ(grid.GetText(1, 1), "keep");
    EXPECT_TRUE(has("EditMode 1 1 0 0"));
    EXPECT_TRUE(only("Change").empty());
}

TEST_F(GridEventsTest, TheGridDoesNotMoveTheCursorOnEnterSoTheSheetCanChooseTheTarget) {
    goTo(4, 4);
    type("1");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.ActiveCol(), 4);
    EXPECT_EQ(grid.ActiveRow(), 4);
}

TEST_F(GridEventsTest, AnEditEndHandlerCanMoveTheActiveCellWithActionZero) {
    QObject::connect(&grid, &SpreadGrid::EditMode, [this](int c, int r, int m, bool) {
        if (m != 0) return;
        grid.setRow(r + 1);
        grid.setCol(c);
        grid.setAction(0);
    });
    goTo(3, 5);
    type("7");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.ActiveRow(), 6);
    EXPECT_EQ(grid.ActiveCol(), 3);
    EXPECT_TRUE(has("LeaveCell 3 5 3 6"));
}

TEST_F(GridEventsTest, EnterOnACellThatIsNotBeingEditedStartsEditingIt) {
    grid.SetText(2, 2, "abc");
    goTo(2, 2);
    key(Qt::Key_Return);
    EXPECT_TRUE(has("EditMode 2 2 1 0"));
    type("d");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(2, 2).right(1), "d");
}

TEST_F(GridEventsTest, MovingTheCursorRaisesLeaveCellWithTheOldAndNewCell) {
    goTo(2, 11);
    key(Qt::Key_Down);
    key(Qt::Key_Right);
    EXPECT_EQ(only("LeaveCell"), (std::vector<std::string>{"LeaveCell 2 11 2 12", "LeaveCell 2 12 3 12"}));
    EXPECT_EQ(only("KeyDown"), (std::vector<std::string>{"KeyDown 40 0", "KeyDown 39 0"}));
}

TEST_F(GridEventsTest, DownAtTheLastRowRaisesAdvanceAndMovesIntoARowItsHandlerAdds) {
    grid.setMaxRows(20);
    QObject::connect(&grid, &SpreadGrid::Advance, [this](bool next) {
        if (next) grid.setMaxRows(grid.MaxRows() + 1);
    });
    goTo(3, 20);
    key(Qt::Key_Down);
    EXPECT_EQ(grid.MaxRows(), 21);
    EXPECT_EQ(grid.ActiveRow(), 21);
    EXPECT_EQ(only("Advance"), (std::vector<std::string>{"Advance 1"}));
}

TEST_F(GridEventsTest, DownAtTheLastRowWithoutAHandlerStaysThere) {
    grid.setMaxRows(20);
    goTo(3, 20);
    key(Qt::Key_Down);
    EXPECT_EQ(grid.ActiveRow(), 20);
    EXPECT_TRUE(has("Advance 1"));
}

TEST_F(GridEventsTest, UpAtTheFirstRowRaisesAdvanceBackwards) {
    goTo(2, 1);
    key(Qt::Key_Up);
    EXPECT_TRUE(has("Advance 0"));
    EXPECT_EQ(grid.ActiveRow(), 1);
}

TEST_F(GridEventsTest, TabMovesRightAndWrapsToTheNextRow) {
    grid.setMaxCols(3);
    goTo(2, 4);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid.ActiveCol(), 3);
    key(Qt::Key_Tab);
    EXPECT_EQ(grid.ActiveCol(), 1);
    EXPECT_EQ(grid.ActiveRow(), 5);
    EXPECT_EQ(only("KeyDown"), (std::vector<std::string>{"KeyDown 9 0", "KeyDown 9 0"}));
}

TEST_F(GridEventsTest, TabAtTheLastCellRaisesAdvance) {
    grid.setMaxCols(3);
    grid.setMaxRows(5);
    goTo(3, 5);
    key(Qt::Key_Tab);
    EXPECT_TRUE(has("Advance 1"));
    EXPECT_EQ(grid.ActiveRow(), 5);
}

TEST_F(GridEventsTest, TabWhileEditingEndsTheEditAndMovesRight) {
    goTo(1, 2);
    type("x");
    key(Qt::Key_Tab);
    EXPECT_EQ(grid.GetText(1, 2), "x");
    EXPECT_TRUE(has("EditMode 1 2 0 1"));
    EXPECT_EQ(grid.ActiveCol(), 2);
}

TEST_F(GridEventsTest, ShiftMovesReportTheShiftBitAndSelectABlock) {
    QSignalSpy sel(&grid, &SpreadGrid::SelChange);
    goTo(2, 2);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_TRUE(has("KeyDown 16 1"));  // the Shift key itself goes down first
    EXPECT_TRUE(has("KeyDown 40 1"));
    EXPECT_TRUE(grid.IsBlockSelected());
    EXPECT_EQ(grid.SelBlockCol(), 2);
    EXPECT_EQ(grid.SelBlockRow(), 2);
    EXPECT_EQ(grid.SelBlockCol2(), 3);
    EXPECT_EQ(grid.SelBlockRow2(), 3);
    ASSERT_EQ(sel.count(), 2);
    EXPECT_EQ(sel.last(), (QList<QVariant>{2, 2, 3, 3, 3, 3}));
}

TEST_F(GridEventsTest, AMoveWithoutShiftEndsTheBlockAndRaisesNoSelChange) {
    goTo(2, 2);
    key(Qt::Key_Down, Qt::ShiftModifier);
    QSignalSpy sel(&grid, &SpreadGrid::SelChange);
    key(Qt::Key_Down);
    EXPECT_FALSE(grid.IsBlockSelected());
    EXPECT_EQ(sel.count(), 0);
    EXPECT_EQ(grid.SelBlockRow(), grid.ActiveRow());
}

TEST_F(GridEventsTest, ClickingAColumnHeaderSelectsTheWholeColumnDownToMaxRows) {
    QSignalSpy sel(&grid, &SpreadGrid::SelChange);
    auto* table = static_cast<QTableView*>(grid.view());
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(1) + 5, 5));
    ASSERT_EQ(sel.count(), 1);
    EXPECT_EQ(sel.first().at(0).toInt(), 2);
    EXPECT_EQ(sel.first().at(3).toInt(), grid.MaxRows());
}

TEST_F(GridEventsTest, ASelChangeHandlerThatAddsARowDoesNotRunAgainForIt) {
    grid.setMaxRows(10);
    int calls = 0;
    QObject::connect(&grid, &SpreadGrid::SelChange, [&](int, int, int, int r2, int, int) {
        ++calls;
        if (r2 == grid.MaxRows()) grid.setMaxRows(grid.MaxRows() + 1);
    });
    goTo(1, 9);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(grid.MaxRows(), 11);
}

TEST_F(GridEventsTest, DoubleClickRaisesDblClickForTheCellAndStartsEditing) {
    QSignalSpy dbl(&grid, &SpreadGrid::DblClick);
    // A real double click: a click, then the second press arrives as a double click.
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cellCentre(2, 3));
    QTest::mouseDClick(grid.view()->viewport(), Qt::LeftButton, {}, cellCentre(2, 3));
    ASSERT_EQ(dbl.count(), 1);
    EXPECT_EQ(dbl.first(), (QList<QVariant>{2, 3}));
    EXPECT_TRUE(has("EditMode 2 3 1 0"));
    key(Qt::Key_Escape);
}

TEST_F(GridEventsTest, MouseUpNamesTheButtonAndCell) {
    QSignalSpy up(&grid, &SpreadGrid::MouseUp);
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cellCentre(3, 2));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up.first(), (QList<QVariant>{1, 3, 2}));
    EXPECT_EQ(grid.ActiveCol(), 3);
    EXPECT_EQ(grid.ActiveRow(), 2);
}

TEST_F(GridEventsTest, TypedWindowsCharactersArriveAsTheirCodePageCodes) {
    goTo(1, 1);
    QTest::sendKeyEvent(QTest::Click, target(), Qt::Key_E, QString::fromUtf8("\u00e9"), Qt::NoModifier);
    QCoreApplication::processEvents();
    EXPECT_TRUE(has("KeyPress 233"));
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(1, 1), QString::fromUtf8("\u00e9"));
    EXPECT_EQ(grid.TabFileBytes(), QByteArray("\xe9\r\n"));
}

TEST_F(GridEventsTest, ClickingAnotherCellWhileEditingEndsTheEditBeforeLeavingTheCell) {
    goTo(1, 1);
    type("9");
    QTest::mouseClick(grid.view()->viewport(), Qt::LeftButton, {}, cellCentre(3, 4));
    EXPECT_EQ(grid.GetText(1, 1), "9");
    const auto end = std::find(log.begin(), log.end(), "EditMode 1 1 0 1");
    const auto leave = std::find(log.begin(), log.end(), "LeaveCell 1 1 3 4");
    ASSERT_NE(end, log.end());
    ASSERT_NE(leave, log.end());
    EXPECT_LT(end, leave);
}

TEST_F(GridEventsTest, RemovingTheRowBeingEditedEndsTheEditFirstAndEditingGoesOn) {
    grid.setMaxRows(10);
    goTo(1, 10);
    type("x");
    grid.setMaxRows(9);
    EXPECT_TRUE(has("EditMode 1 10 0 1"));
    goTo(2, 2);
    type("y");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(2, 2), "y");
    EXPECT_TRUE(has("EditMode 2 2 1 0"));
    EXPECT_TRUE(has("EditMode 2 2 0 1"));
}

TEST_F(GridEventsTest, HandlersOfTheEditsEndMayAddRowsAtTheLastRow) {
    // The sheet's Enter-moves-down at the last row: one new row, cursor into it.
    grid.setMaxRows(5);
    QObject::connect(&grid, &SpreadGrid::Change, [this](int, int) { grid.setMaxRows(grid.MaxRows()); });
    QObject::connect(&grid, &SpreadGrid::EditMode, [this](int c, int r, int m, bool) {
        grid.setReDraw(false);  // as the sheet does around every edit event
        if (m == 0 && r == grid.MaxRows()) {
            grid.setMaxRows(grid.MaxRows() + 1);
            grid.setRow(grid.MaxRows());
            grid.setCol(c);
            grid.setAction(0);
        }
        grid.setReDraw(true);
    });
    goTo(2, 5);
    type("3");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(2, 5), "3");
    EXPECT_EQ(grid.MaxRows(), 6);
    EXPECT_EQ(grid.ActiveRow(), 6);
    EXPECT_EQ(std::count(log.begin(), log.end(), "EditMode 2 5 0 1"), 1);
}

TEST_F(GridEventsTest, TabsAndLineEndsPutIntoAnEditorBecomeBlanksSoTheFileKeepsItsLayout) {
    goTo(1, 1);
    type("a");
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    editor->setText("a\tb\nc");
    key(Qt::Key_Return);
    EXPECT_EQ(grid.GetText(1, 1), "a b c");
    EXPECT_EQ(grid.TabFileBytes(), QByteArray("a b c\r\n"));
}

// A cell longer than a line edit's usual 32,767 units, with a character of
// two units across that length: F2 edits it whole and takes a typed key.
TEST_F(GridEventsTest, ALongCellIsEditedWhole) {
    const QString text = QString::fromUtf8("\xF0\x9F\x98\x80").repeated(16384);
    grid.SetText(1, 1, text);
    goTo(1, 1);
    key(Qt::Key_F2);
    key(Qt::Key_End);
    type("x");
    key(Qt::Key_Return);
    EXPECT_TRUE(grid.GetText(1, 1) == text + u'x');  // (no EXPECT_EQ: it would print 32,769 units)
}

}  // namespace
}  // namespace qvrt
