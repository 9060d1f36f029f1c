#include "quarvex/graph/colors1.h"
#include "quarvex/graph/symbols1.h"
#include "quarvex/runtime/scripted_host.h"
#include "quarvex/sheets/main1.h"
#include "quarvex/state/frame_interface.h"
#include "quarvex/state/program_state.h"
#include "quarvex/state/reset.h"

#include <QApplication>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace quarvex;

namespace {

// Just enough frame for a sheet to be the active child.
class OneSheetFrame : public FrameInterface {
public:
    QWidget* FrameWindow() override { return nullptr; }
    qvrt::ChildForm* ActiveForm() const override { return active; }
    void SetPanelText(StatusPanel, const QString&) override {}
    void SetUndoEnabled(bool on) override { undoEnabled = on; }
    void SetDataMenusEnabled(bool) override {}
    void AddChildWindow(qvrt::ChildForm*) override {}
    void ActivateChild(qvrt::ChildForm* child) override { active = child; }
    void NewDataWindow() override {}
    qvrt::CommonDialog& CommonDialog() override { return dialog; }
    QString RecentFileCaption(int) const override { return {}; }
    void SetRecentFileCaption(int, const QString&) override {}

    qvrt::ChildForm* active = nullptr;
    bool undoEnabled = true;
    qvrt::CommonDialog dialog;
};

class PaletteInsert : public ::testing::Test {
protected:
    void SetUp() override {
        qvrt::InstallScriptedHost();
        ResetProgramState();
        InstallFrame(&frame);
        sheet = Main1::Create();
        grid().setMaxRows(4);
    }
    void TearDown() override {
        if (Symbols1* d = Symbols1::Instance()) d->close();
        if (Colors1* d = Colors1::Instance()) d->close();
        sheet->Record().Modified = 0;
        sheet->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        InstallFrame(nullptr);
        qvrt::SetHost(nullptr);
    }
    qvrt::SpreadGrid& grid() { return *sheet->Grid1; }
    void moveTo(int col, int row) {
        grid().setCol(col);
        grid().setRow(row);
        grid().setAction(qvrt::SpreadGrid::ActionActiveCell);
    }

    OneSheetFrame frame;
    Main1* sheet = nullptr;
};

TEST_F(PaletteInsert, SymbolsFillTheSymbolColumnDownwardsFromTheCurrentRow) {
    Symbols1* d = Symbols1::Show();
    EXPECT_EQ(d->windowTitle(), "Symbols");
    moveTo(1, 2);
    d->Command3D1[0]->click();  // before any click: 0
    EXPECT_EQ(grid().GetText(SymbolCol, 2), "0");
    EXPECT_EQ(grid().ActiveRow(), 3);
    EXPECT_EQ(grid().ActiveCol(), SymbolCol);
    EXPECT_EQ(sheet->Record().Modified, -1);
    EXPECT_FALSE(frame.undoEnabled);
    d->Panel3D1_Click(6);
    d->Command3D1[0]->click();
    d->Command3D1[0]->click();  // the last row: written, the cell stays
    EXPECT_EQ(grid().GetText(SymbolCol, 3), "7");
    EXPECT_EQ(grid().GetText(SymbolCol, 4), "7");
    EXPECT_EQ(grid().ActiveRow(), 4);
}

TEST_F(PaletteInsert, ColoursStartAtOneAndNothingIsWrittenOnTheHeadingsOrWithoutAColumn) {
    Colors1* d = Colors1::Show();
    moveTo(2, 1);
    d->Command3D1[0]->click();
    EXPECT_EQ(grid().GetText(ColorCol, 1), "");
    EXPECT_EQ(sheet->Record().Modified, 0);
    moveTo(2, 2);
    ColorCol = 0;
    d->Command3D1[0]->click();
    EXPECT_EQ(sheet->Record().Modified, 0);
    ColorCol = 4;
    d->Command3D1[0]->click();
    EXPECT_EQ(grid().GetText(4, 2), "1");
}

}  // namespace
