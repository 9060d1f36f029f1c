#include "quarvex/frame/frame_fixture.h"
#include "quarvex/state/data_menus.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/sheets/plt_file.h"

#include <QAction>
#include <QLabel>

using namespace quarvex;

class SheetTest : public FrameTest {
protected:
    void SetUp() override {
        FrameTest::SetUp();
        start();
        sheet = active();
        ASSERT_NE(sheet, nullptr);
    }
    Main1* sheet = nullptr;
};

TEST_F(SheetTest, ClosingTheSecondOfThreeSheetsKeepsItsRecordAndItsIndex) {
    frame->mnuNew_Click();
    QPointer<Main1> second = active();
    frame->mnuNew_Click();
    second->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(WindowTable[2].IsOpen, 0);
    frame->mnuNew_Click();
    EXPECT_EQ(active()->Tag, "4");
    EXPECT_EQ(active()->Caption(), "Sheet4-");
    EXPECT_EQ(WindowTable.size(), 5u);
    EXPECT_EQ(DataWindows.size(), 5u);
}

TEST_F(SheetTest, ASheetWithoutChangesClosesWithoutAQuestion) {
    EXPECT_TRUE(sheet->close());
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(WindowTable[1].IsOpen, 0);
}

TEST_F(SheetTest, ClosingTheLastSheetDisablesTheDataMenusAndOneOfTwoDoesNot) {
    frame->mnuNew_Click();
    active()->close();
    EXPECT_EQ(DataMenusEnabled, -1);
    EXPECT_TRUE(frame->mnuSave->isEnabled());
    sheet->close();
    EXPECT_EQ(DataMenusEnabled, 0);
    EXPECT_FALSE(frame->mnuSave->isEnabled());
    EXPECT_FALSE(frame->mnuSaveAs->isEnabled());
    EXPECT_FALSE(frame->mnuClose->isEnabled());
    EXPECT_TRUE(frame->mnuNew->isEnabled());
    EXPECT_TRUE(frame->mnuOpen->isEnabled());
    EXPECT_TRUE(frame->mnuFileUpdate[0]->isEnabled());
    frame->mnuNew_Click();
    EXPECT_TRUE(frame->mnuSave->isEnabled());
}

TEST_F(SheetTest, AChangedUnnamedSheetAsksAndCancelKeepsItOpen) {
    sheet->Grid1_KeyPress('a');
    EXPECT_EQ(sheet->Record().Modified, -1);
    host->msgBoxAnswers = {qvrt::vbCancel};
    EXPECT_FALSE(sheet->close());
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Save changes to unnamed file now?");
    EXPECT_EQ(host->boxes[0].title, "Save File?");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbYesNoCancel + qvrt::vbExclamation);
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(MsgBoxAnswer, qvrt::vbCancel);
}

TEST_F(SheetTest, NoClosesWithoutSaving) {
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbNo};
    EXPECT_TRUE(sheet->close());
    EXPECT_EQ(WindowTable[1].IsOpen, 0);
    EXPECT_EQ(WindowTable[1].Modified, 0);
    EXPECT_TRUE(host->dialogs.empty());
}

TEST_F(SheetTest, YesOnAnUnnamedSheetOpensSaveAsAndCancellingItKeepsTheSheet) {
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    EXPECT_FALSE(sheet->close());
    ASSERT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(host->dialogs[0].kind, "Save");
    EXPECT_EQ(DialogCancelled, -1);
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(WindowTable[1].Modified, -1);
}

TEST_F(SheetTest, YesOnAnUnnamedSheetSavesThroughSaveAsAndCloses) {
    sheet->Grid1->SetText(2, 1, "w");
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    host->fileAnswers = {path("named.plt")};
    EXPECT_TRUE(sheet->close());
    EXPECT_EQ(readAll(path("named.plt")), "\tw\r\n");
    EXPECT_EQ(WindowTable[1].IsOpen, 0);
    EXPECT_EQ(WindowTable[1].SaveCancelled, 0);
    EXPECT_EQ(frame->FileUpdateCaption(0), path("named.plt"));
}

TEST_F(SheetTest, YesOnAnUnnamedSheetWhoseSaveAsFailsKeepsTheSheetAndItsChanges) {
    sheet->Grid1->SetText(1, 1, "keep");
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    host->fileAnswers = {QString("/dev/full")};
    EXPECT_FALSE(sheet->close());
    EXPECT_EQ(host->boxes.back().prompt, "Disk full");
    EXPECT_EQ(host->boxes.back().title, "Save File Error");
    EXPECT_EQ(DialogCancelled, 0);  // an error, not a cancelled dialog
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(WindowTable[1].Modified, -1);
    EXPECT_EQ(sheet->Caption(), "Sheet1-");
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), "keep");
}

TEST_F(SheetTest, YesSavesANamedSheetAndCloses) {
    writeAll(path("n.plt"), "");
    sheet->setCaption("Sheet1-" + path("n.plt"));
    sheet->Grid1->SetText(1, 1, "v");
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    EXPECT_TRUE(sheet->close());
    EXPECT_EQ(host->boxes[0].prompt, "Save changes to Sheet1-" + path("n.plt") + " now?");
    EXPECT_EQ(readAll(path("n.plt")), "v\r\n");
    EXPECT_EQ(WindowTable[1].IsOpen, 0);
}

TEST_F(SheetTest, ASaveThatFailsKeepsTheSheetOpenWithItsChanges) {
    sheet->setCaption("Sheet1-/dev/full");
    sheet->Grid1->SetText(1, 1, "v");
    WindowTable[1].Modified = -1;
    host->msgBoxAnswers = {qvrt::vbYes};
    EXPECT_FALSE(sheet->close());
    EXPECT_EQ(host->boxes.back().title, "Save File Error");
    EXPECT_EQ(WindowTable[1].IsOpen, -1);
    EXPECT_EQ(WindowTable[1].Modified, -1);
    EXPECT_EQ(sheet->Grid1->GetText(1, 1), "v");
}

TEST_F(SheetTest, EveryKeyMarksTheSheetModifiedAndEnablesTheDataMenus) {
    MODULE21::DisableDataMenus();
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkDown, 0);  // a cursor key too
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_EQ(DataMenusEnabled, -1);
    GridBusy = -1;
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkReturn, 0);
    EXPECT_EQ(GridBusy, 0);
    EXPECT_EQ(sheet->EnterPressed, -1);
}

TEST_F(SheetTest, EditingStartFillsTheUndoRecord) {
    sheet->Grid1->SetText(3, 4, "old");
    sheet->Grid1_EditMode(3, 4, 1, false);
    EXPECT_EQ(UndoRecord.Col1, 3);
    EXPECT_EQ(UndoRecord.Col2, 3);
    EXPECT_EQ(UndoRecord.Row1, 4);
    EXPECT_EQ(UndoRecord.Row2, 4);
    EXPECT_EQ(UndoRecord.Contents, "old");
    EXPECT_TRUE(frame->mnuUndo->isEnabled());
    EXPECT_TRUE(sheet->Grid1->ReDraw());
}

TEST_F(SheetTest, EnterMovingDownGoesToTheNextRow) {
    EnterMovesRight = 0;
    sheet->Grid1_EditMode(2, 5, 1, false);
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkReturn, 0);
    sheet->Grid1_EditMode(2, 5, 0, true);
    EXPECT_EQ(sheet->Grid1->ActiveRow(), 6);
    EXPECT_EQ(sheet->Grid1->ActiveCol(), 2);
    EXPECT_EQ(sheet->EnterPressed, 0);
}

TEST_F(SheetTest, EnterMovingDownInTheLastRowAddsARow) {
    EnterMovesRight = 0;
    sheet->Grid1_EditMode(1, 15000, 1, false);
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkReturn, 0);
    sheet->Grid1_EditMode(1, 15000, 0, true);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15001);
    EXPECT_EQ(sheet->Grid1->ActiveRow(), 15001);
}

TEST_F(SheetTest, EnterMovingRightStaysInColumnFifty) {
    EnterMovesRight = -1;
    sheet->Grid1_EditMode(7, 3, 1, false);
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkReturn, 0);
    sheet->Grid1_EditMode(7, 3, 0, true);
    EXPECT_EQ(sheet->Grid1->ActiveCol(), 8);
    sheet->Grid1_EditMode(50, 3, 1, false);
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkReturn, 0);
    sheet->Grid1_EditMode(50, 3, 0, true);
    EXPECT_EQ(sheet->Grid1->ActiveCol(), 50);
    EXPECT_EQ(sheet->Grid1->ActiveRow(), 3);
}

TEST_F(SheetTest, EditingEndedWithoutEnterDoesNotMove) {
    EnterMovesRight = 0;
    sheet->Grid1_EditMode(2, 5, 1, false);
    sheet->Grid1_EditMode(2, 5, 0, true);
    EXPECT_NE(sheet->Grid1->ActiveRow(), 6);
}

TEST_F(SheetTest, AdvancingPastTheLastCellOrSelectingTheLastRowAddsExactlyOneRow) {
    sheet->Grid1_Advance(false);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15000);
    sheet->Grid1_Advance(true);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15001);
    EXPECT_EQ(sheet->Grid1->Row(), 15001);
    sheet->Grid1_SelChange(1, 14000, 2, 15000, 1, 14000);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15001);
    sheet->Grid1_SelChange(1, 14000, 2, 15001, 1, 14000);
    EXPECT_EQ(sheet->Grid1->MaxRows(), 15002);
}

TEST_F(SheetTest, ThePositionPanelShowsTheNewCell) {
    sheet->Grid1_LeaveCell(1, 1, 3, 12);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 12  COL: 3");
    sheet->Grid1_LeaveCell(3, 12, 0, 5);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 12  COL: 3");
    GridBusy = -1;
    sheet->Grid1_LeaveCell(3, 12, 4, 4);
    EXPECT_EQ(frame->Panel3D2->text(), "ROW: 12  COL: 3");
}

TEST_F(SheetTest, ActivatingASheetShowsItsDiagramType) {
    frame->mnuNew_Click();
    sheet->Record().DiagramType = "XY Plot";
    frame->mdiArea()->setActiveSubWindow(sheet);
    EXPECT_EQ(frame->Panel3D1->text(), "XY Plot");
}

TEST_F(SheetTest, ARecordLookupThroughAnEmptyTagReachesElementZero) {
    EXPECT_EQ(&RecordByTag(""), &WindowTable[0]);
    EXPECT_EQ(&RecordByTag("1"), &WindowTable[1]);
}

TEST_F(SheetTest, ARecordLookupRoundsTheTagAndNeverReachesPastTheTable) {
    ASSERT_EQ(WindowTable.size(), 2u);
    EXPECT_EQ(&RecordByTag("0.6"), &WindowTable[1]);
    for (const char* tag : {"1.6", "2", "99999", "-1"}) {
        try {
            RecordByTag(tag);
            ADD_FAILURE() << tag << " reached a record";
        } catch (const qvrt::RuntimeError& e) {
            EXPECT_EQ(e.number(), qvrt::ErrSubscript) << tag;
        }
    }
}

TEST_F(SheetTest, ColumnWidthsFollowTheScreenScale) {
    // 1280 pixels at 15 twips: ScreenScaleX is 2.
    EXPECT_EQ(sheet->Grid1->ColWidth(0), 720);
    EXPECT_EQ(sheet->Grid1->ColWidth(1), 2160);
    EXPECT_EQ(sheet->Grid1->ColWidth(50), 2160);
}

TEST_F(SheetTest, ASheetCounterAtItsLimitLeavesTheNewSheetUnnamed) {
    SheetCounter = 32767;
    frame->mnuNew_Click();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "Overflow");
    EXPECT_EQ(host->boxes[0].title, "Error Loading New Grid");
    EXPECT_EQ(active()->Caption(), "Unnamed");
    EXPECT_EQ(host->MousePointer(), qvrt::vbDefault);
}

TEST_F(SheetTest, ACursorKeyInAnUnchangedSheetMakesTheCloseQuestionAppear) {
    sheet->Grid1_KeyDown(qvrt::SpreadGrid::VkLeft, 0);
    host->msgBoxAnswers = {qvrt::vbNo};
    EXPECT_TRUE(sheet->close());
    EXPECT_EQ(host->boxes.size(), 1u);
}
