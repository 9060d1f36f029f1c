// Sort > Sample #: a copy of the active sheet sorted by sample number in a
// new sheet; the sheet sorted stays as it was.
#pragma once

namespace MODULE21 {

// Ascending by the sample-number column, numerically when the first
// sample's number is not 0 and by character codes otherwise; equal numbers
// keep their order. Every row that holds text is sorted, those without
// components too. A sample number that is not a number (or is empty) in a
// numeric sort shows "Sort Error" naming its row, and opens no sheet.
void SortBySample();

}  // namespace MODULE21
