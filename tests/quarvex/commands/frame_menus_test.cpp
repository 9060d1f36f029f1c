#include "commands_fixture.h"

#include "quarvex/sheets/def_cols.h"
#include "quarvex/frame/toolbar.h"
#include "quarvex/sheets/clipboard_edit.h"
#include "quarvex/sheets/find_replace.h"

#include <QAction>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>

using namespace quarvex;

class FrameMenusTest : public CommandsTest {
protected:
    QAction* item(const QString& name) const {
        QAction* a = frame->MenuItem(name);
        EXPECT_NE(a, nullptr) << name.toStdString();
        return a;
    }
    // "caption|shortcut|help context" of an item.
    QString describe(const QString& name) const {
        QAction* a = item(name);
        if (!a) return QString();
        const QVariant help = a->property("HelpContextID");
        return a->text() + "|" + a->shortcut().toString() + "|" + (help.isValid() ? help.toString() : QString());
    }
};

TEST_F(FrameMenusTest, TheMenuBarHoldsTheSevenMenusInOrder) {
    QStringList captions;
    for (QAction* a : frame->menuBar()->actions()) captions << a->text();
    EXPECT_EQ(captions, QStringList({"&File", "&Edit", "&Search", "S&ort", "&Options", "&Window", "&Help"}));
}

TEST_F(FrameMenusTest, ItemsCarryTheirCaptionsShortcutsAndHelpContexts) {
    EXPECT_EQ(describe("mnuFile"), "&File||5");
    EXPECT_EQ(describe("mnuClose"), "&Close|F11|12");
    EXPECT_EQ(describe("mnuSaveAs"), "Save &As...|Ctrl+A|25");
    EXPECT_EQ(describe("mnuPrint"), "&Print...|Ctrl+P|30");
    EXPECT_EQ(describe("mnuPrintSetup"), "Print Set&up...|Ctrl+B|35");
    EXPECT_EQ(describe("mnuExit"), "&Exit|F7|45");
    EXPECT_EQ(describe("mnuUndo"), "&Undo|Ctrl+U|");
    EXPECT_EQ(describe("mnuEdit1(1)"), "Cu&t|Ctrl+X|65");
    EXPECT_EQ(describe("mnuEdit1(4)"), "&Delete Row|Ctrl+E|73");
    EXPECT_EQ(describe("mnuSearch1(1)"), "Find &Next|F3|84");
    EXPECT_EQ(describe("mnuSample"), "&Sample #|Ctrl+N|95");
    EXPECT_EQ(describe("mnuGraphOptions1"), "Set Ternary &Options...|Ctrl+J|260");
    EXPECT_EQ(describe("mnuDefCols"), "&Define Columns...|Ctrl+M|262");
    EXPECT_EQ(describe("mnuGrid2(1)"), "Move &Down|Ctrl+Shift+F8|");
    EXPECT_EQ(describe("mnuDiamond"), "Insert Diamond Headings|Ctrl+D|");
    EXPECT_EQ(describe("mnuAssignSymbols"), "A&ssign Symbols|Ctrl+Shift+F1|");
    EXPECT_EQ(describe("mnuSymbols2"), "Sym&bols|Ctrl+Shift+F3|270");
    EXPECT_EQ(describe("mnuColors"), "&Colors||265");
    EXPECT_EQ(describe("mnuConvert"), "Con&vert to Coord|Ctrl+Z|135");
    EXPECT_EQ(describe("mnuRestore"), "&Restore All Settings|Ctrl+G|");
    EXPECT_EQ(describe("mnuHelpHow"), "&How To Use Help||");
}

TEST_F(FrameMenusTest, ClosingTheLastSheetDisablesTheDataItemsAndTheWindowMenu) {
    sheet->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (const char* name : {"mnuDefCols", "mnuCascade", "mnuTile", "mnuArrange", "mnuPrint", "mnuEdit1(2)",
                             "mnuSearch1(0)", "mnuSample", "mnuSymbols", "mnuConvert"})
        EXPECT_FALSE(item(name)->isEnabled()) << name;
    for (const char* name : {"mnuNew", "mnuOpen", "mnuExit", "mnuRestore", "mnuHelpAbout", "mnuFileUpdate(0)"})
        EXPECT_TRUE(item(name)->isEnabled()) << name;
    frame->mnuNew_Click();
    EXPECT_TRUE(item("mnuDefCols")->isEnabled());
}

TEST_F(FrameMenusTest, AutoSymbolsFromTheMenuTogglesOncePerClick) {
    item("mnuAutoSymbols")->trigger();
    EXPECT_TRUE(frame->mnuAutoSymbols->isChecked());
    EXPECT_EQ(AutoSymbols, -1);
    item("mnuAutoSymbols")->trigger();
    EXPECT_FALSE(frame->mnuAutoSymbols->isChecked());
    EXPECT_EQ(AutoSymbols, 0);
}

TEST_F(FrameMenusTest, UndoOfACellEditGoesBackIntoThatSheet) {
    grid().SetText(2, 3, "old");
    emit grid().EditMode(2, 3, 1, false);
    grid().SetText(2, 3, "typed");
    Main1* first = sheet;
    frame->mnuNew_Click();
    item("mnuUndo")->setEnabled(true);
    item("mnuUndo")->trigger();
    EXPECT_EQ(cell(2, 3, first), "old");
    EXPECT_EQ(cell(2, 3, active()), "");
}

TEST_F(FrameMenusTest, SortFromTheMenuDisablesUndo) {
    fill({"h", "2\tx\t1\t1\t1\t1\t1", "1\ty\t1\t1\t1\t1\t1"});
    item("mnuSample")->trigger();
    EXPECT_EQ(cell(1, 2, active()), "1");
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
}

TEST_F(FrameMenusTest, IndexedHandlersIgnoreIndicesOutsideTheirItems) {
    fill({"a"});
    frame->mnuEdit1_Click(5);
    frame->mnuEdit1_Click(-1);
    frame->mnuSearch1_Click(3);
    EXPECT_EQ(sheet->Record().Modified, 0);
    EXPECT_EQ(ReplaceText::Instance(), nullptr);
}

TEST_F(FrameMenusTest, EditItemsReachTheirOperations) {
    fill({"a1\tb1"});
    moveTo(1, 1);
    item("mnuEdit1(0)")->trigger();
    EXPECT_EQ(host->clipboard, "a1\r\n");
    item("mnuEdit1(3)")->trigger();
    EXPECT_EQ(cell(1, 2), "a1");
    item("mnuEdit1(4)")->trigger();
    EXPECT_EQ(cell(1, 1), "a1");
}

TEST_F(FrameMenusTest, DefineColumnsOpensTheDialogModeless) {
    item("mnuDefCols")->trigger();
    ASSERT_NE(DefCols::Instance(), nullptr);
    EXPECT_FALSE(DefCols::Instance()->isModal());
    DefCols::Instance()->close();
}

TEST_F(FrameMenusTest, TheToolbarSitsOnTheFrameAndDispatchesByKey) {
    ASSERT_NE(frame->Toolbar1, nullptr);
    frame->Toolbar1->Button("New")->trigger();
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 2);
    frame->Toolbar1->Button("Insert Row")->trigger();
    EXPECT_EQ(grid(active()).MaxRows(), 15001);
}

TEST_F(FrameMenusTest, TheHintOperationWritesTheHintPanel) {
    frame->ShowToolbarHint(6);
    EXPECT_EQ(frame->Panel3D4->text(), "Plots data");
}

TEST_F(FrameMenusTest, HeadingOperationsOfTheFrameReachTheSheet) {
    int16_t selector = 3;
    frame->InsertVolcanicHeadings(selector);
    EXPECT_EQ(sheet->Record().DiagramType, "TAS-Volcanic");
    EXPECT_EQ(selector, 3);
    item("mnuXY")->trigger();
    EXPECT_EQ(frame->Panel3D1->text(), "XY Plot");
}

TEST_F(FrameMenusTest, F1OnAHighlightedItemOpensItsHelpTopic) {
    QAction* file = item("mnuFile");
    QMenu* menu = file->menu();
    ASSERT_NE(menu, nullptr);
    menu->setActiveAction(item("mnuPrint"));
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(menu, &f1);
    ASSERT_EQ(host->helpCalls.size(), 1u);
    EXPECT_EQ(host->helpCalls[0].first, qvrt::HELP_CONTEXT);
}

TEST_F(FrameMenusTest, TheWindowMenuListsTheOpenSheets) {
    frame->mnuNew_Click();
    QMenu* window = item("mnuWindow")->menu();
    ASSERT_NE(window, nullptr);
    emit window->aboutToShow();
    QStringList listed;
    for (QAction* a : window->actions())
        if (a->text().startsWith('&') && a->text().contains("Sheet")) listed << a->text();
    EXPECT_EQ(listed, QStringList({"&1 Sheet1-", "&2 Sheet2-"}));
}
