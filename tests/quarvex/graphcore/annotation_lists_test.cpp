#include "quarvex/graphcore/annotation_lists.h"

#include <gtest/gtest.h>

namespace {

using graphcore::AnnotationTool;
using graphcore::Annotations;

TEST(Annotations, UndoShortensOnlyTheListsTheLastToolNamed) {
    Annotations a;
    a.BoxList.Append({1, 1, 2, 2});
    a.BoxList.Append({3, 3, 4, 4});
    a.Arm(AnnotationTool::Line);
    a.LineList.Append({0, 0, 5, 5});
    a.Committed(AnnotationTool::Line);
    a.Arm(AnnotationTool::Box);
    a.Undo();
    EXPECT_EQ(a.BoxList.Count(), 1);
    EXPECT_EQ(a.LineList.Count(), 1);
    EXPECT_FLOAT_EQ(a.BoxList(1).x2, 2);
    a.Undo();
    a.Undo();  // nothing left: stays at 0
    EXPECT_EQ(a.BoxList.Count(), 0);
    EXPECT_EQ(a.LineList.Count(), 1);
    EXPECT_FALSE(a.Empty());
}

TEST(Annotations, ArmingTheBoxToolAfterAPointLabelUndoesBoth) {
    Annotations a;
    a.BoxList.Append({});
    a.PointLabelList.Append({"12", 0, 1, 1});
    a.PointLabelPlaced();
    a.Arm(AnnotationTool::Box);
    a.Undo();
    EXPECT_TRUE(a.Empty());

    // The line tool clears the point-label flag.
    a.PointLabelList.Append({"12", 0, 1, 1});
    a.PointLabelPlaced();
    a.Arm(AnnotationTool::Line);
    a.Undo();
    EXPECT_EQ(a.PointLabelList.Count(), 1);

    // A point label disarms the line and text tools, not the box tool.
    a.Arm(AnnotationTool::Box);
    a.PointLabelPlaced();
    EXPECT_EQ(a.BoxDrawMode, -1);
    a.Arm(AnnotationTool::Text);
    a.PointLabelPlaced();
    EXPECT_EQ(a.TextInsertMode, 0);
}

TEST(Annotations, TypingNeverReachesALabelAfterUndoOrDeleteAll) {
    Annotations a;
    ASSERT_TRUE(a.PlaceText({"first", 1, 1, "Arial", 10, 0, 0, 0}));
    ASSERT_TRUE(a.PlaceText({"", 2, 2, "Arial", 10, 0, 0, 0}));
    a.Committed(AnnotationTool::Text);
    ASSERT_NE(a.TypingTarget(), nullptr);
    a.TypingTarget()->text += "x";
    EXPECT_EQ(a.TextLabelList(2).text, "x");
    a.Undo();
    EXPECT_EQ(a.TypingTarget(), nullptr);  // not "first"
    EXPECT_EQ(a.TextLabelList(1).text, "first");
    ASSERT_TRUE(a.PlaceText({"", 3, 3, "Arial", 10, 0, 0, 0}));
    a.DeleteAll();
    EXPECT_EQ(a.TypingTarget(), nullptr);
    EXPECT_TRUE(a.Empty());
}

TEST(Annotations, AFullListStoresNothingMore) {
    Annotations a;
    for (int i = 0; i < graphcore::kMaxAnnotations; ++i) ASSERT_TRUE(a.LineList.Append({}));
    EXPECT_TRUE(a.LineList.Full());
    EXPECT_FALSE(a.LineList.Append({9, 9, 9, 9}));
    EXPECT_EQ(a.LineList.Count(), graphcore::kMaxAnnotations);
}

}  // namespace
