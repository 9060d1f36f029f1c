#include "quarvex/state/format_state.h"

namespace quarvex {

void ResetFormatState() {
    FontChoice = FontChoiceRecord{};
    SymbolDescriptions = {};
    TitleAccepted = 0;
    CurveFitDegree = 0;
}

}  // namespace quarvex
