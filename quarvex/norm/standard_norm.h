// The standard norm: a cation norm with 25 minerals, their total and the
// A-M-F, Q-M-L and Q-Ab-Or plotting values, as a molar norm on 100 cations
// or as a weight norm scaled to the anhydrous total of the analysis.
#pragma once

#include "quarvex/norm/iron_ratio.h"
#include "quarvex/norm/norm_result.h"

#include <array>
#include <vector>

namespace norm {

// One sample's inputs in OxideColumns order: SiO2, TiO2, Al2O3, Fe2O3, FeO,
// MnO, MgO, CaO, Na2O, K2O, H2O+, H2O-, P2O5, in weight percent.
using StandardInputs = std::array<double, 13>;

// Result items of the standard norm before compaction.
enum StandardItem : int {
    StdQ = 15, StdAp, StdOr, StdAb, StdAn, StdNe, StdLc, StdKp, StdHl, StdTh, StdAc, StdIl, StdMt,
    StdHm, StdSp, StdRu, StdNs, StdKs, StdCs, StdWo, StdOl, StdDi, StdHy, StdC, StdPv, StdTotal,
    StdAmfA, StdAmfM, StdAmfF, StdQmlQ, StdQmlM, StdQmlL, StdQaoQ, StdQaoAb, StdQaoOr,
};
inline constexpr int kStandardItems = 100;

// Heading of result item k (15 to 49); empty for other k.
const char* StandardHeading(int item);

// Mode 3 is the weight norm, any other value the molar norm.
inline constexpr int kWeightNormMode = 3;

// Computes every row. A row without an analysis (SiO2, MgO and Na2O all 0)
// keeps its place with no results. The first row that cannot be computed
// ends the run with `failure` set and the table as far as it got.
NormRun CalcStandardNorm(const std::vector<StandardInputs>& rows, int mode, IronChoice iron);

}  // namespace norm
