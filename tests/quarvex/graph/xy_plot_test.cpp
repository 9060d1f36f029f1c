// The XY plot: data window, padding, labels and what is drawn at the limits.
#include "graph_fixture.h"

#include "quarvex/runtime/errors.h"

namespace quarvex::test {
namespace {

constexpr double kTol = 1e-3;

class XYPlotTest : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        graph->DiagramType = QStringLiteral("XY Plot");
        graph->XAxisTitle = QStringLiteral("SiO2");
        graph->YAxisTitle = QStringLiteral("MgO");
    }
    void Manual(float minX, float maxX, float minY, float maxY) {
        graph->AutoScale = 0;
        graph->ScaleMinX = minX;
        graph->ScaleMaxX = maxX;
        graph->ScaleMinY = minY;
        graph->ScaleMaxY = maxY;
    }
};

TEST_F(XYPlotTest, AutomaticWindowPadsTheRightEndByTheLoweredMinimum) {
    SetSamples({{0, 0}, {10, 5}, {4, 2}});
    graph->DrawXYPlot();
    EXPECT_NEAR(graph->PlotMinX, -0.2, kTol);
    EXPECT_NEAR(graph->PlotMaxX, 10 + 10.2 * 0.02, kTol);
    EXPECT_NEAR(graph->PlotMinY, -0.1, kTol);
    EXPECT_NEAR(graph->PlotMaxY, 5 + 5.1 * 0.02, kTol);
    // Automatic scaling never clips; the padded window reaches below 0.
    EXPECT_EQ(Glyphs().size(), 3u);
    EXPECT_EQ(Lines(0xC00000, 0).size(), 1u);
    const double dx = graph->PlotMaxX - graph->PlotMinX;
    EXPECT_NEAR(surface.ScaleLeft(), graph->PlotMinX - 0.2 * dx, kTol);
    EXPECT_LT(surface.ScaleHeight(), 0);
}

TEST_F(XYPlotTest, ManualLimitsGiveTickLabelsAndIntervalNotesInTheirFormats) {
    Manual(0, 50, 0, 5);
    SetSamples({{10, 2}, {0, 2}, {50, 1}, {20, 5}, {60, 1}});
    graph->DrawXYPlot();
    for (int v = 0; v <= 50; v += 5) EXPECT_EQ(Texts(QStringLiteral("%1.00").arg(v)).size() >= 1, true) << v;
    EXPECT_EQ(Texts(QStringLiteral("X axis interval = 5.0")).size(), 1u);
    EXPECT_EQ(Texts(QStringLiteral("Y axis interval = 0.5")).size(), 1u);
    // On a limit or outside: not drawn, but its place is kept.
    EXPECT_EQ(Glyphs().size(), 1u);
    EXPECT_NEAR(graph->PointX[5], 60, kTol);
    // Zero is not strictly inside 0..5: no zero line.
    EXPECT_TRUE(Lines(0xC00000, 0).empty());
}

TEST_F(XYPlotTest, YLabelsThatWouldOverlapAreLeftOutButTheEndsStay) {
    // On a surface 1000 twips high a tick interval is shorter than a line.
    qvrt::RecordingSurface low(6000, 1000);
    graph->UseSurface(&low);
    Manual(0, 10, 0, 10);
    SetSamples({{5, 5}});
    graph->DrawXYPlot();
    auto count = [&](const char* text) {
        int n = 0;
        for (const auto& op : low.OpsOf(qvrt::DrawOp::Text)) n += op.text == QLatin1String(text);
        return n;
    };
    EXPECT_EQ(count("0.00"), 2);   // X and Y at 0
    EXPECT_EQ(count("10.00"), 2);  // both ends
    EXPECT_EQ(count("1.00"), 1);   // the X label only
    EXPECT_EQ(count("5.00"), 1);
}

TEST_F(XYPlotTest, SamplesOnOneXGiveTheResolutionMessageAndNoDrawing) {
    SetSamples({{3, 1}, {3, 2}});
    graph->DrawXYPlot();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].prompt, QStringLiteral("Insufficient resolution in the X direction !"));
    EXPECT_EQ(host->boxes[0].style, qvrt::vbInformation);
    EXPECT_TRUE(surface.OpsOf(qvrt::DrawOp::Line).empty());
    host->boxes.clear();
    SetSamples({{1, 3}, {2, 3}});
    graph->DrawXYPlot();
    EXPECT_EQ(host->boxes.at(0).prompt, QStringLiteral("Insufficient resolution in the Y direction !"));
}

TEST_F(XYPlotTest, ValuesThatAreNoNumbersAreLeftOutOfTheWindow) {
    SetSamples({{1, 1}, {INFINITY, 2}, {3, std::nanf("")}, {5, 4}});
    graph->DrawXYPlot();
    EXPECT_NEAR(graph->PlotMaxX, 5 + 4.08 * 0.02, kTol);
    EXPECT_EQ(Glyphs().size(), 2u);
    ExpectAllFinite();
}

TEST_F(XYPlotTest, ARangeBeyondSinglePrecisionIsAnErrorForTheCaller) {
    SetSamples({{-3e38f, 1}, {3e38f, 2}});
    EXPECT_THROW(graph->DrawXYPlot(), qvrt::RuntimeError);
    ExpectAllFinite();
}

TEST_F(XYPlotTest, GridLinesAreDashedLightGreyAndTicksIgnoreTheTickSetting) {
    Manual(0, 10, 0, 10);
    graph->ShowTickMarks = 0;
    graph->ShowGrid = -1;
    SetSamples({{5, 5}});
    graph->DrawXYPlot();
    // Nine interior and the last grid line on each axis.
    EXPECT_EQ(Lines(0xC0C0C0, qvrt::vbDash).size(), 20u);
    EXPECT_EQ(Texts(QStringLiteral("10.00")).size(), 2u);
}

TEST_F(XYPlotTest, EachWindowKeepsTheScalingItWasCreatedWith) {
    Manual(0, 10, 0, 10);
    SetSamples({{5, 5}, {20, 20}});
    AutoScale = -1;  // another window closed
    graph->RedrawGraph();
    EXPECT_NEAR(graph->PlotMaxX, 10, kTol);
    EXPECT_EQ(Glyphs().size(), 1u);
}

}  // namespace
}  // namespace quarvex::test
