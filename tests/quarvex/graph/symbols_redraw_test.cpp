// Sample colours and glyph offsets, the redraw's replay and the window's
// menu commands.
#include "graph_fixture.h"

#include "quarvex/graph/plot_launcher.h"
#include "quarvex/state/data_table.h"
#include "quarvex/state/graph_state.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

namespace quarvex::test {
namespace {

constexpr double kTol = 1e-3;

TEST_F(GraphTest, ColourNumbersPickPaletteEntriesWithTheirOldRules) {
    const float numbers[] = {3, 15, 0, -2, 16, 2.5f, std::nanf("")};
    const int n = int(std::size(numbers));
    SampleColors.Grow(n);
    for (int i = 1; i <= n; ++i) SampleColors(i) = numbers[i - 1];
    for (size_t k = 1; k <= 14; ++k) ColorPalette[k] = uint32_t(1000 + k);
    graph->SampleCount = int16_t(n);
    graph->AssignSampleColours();
    EXPECT_FLOAT_EQ(graph->SampleColour[1], 1003);
    EXPECT_FLOAT_EQ(graph->SampleColour[2], 0);  // colour 15 draws black
    EXPECT_FLOAT_EQ(graph->SampleColour[3], 5);
    EXPECT_FLOAT_EQ(graph->SampleColour[4], 5);
    EXPECT_FLOAT_EQ(graph->SampleColour[5], 5);
    EXPECT_FLOAT_EQ(graph->SampleColour[6], 0);
    EXPECT_FLOAT_EQ(graph->SampleColour[7], 0);
}

TEST_F(GraphTest, GlyphOffsetsFollowTheDirectionOfTheYAxis) {
    surface.Scale(0, 100, 100, 0);  // y up
    graph->MeasureSymbols();
    EXPECT_GT(graph->SymbolCentringV[1], 0);
    EXPECT_GT(graph->SymbolCentringH[14], 0);
    EXPECT_FLOAT_EQ(graph->SymbolCentringV[15], 0);
    surface.Scale(0, 0, 100, 100);  // y down
    graph->MeasureSymbols();
    EXPECT_LT(graph->SymbolCentringV[3], 0);
    EXPECT_EQ(graph->SymbolChars[15], 0);
}

TEST_F(GraphTest, RedrawPaintsBoxesAndLinesInTheCurrentColourAndLabelsInTheirOwn) {
    graph->DiagramType = QStringLiteral("Ternary");
    graph->BoxList.Append({10, 10, 20, 20});
    graph->LineList.Append({0, 0, 50, 50});
    graph->TextLabelList.Append({QStringLiteral("note"), 30, 40, QStringLiteral("Arial"), 10, 0, 0, 255});
    graph->PointLabelList.Append({QStringLiteral("P1"), 65280, 5, 5, 0});
    graph->PointLabelList.Append({QStringLiteral("P2"), 65280, 6, 6, 0});
    graph->PointLabelList.Count = 1;  // undone
    graph->AxesColor = 0x0000FF;
    graph->RedrawGraph();
    EXPECT_EQ(surface.Ops().front().kind, qvrt::DrawOp::Cls);
    const auto boxes = surface.OpsOf(qvrt::DrawOp::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].color, 0x0000FFu);
    EXPECT_EQ(Texts(QStringLiteral("note")).at(0).color, 255u);
    EXPECT_EQ(Texts(QStringLiteral("P1")).at(0).color, 65280u);
    EXPECT_TRUE(Texts(QStringLiteral("P2")).empty());
}

TEST_F(GraphTest, RedrawCallsTheOverlayOfItsDiagramAfterTheFrame) {
    std::vector<QString> calls;
    Graph2Seams().DrawFieldNames = [&](Graph2& g) { calls.push_back(QStringLiteral("names ") + g.DiagramType); };
    Graph2Seams().DrawFieldsQAPFVolcanic = [&](Graph2&) { calls.push_back(QStringLiteral("qapf-v")); };
    for (const char* kind : {"Sandstones", "QAPF-Volcanic", "XY Plot"}) {
        graph->DiagramType = QString::fromLatin1(kind);
        graph->RedrawGraph();
    }
    Graph2Seams() = {};
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], QStringLiteral("names Sandstones"));
    EXPECT_EQ(calls[1], QStringLiteral("qapf-v"));
}

TEST_F(GraphTest, MenuCommandsToggleTheirSettingsAndRedraw) {
    graph->DiagramType = QStringLiteral("Ternary");
    QAction* grid = graph->MenuItem(QStringLiteral("mnuGrid"));
    grid->trigger();
    EXPECT_EQ(graph->ShowGrid, -1);
    EXPECT_TRUE(grid->isChecked());
    EXPECT_EQ(Lines(qvrt::RGB(150, 150, 150), qvrt::vbDot).size(), 27u);
    grid->trigger();
    EXPECT_EQ(graph->ShowGrid, 0);

    graph->MenuItem(QStringLiteral("mnuLarge"))->trigger();
    EXPECT_EQ(DiagramSize, QStringLiteral("Large"));
    EXPECT_FALSE(graph->MenuItem(QStringLiteral("mnuMedium"))->isChecked());

    QAction* lines = graph->MenuItem(QStringLiteral("mnuFieldLines"));
    EXPECT_FALSE(lines->isChecked());
    lines->trigger();
    EXPECT_EQ(graph->ShowFieldLines, -1);
    EXPECT_EQ(graph->ShowFieldLetters, -1);
    EXPECT_EQ(ShowFieldLines, -1);
    graph->MenuItem(QStringLiteral("mnuFieldLetters"))->trigger();
    EXPECT_EQ(graph->ShowFieldLetters, 0);
    EXPECT_FALSE(graph->MenuItem(QStringLiteral("mnuFieldLetters"))->isChecked());

    QAction* legend = graph->MenuItem(QStringLiteral("mnuLegends(1)"));
    legend->trigger();
    EXPECT_TRUE(legend->isChecked());  // a click turns it on, not on and back off
    legend->trigger();
    EXPECT_FALSE(legend->isChecked());
}

TEST_F(GraphTest, EveryMenuItemIsPresent) {
    for (const char* name :
         {"mnuOpenTem", "mnuSaveGraphAs", "mnuPrint", "mnuClose", "mnuUndo", "mnuCopyGraph", "mnuAxesColor",
          "mnuAxesFont", "mnuTitle", "mnuBox", "mnuLine", "mnuText", "mnuFont", "mnuSmall", "mnuMedium", "mnuLarge",
          "mnuTables", "mnuCurveFit", "mnuLegends(1)", "mnuGrid", "mnuSymbolDesc", "mnuTickMarks", "mnuHelpContents",
          "mnuHelpSearch", "mnuAbout", "mnuHelpHow"})
        EXPECT_NE(graph->MenuItem(QString::fromLatin1(name)), nullptr) << name;
    QStringList tops;
    for (QAction* a : graph->MenuBar()->actions()) tops << a->text();
    EXPECT_EQ(tops, (QStringList{"&File", "&Edit", "&Options", "&Help"}));
}

TEST_F(GraphTest, CancellingTheColourDialogChangesNothing) {
    graph->DiagramType = QStringLiteral("Ternary");
    DefaultColor = 0x123456;
    graph->AxesColor = 0x800000;
    graph->mnuAxesColor_Click();
    EXPECT_EQ(DefaultColor, 0x123456u);
    EXPECT_DOUBLE_EQ(graph->AxesColor, 0x800000);
    EXPECT_TRUE(host->boxes.empty());
    host->colorAnswers.push_back(0x00FF00);
    graph->mnuAxesColor_Click();
    EXPECT_EQ(DefaultColor, 0x00FF00u);
    EXPECT_EQ(Lines(0x00FF00, 0).size(), 3u);
}

TEST_F(GraphTest, SaveDiagramAsMakesANameWithoutExtensionABitmapAndAsksBeforeReplacingIt) {
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("diagram"));
    host->fileAnswers.push_back(bare);
    graph->mnuSaveGraphAs_Click();
    EXPECT_EQ(graph->DiagramFileName, bare + QStringLiteral(".bmp"));
    ASSERT_TRUE(QFile::exists(bare + QStringLiteral(".bmp")));
    EXPECT_TRUE(host->boxes.empty());

    // Refusing to replace it shows the dialog again, whose cancel saves nothing.
    QFile(bare + QStringLiteral(".bmp")).resize(0);
    host->fileAnswers.push_back(bare);
    host->fileAnswers.push_back(std::nullopt);
    host->msgBoxAnswers.push_back(qvrt::vbNo);
    graph->mnuSaveGraphAs_Click();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_TRUE(host->boxes[0].prompt.startsWith(bare + QStringLiteral(".bmp")));
    EXPECT_EQ(QFileInfo(bare + QStringLiteral(".bmp")).size(), 0);

    host->fileAnswers.push_back(bare);
    host->msgBoxAnswers.push_back(qvrt::vbYes);
    graph->mnuSaveGraphAs_Click();
    EXPECT_GT(QFileInfo(bare + QStringLiteral(".bmp")).size(), 0);
}

TEST(XYFilterOnSamples, EveryValueOfAKeptSampleMovesWithIt) {
    qvrt::InstallScriptedHost();
    ResetProgramState();
    SampleCount = 3;
    for (SampleArray* a : {&XValues, &YValues, &ZValues, &FValues, &SampleSymbols, &SampleColors, &PlagRatio})
        a->Grow(3);
    DataTable.Grow(3);
    const float xs[] = {50, 5, 6}, ys[] = {5, 50, 6};
    for (int i = 1; i <= 3; ++i) {
        XValues(i) = xs[i - 1];
        YValues(i) = ys[i - 1];
        ZValues(i) = float(10 * i);
        SampleSymbols(i) = float(i + 4);
        SampleColors(i) = float(i);
        DataTable(1, i) = QStringLiteral("S%1").arg(i);
    }
    ScaleMinX = ScaleMinY = 0;
    ScaleMaxX = ScaleMaxY = 10;
    MODULE21::FilterXYRange();
    ASSERT_EQ(SampleCount, 1);
    EXPECT_FLOAT_EQ(XValues(1), 6);
    EXPECT_FLOAT_EQ(ZValues(1), 30);
    EXPECT_FLOAT_EQ(SampleSymbols(1), 7);
    EXPECT_FLOAT_EQ(SampleColors(1), 3);
    EXPECT_EQ(DataTable(1, 1), QStringLiteral("S3"));
}

}  // namespace
}  // namespace quarvex::test
