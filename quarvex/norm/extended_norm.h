// The extended norm: the standard minerals plus halite, fluorite,
// thenardite, pyrite, chromite, calcite and zircon formed first from Cl, F,
// SO3, S, Cr2O3, CO2 and ZrO2, in molar units or as a weight norm.
#pragma once

#include "quarvex/norm/iron_ratio.h"
#include "quarvex/norm/norm_result.h"

#include <array>
#include <vector>

namespace norm {

// One sample's inputs in the order the extended norm reads them: SiO2,
// TiO2, Al2O3, Fe2O3, FeO, MnO, MgO, CaO, Na2O, K2O, P2O5, CO2, Cl, F, S,
// SO3, Cr2O3, ZrO2, in weight percent.
using ExtendedInputs = std::array<double, 18>;

// OxideColumns entry of each extended input, in reading order.
inline constexpr std::array<int, 18> kExtendedEntries = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 18, 19, 20};

// Result items of the extended norm before compaction.
enum ExtendedItem : int {
    ExQ = 1, ExAb, ExAn, ExKf, ExAp, ExHl, ExTh, ExPr, ExCm, ExCc, ExMa, ExIl, ExNc, ExKc, ExKp, ExNe, ExCn, ExAc,
    ExNs, ExKs, ExC, ExPv, ExMt, ExDi, ExOl, ExMe, ExHm, ExRu, ExFl, ExWo, ExAk, ExGh, ExZn, ExBa, ExTn, ExLc,
    ExHy, ExExcessCO2, ExTotal,
};
inline constexpr int kExtendedItems = 55;

// Heading of result item k (1 to 39); empty for other k.
const char* ExtendedHeading(int item);

// Computes every row, as CalcStandardNorm does, except that only a blank
// row (all 18 inputs 0) stays empty; the first row that cannot be computed
// ends the run with `failure` set.
NormRun CalcExtendedNorm(const std::vector<ExtendedInputs>& rows, int mode, IronChoice iron);

}  // namespace norm
