#include "quarvex/state/format_state.h"

namespace quarvex {

void ResetFormatState() {
    SymbolDescriptions = {};
    CurveFitDegree = 0;
}

}  // namespace quarvex
