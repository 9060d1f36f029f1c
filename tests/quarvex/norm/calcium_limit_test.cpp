// Rocks whose P2O5, F or CO2 ask for more Ca than the analysis has: the
// Ca-bearing accessory minerals take what Ca there is and no mineral of the
// norm turns negative.
#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/norm_test_support.h"
#include "quarvex/norm/standard_norm.h"

#include <gtest/gtest.h>

namespace {

using namespace normtest;

// A high-silica granite with little CaO and much P2O5: SiO2 73, CaO 0.2,
// P2O5 0.75. Its Ca binds only about a third of the P.
const norm::StandardInputs kPhosphorusGranite = {73.0, 0.10, 14.8, 0.40, 0.80, 0.03, 0.15,
                                                 0.20, 3.60, 4.70, 0.50, 0.10, 0.75};

void ExpectNoNegativeMineral(const norm::NormRun& run) {
    for (int k = 1; k <= run.resultCols; ++k) EXPECT_GE(run.results.at(1, k), 0.0f) << run.headings[k];
}

TEST(CalciumLimit, ApatiteTakesOnlyTheCaThereIsInBothModesOfTheStandardNorm) {
    for (int mode : {2, 3}) {
        norm::NormRun run = norm::CalcStandardNorm({kPhosphorusGranite}, mode, {});
        ASSERT_FALSE(run.failure);
        ExpectNoNegativeMineral(run);
        EXPECT_FALSE(Mineral(run, 1, "an").has_value()) << "mode " << mode;
        ASSERT_TRUE(Mineral(run, 1, "ap").has_value());
        // Molar norm: 100 cations hold Ca 0.206, so ap = 2.667 x 0.206 / 1.667.
        if (mode == 2) {
            EXPECT_NEAR(*Mineral(run, 1, "ap"), 0.33, 0.01);
        }
    }
}

TEST(CalciumLimit, CalciteLeavesTheRestOfTheCO2AsExcess) {
    // SiO2 .. K2O, P2O5, CO2, Cl, F, S, SO3, Cr2O3, ZrO2.
    const norm::ExtendedInputs rock = {73.0, 0.10, 14.8, 0.40, 0.80, 0.03, 0.15, 0.20, 3.60,
                                       4.70, 0.75, 1.50, 0, 0.10, 0, 0, 0, 0};
    for (int mode : {2, 3}) {
        norm::NormRun run = norm::CalcExtendedNorm({rock}, mode, {});
        ASSERT_FALSE(run.failure);
        ExpectNoNegativeMineral(run);
        EXPECT_TRUE(Mineral(run, 1, "Excess CO2").has_value()) << "mode " << mode;
        EXPECT_FALSE(Mineral(run, 1, "cc").has_value()) << "apatite took all the Ca";
    }
}

}  // namespace
