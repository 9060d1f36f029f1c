// The standard norm on worked analyses, its iron re-split, compaction and
// failures. Expected values were worked out by hand from the cation
// amounts (weight percent / weight per cation, scaled to 100 cations) and
// the allocation order; the steps are written down with each case.
#include "quarvex/norm/iron_ratio.h"
#include "quarvex/norm/norm_test_support.h"
#include "quarvex/norm/standard_norm.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace normtest;
using norm::CalcStandardNorm;
using norm::IronChoice;
using norm::NormRun;

constexpr float kTol = 0.006f;  // results show two decimals
const IronChoice kSheetIron{};

NormRun One(const norm::StandardInputs& rock, int mode, IronChoice iron = kSheetIron) {
    return CalcStandardNorm({rock}, mode, iron);
}

void ExpectItem(const NormRun& run, const std::string& heading, double expected, int occurrence = 1,
                int sample = 1) {
    auto value = Item(run, sample, heading, occurrence);
    ASSERT_TRUE(value.has_value()) << heading;
    EXPECT_NEAR(*value, expected, kTol) << heading;
}

// Basalt, molar norm. Cations on 100: Si 46.574, Ti 1.310, Al 17.560,
// Fe3 2.700, Fe2 5.805 (FeO 5.645 + MnO 0.160), Mg 9.497, Ca 9.605,
// Na 5.341, K 1.328, P 0.280.
//   ap = 2.667 P = 0.748, Ca 9.138; il = 2 Ti = 2.620, Fe2 4.495;
//   or = 5 K = 6.642, Al 16.232; ab = 5 Na = 26.704, Al 10.891;
//   an = 2.5 Al = 27.228 (Al < 2 Ca), Ca 3.692; mt = 1.5 Fe3 = 4.050, Fe2 3.145;
//   Si = 46.574 - 0.6 (26.704 + 6.642) - 0.4 x 27.228 = 15.675;
//   FM = 12.642, mgr 0.7512; di = 4 Ca = 14.766, FM 8.950, Si 8.292;
//   hy = 2 FM = 17.900, Q = Si - FM = -0.658 -> hy = 17.900 - 2.632 = 15.265, Q 0;
//   ol = 1.5 (8.950 - 7.634) = 1.975; hy > 0 ends the allocation.
// A-M-F: Alk 4.01, Mg 6.73, Fe 7.13 + 1.1113 x 3.79 = 11.342; sum 22.082.
// Q-M-L: Q = 100 + 0.658 - 6.670 = 93.989; M = 14.766 + 15.265 + 2.633 +
//   13.340 = 46.004; L = 60.574 -> 56.834; M -> 44.737; sum 195.56.
TEST(StandardNormWorkedAnalyses, BasaltMolarNormGivesTheHandWorkedMinerals) {
    NormRun run = One(kBasalt, 2);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ap", 0.75);
    ExpectItem(run, "or", 6.64);
    ExpectItem(run, "ab", 26.70);
    ExpectItem(run, "an", 27.23);
    ExpectItem(run, "il", 2.62);
    ExpectItem(run, "mt", 4.05);
    ExpectItem(run, "ol", 1.98);
    ExpectItem(run, "di", 14.77);
    ExpectItem(run, "hy", 15.26);
    ExpectItem(run, "Total", 100.00);
    ExpectItem(run, "A", 18.16);
    ExpectItem(run, "M", 30.48);
    ExpectItem(run, "F", 51.36);
    ExpectItem(run, "Q", 48.06, 1);  // quartz is 0 and dropped: the first "Q" is Q-M-L's
    ExpectItem(run, "M", 22.88, 2);
    ExpectItem(run, "L", 29.06);
}

TEST(StandardNormWorkedAnalyses, BasaltShowsOnlyTheMineralsItForms) {
    NormRun run = One(kBasalt, 2);
    std::vector<std::string> shown(run.headings.begin() + 1, run.headings.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"ap", "or", "ab", "an", "il", "mt", "ol", "di", "hy", "Total", "A",
                                               "M", "F", "Q", "M", "L"}));
}

TEST(StandardNormWorkedAnalyses, ModesTwoAndFourGiveTheSameSheet) {
    NormRun two = CalcStandardNorm({kBasalt, kGranite}, 2, kSheetIron);
    NormRun four = CalcStandardNorm({kBasalt, kGranite}, 4, kSheetIron);
    ASSERT_EQ(two.headings, four.headings);
    for (int r = 1; r <= 2; ++r) {
        for (int k = 1; k <= two.resultCols; ++k) EXPECT_EQ(two.results.at(r, k), four.results.at(r, k));
    }
}

// Basalt, weight norm: the same cation allocation scaled to the analysis
// total 99.84, each mineral times its weight per cation (ap 62, or 55.6,
// ab 52.4, an 55.6, il 76, mt 77.3, ol 68 - 21.1 mgr, di 62 - 7.75 mgr,
// hy 66 - 16 mgr with mgr 0.7512), then the set scaled to the anhydrous
// total 99.84 - 0.95 - 0.43 = 98.46.
TEST(StandardNormWorkedAnalyses, BasaltWeightNormAddsUpToTheAnhydrousTotal) {
    NormRun run = One(kBasalt, 3);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ap", 0.82);
    ExpectItem(run, "or", 6.50);
    ExpectItem(run, "ab", 24.61);
    ExpectItem(run, "an", 26.63);
    ExpectItem(run, "il", 3.50);
    ExpectItem(run, "mt", 5.51);
    ExpectItem(run, "ol", 1.81);
    ExpectItem(run, "di", 14.59);
    ExpectItem(run, "hy", 14.49);
    ExpectItem(run, "Total", 98.46);
    double sum = 0;
    for (const char* mineral : {"ap", "or", "ab", "an", "il", "mt", "ol", "di", "hy"}) sum += *Item(run, 1, mineral);
    EXPECT_NEAR(sum, 98.46, 0.01);
}

// Granite: cations Si 67.235, Al 15.861, Fe3 0.857, Fe2 1.351, Mg 0.988,
// Ca 1.820, Na 6.677, K 4.905, Ti 0.211, P 0.095.
//   or = 24.527, ab = 33.386 leave Al 4.279 > 2 Ca (after ap 1.662):
//   an = 5 Ca = 8.309, c = 4.279 - 3.324 = 0.955; no Ca left, so no di;
//   FM = 1.700 -> hy = 3.399, Q = 27.464 left over.
// Q + ab + or = 85.4 >= 60, so Q-Ab-Or = 27.464 / 85.377 etc.
TEST(StandardNormWorkedAnalyses, GraniteIsOversaturatedWithCorundumAndQAbOr) {
    NormRun run = One(kGranite, 2);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "Q", 27.46);
    ExpectItem(run, "or", 24.53);
    ExpectItem(run, "ab", 33.39);
    ExpectItem(run, "an", 8.31);
    ExpectItem(run, "c", 0.96);
    ExpectItem(run, "hy", 3.40);
    ExpectItem(run, "mt", 1.29);
    ExpectItem(run, "Q", 32.17, 3);
    ExpectItem(run, "Ab", 39.10);
    ExpectItem(run, "Or", 28.73);
    EXPECT_FALSE(Kept(run, "ol"));
    EXPECT_FALSE(Kept(run, "di"));
}

// Nephelinite: cations Si 38.351, Al 15.953, Ca 12.033, Na 8.773, K 4.169,
// Fe2 5.082, Mg 8.998, Fe3 3.895, Ti 1.890, P 0.856.
//   The feldspars (or 20.847, ab 43.863, an 7.528) already leave Si -3.487;
//   di = 4 x Ca 9.101 = 36.405 (FM 10.243 > Ca), FM 1.142, Si -21.690;
//   hy = 2.284 + 4 (-22.831) < 0 -> 0; ol = 1.5 x 1.142 = 1.713, Si -22.260.
//   ne = min(1.5 x 22.260, 0.6 x 43.863) = 26.318, ab 0, Si -4.715;
//   lc = min(4 x 4.715, 0.8 x 20.847) = 16.678, or 0, Si -0.546;
//   no wo; di 36.405 > 0.546: cs = 0.273, ol 1.986, di 35.859, and stop.
TEST(StandardNormWorkedAnalyses, NephelinitePassesDownTheSilicaDeficitSteps) {
    NormRun run = One(kNephelinite, 2);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ne", 26.32);
    ExpectItem(run, "lc", 16.68);
    ExpectItem(run, "cs", 0.27);
    ExpectItem(run, "ol", 1.99);
    ExpectItem(run, "di", 35.86);
    ExpectItem(run, "an", 7.53);
    ExpectItem(run, "ap", 2.28);
    for (const char* absent : {"ab", "or", "hy", "kp"}) EXPECT_FALSE(Kept(run, absent)) << absent;
    EXPECT_NEAR(*Item(run, 1, "Q", 1), 39.42, kTol);  // Q-M-L: no quartz column
}

// Peridotite: cations Mg 44.094, Fe2 7.309, Si 37.855, Ca 3.223.
//   After the feldspars Si 31.324, FM 50.053; di = 4 x Ca 1.728 = 6.912,
//   FM 48.325, Si 27.868; hy = 2 FM + 4 (Si - FM) = 96.649 - 81.826 =
//   14.823; ol = 1.5 (FM - hy/2) = 1.5 (48.325 - 7.411) = 61.370.
TEST(StandardNormWorkedAnalyses, PeridotiteIsMostlyOlivineWithHypersthene) {
    NormRun run = One(kPeridotite, 2);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ol", 61.37);
    ExpectItem(run, "hy", 14.82);
    ExpectItem(run, "di", 6.91);
    ExpectItem(run, "an", 7.17);
    ExpectItem(run, "ab", 4.72);
    ExpectItem(run, "M", 71.68, 1);
    ExpectItem(run, "M", 41.66, 2);
}

// Boninite, weight norm: quartz-normative (Q 8.625 cations beside 36.936
// of hy, mgr 0.7784); weighted (Q 60.1, hy 66 - 16 mgr = 53.55, ...) and
// scaled to the anhydrous total 101.13 - 1.00 - 0.20 = 99.93.
TEST(StandardNormWorkedAnalyses, BoniniteWeightNormKeepsQuartzAndHypersthene) {
    NormRun run = One(kBoninite, 3);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "Q", 9.38);
    ExpectItem(run, "hy", 35.78);
    ExpectItem(run, "di", 14.48);
    ExpectItem(run, "an", 21.51);
    ExpectItem(run, "ab", 12.69);
    ExpectItem(run, "or", 3.55);
    ExpectItem(run, "Total", 99.93);
    EXPECT_FALSE(Kept(run, "ol"));
    // Q + ab + or = 25.6 < 60: no Q-Ab-Or.
    EXPECT_FALSE(Kept(run, "Ab"));
}

// Alkali basalt: cations Si 42.782, Na 4.765 (ab 23.827), FM after di
// 11.977 against Si 4.610: no hy, and the olivine step leaves Si 1.378
// short. Nepheline covers it from albite (ne = 1.5 x 1.378 = 2.068,
// ab 23.827 - 3.446 = 20.381); the albite left ends the allocation.
TEST(StandardNormWorkedAnalyses, AlkaliBasaltStopsAtNephelineWhileAlbiteRemains) {
    NormRun run = One(kAlkaliBasalt, 2);
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "ne", 2.07);
    ExpectItem(run, "ab", 20.38);
    ExpectItem(run, "ol", 17.97);
    EXPECT_FALSE(Kept(run, "lc"));
    EXPECT_FALSE(Kept(run, "hy"));
}

TEST(StandardNormPerSampleValues, ComponentsAndMaficInputsCarryTheNormOfEachRow) {
    NormRun run = CalcStandardNorm({kGranite, kBasalt}, 2, kSheetIron);
    const auto& sv = run.sampleValues;
    ASSERT_EQ(sv.x.size(), 3u);
    EXPECT_NEAR(sv.x[1], 27.46, kTol);           // Q
    EXPECT_NEAR(sv.y[1], 24.53, kTol);           // or
    EXPECT_NEAR(sv.z[2], 26.70 + 27.23, 0.01);   // ab + an
    EXPECT_NEAR(sv.f[2], 0, 1e-6);               // lc + ne
    EXPECT_NEAR(sv.anorthitePercent[2], 27.23, kTol);
    EXPECT_NEAR(sv.olivinePercent[2], 1.98, kTol);
    // hy + di + ol + mt + il + ap of the basalt.
    EXPECT_NEAR(sv.maficPercent[2], 15.26 + 14.77 + 1.98 + 4.05 + 2.62 + 0.75, 0.02);
    EXPECT_NEAR(sv.maficPlagioclasePercent[2], sv.maficPercent[2] + 26.70 + 27.23, 0.02);
    EXPECT_NEAR(sv.pyroxenePercent[2], 14.77 + 15.26, 0.01);
    EXPECT_NEAR(sv.silicaPercent[2], 46.574, 0.001);  // Si as percent of the cations
}

// FeOt = 3.79 x 0.89981 + 7.13 = 10.540.
TEST(IronResplit, RatioZeroMakesAllIronFerric) {
    auto split = norm::ResplitIron(3.79, 7.13, 0.0);
    EXPECT_NEAR(split.feo, 0.0, 1e-12);
    EXPECT_NEAR(split.fe2o3, 10.5403 * 1.1113, 1e-3);
}

TEST(IronResplit, RatioOneMakesAllIronFerrous) {
    auto split = norm::ResplitIron(3.79, 7.13, 1.0);
    EXPECT_NEAR(split.feo, 10.5403, 1e-3);
    EXPECT_NEAR(split.fe2o3, 0.0, 1e-12);
}

TEST(IronResplit, RatioOneHalfSplitsTheFeOEquivalentEvenly) {
    auto split = norm::ResplitIron(3.79, 7.13, 0.5);
    EXPECT_NEAR(split.feo, 5.2701, 1e-3);
    EXPECT_NEAR(split.fe2o3, 5.2701 * 1.1113, 1e-3);
}

// With all iron ferric (Fe3 8.344 cations, Fe2 only the MnO's 0.160),
// magnetite is limited by Fe2 (mt = 3 x 0.160... and il takes it first:
// Fe2 0.160 < Ti 1.310, so il = 0.320 and mt 0), hematite takes the
// Fe3 and the Ti left over goes into sphene (3 x 1.150 = 3.450).
TEST(IronResplit, BasaltWithAllIronFerricFormsHematiteAndSphene) {
    NormRun run = One(kBasalt, 2, IronChoice{true, 0.0f});
    ASSERT_FALSE(run.failure);
    ExpectItem(run, "hm", 8.34);
    ExpectItem(run, "il", 0.32);
    ExpectItem(run, "sp", 3.45);
    ExpectItem(run, "Q", 2.49);
    EXPECT_FALSE(Kept(run, "mt"));
    ExpectItem(run, "F", 54.79);  // A-M-F is taken after the re-split
}

TEST(IronResplit, BasaltWithAllIronFerrousHasNoMagnetite) {
    NormRun run = One(kBasalt, 2, IronChoice{true, 1.0f});
    EXPECT_FALSE(Kept(run, "mt"));
    ExpectItem(run, "ol", 14.13);
    ExpectItem(run, "hy", 7.17);
}

TEST(IronResplit, BasaltAtOneHalfGetsMoreMagnetiteThanItsOwnIron) {
    NormRun run = One(kBasalt, 2, IronChoice{true, 0.5f});
    ExpectItem(run, "mt", 6.26);
    ExpectItem(run, "Q", 1.55);
}

TEST(IronResplit, IsNotAppliedWhenTheRatioIsNotSet) {
    NormRun run = One(kBasalt, 2, IronChoice{false, 0.0f});
    ExpectItem(run, "mt", 4.05);
}

TEST(StandardNormCompaction, DropsColumnsThatAreZeroInEveryRowAndKeepsTheOrder) {
    NormRun run = CalcStandardNorm({kGranite, kPeridotite}, 2, kSheetIron);
    std::vector<std::string> shown(run.headings.begin() + 1, run.headings.end());
    EXPECT_EQ(shown, (std::vector<std::string>{"Q", "ap", "or", "ab", "an", "il", "mt", "ol", "di", "hy", "c",
                                               "Total", "A", "M", "F", "Q", "M", "L", "Q", "Ab", "Or"}));
    EXPECT_EQ(run.resultCols, 21);
    // The peridotite has no quartz and no corundum; the granite no olivine.
    EXPECT_EQ(*Item(run, 2, "Q"), 0.0f);
    EXPECT_EQ(*Item(run, 2, "c"), 0.0f);
    EXPECT_EQ(*Item(run, 1, "ol"), 0.0f);
    // Row 0 records where each kept column came from.
    EXPECT_EQ(run.results.at(0, 1), float(norm::StdQ));
    EXPECT_EQ(run.results.at(0, 12), float(norm::StdTotal));
}

TEST(StandardNormCompaction, NeverKeepsHaliteThenarditeOrPerovskite) {
    NormRun run = CalcStandardNorm({kBasalt, kNephelinite, kGranite}, 3, kSheetIron);
    for (const char* never : {"hl", "th", "pv"}) EXPECT_FALSE(Kept(run, never)) << never;
}

TEST(StandardNormCompaction, AnEmptySetOfRowsKeepsNothing) {
    NormRun run = CalcStandardNorm({}, 2, kSheetIron);
    EXPECT_FALSE(run.failure);
    EXPECT_EQ(run.resultRows, 0);
    EXPECT_EQ(run.resultCols, 0);
}

TEST(StandardNormFailures, ARowWithOnlySilicaHasNoAMFSumAndFails) {
    norm::StandardInputs silica{};
    silica[0] = 99.5;
    NormRun run = CalcStandardNorm({kBasalt, silica, kGranite}, 2, kSheetIron);
    ASSERT_TRUE(run.failure);
    EXPECT_EQ(run.failure->sample, 2);
    EXPECT_EQ(run.resultCols, norm::StdQmlL);  // as the first row left it
    EXPECT_NEAR(run.results.at(1, norm::StdAb), 26.70, kTol);
    EXPECT_EQ(run.sampleValues.maficPercent.size(), 2u);
}

TEST(StandardNormFailures, CationAmountsThatCancelOutFail) {
    norm::StandardInputs odd{};
    odd[0] = 60.0843;   // one SiO2 ...
    odd[6] = -40.3044;  // ... less one MgO: the cation sum is 0
    NormRun run = One(odd, 2);
    ASSERT_TRUE(run.failure);
    EXPECT_EQ(run.failure->sample, 1);
}

TEST(StandardNormFailures, AValueBeyondSinglePrecisionFails) {
    norm::StandardInputs huge = kBasalt;
    huge[0] = 1e39;
    NormRun run = One(huge, 2);
    ASSERT_TRUE(run.failure);
}

TEST(StandardNormFailures, TotalsFarFromOneHundredAndNegativeValuesStillGiveResults) {
    norm::StandardInputs doubled = kBasalt;
    for (double& v : doubled) v *= 2;
    norm::StandardInputs negative = kBasalt;
    negative[5] = -0.5;  // MnO
    NormRun run = CalcStandardNorm({doubled, negative}, 2, kSheetIron);
    ASSERT_FALSE(run.failure);
    // The molar norm does not see the scale of the analysis.
    EXPECT_NEAR(*Item(run, 1, "ab"), 26.70, kTol);
    EXPECT_NEAR(*Item(run, 1, "Total"), 100.0, kTol);
    for (int k = 1; k <= run.resultCols; ++k) EXPECT_TRUE(std::isfinite(run.results.at(2, k)));
}

// SiO2 -10, MgO 5, Na2O 5: the cations and A-M-F have sums, but the
// anhydrous total the weight norm scales to is 0.
TEST(StandardNormFailures, AWeightNormWithAnAnhydrousTotalOfZeroFails) {
    norm::StandardInputs odd{};
    odd[0] = -10;
    odd[6] = 5;
    odd[8] = 5;
    NormRun weight = One(odd, 3);
    ASSERT_TRUE(weight.failure);
    EXPECT_EQ(weight.failure->sample, 1);
    EXPECT_FALSE(One(odd, 2).failure);
}

// Mended faults.

// An analysis with neither Fe2+ nor Mg left quartz over and went on down the
// silica-deficit steps with a surplus: this one came out with ne -54.36 and
// ab 90.60 from no Na at all. Now the steps stop with quartz: Q 36.24,
// or 48.64, an 15.00, wo 0.13.
TEST(StandardNormMendedFaults, ARockWithoutIronOrMagnesiumFormsNoNegativeMinerals) {
    norm::StandardInputs noFeMg{};
    noFeMg[0] = 75;  // SiO2
    noFeMg[2] = 14;  // Al2O3
    noFeMg[7] = 3;   // CaO
    noFeMg[9] = 8;   // K2O
    NormRun run = One(noFeMg, 2);
    ASSERT_FALSE(run.failure);
    for (int k = 1; k <= run.resultCols; ++k) EXPECT_GE(run.results.at(1, k), 0.0f) << run.headings[k];
    ExpectItem(run, "Q", 36.24);
    ExpectItem(run, "or", 48.64);
    ExpectItem(run, "an", 15.00);
    ExpectItem(run, "wo", 0.13);
    for (const char* absent : {"ne", "ab", "lc", "kp", "cs"}) EXPECT_FALSE(Kept(run, absent)) << absent;
}

// Corundum went unweighted into the weight norm: the granite's 0.955
// cations stayed 0.02 % after scaling and the other minerals were
// scaled up to make up for it. Now it is 0.87 %.
TEST(StandardNormMendedFaults, CorundumIsWeightedInTheWeightNorm) {
    NormRun run = One(kGranite, 3);
    ExpectItem(run, "c", 0.87);
    ExpectItem(run, "Q", 29.45);
    ExpectItem(run, "or", 24.33);
    ExpectItem(run, "ab", 31.21);
}

// Q-Ab-Or appeared only when the last row had it: a granite followed by a
// basalt lost the granite's Q-Ab-Or.
TEST(StandardNormMendedFaults, QAbOrIsKeptWhenAnEarlierRowHasIt) {
    NormRun run = CalcStandardNorm({kGranite, kBasalt}, 2, kSheetIron);
    ASSERT_TRUE(Kept(run, "Ab"));
    EXPECT_NEAR(*Item(run, 1, "Ab"), 39.10, kTol);
    EXPECT_EQ(*Item(run, 2, "Ab"), 0.0f);
}

// A row without an analysis lowered the row count, so the sheet lost its
// last real sample (the granite below).
TEST(StandardNormMendedFaults, ARowWithoutAnAnalysisKeepsItsPlaceAndTheLastSampleIsShown) {
    norm::StandardInputs blank{};
    blank[2] = 12;  // Al2O3 only: no SiO2, MgO or Na2O
    NormRun run = CalcStandardNorm({kBasalt, blank, kGranite}, 2, kSheetIron);
    ASSERT_FALSE(run.failure);
    EXPECT_EQ(run.resultRows, 3);
    EXPECT_EQ(run.noAnalysis[2], 1);
    EXPECT_EQ(run.noAnalysis[3], 0);
    EXPECT_NEAR(*Item(run, 3, "Q"), 27.46, kTol);
    for (int k = 1; k <= run.resultCols; ++k) EXPECT_EQ(run.results.at(2, k), 0.0f);
}

TEST(StandardNormMendedFaults, AnAllZeroRowIsLeftEmptyInsteadOfFailing) {
    NormRun run = CalcStandardNorm({kBasalt, norm::StandardInputs{}}, 2, kSheetIron);
    EXPECT_FALSE(run.failure);
    EXPECT_EQ(run.noAnalysis[2], 1);
}

}  // namespace
