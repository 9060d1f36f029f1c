// The printed XY plot's bounds and its refusals.
#include "print_fixture.h"

namespace quarvex::printing {
namespace {

using qvrt::DrawOp;

TEST_F(PrintJob, AutomaticBoundsWidenTheSampleRange) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("XY Plot");
    AddSample(g, 3, 0, 10);
    AddSample(g, 4, 10, 0);
    Print(g);
    EXPECT_FLOAT_EQ(g.PlotExtents[0], -0.2f);
    EXPECT_FLOAT_EQ(g.PlotExtents[1], 10.204f);
    EXPECT_FLOAT_EQ(g.PlotExtents[2], -0.2f);
    EXPECT_FLOAT_EQ(g.PlotExtents[3], 10.204f);
    EXPECT_TRUE(host->boxes.empty());
    // Aspect 1: one unit of x and of y is as long on paper.
    EXPECT_NEAR(printer->Width() / printer->ScaleWidth(), printer->Height() / -printer->ScaleHeight(), 1e-3);  // float window
    EXPECT_EQ(printer->OpsOf(DrawOp::EndDoc).size(), 1u);
}

TEST_F(PrintJob, XYWithoutSamplesReportsTheXResolutionAndEndsTheDocument) {
    for (int samples : {0, 1}) {
        SCOPED_TRACE(samples);
        host->boxes.clear();
        PrintedGraph g;
        g.DiagramType = QStringLiteral("XY Plot");
        if (samples) AddSample(g, 3, 5, 5);
        Print(g);
        ASSERT_EQ(host->boxes.size(), 1u);
        EXPECT_EQ(host->boxes[0].prompt, QStringLiteral("Insufficient resolution in the X direction !"));
        EXPECT_EQ(host->boxes[0].style, qvrt::vbInformation);
        EXPECT_TRUE(printer->OpsOf(DrawOp::Line).empty());
    }
    EXPECT_EQ(printer->DocumentsEnded(), 2);
}

TEST_F(PrintJob, ManualBoundsAreTakenAsTheyStand) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("XY Plot");
    g.AutoScale = 0;
    g.ManualScale = {-1, 0, 4, 2};
    g.ShowGrid = -1;
    AddSample(g, 3, 1, 1);
    Print(g);
    EXPECT_FLOAT_EQ(g.PlotExtents[0], -1);
    EXPECT_FLOAT_EQ(g.PlotExtents[3], 2);
    // MinY is 0: only the two border grid lines print.
    int grid = 0;
    for (const auto& op : printer->OpsOf(DrawOp::Line)) grid += op.color == 12632256u;
    EXPECT_EQ(grid, 2);
    std::vector<QString> labels;
    for (const auto& op : printer->OpsOf(DrawOp::Text))
        if (op.fontSize == 6) labels.push_back(op.text);
    ASSERT_FALSE(labels.empty());
    EXPECT_EQ(labels.front(), QStringLiteral("-1.00"));
}

}  // namespace
}  // namespace quarvex::printing
