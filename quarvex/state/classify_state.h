// The rock classification's program-wide values: the row the mafic
// composition dialog asks about and whether "Ignore All" was chosen in the
// current dispatcher run. The mafic inputs themselves are NORM3B::MaficInputs,
// which the norms fill too.
#pragma once

#include <cstdint>

namespace quarvex {

inline float MaficsRow = 0;
inline int16_t IgnoreAllMafics = 0;  // -1: no further Mafics dialog in this run

void ResetClassifyState();

}  // namespace quarvex
