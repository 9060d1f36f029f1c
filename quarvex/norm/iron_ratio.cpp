#include "quarvex/norm/iron_ratio.h"

#include "quarvex/norm/norm_constants.h"

namespace norm {

IronSplit ResplitIron(double fe2o3, double feo, double ratio) {
    const double feoTotal = fe2o3 * kFe2O3ToFeO + feo;
    return {(1 - ratio) * feoTotal * kFeOToFe2O3, ratio * feoTotal};
}

}  // namespace norm
