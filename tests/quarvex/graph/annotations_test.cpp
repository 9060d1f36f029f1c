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
    drag(10, 10, 30, 30);
    graph->LineDraw1();
    drag(0, 0, 50, 50);
    EXPECT_TRUE(undoEnabled());
    graph->BoxDraw1();
    surface.ClearOps();
    graph->UndoDraw();
    EXPECT_EQ(graph->BoxList.Count, 0);
    EXPECT_EQ(graph->LineList.Count, 1);
    // No boxes left: a further undo removes nothing, and the count stays 0.
    graph->UndoDraw();
    EXPECT_EQ(graph->BoxList.Count, 0);
    EXPECT_EQ(graph->LineList.Count, 1);
    // The line repaints from its stored end points.
    ASSERT_EQ(Lines(0x800000, 0).size() > 0, true);
    const auto boxes = surface.OpsOf(qvrt::DrawOp::Box);
    EXPECT_TRUE(boxes.empty());
    const auto lines = Lines(0x800000, 0);
    EXPECT_FLOAT_EQ(lines.back().x2, 50);

    // The menu's undo disables itself when every list is empty.
    graph->LineDraw1();
    graph->UndoLastDrawing();
    EXPECT_EQ(graph->LineList.Count, 0);
    EXPECT_FALSE(undoEnabled());
}

TEST_F(Annotations, ABoxDraggedAnywhereKeepsPressAndReleasePoints) {
    graph->BoxDraw1();
    // From lower right to upper left, and partly outside the diagram.
    drag(140, -30, -25, 120);
    ASSERT_EQ(graph->BoxList.Count, 1);
    const Segment& b = graph->BoxList[1];
    EXPECT_FLOAT_EQ(b.X1, 140);
    EXPECT_FLOAT_EQ(b.Y1, -30);
    EXPECT_FLOAT_EQ(b.X2, -25);
    EXPECT_FLOAT_EQ(b.Y2, 120);
    surface.ClearOps();
    graph->RedrawGraph();
    const auto boxes = surface.OpsOf(qvrt::DrawOp::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_FLOAT_EQ(boxes[0].x1, 140);
    EXPECT_FLOAT_EQ(boxes[0].y2, 120);

    // A release with no tool armed stores nothing.
    graph->BoxDrawMode = 0;
    drag(1, 1, 2, 2);
    EXPECT_EQ(graph->BoxList.Count, 1);
}

TEST_F(Annotations, AFullListIsRefusedBeforeAnythingIsDrawn) {
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
    graph->Picture1_MouseDown(1, 0, 2000, 3000);
    graph->Picture1_MouseUp(1, 0, 2000, 3000);
    surface.ClearOps();
    type("ab");
    graph->Picture1_KeyPress(8);
    ASSERT_EQ(graph->TextLabelList.Count, 1);
    const TextLabel& t = graph->TextLabelList[1];
    EXPECT_EQ(t.Text, "ab");
    // Placed half an "A" above the click (1 em = 200 twips at 10 points).
    EXPECT_FLOAT_EQ(t.Y, 3000 - 100);
    EXPECT_EQ(t.Color, double(0x00FF00));
    const auto echoed = surface.OpsOf(qvrt::DrawOp::Text);
    ASSERT_EQ(echoed.size(), 2u);
    EXPECT_DOUBLE_EQ(echoed[0].x1, 2000);
    EXPECT_DOUBLE_EQ(echoed[1].x1, 2100);  // one character width on
    EXPECT_EQ(echoed[1].color, 0x00FF00u);
}

TEST_F(Annotations, TypingAfterUndoOrDeleteAllStartsANewLabel) {
    graph->InsertText1();
    drag(100, 100, 100, 100);
    type("first");
    drag(500, 500, 500, 500);
    type("second");
    graph->UndoDraw();
    ASSERT_EQ(graph->TextLabelList.Count, 1);
    type("x");
    ASSERT_EQ(graph->TextLabelList.Count, 2);
    EXPECT_EQ(graph->TextLabelList[1].Text, "first");
    EXPECT_EQ(graph->TextLabelList[2].Text, "x");

    graph->DeleteAllDrawing();
    EXPECT_EQ(graph->TextLabelList.Count, 0);
    EXPECT_FALSE(undoEnabled());
    type("y");
    ASSERT_EQ(graph->TextLabelList.Count, 1);
    EXPECT_EQ(graph->TextLabelList[1].Text, "y");
}

TEST_F(Annotations, ATenThousandCharacterLabelIsKeptAndReplayed) {
    graph->InsertText1();
    drag(0, 0, 0, 0);
    const QString text(10000, QLatin1Char('w'));
    type(text);
    ASSERT_EQ(graph->TextLabelList[1].Text.size(), 10000);
    surface.ClearOps();
    graph->RedrawGraph();
    EXPECT_EQ(Texts(text).size(), 1u);
}

TEST_F(Annotations, DeleteAllRemovesEveryListAndTheSampleNumbersForGood) {
    graph->BoxDraw1();
    drag(1, 1, 5, 5);
    graph->PointLabelList.Append({"p", 0, 1, 1});
    graph->DeleteAllDrawing();
    EXPECT_EQ(graph->BoxList.Count + graph->PointLabelList.Count, 0);
    EXPECT_EQ(graph->ShowSampleNumbers, 0);
    EXPECT_TRUE(Texts(graph->SampleLabel[1]).empty());
    surface.ClearOps();
    graph->UndoDraw();
    EXPECT_TRUE(Texts(graph->SampleLabel[1]).empty());
    EXPECT_TRUE(surface.OpsOf(qvrt::DrawOp::Box).empty());
}

TEST_F(Annotations, AFontThatCannotDrawDropsTheLabelWithFontError) {
    graph->TextFont = {"No Such Face", 10, 0, 0};
    graph->InsertText1();
    drag(0, 0, 0, 0);
    EXPECT_EQ(graph->TextLabelList.Count, 0);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, "No Such Face is not available for drawing.  Select a true type font");
    EXPECT_EQ(host->boxes[0].title, "Font Error");
}

}  // namespace
