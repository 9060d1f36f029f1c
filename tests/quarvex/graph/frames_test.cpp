// The ternary, diamond and TAS frames as drawn on the recording surface.
#include "graph_fixture.h"
#include "quarvex/runtime/fonts.h"

namespace quarvex::test {
namespace {

constexpr double kTol = 1e-3;
constexpr uint32_t kGrey = qvrt::RGB(150, 150, 150);

TEST_F(GraphTest, TernaryTicksAreFiftyFourStrokesWithThreeFiftyMarks) {
    graph->DiagramType = QStringLiteral("Ternary");
    graph->ShowTickMarks = -1;
    graph->DrawTernaryFrame();
    // 3 sides + 54 ticks, all in the diagram colour.
    EXPECT_EQ(Lines(0x800000, 0).size(), 57u);
    const auto fifty = Texts(QStringLiteral("50"));
    ASSERT_EQ(fifty.size(), 3u);
    EXPECT_EQ(fifty[2].fontName, QStringLiteral("Small Fonts"));
    EXPECT_NEAR(fifty[2].y1, -3, kTol);
    EXPECT_NEAR(fifty[1].x1, 100 - 25 + 2, kTol);

    surface.ClearOps();
    graph->ShowTickMarks = 0;
    graph->DrawTernaryFrame();
    EXPECT_EQ(Lines(0x800000, 0).size(), 3u);
    EXPECT_TRUE(Texts(QStringLiteral("50")).empty());
}

TEST_F(GraphTest, TernaryGridIsTwentySevenDottedGreyLines) {
    graph->DiagramType = QStringLiteral("Ternary");
    graph->ShowGrid = -1;
    graph->DrawTernaryFrame();
    const auto grid = Lines(kGrey, qvrt::vbDot);
    ASSERT_EQ(grid.size(), 27u);
    // Third family: horizontals from (i/2, i) to (100 - i/2, i).
    EXPECT_NEAR(grid[18].x1, 5, kTol);
    EXPECT_NEAR(grid[18].x2, 95, kTol);
    EXPECT_NEAR(grid[18].y1, 10, kTol);
    EXPECT_EQ(surface.DrawStyle(), qvrt::vbSolid);
}

TEST_F(GraphTest, TernaryScaleAndSamplePlacementCentreGlyphsOnTheirPoints) {
    graph->DiagramType = QStringLiteral("Ternary");
    SetSamples({{40, 0, 0, 25, 3, 255, "A7"}, {100, 0, 0, 70, 1, 0, ""}, {0, 0, 0, 100, 14, 0, ""}});
    graph->ShowSampleNumbers = -1;
    graph->DrawTernaryFrame();
    EXPECT_NEAR(surface.ScaleLeft(), -20, kTol);
    EXPECT_NEAR(surface.ScaleTop(), 132.6, kTol);
    EXPECT_NEAR(surface.ScaleHeight(), -165.2, kTol);
    // PointX = R / 100 * (100 - X) + X / 2.
    EXPECT_NEAR(graph->PointX[1], 0.25 * 60 + 20, kTol);
    EXPECT_NEAR(graph->PointY[1], 40, kTol);
    EXPECT_NEAR(graph->PointX[2], 50, kTol);
    EXPECT_NEAR(graph->PointY[2], 100, kTol);
    EXPECT_NEAR(graph->PointX[3], 100, kTol);
    const auto glyphs = Glyphs();
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_EQ(glyphs[0].fontName.toLower(), QStringLiteral("wingdings"));
    EXPECT_EQ(glyphs[0].text, QString(QChar(117)));
    EXPECT_EQ(glyphs[0].color, 255u);
    EXPECT_EQ(glyphs[1].fontName, QStringLiteral("Symbol"));
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_NEAR((glyphs[k].x1 + glyphs[k].x2) / 2, graph->PointX[k + 1], kTol);
        EXPECT_NEAR((glyphs[k].y1 + glyphs[k].y2) / 2, graph->PointY[k + 1], kTol);
    }
    // The sample number starts at the glyph's right edge, level with its top.
    const auto label = Texts(QStringLiteral("A7          "));
    ASSERT_EQ(label.size(), 1u);
    EXPECT_NEAR(label[0].x1, glyphs[0].x2, kTol);
    EXPECT_NEAR(label[0].y1, glyphs[0].y1, kTol);
}

TEST_F(GraphTest, FapDiagramsAreUpsideDown) {
    graph->DiagramType = QStringLiteral("FAP-Plutonic");
    graph->ShowTickMarks = -1;
    graph->DrawTernaryFrame();
    EXPECT_NEAR(surface.ScaleTop(), -32.6, kTol);
    EXPECT_GT(surface.ScaleHeight(), 0);
    EXPECT_NEAR(Texts(QStringLiteral("50"))[2].y1, -6, kTol);
}

TEST_F(GraphTest, DiamondDrawsBothHalvesWithFourFiftyMarks) {
    graph->DiagramType = QStringLiteral("QAPF-Plutonic");
    graph->ShowTickMarks = -1;
    graph->ShowGrid = -1;
    SetSamples({{30, 0, 0, 50}, {0, 0, 40, 20}, {0, 0, 0, 35}});
    graph->DrawDiamondFrame();
    EXPECT_NEAR(surface.ScaleTop(), -140, kTol);
    EXPECT_NEAR(surface.ScaleHeight(), 280, kTol);
    // Five edges and 4 x 9 ticks per half.
    EXPECT_EQ(Lines(0x800000, 0).size(), 5u + 72u);
    EXPECT_EQ(Lines(kGrey, qvrt::vbDot).size(), 54u);
    const auto fifty = Texts(QStringLiteral("50"));
    ASSERT_EQ(fifty.size(), 4u);
    EXPECT_NEAR(fifty[1].x1, 78, kTol);
    EXPECT_NEAR(fifty[3].x1, 79, kTol);
    EXPECT_LT(fifty[0].y1, 0);
    EXPECT_GT(fifty[2].y1, 0);
    // Q half at negative y, F half at positive y, Q = F = 0 on the A-P line.
    EXPECT_NEAR(graph->PointX[1], 70 * 0.5 + 15, kTol);
    EXPECT_NEAR(graph->PointY[1], -30, kTol);
    EXPECT_NEAR(graph->PointX[2], 60 * 0.2 + 20, kTol);
    EXPECT_NEAR(graph->PointY[2], 40, kTol);
    EXPECT_NEAR(graph->PointX[3], 35, kTol);
    EXPECT_NEAR(graph->PointY[3], 0, kTol);
}

TEST_F(GraphTest, TasFrameLabelsSilicaAndAlkalisWhateverTheTickSetting) {
    graph->DiagramType = QStringLiteral("TAS-Volcanic");
    graph->ShowTickMarks = 0;
    graph->DrawTASFrame();
    EXPECT_NEAR(surface.ScaleTop(), 21.624, kTol);
    EXPECT_NEAR(surface.ScaleLeft(), 28.7, kTol);
    int alkaliTicks = 0, silicaTicks = 0;
    for (const auto& op : surface.OpsOf(qvrt::DrawOp::Line)) {
        if (std::fabs(op.x1 - 35) < kTol && std::fabs(op.x2 - 34.5) < kTol) ++alkaliTicks;
        if (std::fabs(op.y2 + 0.3) < kTol) ++silicaTicks;
    }
    EXPECT_EQ(alkaliTicks, 16);
    EXPECT_EQ(silicaTicks, 21);
    for (int v = 37; v <= 77; v += 4)
        EXPECT_EQ(Texts(QStringLiteral(" %1").arg(v)).size(), 1u) << v;
    EXPECT_TRUE(Texts(QStringLiteral(" 39")).empty());
    for (int v = 2; v <= 16; v += 2) EXPECT_EQ(Texts(QString::number(v)).size(), 1u) << v;
    EXPECT_TRUE(Texts(QStringLiteral("0")).empty());
}

TEST_F(GraphTest, SamplesWithoutAPlaceAreNotDrawnAndNothingUnboundedReachesTheSurface) {
    graph->DiagramType = QStringLiteral("Ternary");
    const float nan = std::nanf("");
    SetSamples({{nan, 0, 0, nan}, {INFINITY, 0, 0, 10}, {50, 0, 0, 50}});
    graph->DrawTernaryFrame();
    EXPECT_EQ(Glyphs().size(), 1u);
    ExpectAllFinite();
    EXPECT_TRUE(host->boxes.empty());
}

TEST_F(GraphTest, ASymbolWithoutCentringEndsTheFrameWithAPlottingErrorBox) {
    graph->DiagramType = QStringLiteral("TAS-Volcanic");
    SetSamples({{50, 5}, {60, 6}});
    graph->SampleSymbol[2] = 25;
    graph->DrawTASFrame();
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, QStringLiteral("Plotting Error"));
    EXPECT_EQ(Glyphs().size(), 1u);
}

// A font chosen on another machine, or removed since, is drawn in the one Qt
// substitutes for it.
TEST_F(GraphTest, ATitleFontThisMachineLacksIsDrawnInAnInstalledOne) {
    graph->DiagramType = QStringLiteral("Ternary");
    graph->TitleFont.Name = QStringLiteral("No Such Font Anywhere");
    graph->DrawTernaryFrame();
    EXPECT_TRUE(host->boxes.empty());
    bool titled = false;
    for (const auto& op : surface.OpsOf(qvrt::DrawOp::Text))
        if (op.fontSize == graph->TitleFont.Size) titled = titled || qvrt::LookUpFont(op.fontName).has_value();
    EXPECT_TRUE(titled);
}

}  // namespace
}  // namespace quarvex::test
