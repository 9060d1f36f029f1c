#include "quarvex/overlaydraw/graph_overlays.h"

#include "quarvex/graph/graph_fixture.h"
#include "quarvex/graph/simple_grid.h"

namespace quarvex {
namespace {

class GraphOverlays : public test::GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        InstallGraphOverlays();
        graph->Grid3->SetCols(2);  // as the window creates it
        SetSamples({{40, 30, 30, 0, 1, 1, "1"}, {20, 50, 30, 0, 2, 2, "2"}});
    }
    void TearDown() override { Graph2Seams() = {}; }
    size_t AxesLines() const { return Lines(0x800000, 0).size() + Lines(0x800000, 2).size(); }
};

TEST_F(GraphOverlays, TheRedrawAddsTheTernaryOverlayAndItsKey) {
    graph->DiagramType = QStringLiteral("Wackes");
    graph->RedrawGraph();
    const size_t frameOnly = AxesLines();
    EXPECT_EQ(graph->Grid3->Rows(), 27);
    EXPECT_EQ(graph->Grid3->TextMatrix(2, 1), QStringLiteral("Feldspathic Wacke"));

    surface.ClearOps();
    graph->ShowFieldLines = graph->ShowFieldLetters = -1;
    graph->RedrawGraph();
    EXPECT_EQ(AxesLines(), frameOnly + 3);
    EXPECT_EQ(Texts(QStringLiteral("B")).size(), 1u);
}

TEST_F(GraphOverlays, DiamondAndTasWindowsGetTheirOverlaysDirectly) {
    graph->DiagramType = QStringLiteral("QAPF-Plutonic");
    graph->RedrawGraph();
    EXPECT_EQ(graph->Grid3->Rows(), 45);
    EXPECT_EQ(graph->Grid3->TextMatrix(39, 0), QStringLiteral("J2"));
    graph->DiagramType = QStringLiteral("TAS-Volcanic");
    graph->ShowFieldLetters = -1;
    graph->RedrawGraph();
    EXPECT_EQ(graph->Grid3->Rows(), 27);
    EXPECT_EQ(graph->Grid3->TextMatrix(13, 0), QStringLiteral("K"));
    EXPECT_EQ(Texts(QStringLiteral("O")).size(), 1u);
}

TEST_F(GraphOverlays, AnUnknownTypeLeavesTheKeyAsCreated) {
    graph->DiagramType = QStringLiteral("wackes");
    graph->Grid3->SetRows(10);
    graph->RedrawGraph();
    EXPECT_EQ(graph->Grid3->Rows(), 10);
}

}  // namespace
}  // namespace quarvex
