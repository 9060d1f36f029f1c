// The print job: dialog, pages in order, replay of the user's drawings and
// what a failing job leaves behind.
#include "print_fixture.h"

#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/fonts.h"

namespace quarvex::printing {
namespace {

using qvrt::DrawOp;

TEST_F(PrintJob, CancelInTheDialogPrintsNothingAndSaysNothing) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    host->printerAnswers.push_back(false);
    PrintDiagram(g);
    EXPECT_TRUE(printer->Ops().empty());
    EXPECT_FALSE(printer->DocumentOpen());
    EXPECT_TRUE(host->boxes.empty());
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    ASSERT_EQ(host->dialogs.size(), 1u);
    EXPECT_EQ(host->dialogs[0].kind, QStringLiteral("Printer"));
}

TEST_F(PrintJob, PagesComeDiagramThenKeyThenLegendInOneDocument) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("QAPF-Plutonic");
    g.PrintSymbolLegendChecked = true;
    g.FieldKeyChecked = true;
    g.TextLabelList.push_back({QStringLiteral("note"), 10, -10, QStringLiteral("Arial"), 10, 0, 0, 0});
    AddSample(g, 3, 50, -50);
    Print(g);
    const auto& ops = printer->Ops();
    ASSERT_FALSE(ops.empty());
    EXPECT_EQ(ops.back().kind, DrawOp::EndDoc);
    EXPECT_EQ(printer->OpsOf(DrawOp::EndDoc).size(), 1u);
    EXPECT_EQ(printer->OpsOf(DrawOp::NewPage).size(), 2u);
    auto pageOf = [&](const QString& text) {
        for (const auto& op : ops)
            if (op.kind == DrawOp::Text && op.text == text) return op.page;
        return 0;
    };
    EXPECT_EQ(pageOf(QStringLiteral("A2")), 1);
    EXPECT_EQ(pageOf(QStringLiteral("note")), 1);  // the user's texts stay on the diagram page
    EXPECT_EQ(pageOf(QStringLiteral("Legend")), 2);
    EXPECT_EQ(pageOf(QStringLiteral("Symbol Legend")), 3);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

TEST_F(PrintJob, LegendListsEachUsedSymbolOnceInSymbolOrder) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.PrintSymbolLegendChecked = true;
    g.SymbolDescriptions[1] = QStringLiteral("granite");
    g.SymbolDescriptions[3] = QStringLiteral("basalt");
    AddSample(g, 3, 20, 20);
    AddSample(g, 1, 30, 30);
    AddSample(g, 3, 40, 40);
    g.SampleSymbolChar[3] = 99;  // a later sample's glyph is not the one listed
    Print(g);
    ASSERT_EQ(g.LegendSymbols.count, 2);
    EXPECT_EQ(g.LegendSymbols.symbolNumber[1], 1);
    EXPECT_EQ(g.LegendSymbols.symbolNumber[2], 3);
    EXPECT_EQ(g.LegendSymbols.glyphCode[2], 117);

    const auto legend = TextsOn(2);
    ASSERT_EQ(legend.size(), 5u);
    EXPECT_EQ(legend[0].text, QStringLiteral("Symbol Legend"));
    EXPECT_NEAR(legend[0].y1, 10, 1e-9);
    EXPECT_EQ(legend[1].fontName, QStringLiteral("Symbol"));
    EXPECT_TRUE(legend[1].bold);
    EXPECT_NEAR(legend[1].x1, 10, 1e-9);
    EXPECT_NEAR(legend[1].y1, 15, 1e-9);
    EXPECT_EQ(legend[2].text, QStringLiteral("granite"));
    EXPECT_NEAR(legend[2].x1, 13, 1e-9);
    EXPECT_FALSE(legend[2].bold);
    EXPECT_EQ(legend[3].fontName, QStringLiteral("Wingdings"));
    EXPECT_EQ(legend[3].text, QString(QChar(117)));
    // The next row is one glyph-line height plus 1 further down.
    const double row = 9.75 * 20 * 100 / 15000;  // 1 em of 9.75 points in page units
    EXPECT_NEAR(legend[3].y1, 15 + row + 1, 1e-6);
    EXPECT_EQ(legend[4].text, QStringLiteral("basalt"));
}

TEST_F(PrintJob, UncheckedLegendPrintsNoLegendPage) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    AddSample(g, 3, 20, 20);
    Print(g);
    EXPECT_TRUE(printer->OpsOf(DrawOp::NewPage).empty());
    EXPECT_EQ(g.LegendSymbols.count, 0);
}

TEST_F(PrintJob, GlyphsAreCentredOnTheirPointsInDiagramUnits) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.ShowSampleNumbers = -1;
    AddSample(g, 1, 40, 30);
    AddSample(g, 5, 60, 20);
    Print(g);
    std::vector<DrawOp> glyphs, numbers;
    for (const auto& op : printer->OpsOf(DrawOp::Text)) {
        const bool glyphFont = op.fontName == QStringLiteral("Symbol") || op.fontName == QStringLiteral("Wingdings");
        if (glyphFont && !op.text.isEmpty()) glyphs.push_back(op);
        if (op.text.startsWith(QStringLiteral("1 "))) numbers.push_back(op);
    }
    ASSERT_EQ(glyphs.size(), 2u);
    EXPECT_EQ(glyphs[0].fontName, QStringLiteral("Symbol"));
    EXPECT_EQ(glyphs[1].fontName, QStringLiteral("Wingdings"));
    EXPECT_NEAR((glyphs[0].x1 + glyphs[0].x2) / 2, 40, 1e-4);
    EXPECT_NEAR((glyphs[0].y1 + glyphs[0].y2) / 2, 30, 1e-4);
    EXPECT_NEAR((glyphs[1].x1 + glyphs[1].x2) / 2, 60, 1e-4);
    ASSERT_EQ(numbers.size(), 1u);
    EXPECT_NEAR(numbers[0].x1, glyphs[0].x2, 1e-4);  // from the glyph's right edge
    EXPECT_NEAR(numbers[0].y1, glyphs[0].y1, 1e-4);  // level with its top
    EXPECT_EQ(numbers[0].text.size(), 12);
}

TEST_F(PrintJob, EachJobStartsFromAFreshPrinter) {
    printer->Scale(0, 0, 1, 1);
    printer->SetFontBold(true);
    printer->SetForeColor(255);
    printer->SetFillStyle(qvrt::vbFSSolid);
    printer->SetFontTransparent(false);
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.DiagramSize = QStringLiteral("large");  // no scale of its own: the job's start scale shows
    Print(g);
    EXPECT_DOUBLE_EQ(printer->ScaleWidth(), 10000);
    const auto texts = printer->OpsOf(DrawOp::Text);
    ASSERT_FALSE(texts.empty());
    EXPECT_FALSE(texts.front().bold);
    EXPECT_EQ(texts.front().color, 0u);
    EXPECT_TRUE(texts.front().transparent);
    EXPECT_EQ(printer->FillStyle(), qvrt::vbFSTransparent);
}

// The XY plot has no handler of its own: a symbol number past the centring
// table fails there and ends the job.
TEST_F(PrintJob, AFailureInTheXYPlotEndsTheJobWithOnePrintErrorAndDiscardsTheDocument) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("XY Plot");
    g.PrintSymbolLegendChecked = true;
    AddSample(g, 3, 1, 1);
    AddSample(g, 3, 2, 2);
    g.SampleSymbol[2] = 25;
    g.LineList.push_back({0, 0, 50, 50});
    Print(g);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, QStringLiteral("Print Error"));
    EXPECT_EQ(host->boxes[0].prompt, QStringLiteral("Subscript out of range"));
    EXPECT_EQ(host->boxes[0].style, qvrt::vbExclamation);
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
    EXPECT_EQ(printer->DocumentsEnded(), 0);
    EXPECT_EQ(printer->DocumentsKilled(), 1);
    EXPECT_FALSE(printer->DocumentOpen());
    for (const auto& op : printer->OpsOf(DrawOp::Line)) EXPECT_NE(op.x2, 50);  // not the user's line
    EXPECT_TRUE(printer->OpsOf(DrawOp::NewPage).empty());

    // The next job is a document of its own, from page 1.
    g.SampleSymbol[2] = 3;
    printer->ClearOps();
    Print(g);
    EXPECT_EQ(printer->DocumentsEnded(), 1);
    EXPECT_EQ(printer->Ops().front().page, 1);
}

TEST_F(PrintJob, AFailingPrinterShowsPrintError) {
    printer->FailWith(qvrt::ErrPrinter);
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    Print(g);
    ASSERT_EQ(host->boxes.size(), 1u);
    EXPECT_EQ(host->boxes[0].title, QStringLiteral("Print Error"));
    EXPECT_EQ(host->pointer, qvrt::vbDefault);
}

// A font the graph names that this machine lacks prints in the one Qt
// substitutes, as on screen.
TEST_F(PrintJob, AMissingTitleFontPrintsInAnInstalledOneAndTheJobGoesOn) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("TAS-Volcanic");
    g.TitleFont.name = QStringLiteral("No Such Font 12");
    g.LineList.push_back({40, 2, 60, 10});
    Print(g);
    EXPECT_TRUE(host->boxes.empty());
    for (const auto& op : printer->OpsOf(DrawOp::Text)) EXPECT_TRUE(qvrt::LookUpFont(op.fontName).has_value());
    EXPECT_EQ(printer->DocumentsEnded(), 1);
    const auto lines = printer->OpsOf(DrawOp::Line);
    ASSERT_FALSE(lines.empty());
    EXPECT_DOUBLE_EQ(lines.back().x2, 60);  // the user's line still printed
}

TEST_F(PrintJob, TernaryTemplatePointsWithoutBaseSharesLieOnTheLeftEdge) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.DefaultColor = 0x00FF00;
    g.TemplateLines.push_back({40, 0, 0, 60, -5, 5});  // a + b = 0 with negatives
    g.TemplateLines.push_back({0, 50, 50, 20, 0, 80});
    Print(g);
    EXPECT_TRUE(host->boxes.empty());
    const auto lines = printer->OpsOf(DrawOp::Line);
    ASSERT_GE(lines.size(), 2u);
    const DrawOp& a = lines[lines.size() - 2];
    EXPECT_NEAR(a.x1, 20, 1e-9);
    EXPECT_NEAR(a.y1, 40, 1e-9);
    EXPECT_NEAR(a.x2, 30, 1e-9);
    EXPECT_NEAR(a.y2, 60, 1e-9);
    EXPECT_EQ(a.color, 0x00FF00u);
    const DrawOp& b = lines.back();
    EXPECT_NEAR(b.x1, 50, 1e-6);
    EXPECT_NEAR(b.x2, 90, 1e-6);  // 80 % of the way along the row at 20
}

TEST_F(PrintJob, TemplatesPrintOnlyOnTernaryAndXYGraphs) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("QAP-Plutonic");
    g.ShowTickMarks = 0;
    g.ShowFieldLines = 0;
    g.TemplateLines.push_back({40, 0, 0, 60, 10, 5});
    Print(g);
    EXPECT_EQ(printer->OpsOf(DrawOp::Line).size(), 3u);
}

TEST_F(PrintJob, BoxesAndLinesPrintInTheDiagramColour) {
    PrintedGraph g;
    g.DiagramType = QStringLiteral("Ternary");
    g.AxesColor = 254.5;  // rounds to even
    g.BoxList.push_back({10, 20, 10, 20});
    Print(g);
    const auto boxes = printer->OpsOf(DrawOp::Box);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].color, 254u);
    EXPECT_EQ(boxes[0].fillStyle, qvrt::vbFSTransparent);
}

}  // namespace
}  // namespace quarvex::printing
