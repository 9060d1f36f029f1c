#include "quarvex/state/classify_state.h"

namespace quarvex {

void ResetClassifyState() {
    MaficsRow = 0;
    IgnoreAllMafics = 0;
}

}  // namespace quarvex
