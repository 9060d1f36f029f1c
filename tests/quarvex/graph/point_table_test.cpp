#include "graph_fixture.h"

#include "quarvex/graph/simple_grid.h"

#include <QAction>
#include <QLineEdit>

using namespace quarvex;

namespace {

class PointTable : public test::GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        SetSamples({{1, 1, 0, 0, 1, 0x0000FF, "A-1"},
                    {2, 2, 0, 0, 1, 0x00FF00, "A-2"},
                    {3, 3, 0, 0, 1, 0x00C0C0, "A-3"},
                    {4, 4, 0, 0, 1, 0xC0C0C0, "A-4"},
                    {5, 5, 0, 0, 1, 0x808080, "A-5"}});
        graph->PointX = {0, 10, 20, 30, 40, 50};
        graph->PointY = {0, 110, 120, 130, 140, 150};
        graph->SymbolCentringH[1] = 4;
        graph->SymbolCentringV[1] = -6;
        graph->TextColor = 0x112233;
        graph->Grid1->SetRows(6);
        graph->Grid1->SetCols(4);
        graph->PointTableReady = 1;
    }
    // Glyph colours in drawing order, with the x each was drawn at.
    std::vector<std::pair<double, uint32_t>> marks() const {
        std::vector<std::pair<double, uint32_t>> out;
        for (const auto& g : Glyphs()) out.emplace_back(g.x1, g.color);
        return out;
    }
    // Labels sample 3 and returns the y it was drawn at.
    double label(const char* type, bool byEnter) {
        graph->DiagramType = QString::fromLatin1(type);
        graph->Grid1->SetRow(3);
        surface.ClearOps();
        if (byEnter) graph->Grid1_KeyPress(13);
        else graph->Grid1_DblClick();
        const auto drawn = Texts(graph->PointLabelList[graph->PointLabelList.Count].Text);
        return drawn.empty() ? -1e9 : drawn[0].y1;
    }
};

TEST_F(PointTable, SelectingMarksTheRowRedAndReselectingUnmarksIt) {
    graph->Grid1->SetRow(3);
    graph->Grid1->SetRow(5);
    using M = std::vector<std::pair<double, uint32_t>>;
    // Red at the point less half the glyph width, then the earlier mark back
    // in its sample's own colour.
    EXPECT_EQ(marks(), (M{{26, 255}, {6, 0x0000FF}, {46, 255}, {26, 0x00C0C0}}));
    surface.ClearOps();
    graph->Grid1_SelChange();
    EXPECT_EQ(marks(), (M{{46, 255}, {46, 0x808080}}));
}

TEST_F(PointTable, TheStoredYOfALabelDependsOnTheDiagramAndHowItWasAsked) {
    const float y = 130, v = -6;
    struct Case {
        const char* type;
        bool byEnter;
        float drawn, stored;
    };
    const Case cases[] = {
        {"FAP-Plutonic", false, y + v, (y + v) + 0.3f * v},
        {"FAP-Volcanic", true, y - v, y - v},
        {"QAPF-Plutonic", false, y - v, y - v},
        {"QAPF-Volcanic", true, y, y - v},
        {"Ternary", false, y + v, y + v},
        {"XY Plot", true, y + v, y + v},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.type) + (c.byEnter ? " Enter" : " double click"));
        EXPECT_FLOAT_EQ(float(label(c.type, c.byEnter)), c.drawn);
        const PointLabel& l = graph->PointLabelList[graph->PointLabelList.Count];
        EXPECT_FLOAT_EQ(l.Y, c.stored);
        EXPECT_FLOAT_EQ(l.X, 30 + 2);  // a quarter glyph to the right
    }
}

TEST_F(PointTable, LabellingDisarmsLineAndTextAndTheNextUndoTakesTheLabel) {
    graph->MenuItem("mnuUndo")->setEnabled(false);
    graph->LineDraw1();
    label("Ternary", false);
    EXPECT_EQ(graph->LineDrawMode, 0);
    // The window's own sample number, or the typed text.
    EXPECT_EQ(graph->PointLabelList[1].Text, "A-3");
    graph->Text1->setText("granite");
    graph->BoxDraw1();
    label("Ternary", true);
    EXPECT_EQ(graph->PointLabelList[2].Text, "granite");
    EXPECT_EQ(graph->BoxDrawMode, -1);
    // Other keys, and the heading row, label nothing.
    graph->Grid1_KeyPress('a');
    graph->Grid1->SetRow(0);
    graph->Grid1_DblClick();
    EXPECT_EQ(graph->PointLabelList.Count, 2);
    // A point label does not enable the menu's undo.
    EXPECT_FALSE(graph->MenuItem("mnuUndo")->isEnabled());
    graph->BoxList.Append({1, 1, 2, 2});
    graph->BoxDraw1();  // keeps the point-label flag
    graph->UndoDraw();
    EXPECT_EQ(graph->PointLabelList.Count, 1);
    EXPECT_EQ(graph->BoxList.Count, 0);
}

TEST(SimpleGridCells, RowsBelowTheLastWrittenAreEmptyAndResizingDropsWhatFallsOutside) {
    SimpleGrid grid;
    grid.SetCols(3);
    grid.SetRows(15001);
    grid.SetTextMatrix(2, 1, "b");
    grid.SetRowTexts(4, 0, {"x", "y", "z", "beyond"});
    EXPECT_EQ(grid.TextMatrix(4, 2), "z");
    EXPECT_EQ(grid.TextMatrix(15000, 2), "");
    EXPECT_EQ(grid.model()->data(grid.model()->index(15000, 2)), QVariant(QString()));
    EXPECT_EQ(grid.model()->data(grid.model()->index(2, 1)), QVariant(QString("b")));
    grid.SetCols(2);
    grid.SetCols(3);
    EXPECT_EQ(grid.TextMatrix(4, 1), "y");
    EXPECT_EQ(grid.TextMatrix(4, 2), "");
    grid.SetRows(3);
    grid.SetRows(6);
    EXPECT_EQ(grid.TextMatrix(2, 1), "b");
    EXPECT_EQ(grid.TextMatrix(4, 0), "");
    grid.SetTextMatrix(5, 2, "last");
    EXPECT_EQ(grid.TextMatrix(5, 2), "last");
    EXPECT_EQ(grid.TextMatrix(3, 0), "");
}

}  // namespace
