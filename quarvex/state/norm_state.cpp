#include "quarvex/state/norm_state.h"

namespace NORM3B {

void ResetNormState() {
    OxideColumns.fill(0);
    OxideTotalColumn = 0;
    IronRatio = 0;
    IronRatioSet = 0;
    NormResults = norm::NormTable();
    NormResultRows = 0;
    NormResultCols = 0;
    NormSampleArrays = SampleArrays();
    MaficInputs = MaficInputArrays();
    SampleIndex = 0;
}

void StoreOxideLayout(const norm::OxideLayout& layout) {
    for (int entry = 1; entry <= norm::kOxideEntries; ++entry) {
        if (layout.columns[entry] != 0) OxideColumns[entry] = layout.columns[entry];
    }
    OxideTotalColumn = layout.total;
}

}  // namespace NORM3B
