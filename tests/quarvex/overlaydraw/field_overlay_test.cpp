#include "quarvex/overlaydraw/field_overlay.h"

#include "quarvex/runtime/painter_surface.h"
#include "quarvex/runtime/recording_surface.h"

#include <gtest/gtest.h>

#include <map>
#include <utility>

namespace quarvex {
namespace {

constexpr double kTol = 1e-4;

// Grid3 as a test sees it: every call, and cells pre-filled so that rows an
// overlay must leave alone can be checked.
class RecordingKeys : public FieldKeyTable {
public:
    RecordingKeys() {
        for (int r = 1; r < 50; ++r) cells[{r, 0}] = cells[{r, 1}] = QStringLiteral("old");
    }
    void SetRows(int r) override { rows = r; }
    void SetHeight(int twips) override { height = twips; }
    void SetText(int row, int col, const QString& text) override {
        cells[{row, col}] = text;
        ++writes;
    }
    void SetLeft(double v) override { left = v; }
    void SetTop(double v) override { top = v; }
    QString Cell(int row, int col) const { return cells.at({row, col}); }

    int rows = 10, height = 8000, writes = 0;
    double left = 0, top = 0;
    std::map<std::pair<int, int>, QString> cells;
};

// The scale the ternary frame leaves (y up), and the diamond frame's (y down).
void TernaryScale(qvrt::Surface& p) {
    p.SetScaleLeft(-20);
    p.SetScaleTop(132.6);
    p.SetScaleWidth(140);
    p.SetScaleHeight(-165.2);
}
void DiamondScale(qvrt::Surface& p) { p.Scale(-20, -120, 120, 120); }

struct Fixture {
    explicit Fixture(int16_t lines = -1, int16_t letters = -1, bool diamond = false) {
        diamond ? DiamondScale(picture) : TernaryScale(picture);
        picture.SetFontName(QStringLiteral("MS Sans Serif"));
        picture.SetFontBold(false);
        target = new OverlayTarget{picture, keys, 255.4, lines, letters};
    }
    ~Fixture() { delete target; }
    std::vector<qvrt::DrawOp> Lines() const { return picture.OpsOf(qvrt::DrawOp::Line); }
    std::vector<qvrt::DrawOp> Texts() const { return picture.OpsOf(qvrt::DrawOp::Text); }
    qvrt::RecordingSurface picture;
    RecordingKeys keys;
    OverlayTarget* target;
};

int KeyRowCount(const overlays::Diagram& d) {
    int n = 0;
    for (const auto& h : d.halves) n += int(h.keys.size());
    return n;
}

TEST(DrawFieldNames, DrawsEachOfItsSeventeenDiagramsByItsExactName) {
    const char* names[] = {"Carbonatites",    "Charnockites",        "Melilite-Plutonic", "Melilite-Volcanic",
                           "QAP-Plutonic",    "FAP-Plutonic",        "PlagPxOl-Gabbroic", "PlagPxHbl-Gabbroic",
                           "OlOpxCpx-UMafic", "OlPxHbl-UMafic",      "PlagOPxCPx-Gabbroic", "QAP-Volcanic",
                           "FAP-Volcanic",    "TAS-Volcanic",        "Sandstones",        "Arenites",
                           "Wackes"};
    for (const char* name : names) {
        Fixture f;
        DrawFieldNames(QString::fromLatin1(name), *f.target);
        const overlays::Diagram* d = overlays::FindDiagram(name);
        ASSERT_NE(d, nullptr) << name;
        const auto& half = d->halves[0];
        EXPECT_EQ(f.keys.rows, 27) << name;
        EXPECT_EQ(f.keys.writes, 2 * KeyRowCount(*d)) << name;
        EXPECT_EQ(f.keys.Cell(1, 1), QString::fromLatin1(half.keys[0].name)) << name;
        EXPECT_EQ(f.Lines().size(), half.segments.size()) << name;
        EXPECT_EQ(f.Texts().size(), half.letters.size()) << name;
        for (const auto& op : f.Lines()) EXPECT_EQ(op.color, 255u) << name;  // AxesColor rounded
    }
}

TEST(DrawFieldNames, IsSilentForEveryOtherType) {
    for (const char* other : {"Ternary", "XY Plot", "QAPF-Plutonic", "QAPF-Volcanic", "Not Defined", "wackes",
                              "Wackes ", "TAS-volcanic", ""}) {
        Fixture f;
        f.picture.SetForeColor(7);
        DrawFieldNames(QString::fromLatin1(other), *f.target);
        EXPECT_TRUE(f.picture.Ops().empty()) << other;
        EXPECT_EQ(f.keys.writes, 0) << other;
        EXPECT_EQ(f.keys.rows, 10) << other;
        EXPECT_EQ(f.picture.ForeColor(), 7u) << other;
    }
}

TEST(ScreenOverlay, WackesDrawsThreeMeetingLinesAndCentresA) {
    Fixture f;
    DrawFieldNames(QStringLiteral("Wackes"), *f.target);
    const auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 3u);
    for (const auto& l : lines) {
        const bool meets = (std::abs(l.x1 - 50) < kTol && std::abs(l.y1 - 90) < kTol) ||
                           (std::abs(l.x2 - 50) < kTol && std::abs(l.y2 - 90) < kTol);
        EXPECT_TRUE(meets) << qPrintable(Describe(l));
    }
    const auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, QStringLiteral("A"));
    EXPECT_NEAR((texts[0].x1 + texts[0].x2) / 2, 50, kTol);  // centred by its own width
    EXPECT_NEAR(texts[0].y1, 97, kTol);
    EXPECT_NEAR(texts[1].x1, 44.94, kTol);
    EXPECT_NEAR(texts[1].y1, 89, kTol);
    EXPECT_NEAR(texts[2].x1, 51.1, kTol);
    for (const auto& t : texts) {
        EXPECT_EQ(t.fontName, QStringLiteral("Small Fonts"));
        EXPECT_DOUBLE_EQ(t.fontSize, 6);
        EXPECT_FALSE(t.bold);
    }
    EXPECT_EQ(f.keys.Cell(3, 0), QStringLiteral("C."));
    EXPECT_EQ(f.keys.Cell(3, 1), QStringLiteral("Lithic Wacke"));
    EXPECT_EQ(f.keys.Cell(4, 1), QStringLiteral("old"));
}

TEST(ScreenOverlay, BothFlagsOffStillWriteTheKeyAndTheEntryFont) {
    Fixture f(0, 0);
    DrawFieldNames(QStringLiteral("Wackes"), *f.target);
    EXPECT_TRUE(f.Lines().empty());
    EXPECT_TRUE(f.Texts().empty());
    EXPECT_EQ(f.keys.rows, 27);
    EXPECT_EQ(f.keys.Cell(1, 0), QStringLiteral("A."));
    EXPECT_EQ(f.picture.FontName(), QStringLiteral("Arial"));
    EXPECT_TRUE(f.picture.FontBold());

    // Only -1 counts as on.
    Fixture one(1, 1);
    DrawFieldNames(QStringLiteral("Arenites"), *one.target);
    EXPECT_TRUE(one.picture.Ops().empty());
    EXPECT_EQ(one.keys.Cell(6, 1), QStringLiteral("Litharenite "));
    EXPECT_EQ(one.picture.FontName(), QStringLiteral("MS Sans Serif"));
}

TEST(ScreenOverlay, QapfPlutonicDrawsSixteenSegmentsAndThirtyNineRowsOfFortyFive) {
    Fixture f(-1, -1, true);
    DrawFieldsQAPFPlutonic(*f.target);
    EXPECT_EQ(f.Lines().size(), 16u);
    EXPECT_EQ(f.keys.height, 12000);
    EXPECT_EQ(f.keys.rows, 45);
    EXPECT_EQ(f.keys.Cell(13, 0), QStringLiteral("L"));
    EXPECT_EQ(f.keys.Cell(39, 0), QStringLiteral("J2"));
    EXPECT_EQ(f.keys.Cell(39, 1), QStringLiteral("Foidolite"));
    EXPECT_EQ(f.keys.Cell(40, 0), QStringLiteral("old"));
    const auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 27u);
    EXPECT_EQ(texts[17].text, QStringLiteral("A2"));
    EXPECT_NEAR((texts[17].x1 + texts[17].x2) / 2, 5.45, kTol);
    EXPECT_NEAR(texts[17].y1, 1, kTol);
}

TEST(ScreenOverlay, QapfVolcanicDotsSegmentsEightAndNineAndEndsSolid) {
    Fixture f(-1, 0, true);
    DrawFieldsQAPFVolcanic(*f.target);
    const auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 17u);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].drawStyle, i == 7 || i == 8 ? qvrt::vbDot : qvrt::vbSolid) << "segment " << i + 1;
    EXPECT_EQ(f.picture.DrawStyle(), qvrt::vbSolid);
    EXPECT_EQ(f.keys.rows, 30);
    EXPECT_EQ(f.keys.Cell(25, 0), QStringLiteral("K2."));
    EXPECT_EQ(f.keys.Cell(26, 0), QStringLiteral("old"));
    EXPECT_EQ(f.picture.FontName(), QStringLiteral("MS Sans Serif"));
}

TEST(ScreenOverlay, TasDrawsTwentySegmentsAndItsLettersAtTheirLiterals) {
    Fixture f;
    f.picture.Scale(30, 18, 80, -2);
    DrawFieldsTAS(*f.target);
    const auto lines = f.Lines();
    ASSERT_EQ(lines.size(), 20u);
    EXPECT_NEAR(lines[17].x2, 69.1, kTol);
    EXPECT_NEAR(lines[17].y2, 13, kTol);
    const auto texts = f.Texts();
    ASSERT_EQ(texts.size(), 15u);
    EXPECT_NEAR(texts[4].x1, 49.8, kTol);
    EXPECT_NEAR(texts[4].y1, 11.8, kTol);
    EXPECT_NEAR(texts[9].x1, 54.3, kTol);
    EXPECT_NEAR(texts[9].y1, 9.6, kTol);
    EXPECT_EQ(f.keys.rows, 27);
    EXPECT_EQ(f.keys.Cell(13, 0), QStringLiteral("K"));
    EXPECT_EQ(f.keys.Cell(18, 0), QStringLiteral("old"));
}

TEST(ScreenOverlay, GabbroicEntryFontsDiffer) {
    Fixture hbl(0, 0);
    DrawFieldNames(QStringLiteral("PlagPxHbl-Gabbroic"), *hbl.target);
    EXPECT_EQ(hbl.picture.FontName(), QStringLiteral("Arial"));
    EXPECT_FALSE(hbl.picture.FontBold());
    Fixture opx(0, 0);
    DrawFieldNames(QStringLiteral("PlagOPxCPx-Gabbroic"), *opx.target);
    EXPECT_EQ(opx.picture.FontName(), QStringLiteral("MS Sans Serif"));
    Fixture ol(-1, 0);
    DrawFieldNames(QStringLiteral("PlagPxOl-Gabbroic"), *ol.target);
    EXPECT_EQ(ol.Lines()[1].drawStyle, qvrt::vbDot);
    EXPECT_EQ(ol.Lines()[3].drawStyle, qvrt::vbSolid);
}

TEST(ScreenOverlay, ATinyPictureTakesEveryOverlayWithoutHarm) {
    qvrt::PictureSurface tiny(QSize(3, 2));
    TernaryScale(tiny);
    RecordingKeys keys;
    const OverlayTarget target{tiny, keys, 0, -1, -1};
    for (const overlays::Diagram* d : overlays::AllDiagrams()) DrawScreenOverlay(*d, target);
    EXPECT_EQ(keys.rows, 30);  // the last one drawn
}

TEST(KeyScrollBars, SlideTheTableByTheirValue) {
    RecordingKeys keys;
    HScroll1_Change(keys, 120);
    VScroll1_Change(keys, 32767);
    EXPECT_DOUBLE_EQ(keys.left, -120);
    EXPECT_DOUBLE_EQ(keys.top, -32767);
    HScroll1_Change(keys, 0);
    EXPECT_DOUBLE_EQ(keys.left, 0);
}

}  // namespace
}  // namespace quarvex
