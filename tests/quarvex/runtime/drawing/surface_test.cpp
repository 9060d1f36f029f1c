// The surface's own rules (scale, print position, text measures, property
// checks), observed through the recording backend's fixed metrics:
// em = FontSize * 20 twips, text characters 0.5 em, symbol characters 1 em,
// line height 1 em.
#include "quarvex/runtime/drawing/error_of.h"
#include "quarvex/runtime/errors.h"
#include "quarvex/runtime/recording_surface.h"

#include <gtest/gtest.h>

namespace qvrt {
namespace {

constexpr double kTol = 1e-9;

// --- Scale ---------------------------------------------------------------

TEST(SurfaceScale, StartsInTwipsOfTheWholeSurface) {
    RecordingSurface s(6000, 4500);
    EXPECT_DOUBLE_EQ(s.ScaleLeft(), 0);
    EXPECT_DOUBLE_EQ(s.ScaleTop(), 0);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 6000);
    EXPECT_DOUBLE_EQ(s.ScaleHeight(), 4500);
}

TEST(SurfaceScale, ScaleSetsLeftTopWidthAndHeightFromTheTwoCorners) {
    RecordingSurface s;
    s.Scale(-20, 132.6, 120, -32.6);
    EXPECT_DOUBLE_EQ(s.ScaleLeft(), -20);
    EXPECT_DOUBLE_EQ(s.ScaleTop(), 132.6);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 140);
    EXPECT_NEAR(s.ScaleHeight(), -165.2, kTol);
}

TEST(SurfaceScale, AYUpScaleMapsTheTopCornerToTheTopOfTheDevice) {
    RecordingSurface s(1000, 2000);
    s.Scale(0, 10, 100, 0);
    EXPECT_NEAR(s.ToDevice(0, 10).y(), 0, kTol);
    EXPECT_NEAR(s.ToDevice(100, 0).x(), 1000, kTol);
    EXPECT_NEAR(s.ToDevice(100, 0).y(), 2000, kTol);
    EXPECT_NEAR(s.ToDevice(50, 2.5).y(), 1500, kTol);
    EXPECT_NEAR(s.FromDeviceY(1500), 2.5, kTol);
    EXPECT_NEAR(s.FromDeviceX(250), 25, kTol);
}

TEST(SurfaceScale, SettingTheMembersOneByOneGivesTheSameScaleAsTheMethod) {
    RecordingSurface a, b;
    a.Scale(35, 16, 77, 0);
    b.SetScaleLeft(35);
    b.SetScaleTop(16);
    b.SetScaleWidth(42);
    b.SetScaleHeight(-16);
    EXPECT_EQ(a.ToDevice(50, 5), b.ToDevice(50, 5));
}

TEST(SurfaceScale, SettingOneMemberKeepsTheOthersAsTheyRead) {
    RecordingSurface s(6000, 4500);
    s.SetScaleLeft(-100);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 6000);
    EXPECT_DOUBLE_EQ(s.ScaleHeight(), 4500);
    EXPECT_DOUBLE_EQ(s.ScaleTop(), 0);
}

TEST(SurfaceScale, ScaleWithoutArgumentsReturnsToTwips) {
    RecordingSurface s(6000, 4500);
    s.Scale(0, 0, 1, 1);
    s.Scale();
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 6000);
    EXPECT_DOUBLE_EQ(s.ScaleLeft(), 0);
}

TEST(SurfaceScale, AZeroWideOrHighScaleIsAnInvalidPropertyValue) {
    RecordingSurface s;
    EXPECT_EQ(ErrorOf([&] { s.Scale(5, 0, 5, 10); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.Scale(0, 3, 10, 3); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetScaleWidth(0); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetScaleHeight(0); }), ErrInvalidProperty);
    EXPECT_DOUBLE_EQ(s.ScaleWidth(), 6000);  // unchanged by the refused calls
}

// --- Text measures ---------------------------------------------------------

TEST(SurfaceText, MeasuresInTwipsBeforeAnyScale) {
    RecordingSurface s;
    s.SetFontName("Arial");
    s.SetFontSize(10);
    EXPECT_DOUBLE_EQ(s.TextWidth("abcd"), 4 * 100);
    EXPECT_DOUBLE_EQ(s.TextHeight("abcd"), 200);
}

TEST(SurfaceText, MeasuresCarryTheSignOfAYUpScale) {
    RecordingSurface s(1000, 1000);
    s.Scale(0, 100, 100, 0);  // 10 twips per unit, y up
    s.SetFontName("Arial");
    s.SetFontSize(10);
    EXPECT_DOUBLE_EQ(s.TextWidth("ab"), 20);
    EXPECT_DOUBLE_EQ(s.TextHeight("H"), -20);
}

TEST(SurfaceText, TextHeightOfAnEmptyTextIsOneLine) {
    RecordingSurface s;
    s.SetFontSize(6);
    EXPECT_DOUBLE_EQ(s.TextHeight(""), 120);
    EXPECT_DOUBLE_EQ(s.TextWidth(""), 0);
}

TEST(SurfaceText, MultiLineTextsMeasureTheirWidestLineAndEveryLine) {
    RecordingSurface s;
    s.SetFontSize(10);
    EXPECT_DOUBLE_EQ(s.TextWidth("ab\r\nabcdef\nabc"), 600);
    EXPECT_DOUBLE_EQ(s.TextHeight("ab\r\nabcdef\nabc"), 600);
}

TEST(SurfaceText, SymbolCharactersAreOneEmWide) {
    RecordingSurface s;
    s.SetFontName("Wingdings");
    s.SetFontSize(9.75);
    EXPECT_DOUBLE_EQ(s.TextWidth(QString(QChar(117))), 195);
    s.SetFontName("Arial");
    EXPECT_DOUBLE_EQ(s.TextWidth(QString(QChar(117))), 97.5);
}

TEST(SurfaceText, CentringByHalfTheSignedMeasuresPutsTheBoxMiddleOnThePoint) {
    RecordingSurface s(3000, 3000);
    for (double top : {100.0, -100.0}) {  // y up, then y down
        s.ClearOps();
        s.Scale(0, top, 100, -top);
        s.SetFontName("Symbol");
        s.SetFontSize(9.75);
        const QString g(QChar(196));
        s.SetCurrentX(40 - s.TextWidth(g) / 2);
        s.SetCurrentY(30 - s.TextHeight(g) / 2);
        s.Print(g);
        const DrawOp op = s.Ops().at(0);
        EXPECT_NEAR((op.x1 + op.x2) / 2, 40, kTol) << Describe(op).toStdString();
        EXPECT_NEAR((op.y1 + op.y2) / 2, 30, kTol) << Describe(op).toStdString();
    }
}

// --- Print position --------------------------------------------------------

TEST(SurfacePrint, PrintsAtTheTopLeftCornerThenMovesToTheNextLine) {
    RecordingSurface s(6000, 4500);
    s.SetFontName("Arial");
    s.SetFontSize(10);
    s.SetCurrentX(500);
    s.SetCurrentY(300);
    s.Print("Title");
    ASSERT_EQ(s.Ops().size(), 1u);
    EXPECT_EQ(s.Ops()[0].text, "Title");
    EXPECT_DOUBLE_EQ(s.Ops()[0].x1, 500);
    EXPECT_DOUBLE_EQ(s.Ops()[0].y1, 300);
    EXPECT_DOUBLE_EQ(s.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 500);
}

TEST(SurfacePrint, TheNextLineStartsAtScaleLeftAndMovesDownTheDeviceOnAYUpScale) {
    RecordingSurface s(1000, 1000);
    s.Scale(-10, 100, 90, 0);
    s.SetFontSize(10);  // 200 twips = 20 units high
    s.SetCurrentX(0);
    s.SetCurrentY(50);
    s.Print("x");
    EXPECT_DOUBLE_EQ(s.CurrentX(), -10);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 30);
}

TEST(SurfacePrint, ConsecutivePrintsStackLineUnderLine) {
    RecordingSurface s;
    s.SetFontSize(8);
    s.SetCurrentY(1000);
    s.Print("");
    s.Print("");
    s.Print("A - Quartzolite");
    EXPECT_DOUBLE_EQ(s.OpsOf(DrawOp::Text).back().y1, 1000 + 2 * 160);
}

TEST(SurfacePrint, PrintKeepLeavesThePositionAfterTheText) {
    RecordingSurface s;
    s.SetFontSize(10);
    s.SetCurrentX(100);
    s.SetCurrentY(200);
    s.PrintKeep("X axis interval = ");
    s.PrintKeep("5.0");
    EXPECT_DOUBLE_EQ(s.CurrentX(), 100 + 21 * 100);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 200);
    EXPECT_DOUBLE_EQ(s.OpsOf(DrawOp::Text)[1].x1, 100 + 18 * 100);
}

TEST(SurfacePrint, EmbeddedLineFeedsStartNewLines) {
    RecordingSurface s;
    s.SetFontSize(10);
    s.SetCurrentX(300);
    s.Print("one\r\ntwo");
    const auto texts = s.OpsOf(DrawOp::Text);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_DOUBLE_EQ(texts[1].x1, 0);
    EXPECT_DOUBLE_EQ(texts[1].y1, 200);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 400);
}

TEST(SurfacePrint, PrintZonesAreFourteenAverageCharactersWide) {
    RecordingSurface s(60000, 4500);
    s.SetFontName("Arial");
    s.SetFontSize(6);  // 60 twips a character, 840 a zone
    s.PrintKeep("Code");
    s.NextZone();
    EXPECT_DOUBLE_EQ(s.CurrentX(), 840);
    s.PrintKeep("Sample #");
    s.NextZone();
    EXPECT_DOUBLE_EQ(s.CurrentX(), 1680);
}

TEST(SurfacePrint, AnItemFillingItsZoneExactlyMovesOnByOneZone) {
    RecordingSurface s(60000, 4500);
    s.SetFontSize(6);
    s.PrintKeep(QString(14, QLatin1Char('x')));
    s.NextZone();
    EXPECT_DOUBLE_EQ(s.CurrentX(), 1680);
}

TEST(SurfacePrint, AZoneAtTheStartOfALineSkipsTheFirstZone) {
    RecordingSurface s(60000, 4500);
    s.SetFontSize(6);
    s.NextZone();
    EXPECT_DOUBLE_EQ(s.CurrentX(), 840);
}

TEST(SurfacePrint, ZonesPastTheRightEdgeWrapToTheNextLine) {
    RecordingSurface s(2000, 4500);
    s.SetFontSize(6);
    s.NextZone();  // 840
    s.NextZone();  // 1680
    s.NextZone();  // 2520 is past the edge
    EXPECT_DOUBLE_EQ(s.CurrentX(), 0);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 120);
}

TEST(SurfacePrint, TabMovesToACharacterColumn) {
    RecordingSurface s(60000, 4500);
    s.SetFontSize(6);
    s.PrintKeep("Granite");
    s.Tab(71);
    EXPECT_DOUBLE_EQ(s.CurrentX(), 70 * 60);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 0);
}

TEST(SurfacePrint, TabToAColumnAlreadyPassedGoesToTheNextLine) {
    RecordingSurface s(60000, 4500);
    s.SetFontSize(6);
    s.PrintKeep(QString(20, QLatin1Char('n')));
    s.Tab(5);
    EXPECT_DOUBLE_EQ(s.CurrentX(), 4 * 60);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 120);
}

TEST(SurfacePrint, PrintingAnEmptyTextIsRecorded) {
    RecordingSurface s;
    s.Print("");
    ASSERT_EQ(s.OpsOf(DrawOp::Text).size(), 1u);
    EXPECT_TRUE(s.OpsOf(DrawOp::Text)[0].text.isEmpty());
}

// --- Lines -------------------------------------------------------------------

TEST(SurfaceLine, DrawsInForeColorAndEndsAtTheSecondPoint) {
    RecordingSurface s;
    s.SetForeColor(RGB(150, 150, 150));
    s.SetDrawStyle(vbDot);
    s.Line(0, 0, 50, 100);
    const DrawOp op = s.Ops().at(0);
    EXPECT_EQ(op.kind, DrawOp::Line);
    EXPECT_EQ(op.color, 150u + 150u * 256 + 150u * 65536);
    EXPECT_EQ(op.drawStyle, vbDot);
    EXPECT_DOUBLE_EQ(s.CurrentX(), 50);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 100);
}

TEST(SurfaceLine, AColourOfItsOwnLeavesForeColorAlone) {
    RecordingSurface s;
    s.SetForeColor(0x123456);
    s.Line(0, 0, 1, 1, 0xC0C0C0);
    EXPECT_EQ(s.Ops()[0].color, 0xC0C0C0u);
    EXPECT_EQ(s.ForeColor(), 0x123456u);
}

TEST(SurfaceLine, BoxesKeepTheirCornersAsGiven) {
    RecordingSurface s;
    s.Line(80, 20, 10, 70, std::nullopt, LineShape::Box);
    s.Line(1, 2, 3, 4, 255, LineShape::FilledBox);
    EXPECT_EQ(s.Ops()[0].kind, DrawOp::Box);
    EXPECT_DOUBLE_EQ(s.Ops()[0].x1, 80);
    EXPECT_DOUBLE_EQ(s.Ops()[0].y2, 70);
    EXPECT_EQ(s.Ops()[1].kind, DrawOp::FilledBox);
    EXPECT_EQ(s.Ops()[1].color, 255u);
}

TEST(SurfaceLine, ColoursKeepOnlyTheirRgbBytes) {
    RecordingSurface s;
    s.SetForeColor(0x80000005);
    EXPECT_EQ(s.ForeColor(), 5u);
    EXPECT_EQ(RGB(255, 0, 0), 255u);
    EXPECT_EQ(RGB(0, 0, 192), 0xC00000u);
    EXPECT_EQ(BlueOf(0xC00000), 192);
}

// --- Properties ------------------------------------------------------------------

TEST(SurfaceProperties, OutOfRangePenAndFillValuesAreInvalid) {
    RecordingSurface s;
    EXPECT_EQ(ErrorOf([&] { s.SetDrawStyle(7); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetDrawStyle(-1); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetDrawWidth(0); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetFillStyle(8); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetFontSize(0); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetFontSize(-6); }), ErrInvalidProperty);
    EXPECT_EQ(s.DrawStyle(), vbSolid);
    EXPECT_EQ(s.DrawWidth(), 1);
    EXPECT_EQ(s.FillStyle(), vbFSTransparent);
}

TEST(SurfaceProperties, ClsClearsAndHomesThePrintPosition) {
    RecordingSurface s;
    s.Scale(-20, 132.6, 120, -32.6);
    s.SetCurrentX(50);
    s.SetCurrentY(50);
    s.Cls();
    EXPECT_EQ(s.Ops().back().kind, DrawOp::Cls);
    EXPECT_DOUBLE_EQ(s.CurrentX(), -20);
    EXPECT_DOUBLE_EQ(s.CurrentY(), 132.6);
}

// --- Fonts ---------------------------------------------------------------------

TEST(SurfaceFonts, NamesCompareWithoutCaseAndReadBackInTheirOwnSpelling) {
    RecordingSurface s;
    s.SetFontName("WingDings");
    EXPECT_EQ(s.FontName(), "Wingdings");
    s.SetFontName("small fonts");
    EXPECT_EQ(s.FontName(), "Small Fonts");
    s.SetFontName("ARIAL");
    EXPECT_EQ(s.FontName(), "Arial");
}

TEST(SurfaceFonts, AnUnknownNameRaises380AndKeepsTheFont) {
    RecordingSurface s;
    s.SetFontName("Symbol");
    EXPECT_EQ(ErrorOf([&] { s.SetFontName("No Such Font 12"); }), ErrInvalidProperty);
    EXPECT_EQ(ErrorOf([&] { s.SetFontName(""); }), ErrInvalidProperty);
    EXPECT_EQ(s.FontName(), "Symbol");
}

TEST(SurfaceFonts, TheStandInsMapOntoTheDebianFonts) {
    EXPECT_EQ(ResolveFont("Arial").family, "Liberation Sans");
    EXPECT_EQ(ResolveFont("MS Sans Serif").family, "DejaVu Sans");
    EXPECT_EQ(ResolveFont("Small Fonts").family, "DejaVu Sans");
    EXPECT_EQ(ResolveFont("Symbol").kind, FontKind::Symbol);
    EXPECT_EQ(ResolveFont("wingdings").kind, FontKind::Wingdings);
}

TEST(SurfaceFonts, TheFontListStartsWithTheProgramsFiveNames) {
    const QStringList names = AvailableFontNames();
    ASSERT_GE(names.size(), 5);
    EXPECT_EQ(names.mid(0, 5), QStringList({"Arial", "MS Sans Serif", "Small Fonts", "Symbol", "Wingdings"}));
    EXPECT_EQ(names.count("Arial"), 1);
}

TEST(SurfaceFonts, TheFontPropertiesTravelWithEachRecordedText) {
    RecordingSurface s;
    s.SetFontName("Arial");
    s.SetFontSize(14);
    s.SetFontBold(true);
    s.SetFontItalic(true);
    s.SetForeColor(255);
    s.Print("Symbol Legend");
    const DrawOp op = s.Ops().at(0);
    EXPECT_EQ(op.fontName, "Arial");
    EXPECT_DOUBLE_EQ(op.fontSize, 14);
    EXPECT_TRUE(op.bold);
    EXPECT_TRUE(op.italic);
    EXPECT_EQ(op.color, 255u);
}

}  // namespace
}  // namespace qvrt
