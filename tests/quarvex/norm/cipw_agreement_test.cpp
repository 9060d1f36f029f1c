// The weight norm against the textbook CIPW norm. The textbook norm below is
// written independently of the cation norm: it works in oxide molecules and
// weighs each mineral as the sum of the oxides it takes, so its minerals add
// up to the anhydrous analysis by construction. It covers what ordinary
// igneous rocks need (no Cl, F, S, Cr; no acmite, leucite, larnite or
// kaliophilite) and refuses anything else, so a case can't pass by accident.
#include "quarvex/norm/standard_norm.h"
#include "quarvex/norm/norm_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

namespace {

using namespace normtest;

// Oxide formula weights.
constexpr double kSiO2 = 60.08, kTiO2 = 79.88, kAl2O3 = 101.96, kFe2O3 = 159.69, kFeO = 71.85, kMnO = 70.94,
                 kMgO = 40.30, kCaO = 56.08, kNa2O = 61.98, kK2O = 94.20, kP2O5 = 141.94;

std::map<std::string, double> TextbookCipw(const norm::StandardInputs& w) {
    const double si = w[0] / kSiO2, ti = w[1] / kTiO2, al0 = w[2] / kAl2O3, fe3 = w[3] / kFe2O3;
    const double mg = w[6] / kMgO, na = w[8] / kNa2O, k = w[9] / kK2O, p = w[12] / kP2O5;
    double ca = w[7] / kCaO;
    // MnO goes with FeO; FeO' weighs what its FeO and MnO weigh together.
    double fe2 = w[4] / kFeO + w[5] / kMnO;
    const double feWeight = (w[4] + w[5]) / fe2;

    // Apatite as 3 1/3 CaO . P2O5.
    const double ap = p;
    ca -= 10.0 / 3.0 * p;
    if (fe2 < ti) throw std::logic_error("sphene/rutile not covered");
    const double il = ti;
    fe2 -= ti;
    double al = al0 - k;
    const double orth = k;
    if (al < na) throw std::logic_error("acmite not covered");
    double ab = na;
    al -= na;
    double an = 0, c = 0;
    if (al >= ca) {
        an = ca;
        c = al - ca;
        ca = 0;
    } else {
        an = al;
        ca -= al;
    }
    if (fe2 < fe3) throw std::logic_error("hematite not covered");
    const double mt = fe3;
    fe2 -= fe3;
    const double fm = mg + fe2;
    const double x = mg / fm;
    const double di = std::min(ca, fm);
    const double wo = ca - di;
    double hy = fm - di;
    double ol = 0, ne = 0;
    double q = si - (6 * orth + 6 * ab + 2 * an + 2 * di + wo + hy);
    if (q < 0) {
        double deficit = -q;
        q = 0;
        // 2 (Mg,Fe)SiO3 -> (Mg,Fe)2SiO4 + SiO2
        if (deficit <= hy / 2) {
            ol = deficit;
            hy -= 2 * deficit;
        } else {
            ol = hy / 2;
            deficit -= hy / 2;
            hy = 0;
            // NaAlSi3O8 -> NaAlSiO4 + 2 SiO2, per Na2O molecule 4 SiO2
            ne = deficit / 4;
            ab -= ne;
            if (ab < 0) throw std::logic_error("leucite not covered");
        }
    }
    const double fmo = x * kMgO + (1 - x) * feWeight;
    return {{"Q", q * kSiO2},
            {"ap", ap * (10.0 / 3.0 * kCaO + kP2O5)},
            {"or", orth * (kK2O + kAl2O3 + 6 * kSiO2)},
            {"ab", ab * (kNa2O + kAl2O3 + 6 * kSiO2)},
            {"an", an * (kCaO + kAl2O3 + 2 * kSiO2)},
            {"ne", ne * (kNa2O + kAl2O3 + 2 * kSiO2)},
            {"c", c * kAl2O3},
            {"il", il * (feWeight + kTiO2)},
            {"mt", mt * (feWeight + kFe2O3)},
            {"di", di * (kCaO + fmo + 2 * kSiO2)},
            {"wo", wo * (kCaO + kSiO2)},
            {"hy", hy * (fmo + kSiO2)},
            {"ol", ol * (2 * fmo + kSiO2)}};
}

// Averages of common igneous rocks, in OxideColumns order.
const norm::StandardInputs kAndesite = {57.94, 0.87, 17.02, 3.27, 4.04, 0.14, 3.33, 6.79, 3.48, 1.62, 0.83, 0.34, 0.21};
const norm::StandardInputs kRhyolite = {72.82, 0.28, 13.27, 1.48, 1.11, 0.06, 0.39, 1.14, 3.55, 4.30, 1.10, 0.31, 0.07};
const norm::StandardInputs kTonalite = {66.15, 0.62, 15.56, 1.36, 3.42, 0.08, 1.94, 4.65, 3.90, 1.42, 0.69, 0.0, 0.21};
const norm::StandardInputs kTrachyte = {61.21, 0.70, 16.96, 2.99, 2.29, 0.15, 0.93, 2.34, 5.47, 4.98, 1.15, 0.0, 0.21};

class WeightNormAgainstTextbook : public ::testing::TestWithParam<std::pair<const char*, norm::StandardInputs>> {};

TEST_P(WeightNormAgainstTextbook, AgreesWithinOneTenthPercentPerMineral) {
    const auto& rock = GetParam().second;
    const auto textbook = TextbookCipw(rock);
    const norm::NormRun run = norm::CalcStandardNorm({rock}, norm::kWeightNormMode, norm::IronChoice{});
    ASSERT_FALSE(run.failure);
    double textbookSum = 0;
    double largest = 0;
    for (const auto& [mineral, amount] : textbook) {
        textbookSum += amount;
        const double ours = Mineral(run, 1, mineral).value_or(0.0f);
        EXPECT_NEAR(ours, amount, 0.1) << mineral;
        largest = std::max(largest, std::fabs(ours - amount));
    }
    RecordProperty("largest_difference", std::to_string(largest));
    // Both add up to the analysis without its water.
    EXPECT_NEAR(textbookSum, *Item(run, 1, "Total"), 0.02);
    // Nothing the textbook norm does not form.
    for (const char* absent : {"lc", "kp", "ac", "ns", "ks", "cs", "hm", "sp", "ru"}) {
        EXPECT_FALSE(Kept(run, absent)) << absent;
    }
}

INSTANTIATE_TEST_SUITE_P(OrdinaryIgneousRocks, WeightNormAgainstTextbook,
                         ::testing::Values(std::make_pair("basalt", kBasalt), std::make_pair("granite", kGranite),
                                           std::make_pair("peridotite", kPeridotite),
                                           std::make_pair("boninite", kBoninite),
                                           std::make_pair("alkali_basalt", kAlkaliBasalt),
                                           std::make_pair("andesite", kAndesite),
                                           std::make_pair("rhyolite", kRhyolite),
                                           std::make_pair("tonalite", kTonalite),
                                           std::make_pair("trachyte", kTrachyte)),
                         [](const auto& tp) { return std::string(tp.param.first); });

}  // namespace
