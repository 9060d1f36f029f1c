// Keys and commands that change no cell leave the sheet unmodified, so
// closing it asks nothing; those that change a cell still mark it.
#include "commands_fixture.h"

#include <QLineEdit>
#include <QTest>

using namespace quarvex;

TEST_F(CommandsTest, OnlyKeysAndCommandsThatChangeACellMarkTheSheet) {
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    const QStringList samples{"Sample #\tName\tA\tB\tC\tSymbol\tColor", "1\tx\t1\t1\t1\t1\t1"};
    // Modifiers reach the grid first; a menu's shortcut takes the key before it.
    const struct {
        const char* what;
        QStringList cells;  // from A1; the cursor on A2
        QKeyCombination keys;
        int16_t modified;
    } cases[] = {
        {"Move Down, a menu's shortcut", {}, Qt::CTRL | Qt::SHIFT | Qt::Key_F8, 0},
        {"Alt and a letter no menu takes", {}, Qt::ALT | Qt::Key_Q, 0},
        {"Undo with nothing to undo", {}, Qt::CTRL | Qt::Key_U, 0},
        {"Cut of an empty cell", {"a"}, Qt::CTRL | Qt::Key_X, 0},
        {"Paste of an empty clipboard", {"a"}, Qt::CTRL | Qt::Key_V, 0},
        {"Insert Row below the text", {"a"}, Qt::CTRL | Qt::Key_I, 0},
        {"Delete Row below the text", {"a"}, Qt::CTRL | Qt::Key_E, 0},
        {"Assign Symbols again", samples, Qt::CTRL | Qt::SHIFT | Qt::Key_F1, 0},
        {"a typed character", {}, Qt::Key_X, -1},
        {"Cut of text", {"a", "b"}, Qt::CTRL | Qt::Key_X, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        frame->mnuNew_Click();
        sheet = active();
        fill(c.cells);
        moveTo(1, 2);
        grid().view()->setFocus();
        QTest::keyClick(grid().view(), c.keys.key(), c.keys.keyboardModifiers());
        EXPECT_EQ(sheet->Record().Modified, c.modified);
    }
    EXPECT_EQ(boxTexts(), QStringList());
}

// An edit ending with a change marks the sheet whatever keys made it: a
// paste into the open cell goes down with Ctrl.
TEST_F(CommandsTest, AnEditEndingWithAChangeMarksTheSheet) {
    QAbstractItemView* view = grid().view();
    view->edit(view->model()->index(0, 0));
    sheet->Record().Modified = 0;
    view->findChild<QLineEdit*>()->setText("pasted");
    moveTo(2, 1);  // stored as the cursor leaves
    EXPECT_EQ(cell(1, 1), "pasted");
    EXPECT_EQ(sheet->Record().Modified, -1);
}
