#include "quarvex/norm/norm_result.h"

namespace norm {

void SampleValues::Resize(int lastSample) {
    const size_t size = static_cast<size_t>(lastSample) + 1;
    for (auto* values : {&x, &y, &z, &f, &maficPercent, &anorthitePercent, &olivinePercent, &silicaPercent,
                         &pyroxenePercent, &maficPlagioclasePercent}) {
        values->resize(size, 0.0f);
    }
}

NormRun NewNormRun(int count, int items, int resultCols) {
    NormRun run;
    run.results = NormTable(count, items);
    run.resultRows = count;
    run.resultCols = resultCols;
    run.noAnalysis.assign(static_cast<size_t>(count) + 1, 0);
    run.sampleValues.Resize(0);
    return run;
}

}  // namespace norm
