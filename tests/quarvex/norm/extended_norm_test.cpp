// The extended norm on worked analyses, its clamp, compaction, failures and
// the mended faults. Expected values worked out by hand from the molar
// proportions (input / weight, the 18 scaled to 100) and the step order.
#include "quarvex/norm/extended_norm.h"
#include "quarvex/norm/norm_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace normtest;
using norm::CalcExtendedNorm;
using norm::ExtendedInputs;
using norm::IronChoice;
using norm::NormRun;

constexpr float kTol = 0.006f;

// SiO2, TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, P2O5, CO2, Cl,
// F, S, SO3, Cr2O3, ZrO2.
const ExtendedInputs kBasaltPlus = {49.20, 1.84, 15.74, 3.79, 7.13, 0.20, 6.73, 9.47, 2.91,
                                    1.10,  0.35, 0.20,  0.05, 0.06, 0.10, 0.0,  0.05, 0.03};
const ExtendedInputs kNephelinitePlus = {40.60, 2.66, 14.33, 5.48, 6.17, 0.26, 6.39, 11.89, 4.79,
                                         3.46,  1.07, 0.60,  0.10, 0.12, 0.0,  0.05, 0.0,  0.08};

void ExpectItem(const NormRun& run, const std::string& heading, double expected, int sample = 1) {
    auto value = Item(run, sample, heading);
    ASSERT_TRUE(value.has_value()) << heading;
    EXPECT_NEAR(*value, expected, kTol) << heading;
}

// Basalt with the minor components: the accessory minerals come first
// (ap = 2.667 P, hl = 2 Cl, fl = 1.5 F, pr = 1.5 S taking S/2 of Fe2,
// cm = 1.5 Cr, zn = 2 Zr, cc = 2 CO2), then the feldspars as in the
// standard norm (kf 6.594, ab 26.113, an 27.230), mt 4.020, di 13.117;
// quartz is short, so hy = 2 FM + 4 (Si - FM) = 18.245 and ol 0.078.
// ol and cm are above the 0.01 clamp and stay.
TEST(ExtendedNormWorkedAnalyses, BasaltWithMinorComponentsFormsTheAccessoryMinerals) {
    NormRun run = CalcExtendedNorm({kBasaltPlus}, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ab", 26.11);
    ExpectItem(run, "an", 27.23);
    ExpectItem(run, "kf", 6.59);
    ExpectItem(run, "ap", 0.74);
    ExpectItem(run, "hl", 0.16);
    ExpectItem(run, "pr", 0.26);
    ExpectItem(run, "cm", 0.03);
    ExpectItem(run, "cc", 0.51);
    ExpectItem(run, "il", 2.60);
    ExpectItem(run, "mt", 4.02);
    ExpectItem(run, "di", 13.12);
    ExpectItem(run, "ol", 0.08);
    ExpectItem(run, "fl", 0.27);
    ExpectItem(run, "zn", 0.03);
    ExpectItem(run, "hy", 18.24);
    ExpectItem(run, "Total", 100.00);
}

TEST(ExtendedNormWorkedAnalyses, ShowsKeptItemsInTableOrderWithTotalLast) {
    NormRun run = CalcExtendedNorm({kBasaltPlus}, 2, IronChoice{});
    std::vector<std::string> shown(run.headings.begin() + 1, run.headings.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"ab", "an", "kf", "ap", "hl", "pr", "cm", "cc", "il", "mt", "di",
                                               "ol", "fl", "zn", "hy", "Total"}));
}

// Weight norm: each amount times its weight per unit (cc 50, pr 60,
// fl 39, zn 91.5, cm 74.7, ...), scaled to the 18 inputs' sum 98.95.
TEST(ExtendedNormWorkedAnalyses, BasaltWeightNormAddsUpToTheInputs) {
    NormRun run = CalcExtendedNorm({kBasaltPlus}, 3, IronChoice{});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ab", 24.21);
    ExpectItem(run, "an", 26.79);
    ExpectItem(run, "hy", 17.39);
    ExpectItem(run, "mt", 5.50);
    ExpectItem(run, "cc", 0.45);
    ExpectItem(run, "fl", 0.18);
    ExpectItem(run, "Total", 98.95);
}

// Nephelinite: undersaturated; nepheline takes all albite, leucite takes
// part of the K-feldspar (kf 5.033 left above 0.0001 ends the steps).
TEST(ExtendedNormWorkedAnalyses, NephelinitePlusStopsAtLeucite) {
    NormRun run = CalcExtendedNorm({kNephelinitePlus}, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ne", 25.28);
    ExpectItem(run, "lc", 12.43);
    ExpectItem(run, "kf", 5.03);
    ExpectItem(run, "th", 0.10);
    ExpectItem(run, "di", 31.70);
    ExpectItem(run, "ol", 3.27);
    EXPECT_FALSE(Kept(run, "ab"));
    EXPECT_FALSE(Kept(run, "kp"));
    EXPECT_FALSE(Kept(run, "hy"));
}

TEST(ExtendedNormWorkedAnalyses, IronRatioOneTurnsMagnetiteIntoOlivineAndHypersthene) {
    NormRun run = CalcExtendedNorm({kBasaltPlus}, 2, IronChoice{true, 1.0f});
    EXPECT_FALSE(Kept(run, "mt"));
    ExpectItem(run, "ol", 12.14);
    ExpectItem(run, "hy", 10.20);
}

TEST(ExtendedNormPerSampleValues, ComponentsComeFromTheNormBeforeCompaction) {
    NormRun run = CalcExtendedNorm({kNephelinitePlus}, 2, IronChoice{});
    const auto& sv = run.sampleValues;
    EXPECT_NEAR(sv.x[1], 0, 1e-6);                  // Q
    EXPECT_NEAR(sv.y[1], 5.03, kTol);               // kf
    EXPECT_NEAR(sv.z[1], 0 + 8.00, kTol);           // ab + an
    EXPECT_NEAR(sv.f[1], 25.28 + 12.43, 0.01);      // ne + lc
    EXPECT_NEAR(sv.anorthitePercent[1], 8.00, kTol);
    EXPECT_NEAR(sv.olivinePercent[1], 0, 1e-6);     // titanite, none formed here
}

TEST(ExtendedNormClamp, AmountsBelowOneHundredthVanishButAnorthiteStays) {
    ExtendedInputs rock = kBasaltPlus;
    rock[16] = 0.001;  // Cr2O3: cm ~ 0.001, clamped
    NormRun run = CalcExtendedNorm({rock}, 2, IronChoice{});
    EXPECT_FALSE(Kept(run, "cm"));

    ExtendedInputs littleCa = kBasaltPlus;
    littleCa[7] = 0.0015;  // CaO: an ~ 0.005 cations, not clamped
    littleCa[10] = 0;      // no apatite
    littleCa[11] = 0;      // no calcite
    littleCa[13] = 0;      // no fluorite
    NormRun lowCa = CalcExtendedNorm({littleCa}, 2, IronChoice{});
    ASSERT_TRUE(Item(lowCa, 1, "an").has_value());
    EXPECT_GT(*Item(lowCa, 1, "an"), 0.0f);
    EXPECT_LT(*Item(lowCa, 1, "an"), 0.01f);
}

TEST(ExtendedNormFailures, AValueBeyondSinglePrecisionFailsAtItsRow) {
    ExtendedInputs huge = kBasaltPlus;
    huge[1] = 1e40;
    NormRun run = CalcExtendedNorm({kBasaltPlus, huge}, 2, IronChoice{});
    ASSERT_TRUE(run.failure);
    EXPECT_EQ(run.failure->sample, 2);
    EXPECT_EQ(run.resultCols, norm::ExTotal);
}

TEST(ExtendedNormFailures, ProportionsThatCancelOutFail) {
    ExtendedInputs odd{};
    odd[0] = 60.0843;
    odd[6] = -40.3044;
    odd[7] = -56.0794;
    odd[8] = 30.9895;  // SiO2 + Na2O = MgO + CaO in units: the sum is 0
    NormRun run = CalcExtendedNorm({odd}, 2, IronChoice{});
    ASSERT_TRUE(run.failure);
}

// Pure K2O: the K-feldspar has no Al and the 150 units of potassium
// metasilicate are above the clamp, so nothing is left to weigh: W is 0.
// The molar norm just has nothing to show.
TEST(ExtendedNormFailures, AWeightNormWithNothingLeftToWeighFails) {
    ExtendedInputs potash{};
    potash[9] = 10;
    NormRun weight = CalcExtendedNorm({kBasaltPlus, potash}, 3, IronChoice{});
    ASSERT_TRUE(weight.failure);
    EXPECT_EQ(weight.failure->sample, 2);

    NormRun molar = CalcExtendedNorm({potash}, 2, IronChoice{});
    EXPECT_FALSE(molar.failure);
    EXPECT_EQ(molar.resultCols, 0);
}

// Mended faults.

// The table had room for 100 samples; sample 101 on were silently lost.
TEST(ExtendedNormMendedFaults, EverySampleIsComputedBeyondOneHundred) {
    std::vector<ExtendedInputs> rows(150, kBasaltPlus);
    NormRun run = CalcExtendedNorm(rows, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.resultRows, 150);
    EXPECT_NEAR(*Item(run, 150, "ab"), 26.11, kTol);
}

// Pure silica divided by Mg + Fe2 = 0 and ended the run; now it is quartz.
TEST(ExtendedNormMendedFaults, PureSilicaIsAllQuartz) {
    ExtendedInputs silica{};
    silica[0] = 100;
    NormRun run = CalcExtendedNorm({silica}, 3, IronChoice{});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "Q", 100.0);
    ExpectItem(run, "Total", 100.0);
}

// With no Fe2+ or Mg the desilication ran on a surplus: ne came out
// negative (then clamped away) while albite grew from no Na to 2.5 times
// the quartz, and Total to about 190. Now the quartz stays quartz.
TEST(ExtendedNormMendedFaults, ASurplusOfSilicaRunsNoDesilication) {
    ExtendedInputs noFeMg{};
    noFeMg[0] = 75;
    noFeMg[2] = 14;
    noFeMg[7] = 3;
    noFeMg[9] = 8;
    NormRun run = CalcExtendedNorm({noFeMg}, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "Q", 36.24);
    for (const char* absent : {"ne", "ab", "lc", "kp", "pv"}) EXPECT_FALSE(Kept(run, absent)) << absent;
    EXPECT_NEAR(*Item(run, 1, "Total"), 100.0, 0.01);
}

// A blank row ended the run silently and left the raw headings.
TEST(ExtendedNormMendedFaults, ABlankRowKeepsItsPlaceAndTheRowsAfterItAreComputed) {
    NormRun run = CalcExtendedNorm({kBasaltPlus, ExtendedInputs{}, kNephelinitePlus}, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.noAnalysis[2], 1);
    EXPECT_NEAR(*Item(run, 3, "ne"), 25.28, kTol);
}

// A row with no SiO2, MgO or Na2O was left empty as if it were blank, so a
// carbonatite (CaO 50, CO2 36, FeO 2, MnO 0.5, P2O5 3, Fe2O3 1.5) showed
// nothing. Now it is computed. Units on 100: Ca 49.381, CO2 45.305,
// P 2.341, Fe2 1.542 + 0.390, Fe3 1.041.
//   ap = 2.667 P = 6.244, Ca 45.479; cc = 2 CO2 = 90.610, Ca 0.173;
//   no Al: an 0; with Si 0 titanite takes the Ca: tn = 0.520, Si -0.173;
//   mt = 1.5 Fe3 = 1.561, Fe2 1.412; no Ca left for di, Q short: hy 0,
//   ol = 1.5 x 1.412 = 2.118, Si -0.879; perovskite takes all titanite:
//   pv = 2 tn / 3 = 0.347. Total 100.88 (perovskite adds to the units).
TEST(ExtendedNormMendedFaults, ARockWithoutSilicaMagnesiaOrSodaIsStillComputed) {
    ExtendedInputs carbonatite{};
    carbonatite[3] = 1.5;   // Fe2O3
    carbonatite[4] = 2.0;   // FeO
    carbonatite[5] = 0.5;   // MnO
    carbonatite[7] = 50.0;  // CaO
    carbonatite[10] = 3.0;  // P2O5
    carbonatite[11] = 36.0; // CO2
    NormRun run = CalcExtendedNorm({carbonatite}, 2, IronChoice{});
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.noAnalysis[1], 0);
    ExpectItem(run, "ap", 6.24);
    ExpectItem(run, "cc", 90.61);
    ExpectItem(run, "pv", 0.35);
    ExpectItem(run, "mt", 1.56);
    ExpectItem(run, "ol", 2.12);
    ExpectItem(run, "Total", 100.88);

    // The weight norm scales the same set to the inputs' sum, 93.
    NormRun weight = CalcExtendedNorm({carbonatite}, 3, IronChoice{});
    ExpectItem(weight, "cc", 80.94);
    ExpectItem(weight, "Total", 93.00);
}

}  // namespace
