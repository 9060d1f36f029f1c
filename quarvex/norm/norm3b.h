// The norm module: where the oxides stand, the iron ratio, the last result,
// and the procedures that run a norm on the active sheet's data table and
// show it as a new sheet.
#pragma once

#include "quarvex/norm/norm_constants.h"
#include "quarvex/norm/norm_result.h"
#include "quarvex/norm/norm_sheet_io.h"

#include <array>
#include <vector>

namespace NORM3B {

// Grid column of each norm input (entries 1 to 20, index 0 unused) and of
// the total.
inline std::array<int, norm::kOxideEntries + 1> OxideColumns{};
inline int OxideTotalColumn = 0;
inline float IronRatio = 0;
inline int IronRatioSet = 0;  // -1: re-split the iron by IronRatio
inline norm::NormTable NormResults;
inline int NormResultRows = 0;
inline int NormResultCols = 0;

struct SampleArrays {
    std::vector<float> SilicaPercent;
    std::vector<float> PyroxenePercent;
    std::vector<float> MaficPlagioclasePercent;
};
inline SampleArrays NormSampleArrays;

// Back to the state at start-up (for tests).
void ResetNormState();

// Stores a layout; entries it leaves unset keep their columns.
void StoreOxideLayout(const norm::OxideLayout& layout);

// The standard norm (mode 3 weight, otherwise molar) and the extended norm
// (mode 3 weight, otherwise molar) of every sample of the data table. A
// failure is reported in a box and sets DialogCancelled to -1.
void CalcNorm(const int& mode);
void CalcNormExtended(const int& mode);

// Writes the last result into a new data sheet.
void ShowNormSheet();

}  // namespace NORM3B
