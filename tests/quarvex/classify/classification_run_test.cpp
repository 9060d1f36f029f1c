#include "classify_test_support.h"
#include "quarvex/classify/rock_group.h"

#include <gtest/gtest.h>
#include <limits>

namespace classify {
namespace {

using enum ClassifierId;

TEST(RatioStep, IsThePlagioclaseShareInSinglePrecision) {
    EXPECT_NEAR(RatioStep(30, 40).value, 57.142857f, 1e-4f);
    EXPECT_EQ(RatioStep(0, 0).value, 0.0f);
    EXPECT_EQ(RatioStep(-3, 0).fault, MathFault::None);
    EXPECT_EQ(RatioStep(-3, 3).fault, MathFault::DivisionByZero);
    EXPECT_EQ(RatioStep(1, std::numeric_limits<float>::infinity()).fault, MathFault::Overflow);
}

TEST(ClassificationRun, NamesTheNormalisedQapRowByItsPlagioclaseShare) {
    Sample s;
    s[kFirst] = 30;
    s[kSecond] = 30;
    s[kThird] = 40;
    NoMafics none;
    NameSample(Info(QAPPlutonic), s, none);
    EXPECT_STREQ(s.name, "Monzogranite");
    EXPECT_NEAR(s[kThird], 57.14f, 0.005f);
}

TEST(ClassificationRun, StopsAtAFailedRatioStepWithoutAName) {
    Sample s;
    s[kFirst] = 2;
    s[kSecond] = -50;
    s[kThird] = 50;
    NoMafics none;
    NameSample(Info(QAPFVolcanic), s, none);
    EXPECT_EQ(s.fault, MathFault::DivisionByZero);
    EXPECT_EQ(s.name, nullptr);
}

TEST(ClassificationRun, GabbroicRowsTakeNoRatioStep) {
    // P exactly 90 as single-precision normalisation gives it.
    EXPECT_EQ(testing::Name(PlagPxOlGabbroic, 90, 6.6666665f, 3.3333333f), "Anorthosite");
    EXPECT_EQ(testing::Name(PlagPxOlGabbroic, 89.99999f, 6.6666665f, 3.3333333f), "Gabbro");
}

TEST(ClassificationRun, TasVolcanicNamesNothing) {
    EXPECT_FALSE(Info(TASVolcanic).hasBody);
    EXPECT_EQ(testing::Name(TASVolcanic, 30, 30, 40), "");
}

TEST(RockGroup, PicksTheClassifierByTheExactKind) {
    using V = std::vector<ClassifierId>;
    EXPECT_EQ(RockGroupClassifiers("QAP-Plutonic"), V{QAPFPlutonic});
    EXPECT_EQ(RockGroupClassifiers("QAPF-Plutonic"), V{QAPFPlutonic});
    EXPECT_EQ(RockGroupClassifiers("FAP-Plutonic"), V{FAPPlutonic});
    EXPECT_EQ(RockGroupClassifiers("Charnockites"), V{Charnockites});
    EXPECT_EQ(RockGroupClassifiers("QAP-Volcanic"), V{QAPVolcanic});
    EXPECT_TRUE(RockGroupClassifiers("qapf-plutonic").empty());
    EXPECT_TRUE(RockGroupClassifiers("Sandstones").empty());
    EXPECT_EQ(FromNormClassifier(6), QAPFPlutonicC);
    EXPECT_EQ(FromNormClassifier(7), QAPFVolcanicC);
    EXPECT_EQ(FromNormClassifier(2), std::nullopt);
}

}  // namespace
}  // namespace classify
