// The norm module on the data sheets: the procedures that run a norm on the active sheet's data table and
// show it as a new sheet.
#pragma once

#include "quarvex/normsheet/norm_sheet_io.h"
#include "quarvex/state/norm_state.h"

namespace NORM3B {

// The standard norm (mode 3 weight, otherwise molar) and the extended norm
// (mode 3 weight, otherwise molar) of every sample of the data table. A
// failure is reported in a box and sets DialogCancelled to -1.
void CalcNorm(const int& mode);
void CalcNormExtended(const int& mode);

// Writes the last result into a new data sheet.
void ShowNormSheet();

}  // namespace NORM3B
