#include "graph_fixture.h"

#include <QAction>

using namespace quarvex;

namespace {

class Annotations : public test::GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        graph->DiagramType = "Ternary";
        SetSamples({{20, 30, 0, 0, 1, 0, "S1"}});
        graph->ShowSampleNumbers = -1;
        graph->TextFont = {"Arial", 10, 0, 0};
    }
    void drag(float x1, float y1, float x2, float y2) {
        graph->Picture1_MouseDown(1, 0, x1, y1);
        graph->Picture1_MouseMove(1, 0, x2, y2);
        graph->Picture1_MouseUp(1, 0, x2, y2);
    }
    void type(const QString& text) {
        for (QChar c : text) graph->Picture1_KeyPress(c.unicode());
    }
    bool undoEnabled() const { return graph->MenuItem("mnuUndo")->isEnabled(); }
};

TEST_F(Annotations, UndoShortensOnlyTheListOfTheToolArmedLast) {
    graph->BoxDraw1();
    drag(140, -30, -25, 120);  // lower right to upper left, partly outside
    graph->LineDraw1();
    drag(0, 0, 50, 50);
    EXPECT_TRUE(undoEnabled());
    graph->BoxDraw1();
    surface.ClearOps();
    graph->UndoDraw();
    graph->UndoDraw();  // with no boxes left it removes nothing
    EXPECT_EQ(graph->BoxList.Count, 0);
    ASSERT_EQ(graph->LineList.Count, 1);
    EXPECT_TRUE(surface.OpsOf(qvrt::DrawOp::Box).empty());
    EXPECT_FLOAT_EQ(Lines(0x800000, 0).back().x2, 50);
    // The menu's undo disables itself when every list is empty.
    graph->LineDraw1();
    graph->UndoLastDrawing();
    EXPECT_EQ(graph->LineList.Count, 0);
    EXPECT_FALSE(undoEnabled());
}

TEST_F(Annotations, ABoxKeepsPressAndReleasePointsAndAFullListDrawsNothing) {
    graph->BoxDraw1();
    drag(140, -30, -25, 120);
    const Segment& b = graph->BoxList[1];
    EXPECT_EQ(std::vector<float>({b.X1, b.Y1, b.X2, b.Y2}), std::vector<float>({140, -30, -25, 120}));
    for (int k = 0; k < INT16_MAX; ++k) graph->LineList.Append({});
    graph->LineDraw1();
    surface.ClearOps();
    drag(0, 0, 10, 10);
    EXPECT_EQ(graph->LineList.Count, INT16_MAX);
    EXPECT_TRUE(surface.OpsOf(qvrt::DrawOp::Line).empty());
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, "Drawing Error");
}

TEST_F(Annotations, TypingExtendsTheLabelPlacedLastAndIgnoresBackspace) {
    graph->TextColor = 0x00FF00;
    graph->InsertText1();
    surface.SetFontSize(10);
    drag(2000, 3000, 2000, 3000);
    surface.ClearOps();
    type("ab");
    graph->Picture1_KeyPress(8);
    const TextLabel& t = graph->TextLabelList[1];
    EXPECT_EQ(t.Text, "ab");
    // Half an "A" above the click (1 em = 200 twips at 10 points).
    EXPECT_FLOAT_EQ(t.Y, 3000 - 100);
    const auto echoed = surface.OpsOf(qvrt::DrawOp::Text);
    ASSERT_EQ(echoed.size(), 2u);
    EXPECT_DOUBLE_EQ(echoed[1].x1, 2100);  // one character width on
    EXPECT_EQ(echoed[1].color, 0x00FF00u);

    const QString text(10000, QLatin1Char('w'));
    type(text);
    surface.ClearOps();
    graph->RedrawGraph();
    EXPECT_EQ(Texts("ab" + text).size(), 1u);
}

TEST_F(Annotations, TypingAfterUndoOrDeleteAllStartsANewLabel) {
    graph->InsertText1();
    drag(100, 100, 100, 100);
    type("first");
    drag(500, 500, 500, 500);
    type("second");
    graph->UndoDraw();
    type("x");
    ASSERT_EQ(graph->TextLabelList.Count, 2);
    EXPECT_EQ(graph->TextLabelList[1].Text, "first");
    EXPECT_EQ(graph->TextLabelList[2].Text, "x");

    surface.ClearOps();
    graph->DeleteAllDrawing();
    EXPECT_FALSE(undoEnabled());
    EXPECT_EQ(graph->ShowSampleNumbers, 0);
    EXPECT_TRUE(Texts(graph->SampleLabel[1]).empty());
    type("y");
    ASSERT_EQ(graph->TextLabelList.Count, 1);
    EXPECT_EQ(graph->TextLabelList[1].Text, "y");
}

}  // namespace
