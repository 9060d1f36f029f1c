// The printer's document life (pages, EndDoc, failures) on the recording
// printer that printing tests use.
#include "quarvex/runtime/drawing/error_of.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/recording_surface.h"

#include <gtest/gtest.h>

namespace qvrt {
namespace {

TEST(RecordingPrinterDocument, PrintingAnEmptyLineOpensTheDocument) {
    RecordingPrinter p;
    EXPECT_FALSE(p.DocumentOpen());
    p.Print("");
    EXPECT_TRUE(p.DocumentOpen());
}

TEST(RecordingPrinterDocument, NewPageNumbersTheFollowingOperationsAndHomesThePosition) {
    RecordingPrinter p;
    p.Line(0, 0, 100, 100);
    p.Scale(-10, 0, 100, 100);
    p.SetCurrentX(45);
    p.SetCurrentY(80);
    p.NewPage();
    EXPECT_DOUBLE_EQ(p.CurrentX(), -10);
    EXPECT_DOUBLE_EQ(p.CurrentY(), 0);
    p.Print("Legend");
    EXPECT_EQ(p.Ops().front().page, 1);
    EXPECT_EQ(p.OpsOf(DrawOp::Text).back().page, 2);
    EXPECT_DOUBLE_EQ(p.ScaleLeft(), -10);  // the scale outlives the page
}

TEST(RecordingPrinterDocument, EndDocClosesTheDocumentAndTheNextOneStartsAtPageOne) {
    RecordingPrinter p;
    p.Print("");
    p.NewPage();
    p.EndDoc();
    EXPECT_FALSE(p.DocumentOpen());
    EXPECT_EQ(p.DocumentsEnded(), 1);
    p.Print("again");
    EXPECT_EQ(p.Ops().back().page, 1);
}

TEST(RecordingPrinterDocument, EndDocWithoutADocumentDoesNothing) {
    RecordingPrinter p;
    p.EndDoc();
    EXPECT_EQ(p.DocumentsEnded(), 0);
    EXPECT_TRUE(p.Ops().empty());
}

TEST(RecordingPrinterDocument, AFailingPrinterRaisesItsErrorAndRecordsNothing) {
    RecordingPrinter p;
    p.FailWith(ErrPrinter);
    EXPECT_EQ(ErrorOf([&] { p.Line(0, 0, 1, 1); }), ErrPrinter);
    EXPECT_EQ(ErrorOf([&] { p.Print("x"); }), ErrPrinter);
    EXPECT_EQ(ErrorOf([&] { p.NewPage(); }), ErrPrinter);
    EXPECT_EQ(ErrorOf([&] { p.EndDoc(); }), ErrPrinter);
    EXPECT_TRUE(p.Ops().empty());
    p.FailWith(0);
    p.Print("x");
    EXPECT_EQ(p.Ops().size(), 1u);
}

TEST(RecordingPrinterPage, RunningLinesContinueAtTheTopOfANewPage) {
    RecordingPrinter p(11906, 16838);
    p.SetFontSize(10);  // 200 twips a line: 84 whole lines a page
    for (int row = 0; row < 90; ++row) {
        p.PrintKeep(QString::number(row));
        p.NextZone();
        p.Print("cell");
    }
    const auto texts = p.OpsOf(DrawOp::Text);
    ASSERT_EQ(texts.size(), 180u);
    EXPECT_EQ(texts[167].page, 1);
    EXPECT_DOUBLE_EQ(texts[166].y1, 83 * 200);
    EXPECT_EQ(texts[168].page, 2);  // row 84 and its second zone
    EXPECT_EQ(texts[169].page, 2);
    EXPECT_DOUBLE_EQ(texts[168].y1, 0);
    EXPECT_DOUBLE_EQ(texts[169].y1, 0);
    EXPECT_DOUBLE_EQ(texts[169].x1, 14 * 100);
    EXPECT_EQ(p.OpsOf(DrawOp::NewPage).size(), 1u);
}

TEST(RecordingPrinterPage, ATextPlacedByItsPositionNeverBreaksThePage) {
    RecordingPrinter p(11906, 16838);
    p.SetFontSize(10);
    p.SetCurrentY(16800);
    p.Print("at the foot");
    p.SetCurrentY(16900);
    p.Print("below the page");
    EXPECT_TRUE(p.OpsOf(DrawOp::NewPage).empty());
    EXPECT_DOUBLE_EQ(p.OpsOf(DrawOp::Text)[1].y1, 16900);
}

TEST(RecordingPrinterPage, APictureNeverBreaksPages) {
    RecordingSurface s(1000, 1000);
    s.SetFontSize(10);
    for (int row = 0; row < 10; ++row) s.Print("row");
    EXPECT_DOUBLE_EQ(s.OpsOf(DrawOp::Text).back().y1, 1800);
}

TEST(RecordingPrinterPage, LandscapeSwapsTheWidthAndHeightOfThePage) {
    RecordingPrinter p(11906, 16838);
    EXPECT_EQ(p.Orientation(), vbPRORPortrait);
    EXPECT_DOUBLE_EQ(p.ScaleWidth(), 11906);
    p.SetOrientation(vbPRORLandscape);
    EXPECT_DOUBLE_EQ(p.Width(), 16838);
    EXPECT_DOUBLE_EQ(p.Height(), 11906);
    EXPECT_DOUBLE_EQ(p.ScaleWidth(), 16838);
    EXPECT_EQ(ErrorOf([&] { p.SetOrientation(3); }), ErrInvalidProperty);
}

TEST(RecordingPrinterPage, TheFontListNamesTheProgramsFonts) {
    RecordingPrinter p;
    ASSERT_GE(p.FontCount(), 5);
    EXPECT_EQ(p.Fonts(0), "Arial");
    EXPECT_EQ(p.Fonts(4), "Wingdings");
    EXPECT_EQ(ErrorOf([&] { p.Fonts(p.FontCount()); }), ErrSubscript);
    EXPECT_EQ(ErrorOf([&] { p.Fonts(-1); }), ErrSubscript);
}

TEST(RecordingPrinterPage, ThePageFitOfAPrintedFrameLandsWhereTheScaleSays) {
    // The frame printers read ScaleWidth/ScaleHeight, then Scale the page.
    RecordingPrinter p(11906, 16838);
    const double w = p.ScaleWidth(), h = p.ScaleHeight();
    ASSERT_GE(h / w, 1.0);
    p.Scale(-20, 132.6, 120, -32.6);
    p.Line(0, 0, 100, 0);
    const DrawOp op = p.Ops().at(0);
    EXPECT_DOUBLE_EQ(op.x1, 0);
    EXPECT_NEAR(p.ToDevice(op.x1, op.y1).x(), 20.0 / 140 * 11906, 1e-6);
}

TEST(ThePrinter, IsTheInstalledOneUntilReplaced) {
    auto owned = std::make_unique<RecordingPrinter>();
    RecordingPrinter* recording = owned.get();
    SetPrinter(std::move(owned));
    Printer().Print("through the global");
    EXPECT_EQ(recording->Ops().size(), 1u);
    EXPECT_EQ(Printer().Device(), nullptr);  // nothing for a set-up dialog to change
    SetPrinter(nullptr);
}

}  // namespace
}  // namespace qvrt
