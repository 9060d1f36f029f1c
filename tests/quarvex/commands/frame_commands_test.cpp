#include "commands_fixture.h"

#include "quarvex/frame/frame_commands.h"
#include "quarvex/frame/toolbar.h"
#include "quarvex/normsheet/norm3b.h"
#include "quarvex/runtime/recording_surface.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>

using namespace quarvex;
namespace FC = quarvex::FrameCommands;

class FrameCommandsTest : public CommandsTest {
protected:
    void SetUp() override {
        CommandsTest::SetUp();
        GraphDialogOpeners.Options = [this] { opened << "Options"; };
        GraphDialogOpeners.SetUp = [this] { opened << "SetUp"; };
    }
    void TearDown() override {
        GraphDialogOpeners = {};
        CommandsTest::TearDown();
    }
    void closeAll() {
        for (QMdiSubWindow* w : frame->mdiArea()->subWindowList()) w->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    QStringList opened;
};

TEST_F(FrameCommandsTest, PlotOpensSetUpForAnXYSheetAndOptionsOtherwise) {
    FC::ToolbarButtonClick("Plot");
    sheet->Record().DiagramType = "XY Plot";
    FC::ToolbarButtonClick("Plot");
    sheet->Record().DiagramType = "QAPF-Plutonic";
    FC::ToolbarButtonClick("Plot");
    EXPECT_EQ(opened, QStringList({"Options", "SetUp", "Options"}));
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(FrameCommandsTest, PlotWithNoWindowShowsTheErrorBoxAndResetsThePointer) {
    closeAll();
    host->pointer = qvrt::vbHourglass;
    FC::ToolbarButtonClick("Plot");
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Error");
    EXPECT_EQ(host->boxes[0].style, qvrt::vbExclamation);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(FrameCommandsTest, NewAndOpenWorkWithNoSheetOpen) {
    closeAll();
    host->fileAnswers = {std::nullopt};
    FC::ToolbarButtonClick("Open");
    FC::ToolbarButtonClick("New");
    EXPECT_NE(active(), nullptr);
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(DataMenusEnabled, -1);
}

TEST_F(FrameCommandsTest, AnUnknownKeyDoesNothing) {
    FC::ToolbarButtonClick("Frobnicate");
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 1);
}

TEST_F(FrameCommandsTest, ConvertPutsTheCoordinatesIntoANewSheetEachTime) {
    fill({"h", "1\tx\t1\t1\t1\t1\t2"});
    FC::ToolbarButtonClick("Convert");
    EXPECT_EQ(cell(7, 2, active()), "50.00");
    sheet->SetFocus();
    FC::ConvertToCoord(true);
    EXPECT_FALSE(frame->mnuUndo->isEnabled());
    EXPECT_EQ(frame->mdiArea()->subWindowList().size(), 3);
}

TEST_F(FrameCommandsTest, ConvertWithNoSheetOpensNothing) {
    closeAll();
    FC::ConvertToCoord(true);
    EXPECT_TRUE(frame->mdiArea()->subWindowList().isEmpty());
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(FrameCommandsTest, AssignSymbolsWritesNumberedSymbolsBackAndKeepsAutoSymbolsOn) {
    AutoColors = -1;
    fill({"h", "1\tx\t9\t9\t1\t1\t1", "2\ty\t9\t9\t1\t1\t1"});
    FC::AssignSymbols();
    EXPECT_EQ(rowText(3, 4), "2\ty\t2\t1");
    EXPECT_EQ(AutoSymbols, -1);
    EXPECT_EQ(AutoColors, 0);
    EXPECT_EQ(sheet->Record().Modified, -1);
}

TEST_F(FrameCommandsTest, AssignColorsNumbersColoursFirst) {
    fill({"h", "1\tx\t9\t9\t1\t1\t1", "2\ty\t9\t9\t1\t1\t1"});
    FC::AssignColors();
    EXPECT_EQ(rowText(3, 4), "2\ty\t1\t2");
    EXPECT_EQ(AutoColors, -1);
    EXPECT_EQ(AutoSymbols, 0);
}

TEST_F(FrameCommandsTest, AutoSymbolsClickedTwiceReturnsToUnchecked) {
    QAction item;
    item.setCheckable(true);
    FC::AutoSymbolsClick(item);
    EXPECT_TRUE(item.isChecked());
    EXPECT_EQ(AutoSymbols, -1);
    FC::AutoSymbolsClick(item);
    EXPECT_FALSE(item.isChecked());
    EXPECT_EQ(AutoSymbols, 0);
}

TEST_F(FrameCommandsTest, ToolbarHintsByIndexAndNothingOutsideThem) {
    QLabel panel;
    FC::ShowToolbarHint(5, panel);
    EXPECT_EQ(panel.text(), "Converts to XYZ Coordinates");
    FC::ShowToolbarHint(8, panel);
    FC::ShowToolbarHint(-1, panel);
    EXPECT_EQ(panel.text(), "Converts to XYZ Coordinates");
    FC::ShowToolbarHint(0, panel);
    EXPECT_EQ(panel.text(), "Creates a new file");
}

TEST_F(FrameCommandsTest, ReplotFromMemorySetsTheFlagAndShowPlotOptionsClearsIt) {
    FC::ReplotFromMemory();
    EXPECT_EQ(PlotFromMemory, -1);
    FC::ShowPlotOptions();
    EXPECT_EQ(PlotFromMemory, 0);
    EXPECT_EQ(opened, QStringList({"Options", "Options"}));
}

TEST_F(FrameCommandsTest, PrepareNormColumnsSetsTheExtendedLayoutAndReads) {
    fill({"h", "1\tx\t1\t1\t1\t1\t1"});
    FC::PrepareNormColumns(3);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxSiO2], 5);
    EXPECT_EQ(NORM3B::OxideColumns[norm::OxZrO2], 24);
    EXPECT_EQ(NORM3B::OxideTotalColumn, 25);
    EXPECT_EQ(SampleCount, 1);
}

TEST_F(FrameCommandsTest, HelpCommandsGoToTheProgramsHelpFile) {
    FC::HelpContents();
    FC::HelpSearch();
    FC::HelpHowTo();
    FC::ShowHelpIndex();
    ASSERT_EQ(host->helpCalls.size(), 4u);
    EXPECT_EQ(host->helpCalls[0], std::make_pair(int(qvrt::HELP_CONTENTS), QString("Quarvex.HLP")));
    EXPECT_EQ(host->helpCalls[1].first, qvrt::HELP_PARTIALKEY);
    EXPECT_EQ(host->helpCalls[2].first, qvrt::HELP_HELPONHELP);
    EXPECT_EQ(host->helpCalls[3].first, qvrt::HELP_CONTEXT);
}

TEST_F(FrameCommandsTest, PrintSetupCancelledShowsNothing) {
    host->printerAnswers = {false};
    FC::PrintSetup();
    EXPECT_TRUE(host->boxes.empty());
    ASSERT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(host->dialogs[0].flags, 64);
}

TEST(Toolbar, ButtonsAreFoundByKeyAndReportTheirKey) {
    QStringList clicked;
    quarvex::Toolbar1 bar([&](const QString& key) { clicked << key; });
    EXPECT_EQ(bar.Keys(), QStringList({"New", "Print", "Open", "Save", "Delete Row", "Insert Row", "Convert", "Plot"}));
    ASSERT_NE(bar.Button("Convert"), nullptr);
    EXPECT_EQ(bar.Button("Convert")->toolTip(), "Convert to XYZ");
    EXPECT_EQ(bar.Button("Save")->toolTip(), "Save");
    EXPECT_EQ(bar.Button("Missing"), nullptr);
    bar.Button("Plot")->trigger();
    bar.Button("New")->trigger();
    EXPECT_EQ(clicked, QStringList({"Plot", "New"}));
    int separators = 0;
    for (QAction* a : bar.actions()) separators += a->isSeparator();
    EXPECT_EQ(separators, 5);
}
