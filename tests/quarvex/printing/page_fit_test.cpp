// Where each frame puts its diagram on the page, by diagram size and by the
// page's orientation.
#include "print_fixture.h"

namespace quarvex::printing {
namespace {

constexpr double kTol = 1e-3;

struct Window {
    double left, top, width, height;
};

void ExpectWindow(const qvrt::PrinterSurface& p, Window w) {
    EXPECT_NEAR(p.ScaleLeft(), w.left, kTol);
    EXPECT_NEAR(p.ScaleTop(), w.top, kTol);
    EXPECT_NEAR(p.ScaleWidth(), w.width, kTol);
    EXPECT_NEAR(p.ScaleHeight(), w.height, kTol);
}

TEST_F(PrintJob, TernaryWindowFollowsTheDiagramSize) {
    const std::pair<const char*, Window> cases[] = {
        {"Large", {-20, 173.9, 140, -247.8}},
        {"Medium", {-45, 218.15, 190, -336.3}},
        {"Small", {-75, 271.25, 250, -442.5}},
    };
    for (const auto& [size, window] : cases) {
        SCOPED_TRACE(size);
        PrintedGraph g;
        g.DiagramType = QStringLiteral("Ternary");
        g.DiagramSize = QString::fromLatin1(size);
        Print(g);
        ExpectWindow(*printer, window);
        EXPECT_FLOAT_EQ(g.ScaleWindow[1], float(window.top));
        EXPECT_FLOAT_EQ(g.SurfaceSize[0], 10000);
    }
}

TEST_F(PrintJob, FapDiagramsPrintTheInvertedTriangle) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("FAP-Plutonic");
    Print(g);
    ExpectWindow(*printer, {-20, -73.9, 140, 247.8});
}

TEST_F(PrintJob, ADiagramSizeInOtherLetterCaseLeavesThePrinterInTwips) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.DiagramSize = QStringLiteral("large");
    Print(g);
    EXPECT_DOUBLE_EQ(printer->ScaleWidth(), 10000);
    EXPECT_DOUBLE_EQ(printer->ScaleHeight(), 15000);
    EXPECT_EQ(printer->DocumentsEnded(), 1);
}

TEST_F(PrintJob, DiamondAndTasLargeWindows) {
    PrintedGraph qapf;
    qapf.DiagramType = QStringLiteral("QAPF-Volcanic");
    Print(qapf);
    ExpectWindow(*printer, {-53.448, -180, 206.897, 360});

    PrintedGraph tas;
    tas.DiagramType = QStringLiteral("TAS-Volcanic");
    Print(tas);
    ExpectWindow(*printer, {26.6, 30.008, 58.8, -44.016});
}

// On paper the ternary triangle's height is its width / 1.18 whatever the
// page's orientation; the centre stays on x = 50.
TEST_F(PrintJob, ALandscapePageKeepsTheTriangleProportions) {
    for (int orientation : {qvrt::vbPRORPortrait, qvrt::vbPRORLandscape}) {
        SCOPED_TRACE(orientation);
        printer->SetOrientation(orientation);
        PrintedGraph g;
        g.DiagramType = QStringLiteral("Ternary");
        Print(g);
        const double twipsPerX = printer->Width() / printer->ScaleWidth();
        const double twipsPerY = printer->Height() / std::fabs(printer->ScaleHeight());
        EXPECT_NEAR((100 * twipsPerX) / (100 * twipsPerY), 1.18, 1e-4);
        EXPECT_NEAR(printer->ScaleLeft() + printer->ScaleWidth() / 2, 50, kTol);
        EXPECT_LT(printer->ScaleHeight(), -100);  // the whole triangle fits in height
    }
}

TEST_F(PrintJob, ALandscapePageKeepsTheDiamondProportions) {
    printer->SetOrientation(qvrt::vbPRORLandscape);
    PrintedGraph g;
    g.DiagramType = QStringLiteral("QAPF-Plutonic");
    Print(g);
    const double twipsPerX = printer->Width() / printer->ScaleWidth();
    const double twipsPerY = printer->Height() / printer->ScaleHeight();
    EXPECT_NEAR((100 * twipsPerX) / (200 * twipsPerY), 0.58, 1e-4);
}

}  // namespace
}  // namespace quarvex::printing
