#include "quarvex/norm/norm_result.h"

namespace norm {

void SampleValues::Resize(int lastSample) {
    const size_t size = static_cast<size_t>(lastSample) + 1;
    for (auto* values : {&x, &y, &z, &f, &maficPercent, &anorthitePercent, &olivinePercent, &silicaPercent,
                         &pyroxenePercent, &maficPlagioclasePercent}) {
        values->resize(size, 0.0f);
    }
}

}  // namespace norm
