// The norm's program-wide values: where the oxides stand, the iron ratio,
// the last result table, and the per-sample arrays the norms leave for the
// classifiers.
#pragma once

#include "quarvex/norm/norm_constants.h"
#include "quarvex/norm/norm_result.h"

#include <array>
#include <vector>

namespace NORM3B {

// Grid column of each norm input (entries 1 to 20, index 0 unused) and of
// the total.
inline std::array<int, norm::kOxideEntries + 1> OxideColumns{};
inline int OxideTotalColumn = 0;
// The grid columns of the norm inputs, entries 1 to 20.
inline std::vector<int> OxideColumnList() { return {OxideColumns.begin() + 1, OxideColumns.end()}; }
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

// MaficPercent, AnorthitePercent and OlivinePercent of every sample (index 0
// to the last computed sample), as the last norm left them for the
// classifiers.
struct MaficInputArrays {
    std::vector<float> MaficPercent;
    std::vector<float> AnorthitePercent;
    std::vector<float> OlivinePercent;
};
inline MaficInputArrays MaficInputs;

// The program-wide sample counter: the norms and the result sheet leave it
// one past the last row they wrote.
inline int SampleIndex = 0;

// Back to the state at start-up.
void ResetNormState();

// Stores a layout; entries it leaves unset keep their columns.
void StoreOxideLayout(const norm::OxideLayout& layout);

}  // namespace NORM3B
