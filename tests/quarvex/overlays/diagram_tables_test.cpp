#include "quarvex/overlays/overlay_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace quarvex::overlays {
namespace {

constexpr float kTol = 1e-5f;  // table values are singles of two-decimal numbers

const Diagram& Get(const char* type) {
    const Diagram* diagram = FindDiagram(type);
    if (!diagram) throw std::runtime_error(std::string("no overlay for ") + type);
    return *diagram;
}

std::vector<Segment> AllSegments(const Diagram& d) {
    std::vector<Segment> all;
    for (const Half& half : d.halves) all.insert(all.end(), half.segments.begin(), half.segments.end());
    return all;
}
std::vector<KeyRow> AllKeys(const Diagram& d) {
    std::vector<KeyRow> all;
    for (const Half& half : d.halves) all.insert(all.end(), half.keys.begin(), half.keys.end());
    return all;
}
std::vector<Letter> AllLetters(const Diagram& d) {
    std::vector<Letter> all;
    for (const Half& half : d.halves) all.insert(all.end(), half.letters.begin(), half.letters.end());
    return all;
}
const Letter& LetterOf(const Diagram& d, std::string_view text) {
    for (const Half& half : d.halves)
        for (const Letter& letter : half.letters)
            if (text == letter.text) return letter;
    throw std::runtime_error("no letter " + std::string(text));
}

void ExpectSegment(const Segment& s, float x1, float y1, float x2, float y2) {
    EXPECT_NEAR(s.x1, x1, kTol);
    EXPECT_NEAR(s.y1, y1, kTol);
    EXPECT_NEAR(s.x2, x2, kTol);
    EXPECT_NEAR(s.y2, y2, kTol);
}

TEST(OverlayTables, WackesIsTheWorkedMember) {
    const Diagram& d = Get("Wackes");
    ASSERT_EQ(d.halves.size(), 1u);
    const Half& h = d.halves[0];
    ASSERT_EQ(h.segments.size(), 3u);
    ExpectSegment(h.segments[0], 50, 0, 50, 90);
    ExpectSegment(h.segments[1], 50, 90, 47.5, 95);
    ExpectSegment(h.segments[2], 50, 90, 52.5, 95);
    EXPECT_EQ(d.rows, 27);
    ASSERT_EQ(h.keys.size(), 3u);
    EXPECT_STREQ(h.keys[0].cell, "A.");
    EXPECT_STREQ(h.keys[0].name, "Quartz Wacke");
    EXPECT_STREQ(h.keys[1].name, "Feldspathic Wacke");
    EXPECT_STREQ(h.keys[2].name, "Lithic Wacke");
    ASSERT_EQ(h.letters.size(), 3u);
    EXPECT_EQ(h.letters[0].place, Place::Centred);
    EXPECT_NEAR(h.letters[0].x, 50, kTol);
    EXPECT_NEAR(h.letters[0].y, 97, kTol);
    EXPECT_EQ(h.letters[1].place, Place::Left);
    EXPECT_NEAR(h.letters[1].x, 44.94, kTol);
    EXPECT_NEAR(h.letters[1].y, 89, kTol);
    EXPECT_NEAR(h.letters[2].x, 51.1, kTol);
    EXPECT_EQ(h.screenFont, StartFont::ArialBold);
}

TEST(OverlayTables, QapfPlutonicHasSixteenSegmentsAndThirtyNineKeyRows) {
    const Diagram& d = Get("QAPF-Plutonic");
    ASSERT_EQ(d.halves.size(), 2u);
    EXPECT_EQ(d.halves[0].segments.size(), 8u);
    const auto f = d.halves[1].segments;
    ASSERT_EQ(f.size(), 8u);
    ExpectSegment(f[5], 90, 0, 86, 10);  // segment 14
    ExpectSegment(f[7], 90, 0, 66, 60);  // segment 16
    EXPECT_EQ(d.rows, 45);
    EXPECT_EQ(d.gridHeight, 12000);
    EXPECT_EQ(d.halves[0].keys.size(), 23u);
    const auto keys = AllKeys(d);
    ASSERT_EQ(keys.size(), 39u);
    for (size_t i = 0; i < keys.size(); ++i) {
        const bool bare = i + 1 == 13 || i + 1 == 39;
        EXPECT_EQ(std::string_view(keys[i].cell).ends_with('.'), !bare) << "row " << i + 1;
    }
    EXPECT_STREQ(keys[12].cell, "L");
    EXPECT_STREQ(keys[38].cell, "J2");
    EXPECT_STREQ(keys[23].name, "Foid Bearing Alkali Felds. Syenite");
    EXPECT_EQ(AllLetters(d).size(), 27u);
    EXPECT_NEAR(LetterOf(d, "Q").x, 91.28, kTol);
    EXPECT_NEAR(LetterOf(d, "M").y, -5, kTol);
}

TEST(OverlayTables, QapfVolcanicDotsExactlySegmentsEightAndNine) {
    const Diagram& d = Get("QAPF-Volcanic");
    const auto segments = AllSegments(d);
    ASSERT_EQ(segments.size(), 17u);
    for (size_t i = 0; i < segments.size(); ++i) {
        const bool broken = i + 1 == 8 || i + 1 == 9;
        EXPECT_EQ(segments[i].screen, broken ? Pen::Dotted : Pen::Solid) << "segment " << i + 1;
        EXPECT_EQ(segments[i].paper, broken ? Pen::Dashed : Pen::Solid) << "segment " << i + 1;
    }
    ExpectSegment(segments[7], 82, -20, 66, -60);
    ExpectSegment(segments[8], 38, -20, 44, -60);
    EXPECT_EQ(d.rows, 30);
    EXPECT_EQ(AllKeys(d).size(), 25u);
    EXPECT_EQ(d.halves[0].keys.size(), 11u);
    EXPECT_TRUE(d.halves[1].screenRecolour);
}

TEST(OverlayTables, TasHasTwentyLiteralSegmentsAndMovesTwoLettersOnPaper) {
    const Diagram& d = Get("TAS-Volcanic");
    const auto segments = AllSegments(d);
    ASSERT_EQ(segments.size(), 20u);
    ExpectSegment(segments[17], 69, 8, 69.1f, 13);
    EXPECT_TRUE(segments[3].solidBefore);
    EXPECT_TRUE(segments[5].solidBefore);
    const Letter& e = LetterOf(d, "E");
    EXPECT_NEAR(e.x, 49.8, kTol);
    EXPECT_NEAR(e.y, 11.8, kTol);
    EXPECT_NEAR(e.paperX, 49.5, kTol);
    EXPECT_NEAR(e.paperY, 11.5, kTol);
    const Letter& j = LetterOf(d, "J");
    EXPECT_NEAR(j.x, 54.3, kTol);
    EXPECT_NEAR(j.y, 9.6, kTol);
    EXPECT_NEAR(j.paperX, 54, kTol);
    EXPECT_NEAR(j.paperY, 9.3, kTol);
    EXPECT_EQ(d.rows, 27);
    EXPECT_EQ(AllKeys(d).size(), 17u);
    EXPECT_EQ(d.paperKey, PaperKey::Positioned);
    EXPECT_FALSE(d.paperBlackKey);
}

TEST(OverlayTables, SandstoneLettersDAndF) {
    const Diagram& d = Get("Sandstones");
    EXPECT_NEAR(LetterOf(d, "D").x, 52.92, kTol);
    EXPECT_NEAR(LetterOf(d, "D").y, 54, kTol);
    EXPECT_NEAR(LetterOf(d, "F").x, 4, kTol);
    EXPECT_NEAR(LetterOf(d, "F").y, 5, kTol);
    EXPECT_TRUE(d.solidAfterSegments);
}

// The chord rule is summed in double and handed on as a single, so every
// computed position is exactly the single nearest to the two-decimal value
// the diagram lists; summing in single precision misses some by one unit.
TEST(OverlayTables, ChordPositionsAreTheSinglesOfTheirTwoDecimalValues) {
    for (const Diagram* d : AllDiagrams()) {
        for (const Letter& l : AllLetters(*d)) {
            for (float x : {l.x, l.paperX}) {
                const float listed = float(std::round(double(x) * 100) / 100);
                EXPECT_EQ(x, listed) << d->type << " " << l.text;
            }
        }
    }
    EXPECT_EQ(Chord(89, 0.04), 44.94f);
    EXPECT_EQ(Chord(61, 0.09), 34.01f);
    EXPECT_EQ(Chord(4, 0.92), 90.32f);
    EXPECT_EQ(Chord(54, 0.52, 2), 52.92f);
}

std::string Describe(const Diagram& d, size_t halfIndex, const char* what, size_t row) {
    return std::string(d.type) + (d.halves.size() > 1 ? (halfIndex ? " F " : " Q ") : " ") + what +
           std::to_string(row);
}

// Screen and paper share one table; this lists every place where the
// printed diagram departs from the screen one, and nothing else may.
TEST(OverlayTables, ScreenAndPaperDifferOnlyWhereThePrintedDiagramDoes) {
    std::set<std::string> found;
    for (const Diagram* d : AllDiagrams()) {
        size_t keyRow = 0;
        for (size_t h = 0; h < d->halves.size(); ++h) {
            const Half& half = d->halves[h];
            for (size_t i = 0; i < half.segments.size(); ++i) {
                const Segment& s = half.segments[i];
                if (s.screen == Pen::Solid && s.paper == Pen::Solid) continue;
                if (s.screen == Pen::Dotted && s.paper == Pen::Dashed)
                    found.insert(Describe(*d, h, "broken ", i + 1));
                else if (s.screen == Pen::Solid && s.paper == Pen::None)
                    found.insert(Describe(*d, h, "screen only ", i + 1));
                else
                    found.insert(Describe(*d, h, "odd pen ", i + 1));
            }
            for (size_t i = 0; i < half.letters.size(); ++i) {
                const Letter& l = half.letters[i];
                if (l.x != l.paperX || l.y != l.paperY) found.insert(std::string(d->type) + " letter " + l.text);
            }
            for (const KeyRow& k : half.keys) {
                ++keyRow;
                if (k.paperName) found.insert(std::string(d->type) + " key " + std::to_string(keyRow));
            }
            if (half.screenFont != half.paperFont) found.insert(Describe(*d, h, "font", 0));
        }
    }
    const std::set<std::string> expected = {
        "QAPF-Plutonic F screen only 6", "FAP-Plutonic screen only 6",
        "QAPF-Volcanic Q broken 8", "QAPF-Volcanic Q broken 9",
        "QAP-Volcanic broken 8", "QAP-Volcanic broken 9",
        "PlagPxHbl-Gabbroic broken 2", "PlagPxHbl-Gabbroic broken 3",
        "PlagPxOl-Gabbroic broken 2", "PlagPxOl-Gabbroic broken 3",
        "QAPF-Plutonic letter A2", "QAPF-Plutonic letter E2",
        "QAPF-Volcanic letter J", "QAPF-Volcanic letter A2", "QAPF-Volcanic letter H2",
        "TAS-Volcanic letter E", "TAS-Volcanic letter J",
        "FAP-Volcanic key 11", "QAPF-Plutonic key 24", "QAPF-Volcanic key 22", "OlOpxCpx-UMafic key 4",
        "FAP-Plutonic font0", "FAP-Volcanic font0", "OlPxHbl-UMafic font0",
        "PlagOPxCPx-Gabbroic font0", "PlagPxHbl-Gabbroic font0", "QAPF-Volcanic F font0",
    };
    EXPECT_EQ(found, expected);
}

TEST(OverlayTables, PaperKeyLinesDropTheStopAndKeepEveryOddSpelling) {
    const auto wackes = AllKeys(Get("Wackes"));
    EXPECT_EQ(PaperKeyLine(wackes[0]), "A - Quartz Wacke");
    EXPECT_EQ(PaperKeyLine(AllKeys(Get("QAPF-Plutonic"))[12]), "L - Quartz Diorite (An < 50%)");
    EXPECT_EQ(PaperKeyLine(AllKeys(Get("Sandstones"))[6]), "C,D - Wackes (Clay > 15% and < 75%)");
    EXPECT_EQ(PaperKeyLine(AllKeys(Get("Arenites"))[5]), "E - Litharenite ");
    EXPECT_EQ(PaperKeyLine(AllKeys(Get("Arenites"))[4]), "D - Arkosic Arenite or Lithic Arkose (Felds <75%)");
    const auto fap = AllKeys(Get("FAP-Volcanic"));
    EXPECT_STREQ(fap[10].name, "Tephrite (Olivene < 10%)");
    EXPECT_EQ(PaperKeyLine(fap[10]), "H - Tephrite (Olivene < 10%");
    const auto ol = AllKeys(Get("OlOpxCpx-UMafic"));
    EXPECT_STREQ(ol[3].name, "Wehrlite");
    EXPECT_EQ(PaperKeyLine(ol[3]), "D - Wherlite");
    EXPECT_STREQ(AllKeys(Get("OlPxHbl-UMafic"))[2].name, "Proxene Hornblende Peridotite");
    EXPECT_STREQ(AllKeys(Get("OlPxHbl-UMafic"))[8].name, "Proxenite");
    EXPECT_STREQ(AllKeys(Get("QAP-Volcanic"))[7].name, "Andesite (M = 0-35% 0r SiO2 > 52%)");
}

TEST(OverlayTables, OnlyTheExactTypeNameFindsAnOverlay) {
    EXPECT_EQ(AllDiagrams().size(), 19u);
    for (const Diagram* d : AllDiagrams()) EXPECT_EQ(FindDiagram(d->type), d);
    for (const char* other : {"Ternary", "XY Plot", "Not Defined", "qap-plutonic", "QAP-Plutonic ", "", "Wacke"})
        EXPECT_EQ(FindDiagram(other), nullptr) << other;
}

}  // namespace
}  // namespace quarvex::overlays
