#include "classify_test_support.h"

#include <gtest/gtest.h>

namespace classify {
namespace {

using testing::NameQP;
using testing::ScriptedMafics;
using enum ClassifierId;

TEST(QapPlutonic, NamesTheFieldsOfTheQuartzTriangle) {
    EXPECT_EQ(NameQP(QAPPlutonic, 40, 20), "Syenogranite");
    EXPECT_EQ(NameQP(QAPPlutonic, 40, 50), "Monzogranite");
    EXPECT_EQ(NameQP(QAPPlutonic, 40, 80), "Granodiorite");
    EXPECT_EQ(NameQP(QAPPlutonic, 40, 95), "Tonalite");
    EXPECT_EQ(NameQP(QAPPlutonic, 20, 50), "Quartz Monzonite");
    EXPECT_EQ(NameQP(QAPPlutonic, 10, 5), "Quartz Alkali Feldspar Syenite");
    EXPECT_EQ(NameQP(QAPPlutonic, 70, 50), "Quartz Rich Granitoids");
    EXPECT_EQ(NameQP(QAPPlutonic, 100, 0), "Quartzolite");
}

TEST(QapPlutonic, LeavesTheUnnamedBoundariesUnnamed) {
    EXPECT_EQ(NameQP(QAPPlutonic, 20, 5), "");
    EXPECT_EQ(NameQP(QAPPlutonic, 60, 50), "");
    EXPECT_EQ(NameQP(QAPPlutonic, 20, 80), "");
}

TEST(QapPlutonic, AsksForTheMaficCompositionOnlyWhereTheRulesSplitByIt) {
    ScriptedMafics an40(30, 40), an60(30, 60), gabbro(30, 60), anorthosite(5, 60), plain;
    EXPECT_EQ(NameQP(QAPPlutonic, 10, 80, &an40), "Quartz Monzodiorite");
    EXPECT_EQ(NameQP(QAPPlutonic, 10, 80, &an60), "Quartz Monzogabbro");
    EXPECT_EQ(NameQP(QAPPlutonic, 2, 95, &gabbro), "Gabbro");
    EXPECT_EQ(NameQP(QAPPlutonic, 2, 95, &anorthosite), "Anorthosite");
    EXPECT_EQ(an40.asked, 1);
    EXPECT_EQ(NameQP(QAPPlutonic, 40, 50, &plain), "Monzogranite");
    EXPECT_EQ(plain.asked, 0);
}

TEST(QapfPlutonic, NamesBothTrianglesAndThePlagioclaseRichCorner) {
    ScriptedMafics ignore(30, 0, 0), an60(30, 60);
    EXPECT_EQ(NameQP(QAPFPlutonic, 2, 80, &ignore), "Monzodiorite");
    EXPECT_EQ(NameQP(QAPFPlutonic, 2, 80, &an60), "Monzogabbro");
    EXPECT_EQ(NameQP(QAPFPlutonic, 3, 5), "Alkali Feldspar Syenite");
    EXPECT_EQ(NameQP(QAPFPlutonic, 0, 30, nullptr, 30), "Foid Monzosyenite");
    EXPECT_EQ(NameQP(QAPFPlutonic, 0, 40, nullptr, 70), "Foidolite");
    for (auto [ol, name] : {std::pair{50.0f, "Peridotite"}, {20.0f, "Pyroxenite or Hornblendite"}, {95.0f, "Dunite"}}) {
        ScriptedMafics ultramafic(95, 0, ol);
        EXPECT_EQ(NameQP(QAPFPlutonic, 0, 95, &ultramafic), name);
    }
    // Diorite and anorthosite stay reachable in the plagioclase corner.
    ScriptedMafics diorite(30, 40), anorthosite(5, 40);
    EXPECT_EQ(NameQP(QAPFPlutonic, 0, 95, &diorite), "Diorite");
    EXPECT_EQ(NameQP(QAPFPlutonic, 0, 95, &anorthosite), "Anorthosite");
    ScriptedMafics m10(10, 60);
    EXPECT_EQ(NameQP(QAPFPlutonic, 0, 95, &m10, 5), "Foid-Bearing Anorthosite");
    EXPECT_EQ(NameQP(QAPFPlutonic, 10, 95, &m10), "Quartz Gabbro");
}

TEST(QapfVolcanic, SplitsAndesiteFromBasaltByMaficsAt35And50) {
    ScriptedMafics m30(30), m40(40);
    EXPECT_EQ(NameQP(QAPFVolcanic, 2, 80, &m30), "Andesite");
    EXPECT_EQ(NameQP(QAPFVolcanic, 2, 80, &m40), "Basalt");
    // Rule 9 asks first, the foid side asks again and decides at 50.
    EXPECT_EQ(NameQP(QAPFVolcanic, 0, 80, &m40, 5), "Andesite");
    EXPECT_EQ(m40.asked, 3);
    EXPECT_EQ(NameQP(QAPFVolcanic, 20, 80, &m30), "");
    EXPECT_EQ(NameQP(QAPFVolcanic, 70, 50), "");
    EXPECT_EQ(NameQP(QAPFVolcanic, 0, 30, nullptr, 70), "Phonolitic Foidite");
    ScriptedMafics ol20(30, 0, 20), ol10(30, 0, 10);
    EXPECT_EQ(NameQP(QAPFVolcanic, 0, 95, &ol20, 30), "Basanite");
    EXPECT_EQ(NameQP(QAPFVolcanic, 0, 95, &ol10, 30), "Tephrite");
}

TEST(QapVolcanic, IgnoresTheColumnAfterP) {
    EXPECT_EQ(testing::Name(QAPVolcanic, 3, 95, 5, 50), "Alkali Feldspar Trachyte");
    EXPECT_EQ(testing::Name(QAPFVolcanic, 0, 95, 5, 50), "Phonolite");
}

// A norm row: Q, or, ab+an (after the ratio step when ratioDone), ne+lc and the
// norm's per-sample values.
Sample NormRow(float q, float a, float p, float f) {
    Sample s;
    s[kFirst] = q;
    s[kSecond] = a;
    s[kThird] = p;
    s[kFourth] = f;
    return s;
}

std::string NameFromNorm(ClassifierId id, Sample s) {
    NoMafics none;
    NameSample(Info(id), s, none);
    return s.name ? s.name : "";
}

TEST(QapfPlutonicFromNorm, SendsNearlyAllMaficAndPlagioclaseRowsToTheUltramaficDecision) {
    Sample s = NormRow(0, 1, 3, 0);
    s[kMafic] = 95;
    s[kOlivine] = 95;
    s[kMaficPlag] = 95;
    EXPECT_EQ(NameFromNorm(QAPFPlutonicC, s), "Dunite");
    s[kOlivine] = 20;
    s[kPyroxene] = 60;
    EXPECT_EQ(NameFromNorm(QAPFPlutonicC, s), "Pyroxenite");
    s[kMafic] = 80;
    EXPECT_EQ(NameFromNorm(QAPFPlutonicC, s), "Gabbro");
    s[kFourth] = 1;
    EXPECT_EQ(NameFromNorm(QAPFPlutonicC, s), "");
}

// Whole-rock norms (wt %: q, or, ab + an, an, ne + lc) and the names both norm
// classifiers give them. Worked by hand: the felsic sum is recalculated to
// 100 and An is 100 an / (ab + an).
//   granite     q 30, or 28, ab+an 35 (an 5): Q 32.3, P/(A+P) 55.6
//   gabbro      q 1, or 4, ab+an 48 (an 28): Q 1.9, P/(A+P) 92.3, An 58.3
//   nephelinite or 3, ab+an 4.5 (an 3.5), ne 42.5: F 85, P/(A+P) 60
//   tonalite    q 25, or 3, ab+an 47 (an 12): Q 33.3, P/(A+P) 94
//   syenite     q 2, or 55, ab+an 22 (an 2): Q 2.5, P/(A+P) 28.6
TEST(QapfFromNorm, NamesByTheFelsicProportionsAndThePlagioclaseComposition) {
    struct Row {
        const char* rock;
        float q, a, p, an, f;
        const char* plutonic;
        const char* volcanic;
    };
    const Row rows[] = {
        {"granite", 30, 28, 35, 5, 0, "Monzogranite", "Rhyolite"},
        // Before: Diorite (An read as 28 % of the rock).
        {"gabbro", 1, 4, 48, 28, 0, "Gabbro", "Basalt"},
        // Before: Foid Monzodiorite and Phonolitic Tephrite (F read as 42.5).
        {"nephelinite", 0, 3, 4.5f, 3.5f, 42.5f, "Foidolite", "Tephritic Foidite"},
        {"tonalite", 25, 3, 47, 12, 0, "Tonalite", "Dacite"},
        {"syenite", 2, 55, 22, 2, 0, "Syenite", "Trachyte"},
    };
    for (const Row& r : rows) {
        Sample s = NormRow(r.q, r.a, r.p, r.f);
        s[kAnorthite] = r.an;
        s[kMafic] = 40;
        s[kMaficPlag] = 60;
        s[kOlivine] = 2;
        s[kSilica] = r.q;
        EXPECT_EQ(NameFromNorm(QAPFPlutonicC, s), r.plutonic) << r.rock;
        EXPECT_EQ(NameFromNorm(QAPFVolcanicC, s), r.volcanic) << r.rock;
    }
}

TEST(QapfVolcanicFromNorm, SplitsBySilicaAndLetsTheOxideRulesDecide) {
    Sample s = NormRow(10, 20, 80, 0);
    s[kSilica] = 52.5f;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, s), "Andesite");
    s[kSilica] = 52;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, s), "Basalt");
    s.Oxide(kMgO) = 12;
    s.Oxide(kTiO2) = 0.3;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, s), "Boninite");

    Sample foid = NormRow(0, 5, 95, 30);
    foid[kOlivine] = 11;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, foid), "Basanite");
    foid.Oxide(kSiO2) = 45;
    foid.Oxide(kMgO) = 25;
    foid.Oxide(kAlkalis) = 0.5;
    foid.Oxide(kTiO2) = 0.8;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, foid), "Komatiite");
    foid.Oxide(kTiO2) = 1.5;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, foid), "Meimechite");
    foid.Oxide(kTiO2) = 1;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, foid), "Basanite");
    foid.Oxide(kAlkalis) = 1.5;
    EXPECT_EQ(NameFromNorm(QAPFVolcanicC, foid), "Picrite");
}

}  // namespace
}  // namespace classify
