// The printed classification overlays drawn from the overlay tables.
#include "print_fixture.h"

namespace quarvex::printing {
namespace {

using qvrt::DrawOp;

PrintedGraph Fields(const char* type) {
    PrintedGraph g;
    g.DiagramType = QString::fromLatin1(type);
    g.ShowTickMarks = 0;
    g.AxesColor = 255;
    return g;
}

TEST_F(PrintJob, TasKeyLinesStandHalfAUnitApartBelowTheAxis) {
    PrintedGraph g = Fields("TAS-Volcanic");
    g.ShowFieldLetters = 0;
    g.FieldKeyChecked = true;
    Print(g);
    std::vector<DrawOp> key;
    for (const auto& op : printer->OpsOf(DrawOp::Text))
        if (op.text.contains(QStringLiteral(" - "))) key.push_back(op);
    ASSERT_EQ(key.size(), 17u);
    for (size_t n = 0; n < key.size(); ++n) {
        EXPECT_NEAR(key[n].x1, 35, 1e-9);
        EXPECT_NEAR(key[n].y1, -2 - 0.5 * double(n), 1e-6);
        EXPECT_EQ(key[n].color, 255u);  // the key keeps the diagram colour
        EXPECT_EQ(key[n].fontName, QStringLiteral("Arial"));
        EXPECT_DOUBLE_EQ(key[n].fontSize, 6);
    }
    EXPECT_EQ(key[0].text, QStringLiteral("A - Foidite"));
}

TEST_F(PrintJob, KeyAndLegendPagesHaveTheirOwnScaleHeadingAndFont) {
    // TAS stands for the graphs whose key has no page of its own.
    const std::pair<const char*, size_t> cases[] = {{"QAPF-Plutonic", 39}, {"QAPF-Volcanic", 25}, {"TAS-Volcanic", 0}};
    for (const auto& [type, count] : cases) {
        SCOPED_TRACE(type);
        printer->ClearOps();
        PrintedGraph g = Fields(type);
        g.FieldKeyChecked = true;
        g.PrintSymbolLegendChecked = true;
        AddSample(g, 3, 50, 5);
        g.SymbolDescriptions[3] = QStringLiteral("Lavas");
        // A text label in another font between the diagram page and the key.
        g.TextLabelList.push_back({QStringLiteral("note"), 10, -10, QStringLiteral("Symbol"), 20, 0, 1, 0xFF00});
        Print(g);
        const auto legend = TextsOn(printer->Ops().back().page);
        ASSERT_EQ(legend.size(), 3u);
        EXPECT_EQ(legend[0].text, QStringLiteral("Symbol Legend"));
        for (const DrawOp& op : legend) EXPECT_FALSE(op.italic) << qPrintable(Describe(op));
        if (count == 0) continue;

        const auto page = TextsOn(2);
        ASSERT_EQ(page.size(), count + 1);
        EXPECT_EQ(page[0].text, QStringLiteral("Legend"));
        EXPECT_DOUBLE_EQ(page[0].fontSize, 12);
        EXPECT_NEAR(page[0].x1, 45 - (page[0].x2 - page[0].x1) / 2, 1e-9);
        EXPECT_NEAR(page[0].y1, 10, 1e-9);
        EXPECT_NEAR(page[1].x1, 0, 1e-9);
        EXPECT_NEAR(page[1].y1, 15, 1e-9);
        // On the page's own scale, (-10, 0) to (100, 100).
        EXPECT_NEAR(page[1].device1.x(), printer->Width() * 10 / 110, 1e-6);
        EXPECT_NEAR(page[1].device1.y(), printer->Height() * 0.15, 1e-6);
        for (size_t i = 1; i < page.size(); ++i) {
            EXPECT_DOUBLE_EQ(page[i].fontSize, 8);
            EXPECT_EQ(page[i].fontName, QStringLiteral("Arial"));
            EXPECT_TRUE(page[i].bold);
            EXPECT_FALSE(page[i].italic);  // the label before it was italic
            EXPECT_EQ(page[i].color, 0u);
            if (i > 1) {
                EXPECT_GT(page[i].y1, page[i - 1].y1);
            }
        }
    }
}

TEST_F(PrintJob, QapfWithoutTheFieldKeyPrintsNoKeyPage) {
    PrintedGraph g = Fields("QAPF-Plutonic");
    Print(g);
    EXPECT_TRUE(printer->OpsOf(DrawOp::NewPage).empty());
    // Both halves' boundaries: 8 + 7, over the frame's 5 sides.
    EXPECT_EQ(printer->OpsOf(DrawOp::Line).size(), 5u + 15u);
}

TEST_F(PrintJob, OnlyExactDiagramTypesGetAnOverlay) {
    for (const char* type : {"Ternary", "qap-plutonic", "Not Defined"}) {
        SCOPED_TRACE(type);
        printer->ClearOps();
        PrintedGraph g = Fields(type);
        g.FieldKeyChecked = true;
        Print(g);
        EXPECT_EQ(printer->OpsOf(DrawOp::Line).size(), 3u);
    }
}

TEST_F(PrintJob, QapVolcanicDashesItsLastTwoBoundariesAndKeepsTheDiagramColourForItsKey) {
    PrintedGraph g = Fields("QAP-Volcanic");
    g.FieldKeyChecked = true;
    Print(g);
    const auto lines = printer->OpsOf(DrawOp::Line);
    ASSERT_EQ(lines.size(), 3u + 9u);
    for (size_t i = 3; i < lines.size(); ++i) EXPECT_EQ(lines[i].drawStyle, i >= 10 ? qvrt::vbDash : qvrt::vbSolid);
    EXPECT_EQ(printer->DrawStyle(), qvrt::vbSolid);
    const auto texts = printer->OpsOf(DrawOp::Text);
    const auto& last = texts.back();
    EXPECT_EQ(last.text, QStringLiteral("J - Latite"));
    EXPECT_EQ(last.color, 255u);
    EXPECT_TRUE(last.bold);
}

TEST_F(PrintJob, QapPlutonicKeyRunsFromTheBaseAfterFourEmptyLinesInBlack) {
    PrintedGraph g = Fields("QAP-Plutonic");
    g.ShowFieldLetters = 0;
    g.FieldKeyChecked = true;
    Print(g);
    const auto texts = printer->OpsOf(DrawOp::Text);
    std::vector<DrawOp> key;
    for (const auto& op : texts)
        if (op.text.contains(QStringLiteral(" - "))) key.push_back(op);
    ASSERT_EQ(key.size(), 23u);
    const double line = key[1].y1 - key[0].y1;  // one 6-point line, down the page
    EXPECT_LT(line, 0);
    EXPECT_NEAR(key[0].y1, 4 * line, 1e-6);
    EXPECT_EQ(key[0].color, 0u);
    EXPECT_EQ(key[0].text, QStringLiteral("A - Quartzolite"));
}

TEST_F(PrintJob, CentredLettersAreCentredByTheirOwnPrintedWidth) {
    PrintedGraph g = Fields("QAPF-Plutonic");
    Print(g);
    for (const auto& op : printer->OpsOf(DrawOp::Text)) {
        const double middle = (op.x1 + op.x2) / 2;
        if (op.text == QStringLiteral("A")) {
            EXPECT_NEAR(middle, 50, 1e-4);
        } else if (op.text == QStringLiteral("A2")) {
            EXPECT_NEAR(middle, 4.46, 1e-4);
        }
    }
}

}  // namespace
}  // namespace quarvex::printing
