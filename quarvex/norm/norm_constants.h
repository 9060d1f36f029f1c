// Constants shared by both norms: the weights that turn weight percent into
// cation (or atom) amounts, the iron conversions and where the oxides stand
// in the two oxide heading sets.
#pragma once

#include <array>

namespace norm {

// Weight of one cation's share of each oxide: half the formula weight for
// the oxides of trivalent, monovalent and pentavalent cations, so that a
// division gives cations directly. Cr2O3 and ZrO2 keep whole formula
// weights, as the extended norm has always divided by them.
inline constexpr double kWeightSiO2 = 60.0843;
inline constexpr double kWeightTiO2 = 79.89881;
inline constexpr double kWeightAl2O3 = 50.9806;
inline constexpr double kWeightFe2O3 = 79.8461;
inline constexpr double kWeightFeO = 71.8464;
inline constexpr double kWeightMnO = 70.9474;
inline constexpr double kWeightMgO = 40.3044;
inline constexpr double kWeightCaO = 56.0794;
inline constexpr double kWeightNa2O = 30.9895;
inline constexpr double kWeightK2O = 47.098;
inline constexpr double kWeightP2O5 = 70.9723;
inline constexpr double kWeightCO2 = 44.0098;
inline constexpr double kWeightCl = 35.45;
inline constexpr double kWeightF = 18.9984;
inline constexpr double kWeightS = 32.06;
inline constexpr double kWeightSO3 = 80.06;
inline constexpr double kWeightCr2O3 = 151.992;
inline constexpr double kWeightZrO2 = 123.22;

// FeOt = FeO + kFe2O3ToFeO * Fe2O3; Fe2O3 = kFeOToFe2O3 * FeO (by weight).
inline constexpr double kFe2O3ToFeO = 0.89981;
inline constexpr double kFeOToFe2O3 = 1.1113;

// Entries of OxideColumns, 1-based as the sheet columns they hold.
enum OxideEntry : int {
    OxSiO2 = 1, OxTiO2, OxAl2O3, OxFe2O3, OxFeO, OxMnO, OxMgO, OxCaO, OxNa2O, OxK2O,
    OxH2OPlus, OxH2OMinus, OxP2O5, OxCO2, OxCl, OxF, OxS, OxSO3, OxCr2O3, OxZrO2,
};
inline constexpr int kOxideEntries = 20;

// Grid columns of entries 1 to 20 (index 0 unused) and of the total, as the
// oxide heading sets lay them out. 0 in the short set: not set there, the
// entry keeps whatever an earlier layout stored.
struct OxideLayout {
    std::array<int, kOxideEntries + 1> columns;
    int total;
};
inline constexpr OxideLayout kExtendedLayout{
    {0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 15, 18, 19, 20, 21, 22, 23, 24}, 25};
inline constexpr OxideLayout kShortLayout{
    {0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 16, 17, 15, 18, 0, 0, 0, 0, 0, 0}, 19};

}  // namespace norm
