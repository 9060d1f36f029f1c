// The printed XY plot's bounds, its refusals, and tick labels that read as
// the window's.
#include "print_fixture.h"

#include "quarvex/graph/graph2.h"
#include "quarvex/state/reset.h"

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

// The tick labels of a plot whose X and Y limits are equal, blank-separated:
// the eleven X labels, then the eleven Y labels (all of them fit).
std::string TickLabelsOf(const std::vector<DrawOp>& ops) {
    QStringList labels;
    for (const auto& op : ops)
        if (op.kind == DrawOp::Text && op.fontSize == 6 && labels.size() < 22) labels << op.text;
    return labels.join(u' ').toStdString();
}

TEST_F(PrintJob, TickLabelsTellEveryTickApartOnScreenAndPaper) {
    const struct {
        float min, max;
        const char* labels;
    } rows[] = {
        // Ticks that "##0.00" tells apart keep it, whatever their size.
        {0, 100, "0.00 10.00 20.00 30.00 40.00 50.00 60.00 70.00 80.00 90.00 100.00"},
        {1e8f, 5e8f, "100000000.00 140000000.00 180000000.00 220000000.00 260000000.00 300000000.00 "
                     "340000000.00 380000000.00 420000000.00 460000000.00 500000000.00"},
        // Narrow ranges take the fewest decimals that tell them apart.
        {0.70f, 0.77f, "0.700 0.707 0.714 0.721 0.728 0.735 0.742 0.749 0.756 0.763 0.770"},
        {0.7030f, 0.7060f, "0.7030 0.7033 0.7036 0.7039 0.7042 0.7045 0.7048 0.7051 0.7054 0.7057 0.7060"},
        {0, 0.05f, "0.000 0.005 0.010 0.015 0.020 0.025 0.030 0.035 0.040 0.045 0.050"},
        // Tiny values read with an exponent, and the tick at zero as zero.
        {1e-6f, 5e-6f, "1.0E-06 1.4E-06 1.8E-06 2.2E-06 2.6E-06 3.0E-06 3.4E-06 3.8E-06 4.2E-06 4.6E-06 5.0E-06"},
        {-1e-5f, 1e-5f, "-1.0E-05 -8.0E-06 -6.0E-06 -4.0E-06 -2.0E-06 0.0E+00 2.0E-06 4.0E-06 6.0E-06 8.0E-06 1.0E-05"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.labels);
        const std::string expected = std::string(row.labels) + " " + row.labels;

        ResetProgramState();
        qvrt::RecordingSurface screen(12000, 6000);  // wide enough for every label on screen
        Graph2 window;
        window.UseSurface(&screen);
        window.InitSymbolTable();
        window.TitleFont = window.AxesTFont = {QStringLiteral("Arial"), 0, 10, 0, 0};
        window.AutoScale = 0;
        window.ScaleMinX = window.ScaleMinY = row.min;
        window.ScaleMaxX = window.ScaleMaxY = row.max;
        window.DrawXYPlot();
        EXPECT_EQ(TickLabelsOf(screen.Ops()), expected);

        printer->ClearOps();
        PrintedGraph g;
        g.DiagramType = QStringLiteral("XY Plot");
        g.AutoScale = 0;
        g.ManualScale = {row.min, row.min, row.max, row.max};
        AddSample(g, 3, row.min, row.min);
        Print(g);
        EXPECT_EQ(TickLabelsOf(printer->Ops()), expected);
    }
}

}  // namespace
}  // namespace quarvex::printing
