#include "classify_test_support.h"

#include <gtest/gtest.h>

namespace classify {
namespace {

using testing::Name;
using testing::NameQP;
using testing::ScriptedMafics;
using enum ClassifierId;

TEST(FapAndCharnockites, NameTheirTriangles) {
    ScriptedMafics an60m10(10, 60), an60m11(11, 60), m51(51);
    EXPECT_EQ(NameQP(FAPPlutonic, 5, 95, &an60m10), "Foid-Bearing Anorthosite");
    EXPECT_EQ(NameQP(FAPPlutonic, 5, 95, &an60m11), "Foid-Bearing Gabbro");
    EXPECT_EQ(NameQP(FAPPlutonic, 70, 50), "Foidolite");
    EXPECT_EQ(NameQP(FAPVolcanic, 5, 80, &m51), "Basalt");
    EXPECT_EQ(NameQP(FAPVolcanic, 70, 51), "Tephritic Foidite");
    EXPECT_EQ(NameQP(Charnockites, 20, 5), "Hypersthene Alkali Feldspar Syenite");
    EXPECT_EQ(NameQP(Charnockites, 30, 95), "Enderbite");
    EXPECT_EQ(NameQP(Charnockites, 70, 50), "");
}

TEST(UltramaficTriangles, LetTheLaterRowDecideWhereRowsOverlap) {
    EXPECT_EQ(Name(OlOpxCpxUMafic, 2, 8, 90), "Clinopyroxenite");
    EXPECT_EQ(Name(OlOpxCpxUMafic, 70, 28, 2), "");
    EXPECT_EQ(Name(OlOpxCpxUMafic, 50, 2, 48), "Wehrilite");
    EXPECT_EQ(Name(OlPxHblUMafic, 20, 2, 78), "Olivene Hornblendite");
    EXPECT_EQ(Name(OlPxHblUMafic, 41, 0, 60), "Pyroxene Hornblende Peridotite");
    EXPECT_EQ(Name(OlPxHblUMafic, 41, 0, 59), "Hornblende Peridotite");
    EXPECT_EQ(Name(OlPxHblUMafic, 90, 5, 5), "Dunite");
}

TEST(GabbroicTriangles, NameTheRowsTheirTablesLeftOpen) {
    EXPECT_EQ(Name(PlagOpxCpx, 30, 3, 67), "Gabbro");
    EXPECT_EQ(Name(PlagOpxCpx, 95, 3, 2), "");
    EXPECT_EQ(Name(PlagPxHblGabbroic, 50, 47, 3), "Gabbronorite");
    EXPECT_EQ(Name(PlagPxHblGabbroic, 50, 20, 30), "Pyroxene Hornblende Gabbronorite");
    EXPECT_EQ(Name(PlagPxHblGabbroic, 50, 3, 47), "Hornblende Gabbro");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 20, 78, 2), "Norite");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 50, 47, 3), "Gabbronorite");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 80, 17, 3), "Gabbro");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 50, 30, 20), "Olivene Gabbronorite");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 50, 3, 47), "Troctolite");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 50, 5, 45), "Troctolite");
    EXPECT_EQ(Name(PlagPxOlGabbroic, 50, 6, 44), "Olivene Gabbronorite");
}

TEST(SandstoneTriangles, NameTheRowsTheirTablesLeftOpen) {
    EXPECT_EQ(Name(Arenites, 85, 10, 5), "Subarkose");
    EXPECT_EQ(Name(Arenites, 85, 5, 10), "Sublitharenite");
    EXPECT_EQ(Name(Arenites, 85, 7.5f, 7.5f), "Subarkose");
    EXPECT_EQ(Name(Arenites, 40, 55, 5), "Litharenite");
    EXPECT_EQ(Name(Wackes, 30, 60, 10), "Lithic Wacke");
    EXPECT_EQ(Name(Sandstones, 50, 10, 40), "Arkose");
    EXPECT_EQ(Name(Sandstones, 50, 10, 25), "");  // Feldspar exactly 25 stays unnamed
    EXPECT_EQ(Name(Sandstones, 80, 10, 10), "Arkose");
    EXPECT_EQ(Name(Sandstones, 80, 3, 17), "");
    EXPECT_EQ(Name(Sandstones, 40, 50, 10), "Greywacke");
    EXPECT_EQ(Name(Carbonatites, 80, 10, 10), "Magnesiocarbonatite");
    EXPECT_EQ(Name(Carbonatites, 10, 5, 85), "Ferrocarbonatite");
}

TEST(MeliliteTriangles, TellOliveneMelilititeFromMelilitite) {
    EXPECT_EQ(Name(MeliliteVolcanic, 60, 5, 35), "Melilitite");
    EXPECT_EQ(Name(MeliliteVolcanic, 60, 30, 10), "Olivene Melilitite");
    EXPECT_EQ(Name(MeliliteVolcanic, 60, 10, 30), "Melilitite");
    EXPECT_EQ(Name(MeliliteVolcanic, 85, 5, 10), "");
    EXPECT_EQ(Name(MelilitePlutonic, 90, 5, 5), "");
    EXPECT_EQ(Name(MelilitePlutonic, 50, 10, 40), "Pyroxene Olivene Melilitolite");
    EXPECT_EQ(Name(MelilitePlutonic, 85, 3, 12), "Pyroxene Melilitolite");
}

}  // namespace
}  // namespace classify
