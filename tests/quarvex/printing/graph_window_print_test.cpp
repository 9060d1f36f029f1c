// The graph window's print command: its field-key switch, and what a print
// job takes from and leaves in the window.
#include "print_fixture.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/printing/graph_window_print.h"
#include "quarvex/state/format_state.h"
#include "quarvex/state/reset.h"

#include <QAction>

namespace quarvex::printing {
namespace {

using qvrt::DrawOp;

class WindowPrint : public PrintJob {
protected:
    void SetUp() override {
        PrintJob::SetUp();
        ResetProgramState();
        InstallGraphPrinting();
        window = std::make_unique<Graph2>();
        window->UseSurface(&screen);
        window->InitSymbolTable();
        window->DiagramType = QStringLiteral("QAPF-Plutonic");
        window->DiagramSize = QStringLiteral("Large");
        window->TitleFont = {QStringLiteral("Arial"), 1, 12, 0, 0};
        window->AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
        window->TextFont.Name = QStringLiteral("Arial");
    }
    void TearDown() override {
        window.reset();
        Graph2Seams().PrintDiagram = nullptr;
        PrintJob::TearDown();
    }
    qvrt::RecordingSurface screen;
    std::unique_ptr<Graph2> window;
};

TEST_F(WindowPrint, TheFieldKeyItemIsOffAtOpenAndFlipsOnlyItself) {
    QAction* key = window->MenuItem(QStringLiteral("mnuLegends(2)"));
    QAction* legend = window->MenuItem(QStringLiteral("mnuLegends(1)"));
    ASSERT_TRUE(key && legend);
    EXPECT_TRUE(key->isCheckable());
    EXPECT_FALSE(key->isChecked());
    window->mnuLegends_Click(2);
    EXPECT_TRUE(key->isChecked());
    EXPECT_FALSE(legend->isChecked());
}

TEST_F(WindowPrint, PrintDiagramPrintsTheKeyPageWhenTheSwitchIsOn) {
    window->mnuLegends_Click(2);
    host->printerAnswers.push_back(true);
    window->mnuPrint_Click();
    EXPECT_EQ(printer->DocumentsEnded(), 1);
    ASSERT_FALSE(TextsOn(2).empty());
    EXPECT_EQ(TextsOn(2).front().text, QStringLiteral("Legend"));
    EXPECT_FLOAT_EQ(window->ScaleWindow.Top, -180);  // the page fit is the window's afterwards
}

TEST_F(WindowPrint, PrintingLeavesTheScreenGlyphCentringAlone) {
    window->SymbolCentringV[3] = -7;
    window->SymbolCentringH[3] = 5;
    host->printerAnswers.push_back(true);
    window->Toolbar1_ButtonClick(QStringLiteral("Print"));
    EXPECT_EQ(printer->DocumentsEnded(), 1);
    EXPECT_FLOAT_EQ(window->SymbolCentringV[3], -7);
    EXPECT_FLOAT_EQ(window->SymbolCentringH[3], 5);
}

TEST_F(WindowPrint, TheLegendPageCarriesTheUsersSymbolDescriptions) {
    window->SampleCount = 1;
    window->SampleSymbol.assign(2, 3);
    window->SampleSymbolChar.assign(2, 117);
    window->SampleX.assign(2, 30);
    window->SampleY.assign(2, 30);
    SymbolDescriptions[3] = QStringLiteral("Basalt lavas");
    window->mnuLegends_Click(1);
    host->printerAnswers.push_back(true);
    window->mnuPrint_Click();
    bool found = false;
    for (const DrawOp& op : TextsOn(2)) found = found || op.text == QStringLiteral("Basalt lavas");
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace quarvex::printing
